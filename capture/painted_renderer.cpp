#include "capture/painted_renderer.h"

#include "capture/video_surface.h"

#include <gst/app/gstappsink.h>

#include <mutex>

namespace {

const QEvent::Type FrameReadyNotice = static_cast<QEvent::Type>(QEvent::registerEventType());

class CPaintedRenderer final : public CVideoRenderer {
protected:
    bool Build() override;
    GstCapsPtr FrameCaps() const override;
    void OnNotice(QEvent::Type notice) override;

private:
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);

    // Written by the appsink's streaming thread, taken by the UI thread;
    // m_lock guards m_pLatest.
    std::mutex m_lock;
    GstSamplePtr m_pLatest;
    std::atomic<bool> m_bPosted{false};
};

bool CPaintedRenderer::Build() {
    GstElementPtr sink = MakeElement("appsink");
    if (!sink)
        return false;
    // Only the newest frame matters to a preview: older ones are dropped, and
    // the camera paces delivery, so no clock wait.
    g_object_set(sink.get(), "max-buffers", 1u, "drop", TRUE, "sync", FALSE, "enable-last-sample",
                 FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &CPaintedRenderer::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    GstElementPtr sizeFilter(GST_ELEMENT(gst_object_ref(sink.get())));
    SetElements(std::move(sink), std::move(sizeFilter));
    return true;
}

// BGRx, which painting copies as it is, at the surface's size in logical
// pixels: the backing store scales it like any other painting.
GstCapsPtr CPaintedRenderer::FrameCaps() const {
    GstCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr));
    if (m_nWidth > 0 && m_nHeight > 0)
        gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, static_cast<int>(m_nWidth), "height",
                            G_TYPE_INT, static_cast<int>(m_nHeight), nullptr);
    return caps;
}

// Streaming thread: keep the newest frame, wake the UI thread once.
GstFlowReturn CPaintedRenderer::OnNewSample(GstAppSink* sink, gpointer self) {
    auto* renderer = static_cast<CPaintedRenderer*>(self);
    GstSamplePtr sample(gst_app_sink_pull_sample(sink));
    if (!sample)
        return GST_FLOW_OK;
    {
        std::lock_guard lock(renderer->m_lock);
        renderer->m_pLatest = std::move(sample);
    }
    if (!renderer->m_bPosted.exchange(true))
        renderer->PostNotice(FrameReadyNotice);
    return GST_FLOW_OK;
}

// UI thread.
void CPaintedRenderer::OnNotice(QEvent::Type notice) {
    if (notice != FrameReadyNotice)
        return;
    m_bPosted.store(false);
    GstSamplePtr sample;
    {
        std::lock_guard lock(m_lock);
        sample = std::move(m_pLatest);
    }
    if (sample && Surface())
        Surface()->ShowSample(std::move(sample));
}

} // namespace

std::unique_ptr<CVideoRenderer> CreatePaintedRenderer() {
    return std::make_unique<CPaintedRenderer>();
}
