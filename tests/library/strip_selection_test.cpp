#include "library/strip_selection.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<StripState> StripWith(int photos) {
    auto strip = std::make_unique<StripState>();
    strip->m_nPhotoCount = photos;
    for (int k = 0; k < 7; ++k)
        strip->m_rcSlot[k] = {10 + 80 * k, 300, 82 + 80 * k, 354};
    UpdateScrollRange(*strip, nullptr);
    return strip;
}

int Marked(const StripState& strip, int index) {
    return strip.m_marks[index];
}

void Click(StripState& strip, int slot, unsigned flags) {
    ClickPhoto(strip, strip.m_nFirstVisible + slot, flags);
}

TEST(StripSelection, PlainShiftAndControlClicks) {
    auto strip = StripWith(12);
    strip->m_nFirstVisible = 4;

    Click(*strip, 2, 0);
    EXPECT_EQ(strip->m_nAnchor, 6);
    EXPECT_EQ(strip->m_nMarked, 1);
    EXPECT_EQ(Marked(*strip, 6), 1);

    Click(*strip, 0, MK_SHIFT);
    EXPECT_EQ(strip->m_nAnchor, 6) << "a Shift-click does not move the anchor";
    EXPECT_EQ(strip->m_nRangeLow, 4);
    EXPECT_EQ(strip->m_nRangeHigh, 6);
    EXPECT_EQ(strip->m_nMarked, 3);

    Click(*strip, 1, MK_CONTROL);
    EXPECT_EQ(Marked(*strip, 4), 1);
    EXPECT_EQ(Marked(*strip, 5), 0);
    EXPECT_EQ(Marked(*strip, 6), 1);
    EXPECT_EQ(strip->m_nMarked, 2);
    EXPECT_EQ(strip->m_nAnchor, 5);

    Click(*strip, 3, MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(strip->m_nMarked, 3) << "Shift wins over Control: range 5 to 7";
    EXPECT_EQ(Marked(*strip, 4), 0);

    Click(*strip, 0, 0);
    EXPECT_EQ(strip->m_nMarked, 1);
    EXPECT_EQ(strip->m_nRangeLow, -1);

    UpdateSelection(*strip, 0, 0);
    EXPECT_EQ(strip->m_nMarked, 1) << "modes other than 1 change nothing";
}

TEST(StripSelection, LastIndexIsMarkedAndOnePastItSelectsNothing) {
    // 10001 marks: photo indexes 0 to 10000.
    auto strip = StripWith(3);
    strip->m_nCurrent = 10000;
    UpdateSelection(*strip, 0, 1);
    EXPECT_EQ(strip->m_nMarked, 1);
    EXPECT_EQ(Marked(*strip, 10000), 1);

    strip->m_nCurrent = 10001;
    strip->m_nAnchor = 2;
    UpdateSelection(*strip, MK_SHIFT, 1);
    EXPECT_EQ(strip->m_nMarked, 0);
    EXPECT_EQ(Marked(*strip, 10000), 0) << "the earlier mark is cleared";
    EXPECT_EQ(strip->m_nAnchor, 10001);
}

TEST(StripSelection, SlotsPastTheMarksShowUnselected) {
    auto strip = StripWith(12);
    strip->m_nFirstVisible = PHOTO_CAPACITY - 3;
    strip->m_marks[PHOTO_CAPACITY - 1] = 1;
    bool bSelected[7];
    ASSERT_EQ(SelectedSlots(*strip, bSelected), 7);
    EXPECT_TRUE(bSelected[2]);
    for (int k : {0, 1, 3, 4, 5, 6})
        EXPECT_FALSE(bSelected[k]) << k;
}

TEST(StripHitTest, StrictInsideOnlyWithUnsignedPackedCoordinates) {
    auto strip = StripWith(12);
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(11, 301)), 0);
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(10, 320)), -1) << "left edge column";
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(82, 320)), -1) << "right edge";
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(50, 300)), -1) << "top edge";
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(81 + 480, 353)), 6);
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(86, 320)), -1) << "between slots";
    // A point left of the window arrives as a large unsigned x.
    strip->m_rcSlot[0] = {-100, 300, 82, 354};
    EXPECT_EQ(HitTestSlot(*strip, PackPoint(-5, 320)), -1);
}

TEST(StripScroll, CodesMoveByOneOrByAPageWithinTheRange) {
    auto strip = StripWith(12);
    ASSERT_EQ(strip->m_nScrollMax, 5);
    struct Case {
        int code, p, given, expected;
    } cases[] = {
        {SB_PAGERIGHT, 0, 0, 5},  {SB_PAGELEFT, 5, 0, 0},      {SB_LINERIGHT, 4, 0, 5},
        {SB_LINERIGHT, 5, 0, 5},  {SB_LINELEFT, 0, 0, 0},      {SB_LINELEFT, 3, 0, 2},
        {SB_THUMBTRACK, 1, 4, 4}, {SB_THUMBPOSITION, 1, 3, 3}, {SB_LEFT, 3, 0, 3},
        {SB_ENDSCROLL, 2, 0, 2},  {SB_THUMBTRACK, 1, 99, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollPositionFor(*strip, c.code, c.p, c.given), c.expected)
            << "code " << c.code << " from " << c.p;
}

TEST(StripScroll, RangeFollowsThePhotoCount) {
    QScrollBar bar(Qt::Horizontal);
    auto strip = StripWith(12);
    strip->m_nFirstVisible = 3;
    UpdateScrollRange(*strip, &bar);
    EXPECT_EQ(bar.maximum(), 5);
    EXPECT_EQ(bar.value(), 3);
    EXPECT_EQ(bar.pageStep(), 7);
    strip->m_nPhotoCount = 3;
    strip->m_nFirstVisible = 0;
    UpdateScrollRange(*strip, &bar);
    EXPECT_EQ(strip->m_nScrollMax, 0);
    EXPECT_EQ(bar.maximum(), 0);
}

} // namespace
