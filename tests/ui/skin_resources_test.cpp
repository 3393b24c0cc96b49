#include "ui/control_layout.h"
#include "ui/resolution_menus.h"
#include "ui/resource_ids.h"
#include "ui/skin_resources.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

struct BitmapCase {
    int id;
    int width;
    int height;
    bool alpha;
};

TEST(SkinBitmaps, EveryBitmapHasItsSizeAndDepth) {
    std::vector<BitmapCase> cases;
    for (int id : {132, 133, 134, 135, 136, 137, 138, 139, 156, 157, 158, 159})
        cases.push_back({id, 40, 30, true});
    for (int id : {143, 144, 145, 149, 150, 151, 153, 154, 155})
        cases.push_back({id, 86, 30, false});
    cases.push_back({IDB_LOGO, 75, 20, true});
    for (const BitmapCase& c : cases) {
        SCOPED_TRACE(c.id);
        QPixmap bitmap;
        ASSERT_EQ(LoadBitmapResource(bitmap, c.id), TRUE);
        EXPECT_EQ(bitmap.size(), QSize(c.width, c.height));
        EXPECT_EQ(bitmap.hasAlphaChannel(), c.alpha);
    }
}

TEST(SkinBitmaps, UnknownIdLeavesTheBitmapEmpty) {
    QPixmap bitmap(4, 4);
    EXPECT_EQ(LoadBitmapResource(bitmap, 140), FALSE);
    EXPECT_TRUE(bitmap.isNull());
}

TEST(SkinIcons, BothIconsHoldSixSizes) {
    for (int id : {IDI_MAIN, IDI_ABOUT}) {
        const QList<QSize> sizes = LoadIconResource(id).availableSizes();
        for (int size : ICON_IMAGE_SIZES)
            EXPECT_TRUE(sizes.contains(QSize(size, size))) << id << " " << size;
    }
    EXPECT_TRUE(LoadIconResource(5).isNull());
}

TEST(ResolutionMenus, FullAndBasicMenusInTheirOrder) {
    const MenuResource* full = FindMenuResource(IDR_RES_MENU_FULL);
    ASSERT_NE(full, nullptr);
    EXPECT_STREQ(full->szPopupCaption, "Resolution");
    ASSERT_EQ(full->nItems, 3);
    EXPECT_EQ(full->pItems[0].nCommand, ID_RES_320X240);
    EXPECT_EQ(full->pItems[1].nCommand, ID_RES_640X480);
    EXPECT_EQ(full->pItems[2].nCommand, ID_RES_1_3M);
    EXPECT_STREQ(full->pItems[2].szText, "1.3M");

    auto basic = LoadPopupMenu(IDR_RES_MENU_BASIC, nullptr);
    ASSERT_NE(basic, nullptr);
    const QList<QAction*> actions = basic->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("320x240"));
    EXPECT_EQ(actions[0]->data().toInt(), ID_RES_320X240);
    EXPECT_EQ(actions[1]->text(), QStringLiteral("640x480"));
    EXPECT_FALSE(actions[1]->isCheckable());
    EXPECT_EQ(LoadPopupMenu(152, nullptr), nullptr);
}

TEST(WindowSize, HeightGrowsWithTheVerticalDpi) {
    EXPECT_EQ(MainWindowHeight(96), 646);
    EXPECT_EQ(MainWindowHeight(120), 654);
    EXPECT_EQ(MainWindowHeight(144), 662);
    EXPECT_EQ(MainWindowHeight(100), 647) << "integer division";
    EXPECT_EQ(MAIN_WINDOW_WIDTH, 645);
}

} // namespace
