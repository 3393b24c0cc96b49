#include "app/camera_dlg.h"
#include "library/library_texts.h"
#include "platform/language_id.h"
#include "test_photos.h"
#include "window_fixture.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int PHOTOS = 10;

// Keys typed on the shown window with ten photos in its strip, through the
// event path a real key takes: to the focused control, then the window.
class WindowKeyboard : public ShownWindowWithPhotos {
protected:
    WindowKeyboard() : ShownWindowWithPhotos(PHOTOS) {}

    void SetUp() override {
        ShownWindowWithPhotos::SetUp();
        Activate();
    }

    // One key press and release; the copies the strip controls forward are
    // delivered before it returns.
    void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(Dlg()), key, modifiers);
        QCoreApplication::sendPostedEvents();
    }
};

// The window itself, the strip's scroll bar and a thumbnail cell: the strip's
// controls forward what they receive to the window.
std::vector<QWidget*> FocusPlaces(CCameraDlg& dlg) {
    return {&dlg, &dlg.m_sbStrip, &dlg.m_stcThumb[3]};
}

TEST_F(WindowKeyboard, EnterNeverClosesTheWindowWhereverTheFocusIs) {
    ClickSlot(1);
    for (QWidget* place : FocusPlaces(Dlg())) {
        SCOPED_TRACE(place->metaObject()->className());
        place->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            Type(key);
            EXPECT_TRUE(Dlg().isVisible());
            EXPECT_EQ(Dlg().result(), QDialog::Rejected) << "not accepted either";
        }
    }
    EXPECT_EQ(Dlg().m_nAnchor, 1) << "Enter acts on nothing";
    EXPECT_TRUE(m_questions.empty());
}

TEST_F(WindowKeyboard, EscapeClosesTheWindow) {
    Type(Qt::Key_Escape);
    EXPECT_FALSE(Dlg().isVisible());
    EXPECT_EQ(Dlg().result(), QDialog::Rejected);
}

TEST_F(WindowKeyboard, ArrowsDoNothingWithoutASelection) {
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Delete})
        Type(key);
    EXPECT_EQ(Dlg().m_nAnchor, -1);
    EXPECT_EQ(Dlg().m_nFirstVisible, 0);
    EXPECT_TRUE(Marked().empty());
    EXPECT_FALSE(Dlg().m_btnDelete.isEnabled());
    EXPECT_TRUE(m_questions.empty()) << "Delete asks nothing";
}

TEST_F(WindowKeyboard, RightAndLeftWalkTheWholeStripScrollingAtItsEdges) {
    ClickSlot(0);
    ASSERT_EQ(Dlg().m_nAnchor, 0);
    const int nScrollMax = PHOTOS - 7;
    for (int n = 1; n <= PHOTOS; ++n) {
        Type(Qt::Key_Right);
        const int nAnchor = std::min(n, PHOTOS - 1);
        EXPECT_EQ(Dlg().m_nAnchor, nAnchor) << "after " << n << " x Right";
        EXPECT_EQ(Dlg().m_nFirstVisible, std::max(0, nAnchor - 6));
        EXPECT_EQ(Dlg().m_sbStrip.value(), Dlg().m_nFirstVisible) << "the bar follows the strip";
        EXPECT_EQ(Marked(), std::vector<int>{nAnchor});
    }
    EXPECT_EQ(Dlg().m_nFirstVisible, nScrollMax);
    for (int n = 1; n <= PHOTOS; ++n) {
        Type(Qt::Key_Left);
        const int nAnchor = std::max(PHOTOS - 1 - n, 0);
        EXPECT_EQ(Dlg().m_nAnchor, nAnchor) << "after " << n << " x Left";
        EXPECT_EQ(Dlg().m_nFirstVisible, std::min(nAnchor, nScrollMax));
        EXPECT_EQ(Dlg().m_sbStrip.value(), Dlg().m_nFirstVisible);
        EXPECT_EQ(Marked(), std::vector<int>{nAnchor});
    }
    EXPECT_TRUE(Dlg().m_btnDelete.isEnabled());
}

TEST_F(WindowKeyboard, OnePressMovesTheSelectionOnceWhicheverControlHasTheFocus) {
    ClickSlot(0);
    std::vector<QWidget*> places{&Dlg()};
    for (QWidget* child : Dlg().findChildren<QWidget*>())
        places.push_back(child);
    for (QWidget* place : places) {
        SCOPED_TRACE(place->metaObject()->className());
        place->setFocus();
        Type(Qt::Key_Right);
        EXPECT_EQ(Dlg().m_nAnchor, 1);
        EXPECT_EQ(Marked(), std::vector<int>{1});
        Type(Qt::Key_Left);
        EXPECT_EQ(Dlg().m_nAnchor, 0);
        EXPECT_EQ(Marked(), std::vector<int>{0});
    }
}

TEST_F(WindowKeyboard, ArrowFromAnAnchorScrolledOutOfViewBringsItBack) {
    ClickSlot(0);
    // A page to the right on the bar: photo 0 is out of view.
    Dlg().m_sbStrip.triggerAction(QAbstractSlider::SliderPageStepAdd);
    ASSERT_EQ(Dlg().m_nFirstVisible, PHOTOS - 7);
    Type(Qt::Key_Right);
    EXPECT_EQ(Dlg().m_nAnchor, 1);
    EXPECT_EQ(Dlg().m_nFirstVisible, 0) << "never before photo 0";
    EXPECT_EQ(Dlg().m_sbStrip.value(), 0);
}

TEST_F(WindowKeyboard, ArrowAfterAShiftRangeLeavesOneMark) {
    ClickSlot(2);
    ClickSlot(5, Qt::ShiftModifier);
    ASSERT_EQ(Marked(), (std::vector<int>{2, 3, 4, 5}));
    Type(Qt::Key_Right);
    EXPECT_EQ(Marked(), std::vector<int>{3});
    EXPECT_EQ(Dlg().m_nMarked, 1);
    EXPECT_EQ(Dlg().m_nAnchor, 3);
}

TEST_F(WindowKeyboard, DeleteAsksTheQuestionAndNoKeepsTheFiles) {
    ClickSlot(2);
    ClickSlot(4, Qt::ControlModifier);
    Type(Qt::Key_Delete);

    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].text, DeleteConfirmText(GetSystemDefaultLangID()));
    EXPECT_EQ(m_questions[0].caption, APP_TITLE);
    EXPECT_EQ(m_questions[0].style, MB_YESNO | MB_ICONQUESTION);
    for (int n = 0; n < PHOTOS; ++n)
        EXPECT_TRUE(FileExists(Pictures() + "/" + PictureName(n))) << n;
    EXPECT_EQ(Dlg().m_nPhotoCount, PHOTOS);
    EXPECT_EQ(Marked(), (std::vector<int>{2, 4})) << "the selection stays";
    EXPECT_EQ(Dlg().m_sync_dir_status, 0);
    EXPECT_TRUE(Dlg().isVisible());
}

} // namespace
