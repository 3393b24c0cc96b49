// The preview's frame conversion: bottom-up BGR24 in, upright RGB32 out, at
// the frame's size (four pixels at a time plus a tail) or scaled to nearest.

#include "capture/preview_scaler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A bottom-up BGR frame whose pixel at picture (x, y) encodes x and y.
std::vector<uchar> Frame(int width, int height, int stride) {
    std::vector<uchar> bytes(static_cast<std::size_t>(stride) * height, 0xEE);
    for (int y = 0; y < height; ++y) {
        uchar* row = bytes.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<uchar>(x);      // blue
            row[x * 3 + 1] = static_cast<uchar>(y);  // green
            row[x * 3 + 2] = static_cast<uchar>(77); // red
        }
    }
    return bytes;
}

QRgb Expected(int x, int y) {
    return qRgb(77, y, x);
}

TEST(PreviewScaler, SameSizeIsUprightWithEveryPixelIncludingTheTail) {
    for (int width : {8, 7, 5, 1}) {
        const int height = 3;
        const int stride = (width * 3 + 3) & ~3; // padded rows are read correctly
        auto frame = Frame(width, height, stride);
        QImage out(width, height, QImage::Format_RGB32);
        ScaleBottomUpBgrToRgb32(frame.data(), width, height, stride, out);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(out.pixel(x, y), Expected(x, y)) << width << " " << x << "," << y;
    }
}

TEST(PreviewScaler, DownscaleTakesTheNearestPixel) {
    auto frame = Frame(8, 6, 24);
    QImage out(4, 3, QImage::Format_RGB32);
    ScaleBottomUpBgrToRgb32(frame.data(), 8, 6, 24, out);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.pixel(x, y), Expected(x * 2, y * 2));
}

TEST(PreviewScaler, UpscaleRepeatsPixels) {
    auto frame = Frame(2, 2, 6);
    QImage out(4, 4, QImage::Format_RGB32);
    ScaleBottomUpBgrToRgb32(frame.data(), 2, 2, 6, out);
    EXPECT_EQ(out.pixel(1, 1), Expected(0, 0));
    EXPECT_EQ(out.pixel(2, 3), Expected(1, 1));
}

TEST(PreviewScaler, BadInputLeavesTheTargetAlone) {
    auto frame = Frame(4, 4, 12);
    QImage out(4, 4, QImage::Format_RGB32);
    out.fill(Qt::red);
    ScaleBottomUpBgrToRgb32(nullptr, 4, 4, 12, out);
    ScaleBottomUpBgrToRgb32(frame.data(), 0, 4, 12, out);
    ScaleBottomUpBgrToRgb32(frame.data(), 4, 4, 11, out); // stride shorter than a row
    QImage wrongFormat(4, 4, QImage::Format_RGB888);
    ScaleBottomUpBgrToRgb32(frame.data(), 4, 4, 12, wrongFormat);
    EXPECT_EQ(out.pixel(0, 0), QColor(Qt::red).rgb());
}

} // namespace
