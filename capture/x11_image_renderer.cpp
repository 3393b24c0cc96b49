#include "capture/x11_image_renderer.h"

#include "capture/overlay_renderer.h"
#include "capture/video_surface.h"

namespace {

class CX11ImageRenderer final : public COverlayRenderer {
protected:
    GstElementPtr MakeSink() override;
    CVideoSurface* MakeSurface(GstElement* sink) override;
};

GstElementPtr CX11ImageRenderer::MakeSink() {
    GstElementPtr sink = MakeElement("ximagesink");
    if (!sink)
        return nullptr;
    // The surface tells the sink when to draw again, so the sink runs no
    // thread of its own polling the window; the camera paces delivery.
    g_object_set(sink.get(), "handle-events", FALSE, "handle-expose", FALSE, "sync", FALSE, "qos",
                 FALSE, "force-aspect-ratio", FALSE, "pixel-aspect-ratio", "1/1",
                 "enable-last-sample", FALSE, nullptr);
    return sink;
}

CVideoSurface* CX11ImageRenderer::MakeSurface(GstElement* sink) {
    return new CVideoSurface(CVideoSurface::Kind::NativeWindow, sink);
}

} // namespace

std::unique_ptr<CVideoRenderer> CreateX11ImageRenderer() {
    return std::make_unique<CX11ImageRenderer>();
}
