#include "capture/video_caps.h"

#include <gst/video/video.h>

GstCapsPtr CapsForFormat(const std::string& subtype, LONG width, LONG height) {
    if (subtype.empty() || width <= 0 || height <= 0)
        return nullptr;
    GstCapsPtr caps;
    if (subtype == "MJPG") {
        caps.reset(gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, width, "height",
                                       G_TYPE_INT, height, nullptr));
    } else {
        const char* name = subtype == "RGB24" ? "BGR" : subtype.c_str();
        if (gst_video_format_from_string(name) == GST_VIDEO_FORMAT_UNKNOWN)
            return nullptr;
        caps.reset(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, name, "width",
                                       G_TYPE_INT, width, "height", G_TYPE_INT, height, nullptr));
    }
    return caps;
}

bool FormatFromCaps(const GstCaps* caps, VideoFormat& format) {
    if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps))
        return false;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    int width = 0;
    int height = 0;
    if (!gst_structure_get_int(s, "width", &width) || !gst_structure_get_int(s, "height", &height))
        return false;
    int num = 0;
    int den = 1;
    if (!gst_structure_get_fraction(s, "framerate", &num, &den)) {
        num = 0;
        den = 1;
    }
    if (gst_structure_has_name(s, "image/jpeg")) {
        format.subtype = "MJPG";
        format.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 3;
    } else if (gst_structure_has_name(s, "video/x-raw")) {
        const char* name = gst_structure_get_string(s, "format");
        if (!name)
            return false;
        format.subtype = std::string(name) == "BGR" ? "RGB24" : name;
        GstVideoInfo info;
        gst_video_info_init(&info);
        format.biSizeImage =
            gst_video_info_from_caps(&info, caps) ? static_cast<DWORD>(info.size) : 0;
    } else {
        return false;
    }
    format.biWidth = width;
    format.biHeight = height;
    format.nFrameRateNum = num;
    format.nFrameRateDen = den;
    return true;
}

GstCapsPtr FixFormat(const GstCaps* advertised, const std::string& subtype, LONG width,
                     LONG height) {
    GstCapsPtr wanted = CapsForFormat(subtype, width, height);
    if (!wanted || !advertised)
        return nullptr;
    GstCapsPtr common(gst_caps_intersect(wanted.get(), const_cast<GstCaps*>(advertised)));
    if (gst_caps_is_empty(common.get()))
        return nullptr;
    // Each structure of the intersection is one advertised entry: take the
    // one that reaches the highest rate.
    GstCapsPtr best;
    int bestNum = -1;
    int bestDen = 1;
    for (guint i = 0; i < gst_caps_get_size(common.get()); ++i) {
        GstCapsPtr entry(gst_caps_copy_nth(common.get(), i));
        entry.reset(gst_caps_make_writable(entry.release()));
        GstStructure* s = gst_caps_get_structure(entry.get(), 0);
        int num = 0;
        int den = 1;
        if (gst_structure_has_field(s, "framerate")) {
            gst_structure_fixate_field_nearest_fraction(s, "framerate", G_MAXINT, 1);
            gst_structure_get_fraction(s, "framerate", &num, &den);
        }
        // num/den > bestNum/bestDen, without overflow.
        if (!best || static_cast<gint64>(num) * bestDen > static_cast<gint64>(bestNum) * den) {
            best = std::move(entry);
            bestNum = num;
            bestDen = den;
        }
    }
    return GstCapsPtr(gst_caps_fixate(best.release()));
}
