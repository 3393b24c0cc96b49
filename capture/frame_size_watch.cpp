#include "capture/frame_size_watch.h"

#include "platform/trace.h"

#include <gst/video/video.h>

#include <cmath>

namespace {

// Frame size limits: nothing a camera sends is larger.
constexpr int MAX_FRAME_SIDE = 16384;

gsize FrameBytes(GstVideoFormat format, int width, int height) {
    GstVideoInfo info;
    gst_video_info_init(&info);
    if (!gst_video_info_set_format(&info, format, width, height))
        return 0;
    return info.size;
}

// Streaming thread only: the caps last seen on the pad, the frame bytes they
// describe (0 when they describe no raw frame) and a frame byte count found
// to fit no other size under them, so such frames cost no second search.
struct FrameSizeWatch {
    GstCaps* pSeen = nullptr; // compared only, never dereferenced
    gsize nExpected = 0;
    gsize nUnfit = 0;
};

GstPadProbeReturn OnFrame(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (!buffer)
        return GST_PAD_PROBE_OK;
    auto& watch = *static_cast<FrameSizeWatch*>(data);
    const GstCapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps)
        return GST_PAD_PROBE_OK;
    if (caps.get() != watch.pSeen) {
        watch.pSeen = caps.get();
        watch.nUnfit = 0;
        GstVideoInfo described;
        watch.nExpected = gst_video_info_from_caps(&described, caps.get()) &&
                                  !GST_VIDEO_FORMAT_INFO_IS_COMPLEX(described.finfo)
                              ? described.size
                              : 0;
    }
    const gsize bytes = gst_buffer_get_size(buffer);
    // A frame with a layout of its own (padded rows, a driver's larger
    // buffer) describes itself and is left as it is.
    if (watch.nExpected == 0 || bytes == watch.nExpected || bytes == watch.nUnfit ||
        gst_buffer_get_video_meta(buffer))
        return GST_PAD_PROBE_OK;
    GstCapsPtr fitting = CapsForFrameBytes(caps.get(), bytes);
    if (!fitting) {
        watch.nUnfit = bytes;
        return GST_PAD_PROBE_OK;
    }
    const GCharPtr text(gst_caps_to_string(fitting.get()));
    Trace("camera frames changed size without new caps; now %s", text.get());
    // The caps go ahead of this frame, on this thread.
    gst_pad_push_event(pad, gst_event_new_caps(fitting.get()));
    return GST_PAD_PROBE_OK;
}

} // namespace

GstCapsPtr CapsForFrameBytes(GstCaps* caps, gsize bufferSize) {
    GstVideoInfo info;
    if (!caps || bufferSize == 0 || !gst_video_info_from_caps(&info, caps) ||
        info.size == bufferSize)
        return nullptr;
    const GstVideoFormat format = GST_VIDEO_INFO_FORMAT(&info);
    const int width = GST_VIDEO_INFO_WIDTH(&info);
    const int height = GST_VIDEO_INFO_HEIGHT(&info);
    if (width <= 0 || height <= 0 || GST_VIDEO_FORMAT_INFO_IS_COMPLEX(info.finfo))
        return nullptr;
    // Bytes grow with the pixel count (rows are padded a little), so the
    // height is near the square root; the few heights around it are tried for
    // one whose frames have exactly this many bytes.
    const double bytesPerPixel = static_cast<double>(info.size) / (double(width) * height);
    const double pixels = static_cast<double>(bufferSize) / bytesPerPixel;
    const int guess = static_cast<int>(std::lround(std::sqrt(pixels * height / width)));
    for (int h = guess - 2; h <= guess + 2; ++h) {
        if (h <= 0 || h > MAX_FRAME_SIDE || (static_cast<long long>(h) * width) % height != 0)
            continue;
        const int w = static_cast<int>(static_cast<long long>(h) * width / height);
        if (w <= 0 || w > MAX_FRAME_SIDE || FrameBytes(format, w, h) != bufferSize)
            continue;
        GstCapsPtr fitting(gst_caps_copy(caps));
        gst_caps_set_simple(fitting.get(), "width", G_TYPE_INT, w, "height", G_TYPE_INT, h,
                            nullptr);
        return fitting;
    }
    return nullptr;
}

void WatchFrameSizes(GstPad* pad) {
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &OnFrame, new FrameSizeWatch,
                      [](gpointer data) { delete static_cast<FrameSizeWatch*>(data); });
}
