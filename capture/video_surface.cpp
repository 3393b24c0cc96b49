#include "capture/video_surface.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QWindow>

namespace {
const QEvent::Type FrameReadyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
const QEvent::Type OverlayShownEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
} // namespace

// Lives on the UI thread; the streaming thread posts to it, never to a widget,
// so a frame can arrive safely whatever happened to the preview host. It also
// watches the surface and its top-level window for what hides the preview.
class CFrameNotifier final : public QObject {
public:
    explicit CFrameNotifier(CVideoRenderer* renderer) : m_pRenderer(renderer) {}
    bool event(QEvent* event) override {
        if (event->type() == FrameReadyEvent) {
            m_pRenderer->ShowLatest();
            return true;
        }
        if (event->type() == OverlayShownEvent) {
            if (m_pRenderer->m_pSurface)
                m_pRenderer->m_pSurface->OverlayShown();
            return true;
        }
        return QObject::event(event);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
        case QEvent::ParentChange:
            m_pRenderer->UpdateOnScreen();
            break;
        default:
            break;
        }
        return false;
    }

private:
    CVideoRenderer* m_pRenderer;
};

// ---- surface ---------------------------------------------------------------

CVideoSurface::CVideoSurface(GstElement* overlay, QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks belong to the preview host, as they would with no video on it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (!overlay)
        return;
    // A window of the surface's own, which Qt leaves to the sink. Its
    // ancestors and siblings stay windowless widgets: native ones would each
    // be flushed on their own, and the dialog is drawn as one.
    m_pOverlay.reset(GST_ELEMENT(gst_object_ref(overlay)));
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(overlay), winId());
}

// Qt has nothing to paint with on a window the sink draws into.
QPaintEngine* CVideoSurface::paintEngine() const {
    return m_pOverlay ? nullptr : QWidget::paintEngine();
}

bool CVideoSurface::event(QEvent* event) {
    // Reparenting may give the surface a new native window; the sink follows.
    // A window id of 0 would make the sink open a top-level window of its own.
    if (event->type() == QEvent::WinIdChange && m_pOverlay && internalWinId())
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(m_pOverlay.get()), internalWinId());
    return QWidget::event(event);
}

void CVideoSurface::ShowSample(GstSamplePtr sample) {
    m_pSample = std::move(sample);
    // Nothing is painted where nobody can see it. The newest frame waits here;
    // the first frame after the window shows again, or Qt's own repaint on
    // expose, paints it.
    if (IsOnScreen())
        update();
}

void CVideoSurface::OverlayShown() {
    m_bOverlayShown = true;
    emit framePainted();
}

bool CVideoSurface::HasFrame() const {
    return m_pOverlay ? m_bOverlayShown : m_pSample != nullptr;
}

bool CVideoSurface::IsOnScreen() const {
    if (!isVisible())
        return false;
    const QWidget* top = window();
    if (top->isMinimized())
        return false;
    // A sibling covering the surface whole needs no test here: Qt's repaint
    // skips a widget its opaque siblings hide.
    const QWindow* handle = top->windowHandle();
    return handle && handle->isExposed();
}

void CVideoSurface::paintEvent(QPaintEvent*) {
    // The window system asks for the area again (shown, uncovered, resized):
    // the sink draws its latest frame at the window's present size.
    if (m_pOverlay) {
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(m_pOverlay.get()));
        return;
    }
    QPainter painter(this);
    GstBuffer* buffer = m_pSample ? gst_sample_get_buffer(m_pSample.get()) : nullptr;
    GstCaps* caps = m_pSample ? gst_sample_get_caps(m_pSample.get()) : nullptr;
    if (caps && (!m_pCaps || !gst_caps_is_equal(caps, m_pCaps.get()))) {
        m_pCaps.reset(gst_caps_ref(caps));
        if (!gst_video_info_from_caps(&m_info, caps) ||
            GST_VIDEO_INFO_FORMAT(&m_info) != GST_VIDEO_FORMAT_BGRx)
            m_pCaps.reset();
    }
    GstVideoFrame frame;
    if (!buffer || !m_pCaps || !gst_video_frame_map(&frame, &m_info, buffer, GST_MAP_READ)) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QImage picture(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                         GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                         GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32);
    // The conversion already scaled to the surface's size; a frame of another
    // size (the surface resized while a frame was on its way) is stretched.
    if (picture.size() == size())
        painter.drawImage(0, 0, picture);
    else
        painter.drawImage(rect(), picture);
    gst_video_frame_unmap(&frame);
    emit framePainted();
}

// ---- renderer --------------------------------------------------------------

std::unique_ptr<CVideoRenderer> CVideoRenderer::Create() {
    std::unique_ptr<CVideoRenderer> renderer(new CVideoRenderer());
    renderer->m_pNotifier = std::make_unique<CFrameNotifier>(renderer.get());
    // On X11 painting through Qt would cost the UI thread a wake-up, a copy
    // into the backing store and a round trip to the server for every frame;
    // the image sink puts the frame the conversion wrote into shared memory
    // straight into the surface's window.
    const bool bX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!(bX11 && renderer->BuildOverlaySink()) && !renderer->BuildAppSink())
        return nullptr;
    renderer->ApplyFrameSize();
    return renderer;
}

bool CVideoRenderer::BuildOverlaySink() {
    GstElementPtr filter = MakeElement("capsfilter");
    GstElementPtr sink = MakeElement("ximagesink");
    if (!filter || !sink)
        return false;
    // The surface tells the sink when to draw again, so the sink runs no
    // thread of its own polling the window; the camera paces delivery.
    g_object_set(sink.get(), "handle-events", FALSE, "handle-expose", FALSE, "sync", FALSE, "qos",
                 FALSE, "force-aspect-ratio", FALSE, "pixel-aspect-ratio", "1/1",
                 "enable-last-sample", FALSE, nullptr);
    GstElementPtr bin(gst_bin_new(nullptr));
    gst_object_ref_sink(bin.get());
    gst_bin_add_many(GST_BIN(bin.get()), filter.get(), sink.get(), nullptr);
    if (!gst_element_link(filter.get(), sink.get()))
        return false;
    const GstPadPtr filterSink(gst_element_get_static_pad(filter.get(), "sink"));
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("sink", filterSink.get()));
    const GstPadPtr sinkPad(gst_element_get_static_pad(sink.get(), "sink"));
    gst_pad_add_probe(sinkPad.get(), GST_PAD_PROBE_TYPE_BUFFER, &CVideoRenderer::OnOverlayFrame,
                      this, nullptr);
    m_pElement = std::move(bin);
    m_pSizeFilter = std::move(filter);
    m_pOverlay = std::move(sink);
    // Made now rather than with its owner: a sink without a window to draw
    // into would open a top-level window of its own.
    m_pSurface = new CVideoSurface(m_pOverlay.get());
    m_pSurface->installEventFilter(m_pNotifier.get());
    return true;
}

bool CVideoRenderer::BuildAppSink() {
    GstElementPtr sink = MakeElement("appsink");
    if (!sink)
        return false;
    // Only the newest frame matters to a preview: older ones are dropped, and
    // the camera paces delivery, so no clock wait.
    g_object_set(sink.get(), "max-buffers", 1u, "drop", TRUE, "sync", FALSE, "enable-last-sample",
                 FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &CVideoRenderer::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    m_pSizeFilter.reset(GST_ELEMENT(gst_object_ref(sink.get())));
    m_pElement = std::move(sink);
    return true;
}

CVideoRenderer::~CVideoRenderer() {
    // The graph has stopped the pipeline: no callback runs now. Deleting the
    // notifier drops a frame event still queued for it.
    if (m_pWatchedWindow)
        m_pWatchedWindow->removeEventFilter(m_pNotifier.get());
    m_pNotifier.reset();
    delete m_pSurface.data();
}

// Streaming thread, for every frame of the overlay sink. The first frame
// always goes through: the sink completes the start on it.
GstPadProbeReturn CVideoRenderer::OnOverlayFrame(GstPad*, GstPadProbeInfo*, gpointer self) {
    auto* renderer = static_cast<CVideoRenderer*>(self);
    if (renderer->m_bFirstOverlayFrame.load(std::memory_order_relaxed) &&
        renderer->m_bFirstOverlayFrame.exchange(false)) {
        QCoreApplication::postEvent(renderer->m_pNotifier.get(), new QEvent(OverlayShownEvent));
        return GST_PAD_PROBE_OK;
    }
    return renderer->m_bOnScreen.load(std::memory_order_relaxed) ? GST_PAD_PROBE_OK
                                                                 : GST_PAD_PROBE_DROP;
}

// Streaming thread: keep the newest frame, wake the UI thread once.
GstFlowReturn CVideoRenderer::OnNewSample(GstAppSink* sink, gpointer self) {
    auto* renderer = static_cast<CVideoRenderer*>(self);
    GstSamplePtr sample(gst_app_sink_pull_sample(sink));
    if (!sample)
        return GST_FLOW_OK;
    {
        std::lock_guard lock(renderer->m_lock);
        renderer->m_pLatest = std::move(sample);
    }
    if (!renderer->m_bPosted.exchange(true))
        QCoreApplication::postEvent(renderer->m_pNotifier.get(), new QEvent(FrameReadyEvent));
    return GST_FLOW_OK;
}

// UI thread.
void CVideoRenderer::ShowLatest() {
    m_bPosted.store(false);
    GstSamplePtr sample;
    {
        std::lock_guard lock(m_lock);
        sample = std::move(m_pLatest);
    }
    if (sample && m_pSurface)
        m_pSurface->ShowSample(std::move(sample));
}

void CVideoRenderer::ApplyGeometry() {
    if (m_pSurface)
        m_pSurface->setGeometry(m_nLeft, m_nTop, m_nWidth, m_nHeight);
}

// The frames the sink takes, at the window's size once it has one, so the one
// conversion upstream also scales. The appsink takes BGRx, which painting
// copies as it is; the overlay sink takes the display's own format, at one
// frame pixel per device pixel.
void CVideoRenderer::ApplyFrameSize() {
    GstCapsPtr caps(gst_caps_new_empty_simple("video/x-raw"));
    if (!m_pOverlay)
        gst_caps_set_simple(caps.get(), "format", G_TYPE_STRING, "BGRx", nullptr);
    if (m_nWidth > 0 && m_nHeight > 0) {
        const qreal ratio = m_pOverlay && m_pSurface ? m_pSurface->devicePixelRatioF() : 1.0;
        gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, qRound(m_nWidth * ratio), "height",
                            G_TYPE_INT, qRound(m_nHeight * ratio), nullptr);
    }
    g_object_set(m_pSizeFilter.get(), "caps", caps.get(), nullptr);
    // A running stream renegotiates to the new size.
    const GstPadPtr pad(gst_element_get_static_pad(m_pElement.get(), "sink"));
    gst_pad_push_event(pad.get(), gst_event_new_reconfigure());
}

// UI thread: whether the overlay's frames could be seen. Exposure is left
// out: a widget is not told when its window is exposed again, and a sink held
// back on a stale answer would leave the preview frozen.
void CVideoRenderer::UpdateOnScreen() {
    QWidget* top = m_pSurface ? m_pSurface->window() : nullptr;
    if (top == m_pSurface)
        top = nullptr;
    if (top != m_pWatchedWindow) {
        if (m_pWatchedWindow)
            m_pWatchedWindow->removeEventFilter(m_pNotifier.get());
        m_pWatchedWindow = top;
        if (top)
            top->installEventFilter(m_pNotifier.get());
    }
    m_bOnScreen.store(top && m_pSurface->isVisible() && !top->isMinimized(),
                      std::memory_order_relaxed);
}

HRESULT CVideoRenderer::put_Owner(QWidget* owner) {
    if (!owner) {
        // Detached: hidden and no longer a child of the host.
        if (m_pSurface) {
            m_pSurface->hide();
            m_pSurface->setParent(nullptr);
        }
        return S_OK;
    }
    if (!m_pSurface)
        m_pSurface = new CVideoSurface(nullptr, owner);
    else
        m_pSurface->setParent(owner);
    ApplyGeometry();
    m_pSurface->setVisible(m_bVisible);
    return S_OK;
}

HRESULT CVideoRenderer::put_Left(LONG left) {
    m_nLeft = left;
    ApplyGeometry();
    return S_OK;
}

HRESULT CVideoRenderer::put_Top(LONG top) {
    m_nTop = top;
    ApplyGeometry();
    return S_OK;
}

HRESULT CVideoRenderer::put_Width(LONG width) {
    if (width < 0)
        return E_INVALIDARG;
    m_nWidth = width;
    ApplyGeometry();
    ApplyFrameSize();
    return S_OK;
}

HRESULT CVideoRenderer::put_Height(LONG height) {
    if (height < 0)
        return E_INVALIDARG;
    m_nHeight = height;
    ApplyGeometry();
    ApplyFrameSize();
    return S_OK;
}

// The surface is always a child widget, which Qt clips by its siblings; a
// style without WS_CHILD asks for a top-level window it cannot be.
HRESULT CVideoRenderer::put_WindowStyle(LONG style) {
    return (style & WS_CHILD) ? S_OK : E_INVALIDARG;
}

HRESULT CVideoRenderer::put_Visible(LONG visible) {
    m_bVisible = visible != OAFALSE;
    // A window without an owner stays hidden: shown, it would be a top-level.
    if (m_pSurface && m_pSurface->parentWidget())
        m_pSurface->setVisible(m_bVisible);
    return S_OK;
}
