#pragma once
// The strip's selection, hit test and scrolling rules. They work on the
// strip's state alone; the window calls them and then redraws.

#include "library/strip_state.h"

#include <QAbstractSlider>

class QScrollBar;

// Mouse-key flags of a click.
constexpr unsigned MK_SHIFT = 0x0004;
constexpr unsigned MK_CONTROL = 0x0008;

// Scroll codes of the horizontal scroll handler.
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_LEFT = 6;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

constexpr int STRIP_PAGE_STEP = 7;

// Applies a click on m_nCurrent to the marks. Only mode 1 (a click) changes
// anything.
void UpdateSelection(StripState& strip, unsigned flags, int mode);

// A click on photo index: it becomes current, and the anchor when none is
// set; the marks then follow the click's keys.
void ClickPhoto(StripState& strip, int index, unsigned flags);

// Which of the visible slots show a selected photo, for the slot frames.
// Returns the number of slots (m_nSlots, at most the seven rectangles). A
// scroll position beyond the list (a list that shrank under it) gives
// unselected slots rather than reading past the marks.
int SelectedSlots(const StripState& strip, bool (&bSelected)[7]);

// The slot whose rectangle strictly contains the point, or -1. The point is
// packed as a mouse message carries it: x in the low 16 bits, y in the high 16
// bits, both unsigned.
int HitTestSlot(const StripState& strip, std::uint32_t packedPoint);
std::uint32_t PackPoint(int x, int y);

// The scroll bar's action, as the code the horizontal scroll handler takes.
int ScrollCodeForAction(QAbstractSlider::SliderAction action);

// The new scroll position for a code, from the current position p and the
// position given with the message (thumb codes).
int ScrollPositionFor(const StripState& strip, int code, int p, int given);

// Recomputes m_nScrollMax and sets the bar's range, steps and position.
void UpdateScrollRange(StripState& strip, QScrollBar* bar);
