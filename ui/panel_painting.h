#pragma once
// The thumbnail panel behind the strip: a dark grey field with an eight-step
// bevel between the button row and the scroll bar, and the frames around the
// strip's cells that show which photos are selected.

#include "platform/win_types.h"
#include "ui/gdi_drawing.h"

class QPainter;

constexpr COLORREF PANEL_COLOUR = RGB(99, 99, 99);
constexpr COLORREF SELECTED_FRAME_COLOUR = RGB(0, 192, 255);
constexpr int PANEL_BEVEL_STEPS = 8;

// The panel rectangle (left, top, right, bottom): from the scroll bar's left
// to one pixel right of its right, from 10 pixels above the first cell to one
// pixel above the scroll bar.
RECT PanelRect(const RECT& rcScrollBar, const RECT& rcFirstSlot);

// Fill, then the bevel rings from the outermost (grey 67) inwards, each 4
// levels lighter, so fill and rings together cover the panel. Every ring is
// the same whole number of device pixels wide at any scale.
void DrawThumbnailPanel(QPainter& painter, const RECT& rcScrollBar, const RECT& rcFirstSlot);

// Four one-pixel rings just outside each of the nSlots cell rectangles: blue
// where bSelected is set, the panel colour around the others (erasing a
// selection frame drawn before).
void DrawSlotFrames(QPainter& painter, const RECT* rcSlots, const bool* bSelected, int nSlots);
