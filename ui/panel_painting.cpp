#include "ui/panel_painting.h"

#include <QPainter>

#include <algorithm>
#include <iterator>

RECT PanelRect(const RECT& rcScrollBar, const RECT& rcFirstSlot) {
    return RECT{rcScrollBar.left, rcFirstSlot.top - 10, rcScrollBar.right + 1, rcScrollBar.top - 1};
}

void DrawThumbnailPanel(QPainter& painter, const RECT& rcScrollBar, const RECT& rcFirstSlot) {
    const RECT rc = PanelRect(rcScrollBar, rcFirstSlot);
    FillSolid(painter, rc.left, rc.top, rc.right, rc.bottom, PANEL_COLOUR);
    for (int i = 0; i < PANEL_BEVEL_STEPS; ++i) {
        const int g = 67 + 4 * i;
        DrawFrame(painter, rc.left + i, rc.top + i, rc.right - i, rc.bottom - i, RGB(g, g, g));
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
