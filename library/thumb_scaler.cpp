#include "library/thumb_scaler.h"

#include "library/photo_record.h"

#include <algorithm>
#include <cstring>

int CThumbScaler::Resize(const unsigned char* src, unsigned char* dst, int sw, int sh, int dw,
                         int dh) {
    if (sw == dw && sh == dh) {
        std::memcpy(dst, src, static_cast<size_t>(dw) * dh * 3);
        return 1;
    }
    dw = std::clamp(dw, 1, MAX_TARGET_SIDE);
    dh = std::clamp(dh, 1, MAX_TARGET_SIDE);
    if (sw < 1 || sh < 1) {
        // Nothing to sample: a black thumbnail rather than reads before src.
        std::memset(dst, 0, static_cast<size_t>(dw) * dh * 3);
        return 1;
    }
    const bool widthLeads = sw >= sh;
    const int L = (widthLeads ? sw : sh) - 1;
    // A one-pixel target side would divide by zero; it then takes pixel 0.
    const int n = std::max((widthLeads ? dw : dh) - 1, 1);

    for (int k = 0; k < std::max(dw, dh); ++k) {
        const long long product = static_cast<long long>(k) * L;
        const int q = static_cast<int>(product / n);
        const int rest = static_cast<int>(product % n);
        if (k < dw) {
            m_anColumn[k] = q;
            m_anColumnRest[k] = rest;
        }
        if (k < dh) {
            m_anRow[k] = q;
            m_anRowRest[k] = rest;
        }
    }

    // Where the factor maps a thumbnail pixel beyond the picture (pictures
    // taller than wide, or wider than 4:3), the nearest edge pixel is repeated.
    // The same clamp keeps the neighbour of the last row or column inside the
    // picture when its weight is 0.
    auto column = [sw](int x) { return std::min(x, sw - 1); };
    auto row = [sh](int y) { return std::min(y, sh - 1); };
    const size_t srcStride = static_cast<size_t>(sw) * 3;
    const int nn = n * n;

    for (int j = 0; j < dh; ++j) {
        const int rj = m_anRowRest[j];
        const unsigned char* row0 = src + row(m_anRow[j]) * srcStride;
        const unsigned char* row1 = src + row(m_anRow[j] + 1) * srcStride;
        unsigned char* out = dst + static_cast<size_t>(j) * dw * 3;
        for (int i = 0; i < dw; ++i) {
            const int ri = m_anColumnRest[i];
            const int x0 = column(m_anColumn[i]) * 3;
            const int x1 = column(m_anColumn[i] + 1) * 3;
            for (int c = 0; c < 3; ++c) {
                const int left = row0[x0 + c] * (n - rj) + row1[x0 + c] * rj;
                const int right = row0[x1 + c] * (n - rj) + row1[x1 + c] * rj;
                out[i * 3 + c] = static_cast<unsigned char>((left * (n - ri) + right * ri) / nn);
            }
        }
    }
    return 1;
}

void DrawPlaceholder(unsigned char* buffer) {
    std::memset(buffer, 128, THUMB_BYTES);
    auto plot = [buffer](int x, int y) {
        if (x < 0 || x >= THUMB_WIDTH || y < 0 || y >= THUMB_HEIGHT)
            return;
        unsigned char* pixel = buffer + (y * THUMB_WIDTH + x) * 3;
        pixel[0] = 0;   // blue
        pixel[1] = 0;   // green
        pixel[2] = 200; // red
    };
    for (int y = 0; y < THUMB_HEIGHT; ++y) {
        // The exact diagonals from corner to corner, truncated toward zero.
        const int rising = y * (THUMB_WIDTH - 1) / (THUMB_HEIGHT - 1);
        const int falling = (THUMB_HEIGHT - 1 - y) * (THUMB_WIDTH - 1) / (THUMB_HEIGHT - 1);
        for (int dx = -3; dx <= 2; ++dx) {
            plot(rising + dx, y);
            plot(falling + dx, y);
        }
    }
}
