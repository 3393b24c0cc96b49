// The shown window on a screen scaled to 200 % (QT_SCALE_FACTOR=2, set by
// the test's environment): the same logical layout, drawn from the art made
// for twice the size and with bevel rings of two device pixels each.

#include "app/camera_dlg.h"
#include "ui/resource_ids.h"
#include "ui/skin_resources.h"
#include "window_fixture.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage Plain(const QImage& image) {
    QImage plain = image.convertToFormat(QImage::Format_RGB32);
    plain.setDevicePixelRatio(1.0);
    return plain;
}

// The bitmap as the window shows it: on the dialog colour, pixel for pixel.
QImage OnBackground(const QPixmap& bitmap) {
    QImage image(bitmap.size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(bitmap.devicePixelRatio());
    image.fill(QColor(249, 249, 249));
    QPainter painter(&image);
    painter.drawPixmap(0, 0, bitmap);
    painter.end();
    return Plain(image);
}

TEST_F(ShownWindow, AtTwiceTheScaleTheArtAndTheBevelUseEveryDevicePixel) {
    ASSERT_EQ(Dlg().devicePixelRatio(), 2.0);
    EXPECT_EQ(Dlg().size(), QSize(641, 614)) << "the client area in logical pixels";
    const QImage shot = Plain(Dlg().grab().toImage());
    ASSERT_EQ(shot.size(), QSize(1282, 1228));

    const struct {
        int nID;
        int idBitmap;
    } buttons[] = {{IDC_SNAPSHOT, IDB_SNAPSHOT_NORMAL},
                   {IDC_RESOLUTION, IDB_RES640_NORMAL},
                   {IDC_LOGO, IDB_LOGO}};
    for (const auto& button : buttons) {
        SCOPED_TRACE(button.nID);
        QPixmap bitmap;
        ASSERT_EQ(LoadBitmapResource(bitmap, button.idBitmap), TRUE);
        EXPECT_EQ(bitmap.devicePixelRatio(), 2.0);
        const QRect place = Dlg().GetDlgItem(button.nID)->geometry();
        EXPECT_EQ(bitmap.size(), place.size() * 2);
        // Pixel for pixel the art made for 2x, not a stretched or filtered 1x.
        EXPECT_EQ(shot.copy(QRect(place.topLeft() * 2, place.size() * 2)), OnBackground(bitmap));
    }

    // Down through the panel's top bevel at x = 100: two rows per ring.
    for (int i = 0; i < 8; ++i) {
        for (int row : {1038 + 2 * i, 1039 + 2 * i})
            EXPECT_EQ(qRed(shot.pixel(200, row)), 67 + 4 * i) << row;
    }
    EXPECT_EQ(qRed(shot.pixel(200, 1037)), 249);
    EXPECT_EQ(qRed(shot.pixel(200, 1054)), 99);
}

} // namespace
