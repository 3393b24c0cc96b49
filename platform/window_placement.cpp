#include "platform/window_placement.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// The frame top-left that puts `frame` (a frame of the window's size) in the
// middle of `area`, pushed inside it where it does not fit: the top-left
// corner wins, so the caption stays reachable.
QPoint CentredInside(const QRect& area, const QSize& frame) {
    const int x = area.left() + std::max(0, (area.width() - frame.width()) / 2);
    const int y = area.top() + std::max(0, (area.height() - frame.height()) / 2);
    return QPoint(x, y);
}

// Watches the window until its frame is known, then moves the frame inside
// the screen if the window manager put any of it outside.
class CFrameCheck final : public QObject {
public:
    explicit CFrameCheck(QWidget& window) : QObject(&window), m_window(window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window &&
            (event->type() == QEvent::Move || event->type() == QEvent::Show ||
             event->type() == QEvent::Resize))
            Check();
        return QObject::eventFilter(watched, event);
    }

private:
    void Check() {
        QWindow* handle = m_window.windowHandle();
        if (!handle || !m_window.isVisible())
            return;
        const QMargins margins = handle->frameMargins();
        if (margins.isNull())
            return; // not framed yet (or no window manager: nothing to frame)
        // Once only: from here on the window goes where the user puts it.
        m_window.removeEventFilter(this);
        deleteLater();
        const QScreen* screen = handle->screen();
        const QRect frame = m_window.frameGeometry();
        if (screen && (frame.top() < screen->availableGeometry().top() ||
                       frame.left() < screen->availableGeometry().left()))
            m_window.move(CentredInside(screen->availableGeometry(), frame.size()));
    }

    QWidget& m_window;
};

} // namespace

void PlaceWindowOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the first show the frame is unknown: a caption of the style's
    // title bar height and thin borders stand for it until the check.
    const int caption = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const int border = 4;
    const QSize frame(window.width() + 2 * border, window.height() + caption + border);
    window.move(CentredInside(screen->availableGeometry(), frame));
    new CFrameCheck(window);
}
