#include "app/camera_dlg.h"
#include "ui/resource_ids.h"
#include "window_fixture.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>

namespace {

// Points in client coordinates.
const QPoint ON_SNAPSHOT(23, 501);
const QPoint ON_DELETE(69, 501);
const QPoint ON_RESOLUTION(139, 501);
const QPoint ON_PROPERTIES(209, 501);
const QPoint ON_GAP(46, 501);
const QPoint ON_PANEL(100, 560);
const QPoint ON_CELL(50, 556);
const QPoint ON_LOGO(590, 499);
const QPoint ON_PREVIEW(300, 200);

class WindowMouse : public ShownWindow {
protected:
    // The pointer stays where the last test left it, and a move to the same
    // place is no move: every test starts from a place of its own.
    void SetUp() override {
        ShownWindow::SetUp();
        MoveTo(QPoint(400, 640));
    }

    void MoveTo(QPoint p) { QTest::mouseMove(&Dlg(), p); }
    void Press(QPoint p) { QTest::mousePress(&Dlg(), Qt::LeftButton, {}, p); }
    void Release(QPoint p) { QTest::mouseRelease(&Dlg(), Qt::LeftButton, {}, p); }

    bool Shows(const CImageStatic& control, const QPixmap& image) {
        return SameImage(control.GetImage(), image);
    }
};

TEST_F(WindowMouse, HoverLastsUntilThePointerReachesTheWindowsOwnArea) {
    for (QPoint own : {ON_GAP, ON_PANEL, ON_CELL, ON_LOGO, ON_PREVIEW}) {
        SCOPED_TRACE(testing::Message() << own.x() << "," << own.y());
        MoveTo(ON_SNAPSHOT);
        EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpHover));
        MoveTo(ON_PROPERTIES);
        EXPECT_TRUE(Shows(Dlg().m_btnProperties, Dlg().m_btnProperties.m_bmpHover));
        EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpHover))
            << "moving from button to button resets nothing";
        MoveTo(own);
        EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpNormal));
        EXPECT_TRUE(Shows(Dlg().m_btnProperties, Dlg().m_btnProperties.m_bmpNormal));
    }
}

TEST_F(WindowMouse, PressShowsPressedReportsAtOnceThenHoverOnMove) {
    QSignalSpy commands(&Dlg().m_btnSnapshot, &CImageStatic::Command);
    MoveTo(ON_SNAPSHOT);
    Press(ON_SNAPSHOT);
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands[0][0].toInt(), IDC_SNAPSHOT);
    EXPECT_EQ(commands[0][1].toInt(), STN_CLICKED);
    EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpPressed));

    // Held down and moved within the button: hover replaces pressed.
    QTest::mouseMove(&Dlg(), ON_SNAPSHOT + QPoint(3, 1));
    EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpHover));
    Release(ON_SNAPSHOT + QPoint(3, 1));
    EXPECT_EQ(commands.count(), 1);
    EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpHover));
    MoveTo(ON_GAP);
    EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpNormal));
}

TEST_F(WindowMouse, OneMoveOverTheWindowResetsAllFiveButtons) {
    Dlg().m_nAnchor = 0;
    Dlg().UpdateDeleteButton();
    MoveTo(ON_RESOLUTION);
    Press(ON_RESOLUTION);
    Release(ON_RESOLUTION);
    MoveTo(ON_DELETE);
    MoveTo(ON_SNAPSHOT);
    Press(ON_SNAPSHOT);
    EXPECT_TRUE(Shows(Dlg().m_btnResolution, Dlg().m_btnResolution.m_bmp[1]));
    EXPECT_TRUE(Shows(Dlg().m_btnDelete, Dlg().m_btnDelete.m_bmpHover));
    Release(ON_SNAPSHOT);
    MoveTo(ON_PANEL);
    EXPECT_TRUE(Shows(Dlg().m_btnSnapshot, Dlg().m_btnSnapshot.m_bmpNormal));
    EXPECT_TRUE(Shows(Dlg().m_btnDelete, Dlg().m_btnDelete.m_bmpNormal));
    EXPECT_TRUE(Shows(Dlg().m_btnProperties, Dlg().m_btnProperties.m_bmpNormal));
    EXPECT_TRUE(Shows(Dlg().m_btnLogo, Dlg().m_btnLogo.m_bmpNormal));
    EXPECT_TRUE(Shows(Dlg().m_btnResolution, Dlg().m_btnResolution.m_bmp[0]));
}

TEST_F(WindowMouse, DisabledDeleteIgnoresPressesAndKeepsItsDisabledImage) {
    QSignalSpy commands(&Dlg().m_btnDelete, &CImageStatic::Command);
    const QPixmap disabled = Dlg().m_btnDelete.m_bmpDisabled;
    for (QPoint p : {ON_DELETE, ON_DELETE + QPoint(5, 2), ON_GAP, ON_DELETE}) {
        MoveTo(p);
        EXPECT_TRUE(Shows(Dlg().m_btnDelete, disabled));
    }
    Press(ON_DELETE);
    Release(ON_DELETE);
    EXPECT_EQ(commands.count(), 0);
    EXPECT_TRUE(Shows(Dlg().m_btnDelete, disabled));
}

TEST_F(WindowMouse, DeleteButtonFollowsTheSelectionAnchor) {
    QSignalSpy commands(&Dlg().m_btnDelete, &CImageStatic::Command);
    const std::pair<int, bool> anchorsAndStates[] = {{0, true}, {5, true}, {-1, false}, {2, true}};
    for (const auto& [nAnchor, enabled] : anchorsAndStates) {
        Dlg().m_nAnchor = nAnchor;
        Dlg().UpdateDeleteButton();
        EXPECT_EQ(Dlg().m_btnDelete.isEnabled(), enabled) << nAnchor;
        EXPECT_EQ(Dlg().m_btnDelete.m_bDisabledLook, enabled ? FALSE : TRUE);
        EXPECT_TRUE(Shows(Dlg().m_btnDelete, enabled ? Dlg().m_btnDelete.m_bmpNormal
                                                     : Dlg().m_btnDelete.m_bmpDisabled));
    }
    MoveTo(ON_DELETE);
    EXPECT_TRUE(Shows(Dlg().m_btnDelete, Dlg().m_btnDelete.m_bmpHover));
    Press(ON_DELETE);
    EXPECT_EQ(commands.count(), 1);
    EXPECT_TRUE(Shows(Dlg().m_btnDelete, Dlg().m_btnDelete.m_bmpPressed));
    Release(ON_DELETE);
}

} // namespace
