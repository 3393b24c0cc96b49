#include "capture/preview_scaler.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

inline std::uint32_t Load32(const uchar* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v; // little-endian: p[0] in the low byte
}

inline std::uint32_t Pixel(const uchar* p) {
    return 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

// One row at the frame's own width: four pixels (12 bytes, three words) at a
// time. Blue, green, red in memory are already the low bytes of RGB32.
void ConvertRow(const uchar* row, std::uint32_t* out, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, row += 12) {
        const std::uint32_t w0 = Load32(row);
        const std::uint32_t w1 = Load32(row + 4);
        const std::uint32_t w2 = Load32(row + 8);
        out[x] = 0xFF000000u | (w0 & 0x00FFFFFFu);
        out[x + 1] = 0xFF000000u | (w0 >> 24) | ((w1 & 0xFFFFu) << 8);
        out[x + 2] = 0xFF000000u | (w1 >> 16) | ((w2 & 0xFFu) << 16);
        out[x + 3] = 0xFF000000u | (w2 >> 8);
    }
    for (; x < width; ++x, row += 3)
        out[x] = Pixel(row);
}

} // namespace

void ScaleBottomUpBgrToRgb32(const uchar* frame, int width, int height, int stride,
                             QImage& target) {
    const int outWidth = target.width();
    const int outHeight = target.height();
    if (!frame || width <= 0 || height <= 0 || stride < width * 3 || outWidth <= 0 ||
        outHeight <= 0 || target.format() != QImage::Format_RGB32)
        return;
    // Source byte offset of every output column, computed once per frame.
    std::vector<int> columns;
    if (outWidth != width) {
        columns.resize(static_cast<std::size_t>(outWidth));
        for (int x = 0; x < outWidth; ++x)
            columns[static_cast<std::size_t>(x)] =
                static_cast<int>(static_cast<std::int64_t>(x) * width / outWidth) * 3;
    }
    for (int y = 0; y < outHeight; ++y) {
        const int sourceRow =
            height - 1 - static_cast<int>(static_cast<std::int64_t>(y) * height / outHeight);
        const uchar* row = frame + static_cast<std::ptrdiff_t>(sourceRow) * stride;
        auto* out = reinterpret_cast<std::uint32_t*>(target.scanLine(y));
        if (outWidth == width) {
            ConvertRow(row, out, width);
            continue;
        }
        for (int x = 0; x < outWidth; ++x)
            out[x] = Pixel(row + columns[static_cast<std::size_t>(x)]);
    }
}
