#include "ui/panel_painting.h"

#include "pixel_set.h"

#include <QPainter>
#include <QtMath>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The window's layout: the scroll bar and the first cell in client
// coordinates. The panel starts at x = -2, so the image is drawn shifted
// right by ORIGIN to see every pixel.
const RECT SCROLL_BAR = {-2, 598, 640, 613};
const RECT FIRST_SLOT = {22, 529, 94, 583};
constexpr int ORIGIN = 4;

QImage PaintPanel() {
    QImage image = BlankImage(650, 620);
    QPainter painter(&image);
    painter.translate(ORIGIN, 0);
    DrawThumbnailPanel(painter, SCROLL_BAR, FIRST_SLOT);
    painter.end();
    return image;
}

TEST(ThumbnailPanel, RectangleFollowsScrollBarAndFirstCell) {
    EXPECT_EQ(PanelRect(SCROLL_BAR, FIRST_SLOT), (RECT{-2, 519, 641, 597}));
}

TEST(ThumbnailPanel, FillAndRingsCoverThePanelExactly) {
    const QImage image = PaintPanel();
    for (int y = 515; y < 602; ++y) {
        for (int x = -ORIGIN; x < 646; ++x) {
            const bool inside = x >= -2 && x <= 641 && y >= 519 && y <= 597;
            const QRgb p = image.pixel(x + ORIGIN, y) & 0xFFFFFF;
            if (!inside) {
                ASSERT_EQ(p, 0xFFFFFFu) << x << "," << y;
                continue;
            }
            const int ring = std::min({x + 2, 641 - x, y - 519, 597 - y});
            const int expected = ring < 8 ? 67 + 4 * ring : 99;
            ASSERT_EQ(p, static_cast<QRgb>(qRgb(expected, expected, expected)) & 0xFFFFFFu)
                << x << "," << y;
        }
    }
}

// The colours met going from `from` in steps of `step` up to the panel's
// fill, each with the number of pixels it lasts; the white outside the
// panel is passed over.
std::vector<std::pair<int, int>> BevelRuns(const QImage& image, QPoint from, QPoint step) {
    std::vector<std::pair<int, int>> runs;
    for (QPoint p = from; image.valid(p); p += step) {
        const int grey = qRed(image.pixel(p));
        if (grey == 255)
            continue;
        if (grey == 99)
            break;
        if (!runs.empty() && runs.back().first == grey)
            ++runs.back().second;
        else
            runs.emplace_back(grey, 1);
    }
    return runs;
}

TEST(ThumbnailPanel, EveryRingIsTheSameWholeNumberOfDevicePixelsAtAnyScale) {
    for (const auto& [scale, ringWidth] : {std::pair{1.25, 1}, {1.5, 1}, {2.0, 2}}) {
        SCOPED_TRACE(scale);
        QImage image = BlankImage(qCeil(650 * scale), qCeil(620 * scale));
        image.setDevicePixelRatio(scale);
        QPainter painter(&image);
        painter.translate(ORIGIN, 0);
        DrawThumbnailPanel(painter, SCROLL_BAR, FIRST_SLOT);
        painter.end();
        std::vector<std::pair<int, int>> expected;
        for (int i = 0; i < 8; ++i)
            expected.emplace_back(67 + 4 * i, ringWidth);
        // Down and up through the panel at x = 300, across it at y = 560.
        const int x = qRound((300 + ORIGIN) * scale);
        const int y = qRound(560 * scale);
        EXPECT_EQ(BevelRuns(image, QPoint(x, 0), QPoint(0, 1)), expected) << "top";
        EXPECT_EQ(BevelRuns(image, QPoint(x, image.height() - 1), QPoint(0, -1)), expected)
            << "bottom";
        EXPECT_EQ(BevelRuns(image, QPoint(0, y), QPoint(1, 0)), expected) << "left";
        EXPECT_EQ(BevelRuns(image, QPoint(image.width() - 1, y), QPoint(-1, 0)), expected)
            << "right";
    }
}

struct Slots {
    RECT rc[7];
    bool bSelected[7] = {};
    Slots() {
        for (int k = 0; k < 7; ++k) {
            const int left = 22 + 86 * k;
            rc[k] = RECT{left, 20, left + 72, 74};
        }
    }
};

QImage PaintFrames(const Slots& cells) {
    QImage image = BlankImage(650, 100);
    QPainter painter(&image);
    DrawSlotFrames(painter, cells.rc, cells.bSelected, 7);
    painter.end();
    return image;
}

TEST(SlotFrames, SelectedPhotosGetBlueRingsOthersPanelGrey) {
    Slots strip;
    strip.bSelected[2] = true;
    const QImage image = PaintFrames(strip);
    const QRgb blue = qRgb(0, 192, 255);
    // Slot 2 is {194, 20, 266, 74}: a ring four pixels wide around the cell,
    // from (190, 16) to (269, 77), leaving the cell's 194..265 x 20..73 free.
    PixelSet expectedBlue = Block(190, 16, 269, 77);
    for (const auto& pixel : Block(194, 20, 265, 73))
        expectedBlue.erase(pixel);
    EXPECT_EQ(PixelsOfColour(image, blue), expectedBlue);
    // The cell itself is left to the thumbnail.
    EXPECT_EQ(image.pixel(22 + 86 * 2, 20), qRgb(255, 255, 255));
    for (int k : {0, 1, 3, 6}) {
        const RECT& rc = strip.rc[k];
        EXPECT_EQ(image.pixel(rc.left - 1, rc.top - 1), qRgb(99, 99, 99)) << k;
        EXPECT_EQ(image.pixel(rc.right + 3, rc.bottom + 3), qRgb(99, 99, 99)) << k;
        EXPECT_EQ(image.pixel(rc.right + 4, rc.bottom + 4), qRgb(255, 255, 255)) << k;
    }
}

} // namespace
