// The in-place conversions between bottom-up BGR bitmaps and top-down RGB.

#include "library/jpeg_file.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<unsigned char>;

TEST(SwapRedBlue, SwapsFirstAndThirdByteOfEveryPixel) {
    Bytes pixels{1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(JpegFile::SwapRedBlue(pixels.data(), 2, 1));
    EXPECT_EQ(pixels, (Bytes{3, 2, 1, 6, 5, 4}));
}

TEST(SwapRedBlue, CountsOnlyTheProductOfItsArguments) {
    // The snapshot store passes height first; any order must cover the buffer.
    Bytes byWidth{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    Bytes byHeight = byWidth;
    EXPECT_TRUE(JpegFile::SwapRedBlue(byWidth.data(), 3, 2));
    EXPECT_TRUE(JpegFile::SwapRedBlue(byHeight.data(), 2, 3));
    EXPECT_EQ(byWidth, byHeight);
    EXPECT_EQ(byWidth, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
}

TEST(SwapRedBlue, TouchesNothingBeyondTheGivenPixels) {
    Bytes pixels{1, 2, 3, 4, 5, 6, 7};
    EXPECT_TRUE(JpegFile::SwapRedBlue(pixels.data(), 1, 2));
    EXPECT_EQ(pixels, (Bytes{3, 2, 1, 6, 5, 4, 7}));
    EXPECT_TRUE(JpegFile::SwapRedBlue(pixels.data(), 0, 5));
    EXPECT_EQ(pixels, (Bytes{3, 2, 1, 6, 5, 4, 7}));
}

TEST(SwapRedBlue, RefusesNullPointer) {
    EXPECT_FALSE(JpegFile::SwapRedBlue(nullptr, 2, 1));
}

TEST(FlipVertical, ThreeRowsExchangeOuterRowsAndKeepTheMiddle) {
    Bytes rows{1, 1, 2, 2, 3, 3};
    EXPECT_TRUE(JpegFile::FlipVertical(rows.data(), 2, 3));
    EXPECT_EQ(rows, (Bytes{3, 3, 2, 2, 1, 1}));
}

TEST(FlipVertical, EvenRowCountReversesEveryRow) {
    Bytes rows{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(JpegFile::FlipVertical(rows.data(), 2, 4));
    EXPECT_EQ(rows, (Bytes{7, 8, 5, 6, 3, 4, 1, 2}));
}

TEST(FlipVertical, SingleOrNoRowChangesNothing) {
    Bytes rows{1, 2, 3, 4};
    EXPECT_TRUE(JpegFile::FlipVertical(rows.data(), 4, 1));
    EXPECT_EQ(rows, (Bytes{1, 2, 3, 4}));
    EXPECT_TRUE(JpegFile::FlipVertical(rows.data(), 4, 0));
    EXPECT_EQ(rows, (Bytes{1, 2, 3, 4}));
}

TEST(FlipVertical, RefusesNullPointer) {
    EXPECT_FALSE(JpegFile::FlipVertical(nullptr, 3, 3));
}
