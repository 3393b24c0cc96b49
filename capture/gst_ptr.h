#pragma once
// Owning handles for the GStreamer and GLib objects the capture engine
// keeps or is handed: each is wrapped the moment a call returns it, so every
// return path releases it. Pointers a call only lends (a caps' structure, a
// sample's buffer) stay raw.

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
struct GstMessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct GstStructureFree {
    void operator()(GstStructure* structure) const { gst_structure_free(structure); }
};
struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
// A list of GStreamer objects that holds a reference to each.
struct GstObjectListFree {
    void operator()(GList* list) const { g_list_free_full(list, gst_object_unref); }
};

using GstElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using GstDevicePtr = std::unique_ptr<GstDevice, GstObjectUnref>;
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;
using GstSamplePtr = std::unique_ptr<GstSample, GstSampleUnref>;
using GstPadPtr = std::unique_ptr<GstPad, GstObjectUnref>;
using GstBusPtr = std::unique_ptr<GstBus, GstObjectUnref>;
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;
using GstStructurePtr = std::unique_ptr<GstStructure, GstStructureFree>;
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;
using GCharPtr = std::unique_ptr<gchar, GFree>;
using GstObjectListPtr = std::unique_ptr<GList, GstObjectListFree>;

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
