#pragma once
// What the renderers whose sink draws by itself share: a bin of the size
// filter and the sink, a probe that drops the frames nobody could see before
// the sink draws them, and the first-frame notice to the surface. Frames come
// at one frame pixel per device pixel, in a format the display takes as it
// is, and never pass the UI thread.

#include "capture/video_renderer.h"

class COverlayRenderer : public CVideoRenderer {
protected:
    // The sink, configured; null when the installation lacks it.
    virtual GstElementPtr MakeSink() = 0;
    // Made with the sink, before any frame: the surface the sink draws into.
    virtual CVideoSurface* MakeSurface(GstElement* sink) = 0;
    // Streaming thread: whether the sink can take frames now at all.
    virtual bool SinkReady() const { return true; }

    bool Build() final;
    GstCapsPtr FrameCaps() const final;
    void OnNotice(QEvent::Type notice) override;
    GstElement* Sink() const { return m_pSink.get(); }

private:
    static GstPadProbeReturn OnFrame(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    GstElementPtr m_pSink;
    // The first frame from upstream, and the first one drawn.
    std::atomic<bool> m_bFirstArrival{true};
    std::atomic<bool> m_bFirstFrame{true};
};
