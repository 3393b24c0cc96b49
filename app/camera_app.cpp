#include "app/camera_app.h"

#include "app/camera_dlg.h"
#include "platform/activation_tokens.h"
#include "platform/language_id.h"
#include "platform/qt_translations.h"
#include "ui/dialog_colours.h"

CCameraApp theApp;

CCameraApp::~CCameraApp() {
    // The application is still set only when the process ends from inside the
    // main window (exit on a system suspend): the window still lives on
    // InitInstance's stack and the event loop is inside its handler, so the
    // application must not be torn down under them. The process is ending;
    // the system takes everything back.
    if (m_pQtApp)
        static_cast<void>(m_pQtApp.release());
}

BOOL CCameraApp::InitInstance(int& argc, char** argv) {
    // Before the Qt application takes the X11 startup id out of the environment.
    const ActivationTokens launchTokens = LaunchActivationTokens();
    m_pQtApp = std::make_unique<QApplication>(argc, argv);
    // The desktop entry's name, so the desktop finds the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("nimbrel-vizor"));
    m_pQtTexts = InstallQtTranslations(GetSystemDefaultLangID());
    {
        CCameraDlg dlg;
        dlg.m_launchTokens = launchTokens;
        // Without its buffers the window cannot work; the user has been told.
        if (dlg.HasBuffers()) {
            SetDialogBkColor(DIALOG_BK_COLOUR, DIALOG_TEXT_COLOUR);
            dlg.DoModal();
        }
    }
    m_pQtTexts.reset();
    m_pQtApp.reset();
    return FALSE;
}
