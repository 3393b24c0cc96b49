#pragma once
// Builds the grabber's copy of one camera frame: packed rows of width x 3
// bytes (blue, green, red), the bottom row first, the layout BufferCB and the
// snapshot store expect. Raw frames are converted; a JPEG camera's frame is
// decoded in full from the compressed buffer, and only when it decodes whole.
// Only armed frames come here, so the preview's own conversion stays the only
// per-frame work.

#include "capture/gst_ptr.h"
#include "capture/jpeg_frame_reader.h"

#include <gst/video/video.h>

#include <memory>
#include <vector>

struct GstVideoConverterFree {
    void operator()(GstVideoConverter* converter) const { gst_video_converter_free(converter); }
};
using GstVideoConverterPtr = std::unique_ptr<GstVideoConverter, GstVideoConverterFree>;

class CBottomUpBgrConverter {
public:
    CBottomUpBgrConverter() = default;
    CBottomUpBgrConverter(const CBottomUpBgrConverter&) = delete;
    CBottomUpBgrConverter& operator=(const CBottomUpBgrConverter&) = delete;

    // Converts the frame, whose format caps describe. Returns the bytes (valid
    // until the next call), their count and the frame's size, or null for a
    // frame it cannot read whole. Streaming thread only.
    const BYTE* Convert(GstCaps* caps, GstBuffer* buffer, LONG& length, int& width, int& height);

private:
    bool Configure(GstCaps* caps);
    const BYTE* DecodeJpeg(GstCaps* caps, GstBuffer* buffer, LONG& length, int& width, int& height);

    GstCapsPtr m_pCaps; // the format m_pConverter was made for
    GstVideoInfo m_in{};
    GstVideoInfo m_out{};
    GstVideoConverterPtr m_pConverter;
    std::vector<BYTE> m_pixels;
    CJpegFrameReader m_jpeg;
};
