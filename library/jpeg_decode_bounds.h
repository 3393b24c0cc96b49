#pragma once
// The limits that keep one photo read short whatever the file holds. The
// strip decodes on the UI thread: a file with tens of thousands of scans, or
// one padded with gigabytes after its picture data, must fail fast rather
// than freeze the window. Real photos stay far below both limits.

// win_types.h before jpeglib.h, which defines TRUE and FALSE.
#include "platform/win_types.h"

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

// Scans a read accepts. Encoders write up to a few dozen.
constexpr int MAX_DECODE_SCANS = 100;
// Bytes of compressed data a read takes in. A 3000 x 3000 photo of noise at
// the highest quality is about a third of it.
constexpr std::size_t MAX_DECODE_BYTES = std::size_t{64} << 20;

// The library's progress manager first: libjpeg only knows that part, and
// the callbacks get back to the rest from it.
struct JpegDecodeBounds {
    jpeg_progress_mgr pub;
    boolean (*pfnFillInput)(j_decompress_ptr) = nullptr; // the source's own
    std::size_t nBytesIn = 0;
};

// Watches the read of cinfo: past either limit the library's error exit runs
// with JMSG_TOO_MANY_SCANS or JMSG_TOO_MUCH_DATA. Call after the source is
// set; bounds must live as long as cinfo.
void AttachDecodeBounds(jpeg_decompress_struct& cinfo, JpegDecodeBounds& bounds);
