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
    if (nAnchor >= 0 && nAnchor < PHOTO_CAPACITY) {
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

struct RouteCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    int nAnchor;
    KeyRoute route;
    std::vector<std::string> calls;
};

class KeyRouting : public ::testing::TestWithParam<RouteCase> {};

TEST_P(KeyRouting, RoutesAndActsOnlyWhereTheRulesSay) {
    const RouteCase& c = GetParam();
    auto s = Strip(20, 4, c.nAnchor);
    RecordingActions actions;

    EXPECT_EQ(PreTranslateKeyMessage(*s, actions, c.message, c.wParam), c.route);

    EXPECT_EQ(actions.calls, c.calls);
    EXPECT_EQ(s->m_nAnchor, c.nAnchor);
    EXPECT_EQ(s->m_nFirstVisible, 4);
}

constexpr UINT WM_KEYUP = 0x0101;
constexpr WPARAM VK_ESCAPE = 27;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, KeyRouting, ::testing::Values(
    RouteCase{"EnterNeverReachesTheDialog",   WM_KEYDOWN,    VK_RETURN,      3, KeyRoute::DispatchOnly,     {}},
    RouteCase{"MaximizeGoesToTheWindow",      WM_SYSCOMMAND, SC_MAXIMIZE,    3, KeyRoute::DispatchOnly,     {}},
    RouteCase{"OtherSysCommandIsStandard",    WM_SYSCOMMAND, 0xF032,         3, KeyRoute::StandardHandling, {}},
    RouteCase{"EscapeIsStandard",             WM_KEYDOWN,    VK_ESCAPE,      3, KeyRoute::StandardHandling, {}},
    RouteCase{"KeyUpDoesNothing",             WM_KEYUP,      VK_LEFT,        3, KeyRoute::StandardHandling, {}},
    RouteCase{"DeleteWithSelectionDeletes",   WM_KEYDOWN,    VK_DELETE,      0, KeyRoute::StandardHandling, {"delete"}},
    RouteCase{"DeleteWithoutSelection",       WM_KEYDOWN,    VK_DELETE,     -1, KeyRoute::StandardHandling, {}},
    RouteCase{"LeftWithoutSelection",         WM_KEYDOWN,    VK_LEFT,       -1, KeyRoute::StandardHandling, {}},
    RouteCase{"RightWithoutSelection",        WM_KEYDOWN,    VK_RIGHT,      -1, KeyRoute::StandardHandling, {}},
    // An anchor past the list's capacity cannot index the marks.
    RouteCase{"AnchorPastCapacityIsNoAnchor", WM_KEYDOWN,    VK_RIGHT, PHOTO_CAPACITY, KeyRoute::StandardHandling, {}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(QtKeys, MapToTheCodesTheRulesUse) {
    const std::pair<int, WPARAM> keys[] = {{Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
                                           {Qt::Key_Left, VK_LEFT},     {Qt::Key_Right, VK_RIGHT},
                                           {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Escape, 0}};
    for (const auto& [qtKey, vk] : keys)
        EXPECT_EQ(VirtualKeyFromQtKey(qtKey), vk) << qtKey;
}

} // namespace
