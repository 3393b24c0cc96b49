#include "app/keyboard_navigation.h"

#include <Qt>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records what the rules ask of the window, in order.
class RecordingActions : public IStripKeyActions {
public:
    std::vector<std::string> calls;
    void RenderThumbnailStrip() override { calls.push_back("render"); }
    void SetStripScrollPos(int nPos) override { calls.push_back("scroll " + std::to_string(nPos)); }
    void UpdateDeleteButton() override { calls.push_back("delete-button"); }
    void OnDeleteButton() override { calls.push_back("delete"); }
};

// A strip of nCount photos scrolled to nFirstVisible with one photo selected
// by a plain click, as the window's own operations leave it.
std::unique_ptr<StripState> Strip(int nCount, int nFirstVisible, int nAnchor) {
    auto s = std::make_unique<StripState>();
    s->m_nPhotoCount = nCount;
    s->m_nScrollMax = std::max(0, nCount - s->m_nSlots);
    s->m_nFirstVisible = nFirstVisible;
    s->m_nAnchor = nAnchor;
    s->m_nCurrent = nAnchor;
    if (nAnchor >= 0) {
        s->m_marks[nAnchor] = 1;
        s->m_nMarked = 1;
    }
    return s;
}

std::vector<int> MarkedPhotos(const StripState& s) {
    std::vector<int> marked;
    for (int i = 0; i < PHOTO_CAPACITY; ++i)
        if (s.m_marks[i])
            marked.push_back(i);
    return marked;
}

KeyRoute Press(StripState& s, IStripKeyActions& actions, WPARAM vk) {
    return PreTranslateKeyMessage(s, actions, WM_KEYDOWN, vk);
}

struct ArrowCase {
    const char* name;
    int nCount;
    int nFirstVisible;
    int nAnchor;
    WPARAM vk;
    int nExpectedAnchor;
    int nExpectedFirstVisible;
    bool bScrollBarSet;
};

class ArrowKeyTable : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowKeyTable, MovesAnchorAndScrollsAsTheTableSays) {
    const ArrowCase& c = GetParam();
    auto s = Strip(c.nCount, c.nFirstVisible, c.nAnchor);
    RecordingActions actions;

    EXPECT_EQ(Press(*s, actions, c.vk), KeyRoute::StandardHandling);

    EXPECT_EQ(s->m_nAnchor, c.nExpectedAnchor);
    EXPECT_EQ(s->m_nFirstVisible, c.nExpectedFirstVisible);
    EXPECT_EQ(MarkedPhotos(*s), std::vector<int>{c.nExpectedAnchor})
        << "the mark follows the anchor";
    EXPECT_EQ(s->m_nMarked, 1);
    std::vector<std::string> expected{"render"};
    if (c.bScrollBarSet)
        expected.push_back("scroll " + std::to_string(c.nExpectedFirstVisible));
    expected.push_back("delete-button");
    EXPECT_EQ(actions.calls, expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Left, ArrowKeyTable, ::testing::Values(
    ArrowCase{"InsideWindowMovesAnchorOnly",              20,  5,  8, VK_LEFT,  7,  5, false},
    ArrowCase{"FirstSlotWithPhotosToTheLeftScrollsByOne", 20,  5,  5, VK_LEFT,  4,  4, true},
    ArrowCase{"PhotoZeroInFirstSlotStaysPut",             20,  0,  0, VK_LEFT,  0,  0, true},
    ArrowCase{"AnchorOutOfViewRightLeadsTheStrip",        30,  0, 15, VK_LEFT, 14, 14, true},
    ArrowCase{"AnchorOutOfViewLeftLeadsTheStrip",         30, 20,  3, VK_LEFT,  2,  2, true},
    ArrowCase{"AnchorOutOfViewLeftOnPhotoZero",           30, 20,  0, VK_LEFT,  0,  0, true},
    ArrowCase{"OutOfViewNearTheEndStopsAtScrollMax",      30,  0, 29, VK_LEFT, 28, 23, true}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Right, ArrowKeyTable, ::testing::Values(
    ArrowCase{"InsideWindowMovesAnchorOnly",              20,  5,  8, VK_RIGHT,  9,  5, false},
    ArrowCase{"LastSlotWithMorePhotosScrollsByOne",       20,  5, 11, VK_RIGHT, 12,  6, true},
    ArrowCase{"LastPhotoInLastSlotStaysPut",              20, 13, 19, VK_RIGHT, 19, 13, true},
    ArrowCase{"LastPhotoOfShortListStaysPut",              3,  0,  2, VK_RIGHT,  2,  0, false},
    ArrowCase{"AnchorOutOfViewLeftEndsTheStrip",          30, 20, 10, VK_RIGHT, 11,  5, true},
    ArrowCase{"AnchorOutOfViewRightEndsTheStrip",         30,  0, 15, VK_RIGHT, 16, 10, true},
    ArrowCase{"OutOfViewNearTheStartNeverBeforePhotoZero",30, 20,  2, VK_RIGHT,  3,  0, true}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(ArrowKeyRange, ShiftRangeCollapsesToOneMarkNextToTheFormerAnchor) {
    for (WPARAM vk : {VK_LEFT, VK_RIGHT}) {
        // Plain click on 6, then Shift-click on 3: photos 3 to 6 marked, anchor 6.
        auto s = Strip(20, 0, 6);
        s->m_nCurrent = 3;
        s->m_nRangeLow = 3;
        s->m_nRangeHigh = 6;
        for (int i = 3; i <= 6; ++i)
            s->m_marks[i] = 1;
        s->m_nMarked = 4;
        RecordingActions actions;

        Press(*s, actions, vk);

        const int nExpected = vk == VK_LEFT ? 5 : 7;
        EXPECT_EQ(MarkedPhotos(*s), std::vector<int>{nExpected});
        EXPECT_EQ(s->m_nAnchor, nExpected);
        EXPECT_EQ(s->m_nMarked, 1);
        EXPECT_EQ(s->m_nCurrent, -1);
        EXPECT_EQ(s->m_nRangeLow, -1);
        EXPECT_EQ(s->m_nRangeHigh, -1);
    }
}

TEST(ArrowKeyRange, ControlClickMarksWithoutRangeStay) {
    // Control-clicks on 2 and 4: no range, anchor 4.
    auto s = Strip(20, 0, 4);
    s->m_marks[2] = 1;
    s->m_nMarked = 2;
    RecordingActions actions;

    Press(*s, actions, VK_RIGHT);

    EXPECT_EQ(MarkedPhotos(*s), (std::vector<int>{2, 5}));
    EXPECT_EQ(s->m_nMarked, 2);
    EXPECT_EQ(s->m_nAnchor, 5);
    EXPECT_EQ(s->m_nCurrent, 4) << "without a range the last click is kept";
}

TEST(ArrowKeyRange, RangeOnLastPhotoCollapsesEvenWhenTheAnchorCannotMove) {
    auto s = Strip(10, 3, 9);
    s->m_nCurrent = 7;
    s->m_nRangeLow = 7;
    s->m_nRangeHigh = 9;
    for (int i = 7; i <= 9; ++i)
        s->m_marks[i] = 1;
    s->m_nMarked = 3;
    RecordingActions actions;

    Press(*s, actions, VK_RIGHT);

    EXPECT_EQ(MarkedPhotos(*s), std::vector<int>{9});
    EXPECT_EQ(s->m_nMarked, 1);
}

TEST(KeyWithoutSelection, ArrowsAndDeleteChangeNothingAndGoToStandardHandling) {
    for (WPARAM vk : {VK_LEFT, VK_RIGHT, VK_DELETE}) {
        auto s = Strip(20, 4, -1);
        RecordingActions actions;

        EXPECT_EQ(Press(*s, actions, vk), KeyRoute::StandardHandling);

        EXPECT_TRUE(actions.calls.empty()) << "key " << vk;
        EXPECT_EQ(s->m_nAnchor, -1);
        EXPECT_EQ(s->m_nFirstVisible, 4);
        EXPECT_TRUE(MarkedPhotos(*s).empty());
    }
}

TEST(KeyWithoutSelection, AnchorOutsideTheListCapacityIsNotUsedAsAnIndex) {
    for (int nAnchor : {PHOTO_CAPACITY, -5}) {
        auto s = Strip(20, 0, -1);
        s->m_nAnchor = nAnchor;
        RecordingActions actions;

        Press(*s, actions, VK_LEFT);
        Press(*s, actions, VK_RIGHT);

        EXPECT_TRUE(actions.calls.empty());
        EXPECT_EQ(s->m_nAnchor, nAnchor);
    }
}

TEST(DeleteKey, WithSelectionRunsTheDeleteButtonThenStandardHandling) {
    auto s = Strip(20, 0, 0);
    RecordingActions actions;

    EXPECT_EQ(Press(*s, actions, VK_DELETE), KeyRoute::StandardHandling);

    EXPECT_EQ(actions.calls, std::vector<std::string>{"delete"});
}

TEST(KeyRouting, EnterAndMaximizeAreDispatchedWithoutTheDialogHandling) {
    auto s = Strip(20, 0, 3);
    RecordingActions actions;

    EXPECT_EQ(Press(*s, actions, VK_RETURN), KeyRoute::DispatchOnly);
    EXPECT_EQ(PreTranslateKeyMessage(*s, actions, WM_SYSCOMMAND, SC_MAXIMIZE),
              KeyRoute::DispatchOnly);

    EXPECT_TRUE(actions.calls.empty());
    EXPECT_EQ(s->m_nAnchor, 3);
}

TEST(KeyRouting, OtherKeysAndMessagesKeepTheStandardHandling) {
    constexpr UINT WM_KEYUP = 0x0101;
    constexpr WPARAM VK_ESCAPE = 27, VK_TAB = 9;
    auto s = Strip(20, 0, 3);
    RecordingActions actions;

    EXPECT_EQ(Press(*s, actions, VK_ESCAPE), KeyRoute::StandardHandling);
    EXPECT_EQ(Press(*s, actions, VK_TAB), KeyRoute::StandardHandling);
    EXPECT_EQ(PreTranslateKeyMessage(*s, actions, WM_KEYUP, VK_RETURN), KeyRoute::StandardHandling);
    EXPECT_EQ(PreTranslateKeyMessage(*s, actions, WM_KEYUP, VK_LEFT), KeyRoute::StandardHandling);
    EXPECT_EQ(PreTranslateKeyMessage(*s, actions, WM_SYSCOMMAND, 0xF032),
              KeyRoute::StandardHandling);
    EXPECT_EQ(PreTranslateKeyMessage(*s, actions, WM_KEYDOWN, SC_MAXIMIZE),
              KeyRoute::StandardHandling);

    EXPECT_TRUE(actions.calls.empty()) << "only key-downs of Left, Right and Delete act";
    EXPECT_EQ(s->m_nAnchor, 3);
}

TEST(KeyRouting, QtKeysMapToTheCodesTheRulesUse) {
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Return), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Enter), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Left), VK_LEFT);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Right), VK_RIGHT);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Delete), VK_DELETE);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Escape), 0u);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Backspace), 0u);
}

} // namespace
