#include "app/keyboard_navigation.h"

#include <Qt>

#include <algorithm>

namespace {

// A Shift-click range collapses to the anchor alone before the anchor moves;
// marks made by Control-clicks have no range and stay.
void CollapseShiftRange(StripState& s) {
    if (s.m_nRangeLow == -1 || s.m_nRangeHigh == -1)
        return;
    std::fill(std::begin(s.m_marks), std::end(s.m_marks), 0);
    s.m_nCurrent = -1;
    s.m_nRangeLow = -1;
    s.m_nRangeHigh = -1;
    s.m_nMarked = 1;
    s.m_marks[s.m_nAnchor] = 1;
}

// The mark travels with the anchor; the number of marks stays the same.
void MoveAnchor(StripState& s, int nStep) {
    s.m_marks[s.m_nAnchor] = 0;
    s.m_nAnchor += nStep;
    s.m_marks[s.m_nAnchor] = 1;
}

// Returns whether the strip scrolled, so the scroll bar has to follow.
bool KeyLeft(StripState& s) {
    const int d = s.m_nAnchor - s.m_nFirstVisible;
    if (d > 0 && d < s.m_nSlots) {
        MoveAnchor(s, -1);
        return false;
    }
    if (d == 0 && s.m_nFirstVisible > 0) {
        --s.m_nFirstVisible;
        MoveAnchor(s, -1);
        return true;
    }
    // The anchor is out of view (or photo 0 in the first slot): jump so that
    // the new anchor leads the strip. Near the end of the list the strip stops
    // at its last scroll position instead of showing empty slots, so the strip
    // and its scroll bar, which cannot go past its range, keep showing the same.
    s.m_nFirstVisible = s.m_nAnchor;
    if (s.m_nAnchor > 0) {
        s.m_nFirstVisible = s.m_nAnchor - 1;
        MoveAnchor(s, -1);
    }
    s.m_nFirstVisible = std::max(0, std::min(s.m_nFirstVisible, s.m_nScrollMax));
    return true;
}

bool KeyRight(StripState& s) {
    const int d = s.m_nAnchor - s.m_nFirstVisible;
    const bool bHasNext = s.m_nAnchor < s.m_nPhotoCount - 1;
    if (d >= 0 && d < s.m_nSlots - 1) {
        if (bHasNext)
            MoveAnchor(s, +1);
        return false;
    }
    if (s.m_nAnchor == s.m_nFirstVisible + s.m_nSlots - 1 && s.m_nFirstVisible < s.m_nScrollMax) {
        ++s.m_nFirstVisible;
        MoveAnchor(s, +1);
        return true;
    }
    s.m_nFirstVisible = s.m_nAnchor - s.m_nSlots + 1;
    if (bHasNext) {
        ++s.m_nFirstVisible;
        MoveAnchor(s, +1);
    }
    s.m_nFirstVisible = std::max(s.m_nFirstVisible, 0);
    return true;
}

void KeyArrow(StripState& s, IStripKeyActions& actions, WPARAM vk) {
    // -1 is "nothing selected"; any other value outside the list's capacity
    // cannot index the marks and is treated the same way.
    if (s.m_nAnchor < 0 || s.m_nAnchor >= PHOTO_CAPACITY)
        return;
    CollapseShiftRange(s);
    const bool bScrolled = vk == VK_LEFT ? KeyLeft(s) : KeyRight(s);
    actions.RenderThumbnailStrip();
    if (bScrolled)
        actions.SetStripScrollPos(s.m_nFirstVisible);
    actions.UpdateDeleteButton();
}

} // namespace

KeyRoute PreTranslateKeyMessage(StripState& state, IStripKeyActions& actions, UINT message,
                                WPARAM wParam) {
    if (message == WM_SYSCOMMAND && wParam == SC_MAXIMIZE)
        return KeyRoute::DispatchOnly;
    if (message != WM_KEYDOWN)
        return KeyRoute::StandardHandling;

    switch (wParam) {
    case VK_RETURN:
        return KeyRoute::DispatchOnly;
    case VK_LEFT:
    case VK_RIGHT:
        KeyArrow(state, actions, wParam);
        break;
    case VK_DELETE:
        if (state.m_nAnchor >= 0)
            actions.OnDeleteButton();
        break;
    default:
        break;
    }
    return KeyRoute::StandardHandling;
}

WPARAM VirtualKeyFromQtKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}
