#include "app/camera_dlg.h"
#include "ui/resource_ids.h"
#include "ui/skin_resources.h"
#include "window_fixture.h"

#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Placement {
    int nID;
    int left, top, width, height;
};

// Client coordinates of every control once the window is laid out.
const Placement PLACEMENTS[] = {
    {IDC_VIDEO_HOST, -2, -2, 640, 480}, {IDC_PREVIEW_FRAME, 0, 0, 641, 480},
    {IDC_SNAPSHOT, 3, 486, 40, 30},     {IDC_DELETE, 49, 486, 40, 30},
    {IDC_RESOLUTION, 96, 486, 86, 30},  {IDC_LOGO, 555, 489, 75, 20},
    {IDC_THUMB1, 22, 529, 72, 54},      {IDC_THUMB2, 108, 529, 72, 54},
    {IDC_THUMB3, 193, 529, 72, 54},     {IDC_THUMB4, 279, 529, 72, 54},
    {IDC_THUMB5, 364, 529, 72, 54},     {IDC_THUMB6, 450, 529, 72, 54},
    {IDC_THUMB7, 535, 529, 72, 54},     {IDC_STRIP_SCROLL, -2, 598, 642, 15},
    {IDC_PROPERTIES, 189, 486, 40, 30},
};

TEST(WindowTemplate, ControlsHaveTheirIdsKindsAndInputStyles) {
    CCameraDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Nimbrel Vizor webcam"));
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMaximizeButtonHint);
    for (const Placement& p : PLACEMENTS) {
        QWidget* control = dlg.GetDlgItem(p.nID);
        ASSERT_NE(control, nullptr) << p.nID;
        EXPECT_EQ(control->parentWidget(), &dlg);
        if (auto* image = qobject_cast<CImageStatic*>(control)) {
            EXPECT_EQ(image->GetDlgCtrlID(), p.nID);
        }
    }
    for (int nID : {IDC_SNAPSHOT, IDC_DELETE, IDC_RESOLUTION, IDC_PROPERTIES})
        EXPECT_FALSE(dlg.GetDlgItem(nID)->testAttribute(Qt::WA_TransparentForMouseEvents)) << nID;
    for (int nID :
         {IDC_LOGO, IDC_PREVIEW_FRAME, IDC_VIDEO_HOST, IDC_THUMB1, IDC_THUMB4, IDC_THUMB7})
        EXPECT_TRUE(dlg.GetDlgItem(nID)->testAttribute(Qt::WA_TransparentForMouseEvents)) << nID;
    EXPECT_NE(qobject_cast<QScrollBar*>(dlg.GetDlgItem(IDC_STRIP_SCROLL)), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(1005), nullptr);
    EXPECT_EQ(dlg.GetDlgItem(IDC_THUMB7 + 1), nullptr);
}

TEST(WindowTemplate, ButtonsStartWithTheirNormalPictures) {
    CCameraDlg dlg;
    const struct {
        CImageStatic* control;
        int id;
    } cases[] = {{&dlg.m_btnSnapshot, IDB_SNAPSHOT_NORMAL},
                 {&dlg.m_btnDelete, IDB_DELETE_NORMAL},
                 {&dlg.m_btnResolution, IDB_RES640_NORMAL},
                 {&dlg.m_btnProperties, IDB_PROPERTIES_NORMAL},
                 {&dlg.m_btnLogo, IDB_LOGO}};
    for (const auto& c : cases) {
        QPixmap expected;
        LoadBitmapResource(expected, c.id);
        EXPECT_TRUE(SameImage(c.control->GetImage(), expected)) << c.id;
    }
}

TEST(WindowLayout, LogoIsHiddenUntilTheFirstLayoutPass) {
    CCameraDlg dlg;
    EXPECT_TRUE(dlg.m_btnLogo.isHidden());
    EXPECT_FALSE(dlg.m_btnSnapshot.isHidden());
    dlg.LayoutControls();
    EXPECT_FALSE(dlg.m_btnLogo.isHidden());
}

TEST_F(ShownWindow, EveryControlSitsAtItsPixelPosition) {
    for (const Placement& p : PLACEMENTS) {
        EXPECT_EQ(Dlg().GetDlgItem(p.nID)->geometry(), QRect(p.left, p.top, p.width, p.height))
            << p.nID;
        EXPECT_TRUE(Dlg().GetDlgItem(p.nID)->isVisible()) << p.nID;
    }
}

TEST_F(ShownWindow, ClientAreaEndsJustBelowTheScrollBar) {
    EXPECT_EQ(Dlg().size(), QSize(641, 614));
    EXPECT_EQ(Dlg().minimumSize(), Dlg().maximumSize()) << "fixed size";
    const QRect scrollBar = Dlg().GetDlgItem(IDC_STRIP_SCROLL)->geometry();
    EXPECT_EQ(scrollBar.bottom(), 612);
    EXPECT_EQ(Dlg().GetDlgItem(IDC_PREVIEW_FRAME)->geometry().right(), Dlg().width() - 1)
        << "the preview fills the width";
}

TEST_F(ShownWindow, StripGeometryIsMeasuredInClientCoordinates) {
    EXPECT_EQ(Dlg().m_rcSlot[0], (RECT{22, 529, 94, 583}));
    EXPECT_EQ(Dlg().m_rcSlot[3], (RECT{279, 529, 351, 583}));
    EXPECT_EQ(Dlg().m_rcSlot[6], (RECT{535, 529, 607, 583}));
    EXPECT_EQ(Dlg().m_rcScrollBar, (RECT{-2, 598, 640, 613}));
}

TEST_F(ShownWindow, StartsWithNothingSelectedAndTheDeleteButtonDisabled) {
    EXPECT_EQ(Dlg().m_nAnchor, -1);
    EXPECT_EQ(Dlg().m_btnResolution.m_nResolution, RES_640X480);
    EXPECT_FALSE(Dlg().m_btnDelete.isEnabled());
    EXPECT_EQ(Dlg().m_btnDelete.m_bDisabledLook, TRUE);
    EXPECT_TRUE(SameImage(Dlg().m_btnDelete.GetImage(), Dlg().m_btnDelete.m_bmpDisabled));
    EXPECT_EQ(g_pMainDlg, &Dlg());
}

TEST(WindowLifetime, KeyForwardingTargetIsClearedWithTheWindow) {
    auto dlg = std::make_unique<CCameraDlg>();
    dlg->OnInitDialog();
    EXPECT_EQ(g_pMainDlg, dlg.get());
    dlg.reset();
    EXPECT_EQ(g_pMainDlg, nullptr);
}

} // namespace
