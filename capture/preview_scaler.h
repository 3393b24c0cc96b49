#pragma once
// Turns a bottom-up BGR24 frame into an upright RGB32 picture of the preview's
// size in one pass (nearest pixel), so painting is a plain 1:1 blit: Qt would
// otherwise convert the format and run its transformed path on every frame.

#include <QImage>

// Fills target (its size decides the output; RGB32) from the frame. Rows of
// the frame are stride bytes apart, the bottom row first.
void ScaleBottomUpBgrToRgb32(const uchar* frame, int width, int height, int stride, QImage& target);
