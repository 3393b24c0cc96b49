#pragma once
// Modal message boxes: the user's side of every decision and error the program
// reports. All of them go through ShowMessageBox so that tests can record them
// and answer them without a window.

#include "platform/win_types.h"

#include <functional>
#include <string>
#include <vector>

// Buttons and icons, as bit flags.
constexpr UINT MB_OK = 0x00;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;

// Answers.
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The caption of the program's own boxes (the application title).
inline constexpr const char* APP_TITLE = "Nimbrel Vizor webcam";

// Where the box is parented: no owner, or the window that is active now.
enum class MessageBoxOwner { None, ActiveWindow };

struct MessageBoxRequest {
    std::string text;    // UTF-8
    std::string caption; // UTF-8
    UINT style = MB_OK;
    MessageBoxOwner owner = MessageBoxOwner::ActiveWindow;
};

// Shows the box and returns the button pressed. Must be called on the UI
// thread; from any other thread it shows nothing, traces and answers IDNO for
// a question and IDOK otherwise.
int ShowMessageBox(const MessageBoxRequest& request);

// The framework's standard box: the application title as caption.
int AppMessageBox(const std::string& text, UINT style = MB_OK);

// Holds back the boxes without a question shown on this thread while it
// lives, and shows them in order when it ends. For work that must not run a
// box's nested event loop where it stands, such as while holding a lock
// another thread may wait for. A question needs its answer at once and is
// still shown at once: such work asks none.
class CDeferredMessageBoxes {
public:
    CDeferredMessageBoxes();
    ~CDeferredMessageBoxes();
    CDeferredMessageBoxes(const CDeferredMessageBoxes&) = delete;
    CDeferredMessageBoxes& operator=(const CDeferredMessageBoxes&) = delete;

private:
    friend int ShowMessageBox(const MessageBoxRequest& request);
    std::vector<MessageBoxRequest> m_held;
    CDeferredMessageBoxes* m_pOuter;
};

// Tests install a hook that sees every request and chooses the answer; the
// hook replaces the real box. Pass an empty function to remove it.
void SetMessageBoxHook(std::function<int(const MessageBoxRequest&)> hook);
