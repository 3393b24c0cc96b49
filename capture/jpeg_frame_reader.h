#pragma once
// Reads the camera's JPEG frames from memory with libjpeg-turbo: for the
// preview, at the smallest DCT scale that still covers the host, straight to
// a four-byte RGB layout and scaled to the host by nearest pixel in the same
// pass; for a snapshot, in full, to the bottom-up BGR24 the grabber hands on.
// A frame counts only when it decodes whole: a corrupt or truncated one
// (libjpeg warns and fills what it could not read with grey) is refused, as is
// one outside the bounds below. Used on one streaming thread at a time.

#include "capture/jpeg_trap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Sides a frame may have; no camera's frame comes near it.
constexpr int MAX_JPEG_FRAME_SIDE = 8192;

class CJpegFrameReader {
public:
    CJpegFrameReader();
    ~CJpegFrameReader();
    CJpegFrameReader(const CJpegFrameReader&) = delete;
    CJpegFrameReader& operator=(const CJpegFrameReader&) = delete;

    // Writes the frame into target, width x height pixels of four bytes in
    // space (one of libjpeg-turbo's JCS_EXT_*X layouts), rows stride bytes
    // apart, top row first. False for a frame that does not decode whole;
    // target may then hold part of it.
    bool DecodeScaled(const std::uint8_t* data, std::size_t size, J_COLOR_SPACE space,
                      std::uint8_t* target, int width, int height, int stride);

    // The whole frame as packed rows of width x 3 bytes (blue, green, red),
    // the bottom row first; width and height are the frame's own. Null for a
    // frame that does not decode whole. The bytes stay valid until the next
    // call.
    const std::uint8_t* DecodeBottomUpBgr(const std::uint8_t* data, std::size_t size, int& width,
                                          int& height);

    // The DCT scale denominator (1, 2, 4 or 8) the last scaled decode used.
    int LastScale() const { return m_nLastScale; }

private:
    struct Request;
    // Between setjmp and the library's jump: only plain data lives here.
    bool Read(const std::uint8_t* data, std::size_t size, const Request& request);
    bool AcceptHeader() const;
    void ChooseScale(const Request& request);
    void PrepareRows(const Request& request);
    void EmitScaledRow(const Request& request, const std::uint8_t* row);

    JpegErrorTrap m_trap;
    jpeg_decompress_struct m_cinfo{};
    int m_nLastScale = 1;

    // Per frame, sized in PrepareRows.
    std::vector<JSAMPROW> m_rows;
    std::vector<std::uint8_t> m_scratch;
    std::vector<int> m_xOffsets;
    int m_nSourceRow = 0;
    int m_nNextTargetRow = 0;
    std::vector<std::uint8_t> m_pixels;
};
