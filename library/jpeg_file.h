#pragma once
// The program's thin layer over libjpeg: write a top-down RGB buffer as a JPEG
// file, read a JPEG file into a caller's buffer as top-down RGB, and the two
// in-place conversions between bottom-up BGR bitmaps and top-down RGB. Errors
// are shown to the user from inside; callers see only a flag or a null result.

#include <cstdint>
#include <string>

namespace JpegFile {

constexpr int MAX_DECODE_SIDE = 3000;
constexpr int MIN_DECODE_WIDTH = 72;
constexpr int MIN_DECODE_HEIGHT = 54;

// Writes the picture under a temporary name beside the target and publishes it
// under path only when complete and flushed; an existing file at path is never
// replaced. Returns true when the file was written completely.
bool EncodeFromRgb(const std::string& path, const unsigned char* data, std::uint32_t width,
                   std::uint32_t height, int colour, int quality);

// Returns buffer on success, nullptr on any failure. width and height are 0 on
// entry and the picture's size on success. buffer must hold 3000 x 3000 x 3.
unsigned char* DecodeToRgb(const std::string& path, std::uint32_t& width, std::uint32_t& height,
                           unsigned char* buffer);

bool SwapRedBlue(unsigned char* data, std::uint32_t pixelsPerRow, std::uint32_t rows);
bool FlipVertical(unsigned char* data, std::uint32_t bytesPerRow, std::uint32_t rows);

} // namespace JpegFile
