#pragma once
// Owning handles for the GStreamer objects the capture engine keeps.

// Before GLib: its TRUE and FALSE macros would otherwise break our constants.
#include "platform/win_types.h"

#include <gst/gst.h>

#include <memory>

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstCapsUnref {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
struct GstSampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};

using GstElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using GstDevicePtr = std::unique_ptr<GstDevice, GstObjectUnref>;
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;
using GstSamplePtr = std::unique_ptr<GstSample, GstSampleUnref>;

// Takes a new element from a factory and owns it (the floating reference sunk).
inline GstElementPtr MakeElement(const char* factory, const char* name = nullptr) {
    GstElement* element = gst_element_factory_make(factory, name);
    if (element)
        gst_object_ref_sink(element);
    return GstElementPtr(element);
}

// What every filter of the GStreamer graph is underneath: one element (often
// a bin) that the graph adds to its pipeline.
class IGstElementFilter {
public:
    virtual ~IGstElementFilter() = default;
    virtual GstElement* Element() const = 0;
};
