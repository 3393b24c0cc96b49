#include "ui/panel_painting.h"

#include "library/strip_state.h"

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

void DrawSlotFrames(QPainter& painter, const StripState& strip) {
    const int nSlots = std::clamp(strip.m_nSlots, 0, static_cast<int>(std::size(strip.m_rcSlot)));
    for (int k = 0; k < nSlots; ++k) {
        // A scroll position beyond the list (a list that shrank under it)
        // draws unselected frames rather than reading past the marks.
        const long nPhoto = static_cast<long>(strip.m_nFirstVisible) + k;
        const bool bMarked = nPhoto >= 0 && nPhoto < PHOTO_CAPACITY && strip.m_marks[nPhoto] != 0;
        const COLORREF colour = bMarked ? SELECTED_FRAME_COLOUR : PANEL_COLOUR;
        const RECT& rc = strip.m_rcSlot[k];
        for (int d = 1; d <= 4; ++d)
            DrawFrame(painter, rc.left - d, rc.top - d, rc.right + d - 1, rc.bottom + d - 1,
                      colour);
    }
}
