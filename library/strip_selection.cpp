#include "library/strip_selection.h"

#include <QScrollBar>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

void ClearMarks(StripState& strip) {
    std::memset(strip.m_marks, 0, sizeof strip.m_marks);
}

bool IsPhotoIndex(int index) {
    return index >= 0 && index <= MAX_PHOTOS;
}

} // namespace

void UpdateSelection(StripState& strip, unsigned flags, int mode) {
    if (mode != 1)
        return;
    const bool shift = flags & MK_SHIFT;
    const bool control = flags & MK_CONTROL;
    if ((shift || control) && IsPhotoIndex(strip.m_nCurrent) && IsPhotoIndex(strip.m_nAnchor)) {
        if (shift) {
            strip.m_nRangeLow = std::min(strip.m_nAnchor, strip.m_nCurrent);
            strip.m_nRangeHigh = std::max(strip.m_nAnchor, strip.m_nCurrent);
            ClearMarks(strip);
            for (int i = strip.m_nRangeLow; i <= strip.m_nRangeHigh; ++i)
                strip.m_marks[i] = 1;
            strip.m_nMarked = strip.m_nRangeHigh - strip.m_nRangeLow + 1;
        } else {
            int& mark = strip.m_marks[strip.m_nCurrent];
            mark = !mark;
            strip.m_nMarked += mark ? 1 : -1;
            strip.m_nAnchor = strip.m_nCurrent;
        }
        return;
    }
    strip.m_nAnchor = strip.m_nCurrent;
    strip.m_nRangeLow = strip.m_nRangeHigh = -1;
    ClearMarks(strip);
    // A current index outside the list cannot be marked; nothing is then
    // selected rather than a mark written outside m_marks.
    if (IsPhotoIndex(strip.m_nCurrent)) {
        strip.m_marks[strip.m_nCurrent] = 1;
        strip.m_nMarked = 1;
    } else {
        strip.m_nMarked = 0;
    }
}

std::uint32_t PackPoint(int x, int y) {
    return (static_cast<std::uint32_t>(y) & 0xFFFFu) << 16 |
           (static_cast<std::uint32_t>(x) & 0xFFFFu);
}

int HitTestSlot(const StripState& strip, std::uint32_t packedPoint) {
    const int x = static_cast<int>(packedPoint & 0xFFFFu);
    const int y = static_cast<int>(packedPoint >> 16);
    const int slotCount = std::clamp(strip.m_nSlots, 0, 7);
    for (int k = 0; k < slotCount; ++k) {
        const RECT& rc = strip.m_rcSlot[k];
        if (rc.left < x && x < rc.right && rc.top < y && y < rc.bottom)
            return k;
    }
    return -1;
}

int ScrollCodeForAction(QAbstractSlider::SliderAction action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return SB_LINELEFT;
    case QAbstractSlider::SliderSingleStepAdd:
        return SB_LINERIGHT;
    case QAbstractSlider::SliderPageStepSub:
        return SB_PAGELEFT;
    case QAbstractSlider::SliderPageStepAdd:
        return SB_PAGERIGHT;
    case QAbstractSlider::SliderMove:
        return SB_THUMBTRACK;
    case QAbstractSlider::SliderToMinimum:
        return SB_LEFT;
    case QAbstractSlider::SliderToMaximum:
        return SB_RIGHT;
    case QAbstractSlider::SliderNoAction:
        break;
    }
    return SB_ENDSCROLL;
}

int ScrollPositionFor(const StripState& strip, int code, int p, int given) {
    switch (code) {
    case SB_LINELEFT:
        return p > strip.m_nScrollMin ? p - 1 : p;
    case SB_LINERIGHT:
        return p < strip.m_nScrollMax ? p + 1 : p;
    case SB_PAGELEFT:
        return std::max(p - STRIP_PAGE_STEP, strip.m_nScrollMin);
    case SB_PAGERIGHT:
        return std::min(p + STRIP_PAGE_STEP, strip.m_nScrollMax);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        // The bar only reports positions inside its range; a stray value is
        // held to it so m_nFirstVisible never leaves the list.
        return std::clamp(given, strip.m_nScrollMin,
                          std::max(strip.m_nScrollMin, strip.m_nScrollMax));
    default:
        return p;
    }
}

void UpdateScrollRange(StripState& strip, QScrollBar* bar) {
    strip.m_nScrollMax = std::max(strip.m_nPhotoCount - strip.m_nSlots, 0);
    if (!bar)
        return;
    bar->setSingleStep(1);
    bar->setPageStep(STRIP_PAGE_STEP);
    bar->setRange(strip.m_nScrollMin, strip.m_nScrollMax);
    bar->setValue(strip.m_nFirstVisible);
}

void ClickPhoto(StripState& strip, int index, unsigned flags) {
    strip.m_nCurrent = index;
    if (strip.m_nAnchor == -1)
        strip.m_nAnchor = index;
    UpdateSelection(strip, flags, 1);
}

int SelectedSlots(const StripState& strip, bool (&bSelected)[7]) {
    const int nSlots = std::clamp(strip.m_nSlots, 0, static_cast<int>(std::size(strip.m_rcSlot)));
    for (int k = 0; k < nSlots; ++k) {
        const long nPhoto = static_cast<long>(strip.m_nFirstVisible) + k;
        bSelected[k] = nPhoto >= 0 && nPhoto < PHOTO_CAPACITY && strip.m_marks[nPhoto] != 0;
    }
    return nSlots;
}
