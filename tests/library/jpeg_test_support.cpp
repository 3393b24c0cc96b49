#include "tests/library/jpeg_test_support.h"

#include "library/jpeg_file.h"
#include "platform/win_types.h" // before jpeglib.h, which defines TRUE and FALSE

#include <jpeglib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

std::vector<unsigned char> SolidPicture(std::uint32_t width, std::uint32_t height,
                                        unsigned char red, unsigned char green,
                                        unsigned char blue) {
    std::vector<unsigned char> picture(std::size_t{width} * height * 3);
    for (std::size_t i = 0; i < picture.size(); i += 3) {
        picture[i] = red;
        picture[i + 1] = green;
        picture[i + 2] = blue;
    }
    return picture;
}

void WriteTestJpeg(const std::string& path, std::uint32_t width, std::uint32_t height) {
    const auto picture = SolidPicture(width, height, 90, 140, 200);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(path, picture.data(), width, height, 1, 90)) << path;
}

int OpenDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

namespace {

// Writes a width x height JPEG of `components` channels from `pixels` (packed
// rows), with libjpeg's defaults and, when `scans` is not empty, that scan
// script.
bool WriteJpeg(const std::string& path, std::uint32_t width, std::uint32_t height, int components,
               J_COLOR_SPACE colorSpace, const std::vector<unsigned char>& pixels,
               const std::vector<jpeg_scan_info>& scans = {}) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_error_mgr err;
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = colorSpace;
    jpeg_set_defaults(&cinfo);
    if (!scans.empty()) {
        cinfo.scan_info = scans.data();
        cinfo.num_scans = int(scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t rowBytes = std::size_t{width} * std::size_t(components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&pixels[cinfo.next_scanline * rowBytes]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

} // namespace

// A four-component JPEG, which the program reads through without storing.
bool WriteCmykJpeg(const std::string& path, std::uint32_t width, std::uint32_t height) {
    const std::vector<unsigned char> pixels(std::size_t{width} * height * 4, 128);
    return WriteJpeg(path, width, height, 4, JCS_CMYK, pixels);
}

bool WriteProgressiveJpeg(const std::string& path, std::uint32_t width, std::uint32_t height,
                          int nScans) {
    std::vector<jpeg_scan_info> scans{{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
    for (int k = 1; k < 64 && int(scans.size()) < nScans; ++k)
        for (int c = 0; c < 3 && int(scans.size()) < nScans; ++c)
            scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 0});
    const auto picture = SolidPicture(width, height, 200, 60, 30);
    return WriteJpeg(path, width, height, 3, JCS_RGB, picture, scans);
}
