#include "ui/panel_painting.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iterator>

RECT PanelRect(const RECT& rcScrollBar, const RECT& rcFirstSlot) {
    return RECT{rcScrollBar.left, rcFirstSlot.top - 10, rcScrollBar.right + 1, rcScrollBar.top - 1};
}

namespace {

// A ring `width` device pixels wide just inside the device rectangle `outer`.
void FillDeviceRing(QPainter& painter, const QRect& outer, int width, const QColor& colour) {
    const QTransform toLogical = painter.deviceTransform().inverted();
    const auto fill = [&](const QRect& band) {
        painter.fillRect(toLogical.mapRect(QRectF(band)), colour);
    };
    const int side = outer.height() - 2 * width;
    fill(QRect(outer.left(), outer.top(), outer.width(), width));
    fill(QRect(outer.left(), outer.bottom() + 1 - width, outer.width(), width));
    fill(QRect(outer.left(), outer.top() + width, width, side));
    fill(QRect(outer.right() + 1 - width, outer.top() + width, width, side));
}

} // namespace

void DrawThumbnailPanel(QPainter& painter, const RECT& rcScrollBar, const RECT& rcFirstSlot) {
    const RECT rc = PanelRect(rcScrollBar, rcFirstSlot);
    FillSolid(painter, rc.left, rc.top, rc.right, rc.bottom, PANEL_COLOUR);
    // The rings are counted in device pixels: each is the scale rounded down
    // (at least one) pixels wide, nested from the panel's outer edge. At 100 %
    // and 200 % that is one logical pixel per ring, the frames at (left + i,
    // top + i, right - i, bottom - i). At 125 % a ring of exactly one logical
    // pixel would be one device pixel here and two there; the fill colour
    // takes up what the rings leave.
    const QTransform toDevice = painter.deviceTransform();
    const QRectF panel =
        toDevice.mapRect(QRectF(rc.left, rc.top, rc.right - rc.left + 1, rc.bottom - rc.top + 1));
    QRect outer;
    outer.setCoords(qRound(panel.left()), qRound(panel.top()), qRound(panel.right()) - 1,
                    qRound(panel.bottom()) - 1);
    const int ringWidth = std::max(1, static_cast<int>(std::floor(toDevice.m11() + 1e-6)));
    for (int i = 0; i < PANEL_BEVEL_STEPS; ++i) {
        const int g = 67 + 4 * i;
        FillDeviceRing(painter,
                       outer.adjusted(i * ringWidth, i * ringWidth, -i * ringWidth, -i * ringWidth),
                       ringWidth, ToQColor(RGB(g, g, g)));
    }
}

void DrawSlotFrames(QPainter& painter, const RECT* rcSlots, const bool* bSelected, int nSlots) {
    for (int k = 0; k < nSlots; ++k) {
        const COLORREF colour = bSelected[k] ? SELECTED_FRAME_COLOUR : PANEL_COLOUR;
        const RECT& rc = rcSlots[k];
        for (int d = 1; d <= 4; ++d)
            DrawFrame(painter, rc.left - d, rc.top - d, rc.right + d - 1, rc.bottom + d - 1,
                      colour);
    }
}
