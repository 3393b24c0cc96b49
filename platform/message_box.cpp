#include "platform/message_box.h"

#include "platform/trace.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace {
std::function<int(const MessageBoxRequest&)> g_hook;
thread_local CDeferredMessageBoxes* t_pDeferred = nullptr;

QMessageBox::Icon IconFor(UINT style) {
    switch (style & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int FallbackAnswer(UINT style) {
    return (style & 0x0F) == MB_YESNO ? IDNO : IDOK;
}
} // namespace

int ShowMessageBox(const MessageBoxRequest& request) {
    if (t_pDeferred && (request.style & 0x0F) != MB_YESNO) {
        t_pDeferred->m_held.push_back(request);
        return IDOK;
    }
    if (g_hook)
        return g_hook(request);

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) {
        Trace("message box not shown (no UI thread): %s", request.text.c_str());
        return FallbackAnswer(request.style);
    }

    QWidget* parent =
        request.owner == MessageBoxOwner::ActiveWindow ? QApplication::activeWindow() : nullptr;
    QMessageBox box(IconFor(request.style), QString::fromUtf8(request.caption),
                    QString::fromUtf8(request.text), QMessageBox::NoButton, parent);
    if ((request.style & 0x0F) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (pressed == QMessageBox::Yes)
        return IDYES;
    if (pressed == QMessageBox::No)
        return IDNO;
    return IDOK;
}

CDeferredMessageBoxes::CDeferredMessageBoxes() : m_pOuter(t_pDeferred) {
    t_pDeferred = this;
}

CDeferredMessageBoxes::~CDeferredMessageBoxes() {
    t_pDeferred = m_pOuter;
    for (const MessageBoxRequest& request : m_held)
        ShowMessageBox(request);
}

int AppMessageBox(const std::string& text, UINT style) {
    return ShowMessageBox({text, APP_TITLE, style, MessageBoxOwner::ActiveWindow});
}

void SetMessageBoxHook(std::function<int(const MessageBoxRequest&)> hook) {
    g_hook = std::move(hook);
}
