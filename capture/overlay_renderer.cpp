#include "capture/overlay_renderer.h"

#include "capture/video_surface.h"

namespace {
const QEvent::Type SinkShownNotice = static_cast<QEvent::Type>(QEvent::registerEventType());
} // namespace

bool COverlayRenderer::Build() {
    GstElementPtr filter = MakeElement("capsfilter");
    GstElementPtr sink = MakeSink();
    if (!filter || !sink)
        return false;
    GstElementPtr bin(gst_bin_new(nullptr));
    gst_object_ref_sink(bin.get());
    gst_bin_add_many(GST_BIN(bin.get()), filter.get(), sink.get(), nullptr);
    if (!gst_element_link(filter.get(), sink.get()))
        return false;
    const GstPadPtr filterSink(gst_element_get_static_pad(filter.get(), "sink"));
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("sink", filterSink.get()));
    const GstPadPtr sinkPad(gst_element_get_static_pad(sink.get(), "sink"));
    gst_pad_add_probe(sinkPad.get(), GST_PAD_PROBE_TYPE_BUFFER, &COverlayRenderer::OnFrame, this,
                      nullptr);
    m_pSink = std::move(sink);
    SetElements(std::move(bin), std::move(filter));
    // Made now rather than with its owner: a sink without a surface to draw
    // into would open a top-level window of its own.
    SetSurface(MakeSurface(m_pSink.get()));
    return true;
}

// The display's own format, whichever the sink names first that the upstream
// conversion can write, at the window's size in device pixels.
GstCapsPtr COverlayRenderer::FrameCaps() const {
    GstCapsPtr caps(gst_caps_new_empty_simple("video/x-raw"));
    if (m_nWidth > 0 && m_nHeight > 0) {
        const qreal ratio = Surface() ? Surface()->devicePixelRatioF() : 1.0;
        gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, qRound(m_nWidth * ratio), "height",
                            G_TYPE_INT, qRound(m_nHeight * ratio), nullptr);
    }
    return caps;
}

void COverlayRenderer::OnNotice(QEvent::Type notice) {
    if (notice == SinkShownNotice && Surface())
        Surface()->SinkShown();
}

// Streaming thread, for every frame the sink would draw. The first frame that
// the sink can take always goes through: a sink that starts on its first
// frame completes the start on it.
GstPadProbeReturn COverlayRenderer::OnFrame(GstPad*, GstPadProbeInfo*, gpointer self) {
    auto* renderer = static_cast<COverlayRenderer*>(self);
    if (!renderer->StartsOnFirstFrame() &&
        renderer->m_bFirstArrival.load(std::memory_order_relaxed) &&
        renderer->m_bFirstArrival.exchange(false)) {
        // The camera delivers: the graph's start is complete, whether or not
        // the sink can draw yet.
        GstElement* sink = renderer->m_pSink.get();
        gst_element_post_message(
            sink, gst_message_new_element(GST_OBJECT(sink),
                                          gst_structure_new_empty(FIRST_FRAME_MESSAGE)));
    }
    if (!renderer->SinkReady())
        return GST_PAD_PROBE_DROP;
    if (renderer->m_bFirstFrame.load(std::memory_order_relaxed) &&
        renderer->m_bFirstFrame.exchange(false)) {
        renderer->PostNotice(SinkShownNotice);
        return GST_PAD_PROBE_OK;
    }
    return renderer->OnScreen() ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}
