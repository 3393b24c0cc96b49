#include "ui/resource_ids.h"
#include "ui/skin_resources.h"

#include <QAction>
#include <QIcon>
#include <QImage>
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

// The window's icon is transparent at every size: task switchers show its
// largest image, and an opaque one would be a grey square.
TEST(SkinIcons, BothIconsHoldEverySizeAndTheWindowIconIsTransparent) {
    for (int id : {IDI_MAIN, IDI_ABOUT}) {
        const QIcon icon = LoadIconResource(id);
        const QList<QSize> sizes = icon.availableSizes();
        for (int size : ICON_IMAGE_SIZES) {
            EXPECT_TRUE(sizes.contains(QSize(size, size))) << id << " " << size;
            if (id == IDI_MAIN) {
                EXPECT_TRUE(icon.pixmap(size).hasAlphaChannel()) << size;
            }
        }
    }
    EXPECT_TRUE(LoadIconResource(5).isNull());
}

// Nothing of the drawing is cut off at an image's edge: the logo's last
// column and the corners of every icon image stay transparent, at both
// scales; the icons installed for the desktop are transparent at every size.
TEST(SkinArt, DrawingEndsInsideTheImages) {
    QPixmap unused;
    ASSERT_EQ(LoadBitmapResource(unused, IDB_LOGO), TRUE);
    for (const QString& suffix : {QString(), QStringLiteral("@2x")}) {
        SCOPED_TRACE(suffix.toStdString());
        const QImage logo(QStringLiteral(":/bitmaps/%1%2.png").arg(IDB_LOGO).arg(suffix));
        ASSERT_FALSE(logo.isNull());
        for (int y = 0; y < logo.height(); ++y)
            ASSERT_EQ(qAlpha(logo.pixel(logo.width() - 1, y)), 0) << y;
    }
    for (int size : ICON_IMAGE_SIZES) {
        for (const QString& suffix : {QString(), QStringLiteral("@2x")}) {
            const QString path =
                QStringLiteral(RES_DIR "/icons/camera_%1%2.png").arg(size).arg(suffix);
            const QImage icon(path);
            ASSERT_FALSE(icon.isNull()) << path.toStdString();
            EXPECT_TRUE(icon.hasAlphaChannel()) << path.toStdString();
            const int last = icon.width() - 1;
            for (QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last)})
                EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << path.toStdString();
        }
    }
}

} // namespace
