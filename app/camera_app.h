#pragma once
// The application object: creates the Qt application and runs the main window
// modally; the process ends when the window closes.

#include "platform/win_types.h"

#include <QApplication>
#include <QTranslator>

#include <memory>

class CCameraApp {
public:
    CCameraApp() = default;
    ~CCameraApp();
    CCameraApp(const CCameraApp&) = delete;
    CCameraApp& operator=(const CCameraApp&) = delete;

    // Always FALSE: nothing runs after the main window has closed.
    BOOL InitInstance(int& argc, char** argv);

private:
    // Lives while InitInstance runs the window.
    std::unique_ptr<QApplication> m_pQtApp;
    // Qt's own texts in the system's language; goes before the application.
    std::unique_ptr<QTranslator> m_pQtTexts;
};

extern CCameraApp theApp;
