#include "ui/resolution_button.h"
#include "ui/resource_ids.h"
#include "ui/skin_button.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

bool Same(const QPixmap& a, const QPixmap& b) {
    return !a.isNull() && !b.isNull() && a.toImage() == b.toImage();
}

constexpr int MISSING_ID = 4242;

TEST(SkinButtonBitmaps, NegativeIdsStandForTheNormalImage) {
    CSkinButton button;
    EXPECT_EQ(button.LoadBitmaps(IDB_LOGO, -1, -7, -1), TRUE);
    EXPECT_TRUE(Same(button.m_bmpHover, button.m_bmpNormal));
    EXPECT_TRUE(Same(button.m_bmpPressed, button.m_bmpNormal));
    EXPECT_TRUE(Same(button.m_bmpDisabled, button.m_bmpNormal));
}

TEST(SkinButtonBitmaps, ResultIsTheAndOfTheImagesAskedFor) {
    CSkinButton button;
    EXPECT_EQ(button.LoadBitmaps(IDB_LOGO, MISSING_ID, IDB_LOGO, IDB_LOGO), FALSE);
    EXPECT_TRUE(button.m_bmpHover.isNull()) << "a failed image stays empty";
    EXPECT_FALSE(button.m_bmpPressed.isNull());

    CSkinButton noNormal;
    EXPECT_EQ(noNormal.LoadBitmaps(MISSING_ID, IDB_LOGO, IDB_LOGO, -1), FALSE);
    EXPECT_TRUE(noNormal.m_bmpDisabled.isNull()) << "the fallback of a missing normal image";
    EXPECT_FALSE(noNormal.m_bmpHover.isNull());
}

TEST(SkinButtonBitmaps, OnlyTheLow16BitsOfAnIdCount) {
    CSkinButton button;
    EXPECT_EQ(button.LoadBitmaps(0x10000 + IDB_SNAPSHOT_NORMAL, 0x70000 + IDB_SNAPSHOT_HOVER,
                                 IDB_SNAPSHOT_PRESSED, IDB_SNAPSHOT_DISABLED),
              TRUE);
    CSkinButton plain;
    plain.LoadBitmaps(IDB_SNAPSHOT_NORMAL, IDB_SNAPSHOT_HOVER, -1, -1);
    EXPECT_TRUE(Same(button.m_bmpNormal, plain.m_bmpNormal));
    EXPECT_TRUE(Same(button.m_bmpHover, plain.m_bmpHover));
}

TEST(SkinButtonImages, IdleImageFollowsTheDisabledLook) {
    CSkinButton button;
    button.LoadBitmaps(IDB_DELETE_NORMAL, IDB_DELETE_HOVER, IDB_DELETE_PRESSED,
                       IDB_DELETE_DISABLED);
    button.ShowIdleImage();
    EXPECT_TRUE(Same(button.GetImage(), button.m_bmpNormal));
    button.m_bDisabledLook = TRUE;
    button.ShowIdleImage();
    EXPECT_TRUE(Same(button.GetImage(), button.m_bmpDisabled));
    button.m_bDisabledLook = FALSE;
    button.ShowDisabledImage();
    EXPECT_TRUE(Same(button.GetImage(), button.m_bmpDisabled));
    EXPECT_EQ(button.m_bDisabledLook, FALSE) << "showing does not change the look flag";
}

TEST(ResolutionButtonBitmaps, NineImagesAndFallbacksPerMode) {
    CResolutionButton button;
    EXPECT_EQ(button.LoadBitmaps(IDB_RES640_NORMAL, IDB_RES640_HOVER, IDB_RES640_PRESSED,
                                 IDB_RES320_NORMAL, -1, -1, IDB_RES1_3M_NORMAL, IDB_RES1_3M_HOVER,
                                 IDB_RES1_3M_PRESSED),
              TRUE);
    EXPECT_TRUE(Same(button.m_bmp[4], button.m_bmp[3])) << "mode 1 hover falls back to its normal";
    EXPECT_TRUE(Same(button.m_bmp[5], button.m_bmp[3]));
    EXPECT_FALSE(Same(button.m_bmp[0], button.m_bmp[3]));
    EXPECT_FALSE(Same(button.m_bmp[6], button.m_bmp[7]));
    EXPECT_EQ(button.LoadBitmaps(IDB_RES640_NORMAL, MISSING_ID, -1, IDB_RES320_NORMAL, -1, -1,
                                 IDB_RES1_3M_NORMAL, -1, -1),
              FALSE);
}

TEST(ResolutionButtonImages, ModePicksTheImageSet) {
    CResolutionButton button;
    button.LoadBitmaps(IDB_RES640_NORMAL, IDB_RES640_HOVER, IDB_RES640_PRESSED, IDB_RES320_NORMAL,
                       IDB_RES320_HOVER, IDB_RES320_PRESSED, IDB_RES1_3M_NORMAL, IDB_RES1_3M_HOVER,
                       IDB_RES1_3M_PRESSED);
    const struct {
        int nMode;
        int nSet;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {-1, 2}};
    for (const auto& c : cases) {
        button.m_nResolution = c.nMode;
        button.ShowIdleImage();
        EXPECT_TRUE(Same(button.GetImage(), button.m_bmp[c.nSet * 3])) << c.nMode;
    }
}

// A button in a plain parent window, driven through the window system.
class SkinButtonMouse : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent.setMouseTracking(true);
        m_parent.resize(200, 100);
        m_button.setParent(&m_parent);
        m_button.SetControlId(IDC_SNAPSHOT);
        m_button.SetNotifyStyle(true);
        m_button.LoadBitmaps(IDB_SNAPSHOT_NORMAL, IDB_SNAPSHOT_HOVER, IDB_SNAPSHOT_PRESSED,
                             IDB_SNAPSHOT_DISABLED);
        m_button.setGeometry(10, 10, 40, 30);
        m_button.ShowIdleImage();
        m_parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_parent));
    }

    QWidget m_parent;
    CSkinButton m_button;
};

TEST_F(SkinButtonMouse, RightButtonNeitherPressesNorClicks) {
    QSignalSpy commands(&m_button, &CImageStatic::Command);
    QTest::mousePress(&m_parent, Qt::RightButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&m_parent, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(commands.count(), 0);
    EXPECT_FALSE(Same(m_button.GetImage(), m_button.m_bmpPressed));
}

TEST_F(SkinButtonMouse, DoubleClickCountsAsOneClick) {
    QSignalSpy commands(&m_button, &CImageStatic::Command);
    QTest::mouseDClick(&m_parent, Qt::LeftButton, {}, QPoint(20, 20));
    int clicks = 0;
    for (const QList<QVariant>& c : commands)
        clicks += c[1].toInt() == STN_CLICKED ? 1 : 0;
    EXPECT_EQ(clicks, 1);
}

TEST_F(SkinButtonMouse, ReleaseAfterDraggingOffKeepsThePicture) {
    QTest::mousePress(&m_parent, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(&m_parent, QPoint(150, 80));
    QTest::mouseRelease(&m_parent, Qt::LeftButton, {}, QPoint(150, 80));
    EXPECT_TRUE(Same(m_button.GetImage(), m_button.m_bmpPressed));
}

} // namespace
