#include "capture/device_class.h"

#include <cstring>

namespace {

// Greyscale raw formats as GStreamer names them for V4L2 and PipeWire
// sources, and the FourCCs of the V4L2 luma-only formats it has no name for.
constexpr const char* GREYSCALE_FORMATS[] = {
    "GRAY8", "GRAY10_LE16", "GRAY10_LE32", "GRAY12_LE", "GRAY16_LE", "GRAY16_BE",
    "GREY",  "Y10",         "Y10B",        "Y12",       "Y14",       "Y16",
};

bool IsGreyscaleFormat(const GValue* value) {
    if (!G_VALUE_HOLDS_STRING(value))
        return false;
    const char* name = g_value_get_string(value);
    for (const char* grey : GREYSCALE_FORMATS)
        if (name && std::strcmp(name, grey) == 0)
            return true;
    return false;
}

// A structure of raw video whose format field, a name or a list of names,
// holds greyscale names only.
bool IsGreyscaleStructure(const GstStructure* structure) {
    if (!gst_structure_has_name(structure, "video/x-raw"))
        return false;
    const GValue* format = gst_structure_get_value(structure, "format");
    if (!format)
        return false;
    if (GST_VALUE_HOLDS_LIST(format)) {
        const guint n = gst_value_list_get_size(format);
        for (guint i = 0; i < n; ++i)
            if (!IsGreyscaleFormat(gst_value_list_get_value(format, i)))
                return false;
        return n > 0;
    }
    return IsGreyscaleFormat(format);
}

} // namespace

bool OffersOnlyGreyscale(const GstCaps* caps) {
    if (!caps || gst_caps_is_any(caps) || gst_caps_is_empty(caps))
        return false;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i)
        if (!IsGreyscaleStructure(gst_caps_get_structure(caps, i)))
            return false;
    return true;
}

std::string CameraStackClass(const GstCaps* caps, const std::string& strDriver) {
    if (strDriver == V4L2_LOOPBACK_DRIVER)
        return "{Video Loopback}";
    if (OffersOnlyGreyscale(caps))
        return "{Infrared Sensor}";
    return KSPROXY_CLSID;
}
