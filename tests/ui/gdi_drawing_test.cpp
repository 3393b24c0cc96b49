#include "ui/gdi_drawing.h"

#include "pixel_set.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF RED = RGB(200, 10, 20);
const QRgb RED_RGB = qRgb(200, 10, 20);

PixelSet FrameOn(int w, int h, int x1, int y1, int x2, int y2) {
    QImage image = BlankImage(w, h);
    QPainter painter(&image);
    DrawFrame(painter, x1, y1, x2, y2, RED);
    painter.end();
    return PixelsOfColour(image, RED_RGB);
}

struct FrameCase {
    int x1, y1, x2, y2;
};

TEST(DrawFrame, DrawsTheInclusiveOutlineAndNothingElse) {
    for (const FrameCase& c : {FrameCase{2, 3, 9, 7}, FrameCase{0, 0, 1, 1}, FrameCase{4, 4, 4, 8},
                               FrameCase{1, 5, 10, 5}, FrameCase{6, 6, 6, 6}}) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2);
        EXPECT_EQ(FrameOn(12, 10, c.x1, c.y1, c.x2, c.y2),
                  FramePixels(c.x1, c.y1, c.x2, c.y2, 12, 10));
    }
}

TEST(DrawFrame, FrameOfTheWholeSurfaceShowsOnlyTopAndLeftLines) {
    const int w = 16, h = 9;
    PixelSet expected;
    for (int x = 0; x < w; ++x)
        expected.insert({x, 0});
    for (int y = 0; y < h; ++y)
        expected.insert({0, y});
    EXPECT_EQ(FrameOn(w, h, 0, 0, w, h), expected);
}

TEST(DrawFrame, LeavesThePaintersPenAndBrush) {
    QImage image = BlankImage(8, 8);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green, 3));
    painter.setBrush(Qt::blue);
    DrawFrame(painter, 1, 1, 5, 5, RED);
    EXPECT_EQ(painter.pen(), QPen(Qt::green, 3));
    EXPECT_EQ(painter.brush(), QBrush(Qt::blue));
}

PixelSet FillOn(int left, int top, int right, int bottom) {
    QImage image = BlankImage(12, 10);
    QPainter painter(&image);
    FillSolid(painter, left, top, right, bottom, RED);
    painter.end();
    return PixelsOfColour(image, RED_RGB);
}

TEST(FillSolid, FillsUpToTwoPixelsShortOfRightAndBottom) {
    EXPECT_EQ(FillOn(2, 3, 9, 8), Block(2, 3, 7, 6));
    EXPECT_EQ(FillOn(0, 0, 12, 10), Block(0, 0, 10, 8));
    EXPECT_EQ(FillOn(9, 8, 2, 3), Block(2, 3, 7, 6)) << "corners in any order";
}

TEST(FillSolid, RectanglesNarrowerThanTwoPixelsFillNothing) {
    EXPECT_TRUE(FillOn(3, 3, 4, 9).empty());
    EXPECT_TRUE(FillOn(3, 3, 9, 4).empty());
    EXPECT_TRUE(FillOn(5, 5, 5, 5).empty());
    EXPECT_EQ(FillOn(3, 3, 5, 5), Block(3, 3, 3, 3));
}

TEST(FillSolid, LeavesThePainterWithoutAPenAndWithItsBrush) {
    QImage image = BlankImage(8, 8);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green));
    painter.setBrush(Qt::blue);
    FillSolid(painter, 0, 0, 6, 6, RED);
    EXPECT_EQ(painter.pen().style(), Qt::NoPen);
    EXPECT_EQ(painter.brush(), QBrush(Qt::blue));
}

} // namespace
