// How events reach the main window's handlers: the snapshot message from the
// streaming thread, the folder poll and activation checks, clicks on the
// strip, keys before the dialog's own handling, system commands.

#include "app/camera_dlg.h"

#include "capture/frame_buffer.h"
#include "library/strip_selection.h"
#include "platform/trace.h"
#include "ui/about_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>

namespace {

constexpr UINT SC_MINIMIZE = 0xF020;
constexpr UINT SC_CLOSE = 0xF060;
constexpr UINT SC_RESTORE = 0xF120;

// The mouse-key flags the strip's selection rules read.
unsigned MouseKeyFlags(Qt::KeyboardModifiers modifiers) {
    unsigned nFlags = 0;
    if (modifiers & Qt::ShiftModifier)
        nFlags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        nFlags |= MK_CONTROL;
    return nFlags;
}

std::uint32_t PackedPosition(const QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    return PackPoint(point.x(), point.y());
}

} // namespace

bool CCameraDlg::event(QEvent* event) {
    if (event->type() == SnapshotReadyEvent) {
        OnSnapshotReady();
        return true;
    }
    if (event->type() == QEvent::ChildPolished)
        NameChildPopup(static_cast<QChildEvent*>(event)->child());
    return QDialog::event(event);
}

void CCameraDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_nFolderPollTimer) {
        QDialog::timerEvent(event);
        return;
    }
    Trace("m_sync_dir_status=%d----------------------------------------------------\n",
          m_sync_dir_status);
    FolderCheck();
}

void CCameraDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        // Both activation and deactivation look at the folder.
        FolderCheck();
    } else if (event->type() == QEvent::WindowStateChange && isMaximized()) {
        // The window manager's maximise arrives as a state change after the
        // fact; the window has one size, so it is undone.
        OnSysCommand(SC_MAXIMIZE);
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
    QDialog::changeEvent(event);
}

void CCameraDlg::closeEvent(QCloseEvent* event) {
    OnClose();
    QDialog::closeEvent(event);
}

void CCameraDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pLibrary)
        m_pLibrary->OnThumbClick(MouseKeyFlags(event->modifiers()), PackedPosition(event));
    QDialog::mousePressEvent(event);
}

void CCameraDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    // The double-click stands for the second press: the marks stay as the
    // first press set them. Qt's default handling would pass it on as one more
    // press, which would toggle a Control-click back or cut a Shift range.
    event->accept();
    if (event->button() == Qt::LeftButton && m_pLibrary)
        m_pLibrary->OnThumbDoubleClick(PackedPosition(event));
}

void CCameraDlg::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->buttons(), event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void CCameraDlg::WatchKeys() {
    // Every key bound for the window or one of its controls passes the
    // keyboard rules first, once. The filter sits on the window alone: a key
    // pressed on a control comes up to the window when the control leaves it
    // unused, which every control but the strip's does, and the strip's cells
    // and scroll bar forward a copy of each key-down to the window. A filter
    // on the controls as well would see a key passed up from them twice, and
    // one press must move the selection once.
    installEventFilter(this);
}

bool CCameraDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        PreTranslateMessage(WM_KEYDOWN, VirtualKeyFromQtKey(key));
        // The strip forwards its keys here; Space and Enter act on it only
        // while it has the focus.
        OnStripFocusKey(key);
    }
    return QDialog::eventFilter(watched, event);
}

BOOL CCameraDlg::PreTranslateMessage(UINT message, WPARAM wParam) {
    // Either way Qt then delivers the key; Enter is kept from the dialog's
    // standard handling by keyPressEvent below.
    PreTranslateKeyMessage(*this, *this, message, wParam);
    return FALSE;
}

void CCameraDlg::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window; Escape still cancels it.
    if (VirtualKeyFromQtKey(event->key()) == VK_RETURN) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CCameraDlg::OnSysCommand(UINT nID) {
    if ((nID & 0xFFF0) == SC_ABOUT_FAMILY) {
        CAboutDlg about(this);
        about.exec();
        return;
    }
    if (nID == SC_MAXIMIZE)
        return;
    // The default processing of the commands a window of this kind can take.
    switch (nID & 0xFFF0) {
    case SC_MINIMIZE:
        showMinimized();
        break;
    case SC_MAXIMIZE:
        // A maximise that is not the exact command; the state change that
        // follows undoes it again (changeEvent), as the window has one size.
        showMaximized();
        break;
    case SC_RESTORE:
        showNormal();
        break;
    case SC_CLOSE:
        close();
        break;
    default:
        break;
    }
}
