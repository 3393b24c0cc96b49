#include "capture/bgr_snapshot_converter.h"

namespace {

// A frame mapped for reading, unmapped when it goes.
class CMappedFrame {
public:
    CMappedFrame(GstVideoInfo* info, GstBuffer* buffer)
        : m_bMapped(gst_video_frame_map(&m_frame, info, buffer, GST_MAP_READ)) {}
    ~CMappedFrame() {
        if (m_bMapped)
            gst_video_frame_unmap(&m_frame);
    }
    CMappedFrame(const CMappedFrame&) = delete;
    CMappedFrame& operator=(const CMappedFrame&) = delete;

    bool IsMapped() const { return m_bMapped; }
    GstVideoFrame* Frame() { return &m_frame; }

private:
    GstVideoFrame m_frame{};
    bool m_bMapped;
};

// The options videoconvert uses by default. A saved photo has always come
// from that element's output; with the same options it stays the same,
// byte for byte.
GstStructure* VideoconvertOptions(const GstVideoInfo& out) {
    return gst_structure_new(
        "options", GST_VIDEO_CONVERTER_OPT_RESAMPLER_METHOD, GST_TYPE_VIDEO_RESAMPLER_METHOD,
        GST_VIDEO_RESAMPLER_METHOD_LINEAR, GST_VIDEO_RESAMPLER_OPT_MAX_TAPS, G_TYPE_INT, 2,
        GST_VIDEO_RESAMPLER_OPT_ENVELOPE, G_TYPE_DOUBLE, 2.0, GST_VIDEO_RESAMPLER_OPT_SHARPNESS,
        G_TYPE_DOUBLE, 1.0, GST_VIDEO_RESAMPLER_OPT_SHARPEN, G_TYPE_DOUBLE, 0.0,
        GST_VIDEO_CONVERTER_OPT_DEST_X, G_TYPE_INT, 0, GST_VIDEO_CONVERTER_OPT_DEST_Y, G_TYPE_INT,
        0, GST_VIDEO_CONVERTER_OPT_DEST_WIDTH, G_TYPE_INT, GST_VIDEO_INFO_WIDTH(&out),
        GST_VIDEO_CONVERTER_OPT_DEST_HEIGHT, G_TYPE_INT, GST_VIDEO_INFO_HEIGHT(&out),
        GST_VIDEO_CONVERTER_OPT_DITHER_METHOD, GST_TYPE_VIDEO_DITHER_METHOD, GST_VIDEO_DITHER_BAYER,
        GST_VIDEO_CONVERTER_OPT_DITHER_QUANTIZATION, G_TYPE_UINT, 1u,
        GST_VIDEO_CONVERTER_OPT_CHROMA_RESAMPLER_METHOD, GST_TYPE_VIDEO_RESAMPLER_METHOD,
        GST_VIDEO_RESAMPLER_METHOD_LINEAR, GST_VIDEO_CONVERTER_OPT_ALPHA_MODE,
        GST_TYPE_VIDEO_ALPHA_MODE, GST_VIDEO_ALPHA_MODE_COPY, GST_VIDEO_CONVERTER_OPT_ALPHA_VALUE,
        G_TYPE_DOUBLE, 1.0, GST_VIDEO_CONVERTER_OPT_CHROMA_MODE, GST_TYPE_VIDEO_CHROMA_MODE,
        GST_VIDEO_CHROMA_MODE_FULL, GST_VIDEO_CONVERTER_OPT_MATRIX_MODE, GST_TYPE_VIDEO_MATRIX_MODE,
        GST_VIDEO_MATRIX_MODE_FULL, GST_VIDEO_CONVERTER_OPT_GAMMA_MODE, GST_TYPE_VIDEO_GAMMA_MODE,
        GST_VIDEO_GAMMA_MODE_NONE, GST_VIDEO_CONVERTER_OPT_PRIMARIES_MODE,
        GST_TYPE_VIDEO_PRIMARIES_MODE, GST_VIDEO_PRIMARIES_MODE_NONE,
        GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT, 1u, nullptr);
}

} // namespace

bool CBottomUpBgrConverter::Configure(GstCaps* caps) {
    if (m_pCaps && gst_caps_is_equal(m_pCaps.get(), caps))
        return m_pConverter != nullptr;
    m_pConverter.reset();
    m_pCaps.reset(gst_caps_ref(caps));
    if (!gst_video_info_from_caps(&m_in, caps))
        return false;
    const int width = GST_VIDEO_INFO_WIDTH(&m_in);
    const int height = GST_VIDEO_INFO_HEIGHT(&m_in);
    gst_video_info_set_format(&m_out, GST_VIDEO_FORMAT_BGR, width, height);
    // What videoconvert negotiates for RGB out of YUV: the source's primaries
    // and transfer, RGB's own range and matrix.
    m_out.colorimetry.primaries = m_in.colorimetry.primaries;
    m_out.colorimetry.transfer = m_in.colorimetry.transfer;
    // Only the pixels change; the converter insists the timing matches.
    m_out.fps_n = m_in.fps_n;
    m_out.fps_d = m_in.fps_d;
    m_out.par_n = m_in.par_n;
    m_out.par_d = m_in.par_d;
    m_out.interlace_mode = m_in.interlace_mode;
    // The converter takes the options structure.
    m_pConverter.reset(gst_video_converter_new(&m_in, &m_out, VideoconvertOptions(m_out)));
    return m_pConverter != nullptr;
}

// Streaming thread.
const BYTE* CBottomUpBgrConverter::Convert(GstCaps* caps, GstBuffer* buffer, LONG& length,
                                           LONG& width, LONG& height) {
    length = width = height = 0;
    if (!caps || !buffer || gst_caps_is_empty(caps))
        return nullptr;
    if (gst_structure_has_name(gst_caps_get_structure(caps, 0), "image/jpeg"))
        return DecodeJpeg(buffer, length, width, height);
    if (!Configure(caps))
        return nullptr;
    CMappedFrame in(&m_in, buffer);
    if (!in.IsMapped())
        return nullptr;
    const int nWidth = GST_VIDEO_INFO_WIDTH(&m_out);
    const int nHeight = GST_VIDEO_INFO_HEIGHT(&m_out);
    const std::size_t row = static_cast<std::size_t>(nWidth) * 3;
    m_pixels.resize(row * static_cast<std::size_t>(nHeight));

    // The converter writes top-down rows; a negative stride starting at the
    // last row lays them bottom-up and packed in the same pass.
    GstVideoFrame out{};
    out.info = m_out;
    out.info.stride[0] = -static_cast<gint>(row);
    out.info.offset[0] = 0;
    out.info.size = m_pixels.size();
    out.data[0] = m_pixels.data() + row * static_cast<std::size_t>(nHeight - 1);
    gst_video_converter_frame(m_pConverter.get(), in.Frame(), &out);
    length = static_cast<LONG>(m_pixels.size());
    width = nWidth;
    height = nHeight;
    return m_pixels.data();
}

// Streaming thread. A frame that does not decode whole (cut short, damaged)
// never becomes a photo: the snapshot stays armed for the next frame. The
// size is the picture's own, from its header: a camera that renegotiates may
// send frames ahead of caps that describe them.
const BYTE* CBottomUpBgrConverter::DecodeJpeg(GstBuffer* buffer, LONG& length, LONG& width,
                                              LONG& height) {
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return nullptr;
    int nWidth = 0;
    int nHeight = 0;
    const BYTE* pixels = m_jpeg.DecodeBottomUpBgr(map.data, map.size, nWidth, nHeight);
    gst_buffer_unmap(buffer, &map);
    if (!pixels)
        return nullptr;
    width = nWidth;
    height = nHeight;
    length = static_cast<LONG>(3LL * nWidth * nHeight);
    return pixels;
}
