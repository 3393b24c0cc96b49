#pragma once
// The JPEG operations the snapshot store and the strip call, as one table of
// function pointers. The program passes JpegFileCodec(), which is JpegFile
// itself; tests pass their own table to script failures and count calls.

#include <cstdint>
#include <string>

struct JpegCodec {
    bool (*EncodeFromRgb)(const std::string& path, const unsigned char* data, std::uint32_t width,
                          std::uint32_t height, int colour, int quality);
    unsigned char* (*DecodeToRgb)(const std::string& path, std::uint32_t& width,
                                  std::uint32_t& height, unsigned char* buffer);
    bool (*SwapRedBlue)(unsigned char* data, std::uint32_t pixelsPerRow, std::uint32_t rows);
    bool (*FlipVertical)(unsigned char* data, std::uint32_t bytesPerRow, std::uint32_t rows);
};

// JpegFile's own operations.
const JpegCodec& JpegFileCodec();
