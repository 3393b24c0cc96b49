#include "ui/focus_mark.h"

#include <QApplication>
#include <QPainter>

namespace {
// Two pixels wide, one pixel away from the control: inside the narrowest gap
// between two buttons (six pixels).
constexpr int RING_GAP = 1;
constexpr int RING_WIDTH = 2;
} // namespace

CFocusMark::CFocusMark(QWidget& window) : QWidget(&window) {
    setObjectName(QStringLiteral("focusMark"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { Follow(now); });
}

void CFocusMark::Mark(QWidget* target, QRect area) {
    m_marked.append({target, area});
}

void CFocusMark::Follow(QWidget* focused) {
    for (const Marked& marked : m_marked) {
        if (marked.target && marked.target == focused) {
            const int margin = RING_GAP + RING_WIDTH;
            setGeometry(marked.area.adjusted(-margin, -margin, margin, margin));
            raise();
            show();
            update();
            return;
        }
    }
    hide();
}

void CFocusMark::paintEvent(QPaintEvent*) {
    // Only the ring is painted; inside it the controls show through.
    QPainter painter(this);
    const QColor colour = palette().color(QPalette::Highlight);
    const QRect outer = rect();
    painter.fillRect(outer.left(), outer.top(), outer.width(), RING_WIDTH, colour);
    painter.fillRect(outer.left(), outer.bottom() - RING_WIDTH + 1, outer.width(), RING_WIDTH,
                     colour);
    painter.fillRect(outer.left(), outer.top(), RING_WIDTH, outer.height(), colour);
    painter.fillRect(outer.right() - RING_WIDTH + 1, outer.top(), RING_WIDTH, outer.height(),
                     colour);
}
