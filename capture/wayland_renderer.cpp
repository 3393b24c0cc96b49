#include "capture/wayland_renderer.h"

#include "capture/overlay_renderer.h"
#include "capture/video_surface.h"
#include "platform/trace.h"

#include <gst/video/videooverlay.h>

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

namespace {

// The context type waylandsink of GStreamer 1.22 asks for, and the two names
// its display handle has been read under.
constexpr char WAYLAND_DISPLAY_CONTEXT[] = "GstWlDisplayHandleContextType";

void* NativeResource(const char* name, QWindow* window) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native)
        return nullptr;
    return window ? native->nativeResourceForWindow(name, window)
                  : native->nativeResourceForIntegration(name);
}

class CWaylandRenderer final : public COverlayRenderer {
public:
    // The sink starts before the window may have a surface to draw on (the
    // first preview starts before the window is shown): it does not wait for
    // a frame to start, and frames are dropped until the surface is known.
    bool StartsOnFirstFrame() const override { return false; }

protected:
    GstElementPtr MakeSink() override;
    CVideoSurface* MakeSurface(GstElement* sink) override;
    bool SinkReady() const override { return m_bSurfaceSet.load(std::memory_order_acquire); }
    void SurfaceChanged() override;

private:
    // Where the host lies on the window's surface, in its coordinates.
    QRect RenderRectangle() const;

    std::atomic<bool> m_bSurfaceSet{false};
    QRect m_rcRendered;
};

GstElementPtr CWaylandRenderer::MakeSink() {
    void* display = NativeResource("wl_display", nullptr);
    GstElementPtr sink = display ? MakeElement("waylandsink") : nullptr;
    if (!sink)
        return nullptr;
    // The compositor's frame callbacks pace drawing; the camera paces delivery.
    g_object_set(sink.get(), "sync", FALSE, "qos", FALSE, "async", FALSE, "enable-last-sample",
                 FALSE, nullptr);
    // The window's own connection: a surface of one connection cannot hold a
    // subsurface of another.
    GstContext* context = gst_context_new(WAYLAND_DISPLAY_CONTEXT, TRUE);
    gst_structure_set(gst_context_writable_structure(context), "display", G_TYPE_POINTER, display,
                      "handle", G_TYPE_POINTER, display, nullptr);
    gst_element_set_context(sink.get(), context);
    gst_context_unref(context);
    return sink;
}

CVideoSurface* CWaylandRenderer::MakeSurface(GstElement*) {
    return new CVideoSurface(CVideoSurface::Kind::Underlay, nullptr);
}

QRect CWaylandRenderer::RenderRectangle() const {
    QWidget* top = WatchedWindow();
    const QPoint origin = Surface()->mapTo(top, QPoint(0, 0));
    // The surface holds the decorations Qt draws beside the contents.
    const QMargins frame = top->windowHandle()->frameMargins();
    return QRect(origin + QPoint(frame.left(), frame.top()), Surface()->size());
}

// UI thread. The sink is told the window's surface once the window has one
// on screen (it gets one when it is first shown), then follows the host.
void CWaylandRenderer::SurfaceChanged() {
    QWidget* top = WatchedWindow();
    if (!Surface() || !top || !top->windowHandle() || !top->windowHandle()->isExposed())
        return;
    const QRect rect = RenderRectangle();
    if (rect.isEmpty())
        return;
    GstVideoOverlay* overlay = GST_VIDEO_OVERLAY(Sink());
    if (!m_bSurfaceSet.load(std::memory_order_relaxed)) {
        void* surface = NativeResource("surface", top->windowHandle());
        if (!surface)
            return;
        gst_video_overlay_set_window_handle(overlay, reinterpret_cast<guintptr>(surface));
        gst_video_overlay_set_render_rectangle(overlay, rect.x(), rect.y(), rect.width(),
                                               rect.height());
        m_rcRendered = rect;
        m_bSurfaceSet.store(true, std::memory_order_release);
        Trace("preview on the window's surface at %d,%d %dx%d", rect.x(), rect.y(), rect.width(),
              rect.height());
        return;
    }
    if (rect != m_rcRendered) {
        gst_video_overlay_set_render_rectangle(overlay, rect.x(), rect.y(), rect.width(),
                                               rect.height());
        m_rcRendered = rect;
    }
}

} // namespace

std::unique_ptr<CVideoRenderer> CreateWaylandRenderer() {
    return std::make_unique<CWaylandRenderer>();
}
