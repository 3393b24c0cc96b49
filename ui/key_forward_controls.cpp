#include "ui/key_forward_controls.h"

#include "ui/gdi_drawing.h"
#include "ui/thumb_cell.h"

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>

QWidget* g_pMainDlg = nullptr;

namespace {

constexpr COLORREF EMPTY_CELL_COLOUR = RGB(99, 99, 99);

// The one body both controls share: a key-down is posted on, unchanged, before
// the control processes it. Posting (not sending) makes the main window see it
// only after the control has finished with it.
void ForwardKeyDown(const QEvent* event) {
    if (event->type() != QEvent::KeyPress || g_pMainDlg == nullptr)
        return;
    const auto* key = static_cast<const QKeyEvent*>(event);
    QCoreApplication::postEvent(
        g_pMainDlg,
        new QKeyEvent(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(),
                      key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                      key->isAutoRepeat(), static_cast<quint16>(key->count()), key->device()));
}

// Qt hands a key the control leaves unused on to its parent, the main window;
// the main window gets its copy through the post only, so the key stops here.
bool FinishKeyDown(QEvent* event, bool handled) {
    if (event->type() != QEvent::KeyPress)
        return handled;
    event->accept();
    return true;
}

} // namespace

CKeyForwardScrollBar::CKeyForwardScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

bool CKeyForwardScrollBar::event(QEvent* event) {
    ForwardKeyDown(event);
    return FinishKeyDown(event, QScrollBar::event(event));
}

void CKeyForwardScrollBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        triggerAction(SliderSingleStepSub);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        triggerAction(SliderSingleStepAdd);
        break;
    default:
        QScrollBar::keyPressEvent(event);
        break;
    }
}

CKeyForwardStatic::CKeyForwardStatic(QWidget* parent) : CImageStatic(parent) {
    ShowEmpty();
}

void CKeyForwardStatic::ShowPicture(const QImage& picture) {
    if (picture.isNull()) {
        ShowEmpty();
        return;
    }
    SetImage(QPixmap::fromImage(picture));
}

void CKeyForwardStatic::ShowEmpty() {
    QPixmap empty(THUMB_WIDTH, THUMB_HEIGHT);
    empty.fill(ToQColor(EMPTY_CELL_COLOUR));
    SetImage(empty);
}

bool CKeyForwardStatic::event(QEvent* event) {
    ForwardKeyDown(event);
    // A cell moves no focus of its own (the strip takes the focus on its
    // first cell): the forwarded copy of Tab moves it from the window, once.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            return FinishKeyDown(event, true);
    }
    return FinishKeyDown(event, CImageStatic::event(event));
}
