#include "library/thumb_scaler.h"

#include "library/photo_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A bottom-up BGR picture whose every pixel encodes its own coordinates, so a
// thumbnail pixel tells which source pixel it came from.
std::vector<unsigned char> CoordinatePicture(int width, int height) {
    std::vector<unsigned char> picture(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &picture[(std::size_t(y) * width + x) * 3];
            p[0] = static_cast<unsigned char>(x % 256);
            p[1] = static_cast<unsigned char>(y % 256);
            p[2] = static_cast<unsigned char>((x / 256) * 16 + y / 256);
        }
    }
    return picture;
}

const unsigned char* ThumbPixel(const std::vector<unsigned char>& thumb, int i, int j) {
    return &thumb[(std::size_t(j) * THUMB_WIDTH + i) * 3];
}

class ThumbScaler : public ::testing::Test {
protected:
    std::vector<unsigned char> Scale(const std::vector<unsigned char>& src, int w, int h) {
        std::vector<unsigned char> thumb(THUMB_BYTES, 0xEE);
        EXPECT_EQ(scaler->Resize(src.data(), thumb.data(), w, h, THUMB_WIDTH, THUMB_HEIGHT), 1);
        return thumb;
    }
    std::unique_ptr<CThumbScaler> scaler = std::make_unique<CThumbScaler>();
};

TEST_F(ThumbScaler, VgaPictureSamplesEveryNinthPixelBottomRowFirst) {
    const auto src = CoordinatePicture(640, 480);
    const auto thumb = Scale(src, 640, 480);
    for (int j = 0; j < THUMB_HEIGHT; ++j) {
        for (int i = 0; i < THUMB_WIDTH; ++i) {
            const unsigned char* p = ThumbPixel(thumb, i, j);
            ASSERT_EQ(p[0], (9 * i) % 256) << i << "," << j;
            ASSERT_EQ(p[1], (9 * j) % 256) << i << "," << j;
            ASSERT_EQ(p[2], (9 * i / 256) * 16 + 9 * j / 256) << i << "," << j;
        }
    }
}

TEST_F(ThumbScaler, SxgaPictureUsesOnlyTheBottom956Rows) {
    // Rows 0 to 949 hold 100, rows 950 to 955 hold 0 and the rows above 955
    // hold 255: none of the last may reach the thumbnail, while its top row
    // comes from the dark band just below them.
    std::vector<unsigned char> src(1280 * 1024 * 3);
    for (int y = 0; y < 1024; ++y)
        std::fill_n(&src[std::size_t(y) * 1280 * 3], 1280 * 3, y < 950 ? 100 : y <= 955 ? 0 : 255);
    const auto thumb = Scale(src, 1280, 1024);
    for (int j = 0; j < THUMB_HEIGHT - 1; ++j)
        for (int i = 0; i < THUMB_WIDTH; ++i)
            ASSERT_EQ(ThumbPixel(thumb, i, j)[1], 100) << i << "," << j;
    for (int i = 0; i < THUMB_WIDTH; ++i)
        ASSERT_EQ(ThumbPixel(thumb, i, THUMB_HEIGHT - 1)[1], 0) << "top row, column " << i;
}

TEST_F(ThumbScaler, ThumbnailSizedPictureIsCopiedUnchanged) {
    const auto src = CoordinatePicture(72, 54);
    EXPECT_EQ(Scale(src, 72, 54), src);
}

TEST_F(ThumbScaler, UncoveredPixelsRepeatTheNearestEdge) {
    // Taller than wide: the height leads and the columns beyond 99 repeat the
    // last one. Wider than 4:3: the rows above the picture repeat its top row.
    const auto tall = Scale(CoordinatePicture(100, 300), 100, 300);
    EXPECT_EQ(ThumbPixel(tall, 71, 10)[0], 99);
    const auto wide = Scale(CoordinatePicture(720, 100), 720, 100);
    EXPECT_EQ(ThumbPixel(wide, 5, 53)[1], 99);
    EXPECT_EQ(ThumbPixel(wide, 5, 0)[1], 0);
}

TEST(ThumbPlaceholder, GreyWithARedCrossInsideTheThumbnail) {
    std::vector<unsigned char> buffer(THUMB_BYTES + 3, 7);
    DrawPlaceholder(buffer.data());
    EXPECT_EQ(buffer[THUMB_BYTES], 7) << "nothing written past 72 x 54";
    auto pixel = [&](int x, int y) { return &buffer[(y * THUMB_WIDTH + x) * 3]; };
    for (auto [x, y] : {std::pair{0, 0}, {71, 0}, {0, 53}, {71, 53}, {36, 27}}) {
        EXPECT_EQ(pixel(x, y)[2], 200) << x << "," << y;
        EXPECT_EQ(pixel(x, y)[0], 0);
    }
    for (auto [x, y] : {std::pair{36, 0}, {0, 27}, {71, 27}, {36, 53}})
        EXPECT_EQ(pixel(x, y)[2], 128) << x << "," << y;
    // Six pixels wide on every row.
    int red = 0;
    for (int x = 0; x < THUMB_WIDTH; ++x)
        red += pixel(x, 10)[2] == 200;
    EXPECT_EQ(red, 12);
}

} // namespace
