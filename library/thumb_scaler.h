#pragma once
// Scaling of a decoded picture to a 72 x 54 thumbnail with integer arithmetic,
// and the placeholder shown for a picture that cannot be decoded.

#include <array>

class CThumbScaler {
public:
    // src and dst are bottom-up BGR, rows of width x 3 bytes. One factor,
    // (leading source side - 1) / (same target side - 1), is used in both
    // directions so the picture keeps its proportions; the leading side is the
    // width when sw >= sh, else the height. Returns 1.
    int Resize(const unsigned char* src, unsigned char* dst, int sw, int sh, int dw, int dh);

    static constexpr int MAX_TARGET_SIDE = 4500;

private:
    // Per target column and row: source index and remainder of k * L / n.
    std::array<int, MAX_TARGET_SIDE> m_anColumn{};
    std::array<int, MAX_TARGET_SIDE> m_anColumnRest{};
    std::array<int, MAX_TARGET_SIDE> m_anRow{};
    std::array<int, MAX_TARGET_SIDE> m_anRowRest{};
};

// Fills the first 72 x 54 x 3 bytes of buffer with the placeholder: grey 128
// with a red cross of two corner-to-corner diagonals, 6 pixels wide.
void DrawPlaceholder(unsigned char* buffer);
