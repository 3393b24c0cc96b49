#pragma once
// One photo of the photo list and the list's capacity. The list is one
// zero-filled block of PHOTO_CAPACITY records owned by the main window; the
// folder walk fills it, the strip reads it, deletion removes its files.

#include "ui/thumb_cell.h"

#include <cstdint>

constexpr int PHOTO_CAPACITY = 10001;
constexpr int MAX_PHOTOS = 10000;
constexpr int THUMB_BYTES = THUMB_WIDTH * THUMB_HEIGHT * 3; // 11664

struct PhotoRecord {
    char szPath[260];                   // full path, zero-terminated
    std::int32_t bThumbReady;           // 1 once abThumb holds the thumbnail
    unsigned char abThumb[THUMB_BYTES]; // 72 x 54 bottom-up BGR, rows of 216 bytes
};
static_assert(sizeof(PhotoRecord) == 11928, "the record layout is fixed");
