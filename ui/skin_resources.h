#pragma once
// The bitmaps and icons compiled into the program, looked up by resource id.

#include "platform/win_types.h"

class QIcon;
class QPixmap;

// Loads bitmap resource `id` (only its low 16 bits count) into `bitmap`, at
// twice its size with a device pixel ratio of 2 when a screen is scaled.
// TRUE when it exists; otherwise `bitmap` is left empty and FALSE returned.
BOOL LoadBitmapResource(QPixmap& bitmap, int id);

// The icon resource `id` with all its image sizes; an empty icon when there
// is no such resource.
QIcon LoadIconResource(int id);

// The image sizes every icon resource holds, largest first.
inline constexpr int ICON_IMAGE_SIZES[] = {256, 128, 64, 48, 32, 24, 16};
