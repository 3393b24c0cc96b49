#pragma once
// The main window's keyboard rules: what PreTranslateMessage does with a key
// before the dialog's standard handling sees it. Left and Right move the
// selection anchor along the strip, Delete asks to delete the selection, Enter
// is kept away from the dialog so it never closes the window. The rules work
// on the strip's state and reach the window only through IStripKeyActions, so
// CCameraDlg::PreTranslateMessage stays a thin wrapper.

#include "library/strip_state.h"
#include "platform/win_types.h"

#include <cstdint>

using WPARAM = std::uintptr_t;

// The messages and codes the rules look at.
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM VK_RETURN = 13;
constexpr WPARAM VK_LEFT = 37;
constexpr WPARAM VK_RIGHT = 39;
constexpr WPARAM VK_DELETE = 46;

// What the rules call on the main window. CCameraDlg implements it with its
// own operations.
class IStripKeyActions {
public:
    virtual void RenderThumbnailStrip() = 0;
    // SetScrollPos on IDC_STRIP_SCROLL (SB_CTL, redraw).
    virtual void SetStripScrollPos(int nPos) = 0;
    virtual void UpdateDeleteButton() = 0;
    // Exactly what a click on the delete button does (confirmation first).
    virtual void OnDeleteButton() = 0;

protected:
    ~IStripKeyActions() = default;
};

enum class KeyRoute {
    // Return FALSE at once: the message goes to its window, and the dialog's
    // standard keyboard handling never sees it.
    DispatchOnly,
    // Return what the base dialog's PreTranslateMessage returns (Escape
    // cancels the dialog, Tab moves the focus).
    StandardHandling,
};

// Applies the keyboard rules to one queued message bound for the main window
// or one of its children, and says how the message goes on.
KeyRoute PreTranslateKeyMessage(StripState& state, IStripKeyActions& actions, UINT message,
                                WPARAM wParam);

// The virtual-key code of a Qt key, for the keys the rules tell apart (both
// Return keys are VK_RETURN); 0 for every other key.
WPARAM VirtualKeyFromQtKey(int qtKey);
