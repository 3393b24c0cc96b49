#include "ui/resource_ids.h"
#include "ui/skin_resources.h"

#include <QAction>
#include <QIcon>
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

} // namespace
