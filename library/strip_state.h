#pragma once
// The thumbnail strip's list, scroll and selection state. The main window
// derives from it, so its operations and the strip's rules use the same
// members by the same names; the rules themselves take the state explicitly
// and can be tested without a window.

#include "library/photo_record.h"
#include "platform/win_types.h"

struct StripState {
    PhotoRecord* m_pPhotos = nullptr; // PHOTO_CAPACITY records
    int m_nPhotoCount = 0;

    int m_nRangeHigh = -1;
    int m_nRangeLow = -1;
    int m_nAnchor = -1; // -1 = nothing selected; the delete button follows it
    int m_nCurrent = -1;
    int m_nScrollMax = 0;
    int m_nScrollMin = 0;
    int m_nFirstVisible = 0;
    int m_nSlots = 7;
    int m_nMarked = 0;
    int m_marks[PHOTO_CAPACITY] = {};
    RECT m_rcSlot[7] = {};
};
