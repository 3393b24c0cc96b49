#include "capture/mjpeg_preview_decoder.h"

#include "capture/jpeg_frame_reader.h"

#include <gst/base/gstbasetransform.h>
#include <gst/video/video.h>

namespace {

struct VizorMjpegPreview {
    GstBaseTransform parent;
    // Streaming thread only, between set_caps and the last transform.
    CJpegFrameReader* pReader;
    GstVideoInfo out;
    J_COLOR_SPACE space;
};

struct VizorMjpegPreviewClass {
    GstBaseTransformClass parent;
};

GType PreviewType();
VizorMjpegPreview* Self(gpointer object) {
    return G_TYPE_CHECK_INSTANCE_CAST(object, PreviewType(), VizorMjpegPreview);
}

constexpr char OUTPUT_CAPS[] = "video/x-raw, format = (string) { BGRx, RGBx, xBGR, xRGB }, "
                               "width = (int) [ 1, 8192 ], height = (int) [ 1, 8192 ], "
                               "pixel-aspect-ratio = (fraction) 1/1";

GstStaticPadTemplate g_sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("image/jpeg"));
GstStaticPadTemplate g_srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS(OUTPUT_CAPS));

J_COLOR_SPACE SpaceOf(GstVideoFormat format) {
    switch (format) {
    case GST_VIDEO_FORMAT_RGBx:
        return JCS_EXT_RGBX;
    case GST_VIDEO_FORMAT_xBGR:
        return JCS_EXT_XBGR;
    case GST_VIDEO_FORMAT_xRGB:
        return JCS_EXT_XRGB;
    default:
        return JCS_EXT_BGRX;
    }
}

// JPEG in, any size of the four formats out, and back; the frame rate goes
// through.
GstCaps* TransformCaps(GstBaseTransform*, GstPadDirection direction, GstCaps* caps,
                       GstCaps* filter) {
    GstCaps* result = direction == GST_PAD_SINK ? gst_caps_from_string(OUTPUT_CAPS)
                                                : gst_caps_new_empty_simple("image/jpeg");
    const GstStructure* in = gst_caps_is_empty(caps) ? nullptr : gst_caps_get_structure(caps, 0);
    const GValue* rate = in ? gst_structure_get_value(in, "framerate") : nullptr;
    if (rate)
        gst_structure_set_value(gst_caps_get_structure(result, 0), "framerate", rate);
    if (filter) {
        GstCaps* both = gst_caps_intersect_full(filter, result, GST_CAPS_INTERSECT_FIRST);
        gst_caps_unref(result);
        result = both;
    }
    return result;
}

// Where downstream leaves the size open, the frame's own.
GstCaps* FixateCaps(GstBaseTransform*, GstPadDirection direction, GstCaps* caps,
                    GstCaps* othercaps) {
    othercaps = gst_caps_truncate(gst_caps_make_writable(othercaps));
    if (direction == GST_PAD_SINK && !gst_caps_is_empty(caps)) {
        const GstStructure* in = gst_caps_get_structure(caps, 0);
        GstStructure* out = gst_caps_get_structure(othercaps, 0);
        int width = 0;
        int height = 0;
        if (gst_structure_get_int(in, "width", &width))
            gst_structure_fixate_field_nearest_int(out, "width", width);
        if (gst_structure_get_int(in, "height", &height))
            gst_structure_fixate_field_nearest_int(out, "height", height);
    }
    return gst_caps_fixate(othercaps);
}

gboolean SetCaps(GstBaseTransform* transform, GstCaps*, GstCaps* outcaps) {
    VizorMjpegPreview* self = Self(transform);
    if (!gst_video_info_from_caps(&self->out, outcaps))
        return FALSE;
    self->space = SpaceOf(GST_VIDEO_INFO_FORMAT(&self->out));
    return TRUE;
}

gboolean TransformSize(GstBaseTransform* transform, GstPadDirection direction, GstCaps*, gsize,
                       GstCaps*, gsize* othersize) {
    if (direction != GST_PAD_SINK)
        return FALSE;
    *othersize = GST_VIDEO_INFO_SIZE(&Self(transform)->out);
    return TRUE;
}

// Streaming thread, for every frame.
GstFlowReturn Transform(GstBaseTransform* transform, GstBuffer* inbuf, GstBuffer* outbuf) {
    VizorMjpegPreview* self = Self(transform);
    GstMapInfo in;
    if (!gst_buffer_map(inbuf, &in, GST_MAP_READ))
        return GST_BASE_TRANSFORM_FLOW_DROPPED;
    GstVideoFrame out;
    bool bDecoded = false;
    if (gst_video_frame_map(&out, &self->out, outbuf, GST_MAP_WRITE)) {
        bDecoded = self->pReader->DecodeScaled(
            in.data, in.size, self->space,
            static_cast<std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&out, 0)),
            GST_VIDEO_FRAME_WIDTH(&out), GST_VIDEO_FRAME_HEIGHT(&out),
            GST_VIDEO_FRAME_PLANE_STRIDE(&out, 0));
        gst_video_frame_unmap(&out);
    }
    gst_buffer_unmap(inbuf, &in);
    // A frame that is not whole is not shown: the sink keeps the last one.
    return bDecoded ? GST_FLOW_OK : GST_BASE_TRANSFORM_FLOW_DROPPED;
}

void Finalize(GObject* object) {
    delete Self(object)->pReader;
    G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

void ClassInit(gpointer klass, gpointer) {
    G_OBJECT_CLASS(klass)->finalize = Finalize;
    auto* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(element, &g_sinkTemplate);
    gst_element_class_add_static_pad_template(element, &g_srcTemplate);
    gst_element_class_set_static_metadata(element, "Preview JPEG decoder", "Codec/Decoder/Video",
                                          "Decodes JPEG frames at the preview's size",
                                          "Nimbrel Vizor webcam");
    auto* base = GST_BASE_TRANSFORM_CLASS(klass);
    base->transform_caps = TransformCaps;
    base->fixate_caps = FixateCaps;
    base->set_caps = SetCaps;
    base->transform_size = TransformSize;
    base->transform = Transform;
    base->passthrough_on_same_caps = FALSE;
}

void InstanceInit(GTypeInstance* instance, gpointer) {
    VizorMjpegPreview* self = Self(instance);
    self->pReader = new CJpegFrameReader();
    gst_video_info_init(&self->out);
    self->space = JCS_EXT_BGRX;
}

GType PreviewType() {
    static const GType type = g_type_register_static_simple(
        GST_TYPE_BASE_TRANSFORM, "VizorMjpegPreview", sizeof(VizorMjpegPreviewClass), ClassInit,
        sizeof(VizorMjpegPreview), InstanceInit, static_cast<GTypeFlags>(0));
    return type;
}

} // namespace

GstElementPtr MakeMjpegPreviewDecoder() {
    auto* element = GST_ELEMENT(g_object_new(PreviewType(), nullptr));
    gst_object_ref_sink(element);
    return GstElementPtr(element);
}
