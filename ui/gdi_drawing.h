#pragma once
// The two drawing primitives the window's panel and the thumbnail strip are
// built from. They reproduce the pixel sets of the line and rectangle calls
// they stand for exactly, so the panel's bevel rings and the strip's frames
// meet without gaps or overlaps: antialiasing plays no part in them.

#include "platform/win_types.h"

class QPainter;
class QColor;

using COLORREF = DWORD;

// Colours are 0x00BBGGRR, as the rest of the program writes them.
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

QColor ToQColor(COLORREF colour);

// A one-pixel outline with both corners inclusive: (x, y1) and (x, y2) for x
// from x1 to x2, (x1, y) and (x2, y) for y from y1 to y2. The painter's pen
// and brush are left as they were.
void DrawFrame(QPainter& painter, int x1, int y1, int x2, int y2, COLORREF colour);

// Fills x from left to right - 2 and y from top to bottom - 2, the pixels a
// rectangle drawn without an outline covers. Leaves the painter without a pen
// (the brush is restored), as the rectangle call it stands for does.
void FillSolid(QPainter& painter, int left, int top, int right, int bottom, COLORREF colour);
