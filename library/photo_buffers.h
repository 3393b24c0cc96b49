#pragma once
// The photo list and the picture work buffer, allocated zero-filled once with
// the main window. Both come from calloc, which maps large blocks straight
// from the system: pages the program never touches stay unallocated, so an
// empty list costs no resident memory.

#include "library/photo_record.h"

#include <cstdlib>
#include <memory>

// 3000 x 3000 x 3: the largest picture the decoder accepts.
constexpr std::size_t DECODE_BUFFER_BYTES = 27000000;

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
using PhotoRecordsPtr = std::unique_ptr<PhotoRecord[], FreeDeleter>;
using DecodeBufferPtr = std::unique_ptr<unsigned char[], FreeDeleter>;

// Null when the memory is not available.
inline PhotoRecordsPtr AllocatePhotoRecords() {
    return PhotoRecordsPtr(
        static_cast<PhotoRecord*>(std::calloc(PHOTO_CAPACITY, sizeof(PhotoRecord))));
}
inline DecodeBufferPtr AllocateDecodeBuffer() {
    return DecodeBufferPtr(static_cast<unsigned char*>(std::calloc(DECODE_BUFFER_BYTES, 1)));
}
