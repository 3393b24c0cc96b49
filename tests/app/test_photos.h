#pragma once
// Photos put into a pictures folder the way another program (or an earlier
// run) would leave them: whole JPEG files named Picture nnnn.jpg.

#include "library/jpeg_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>

// One small JPEG of a single colour; the strip decodes it like any photo.
inline void WritePhoto(const std::string& path, unsigned char grey = 128) {
    constexpr std::uint32_t WIDTH = 96;
    constexpr std::uint32_t HEIGHT = 72;
    const std::vector<unsigned char> rgb(WIDTH * HEIGHT * 3, grey);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(path, rgb.data(), WIDTH, HEIGHT, 1, 90)) << path;
}

// The grey WritePhotos gives photo n: ten shades far enough apart to tell a
// photo from its neighbours.
inline unsigned char PhotoGrey(int n) {
    return static_cast<unsigned char>(40 + 20 * (n % 10));
}

// Photos Picture 0000.jpg .. (count - 1) in folder, made if missing.
inline void WritePhotos(const std::string& folder, int count) {
    mkdir(folder.c_str(), 0700);
    for (int n = 0; n < count; ++n)
        WritePhoto(folder + "/" + PictureName(n), PhotoGrey(n));
}
