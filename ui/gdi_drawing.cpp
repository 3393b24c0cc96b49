#include "ui/gdi_drawing.h"

#include <QColor>
#include <QPainter>

#include <algorithm>

QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

namespace {

// A horizontal or vertical line from (x0, y0) towards (x1, y1) that stops one
// pixel before its end point, in either direction, like a pen line does.
void DrawLineExclusive(QPainter& painter, int x0, int y0, int x1, int y1, const QColor& colour) {
    if (y0 == y1 && x0 != x1) {
        const int from = x0 < x1 ? x0 : x1 + 1;
        const int to = x0 < x1 ? x1 - 1 : x0;
        painter.fillRect(QRect(from, y0, to - from + 1, 1), colour);
    } else if (x0 == x1 && y0 != y1) {
        const int from = y0 < y1 ? y0 : y1 + 1;
        const int to = y0 < y1 ? y1 - 1 : y0;
        painter.fillRect(QRect(x0, from, 1, to - from + 1), colour);
    }
}

} // namespace

void DrawFrame(QPainter& painter, int x1, int y1, int x2, int y2, COLORREF colour) {
    const QColor c = ToQColor(colour);
    // Bottom and right first, then top and left; the right edge runs one row
    // further down so that the bottom-right corner is drawn too.
    DrawLineExclusive(painter, x1, y2, x2, y2, c);
    DrawLineExclusive(painter, x2, y1, x2, y2 + 1, c);
    DrawLineExclusive(painter, x1, y1, x2, y1, c);
    DrawLineExclusive(painter, x1, y1, x1, y2, c);
}

void FillSolid(QPainter& painter, int left, int top, int right, int bottom, COLORREF colour) {
    // A rectangle is drawn the same with its corners given in any order.
    const int l = std::min(left, right);
    const int r = std::max(left, right);
    const int t = std::min(top, bottom);
    const int b = std::max(top, bottom);
    painter.setPen(Qt::NoPen);
    if (r - l >= 2 && b - t >= 2)
        painter.fillRect(QRect(l, t, r - l - 1, b - t - 1), ToQColor(colour));
}
