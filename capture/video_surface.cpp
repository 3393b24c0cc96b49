#include "capture/video_surface.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QWindow>

namespace {
const QEvent::Type FrameReadyEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}

// Lives on the UI thread; the streaming thread posts to it, never to a widget,
// so a frame can arrive safely whatever happened to the preview host.
class CFrameNotifier final : public QObject {
public:
    explicit CFrameNotifier(CVideoRenderer* renderer) : m_pRenderer(renderer) {}
    bool event(QEvent* event) override {
        if (event->type() != FrameReadyEvent)
            return QObject::event(event);
        m_pRenderer->ShowLatest();
        return true;
    }

private:
    CVideoRenderer* m_pRenderer;
};

// ---- surface ---------------------------------------------------------------

CVideoSurface::CVideoSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks belong to the preview host, as they would with no video on it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CVideoSurface::ShowSample(GstSamplePtr sample) {
    m_pSample = std::move(sample);
    // Nothing is painted where nobody can see it. The newest frame waits here;
    // the first frame after the window shows again, or Qt's own repaint on
    // expose, paints it.
    if (IsOnScreen())
        update();
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
    GstElementPtr sink = MakeElement("appsink");
    if (!sink)
        return nullptr;
    std::unique_ptr<CVideoRenderer> renderer(new CVideoRenderer());
    // Only the newest frame matters to a preview: older ones are dropped, and
    // the camera paces delivery, so no clock wait.
    g_object_set(sink.get(), "max-buffers", 1u, "drop", TRUE, "sync", FALSE,
                 "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &CVideoRenderer::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, renderer.get(), nullptr);
    renderer->m_pSink = std::move(sink);
    renderer->ApplyFrameSize();
    renderer->m_pNotifier = std::make_unique<CFrameNotifier>(renderer.get());
    return renderer;
}

CVideoRenderer::~CVideoRenderer() {
    // The graph has stopped the pipeline: no callback runs now. Deleting the
    // notifier drops a frame event still queued for it.
    m_pNotifier.reset();
    delete m_pSurface.data();
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

// The frames the sink takes: BGRx, at the window's size once it has one, so
// the one conversion upstream also scales and painting is a plain copy.
void CVideoRenderer::ApplyFrameSize() {
    GstCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr));
    if (m_nWidth > 0 && m_nHeight > 0)
        gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, static_cast<int>(m_nWidth), "height",
                            G_TYPE_INT, static_cast<int>(m_nHeight), nullptr);
    g_object_set(m_pSink.get(), "caps", caps.get(), nullptr);
    // A running stream renegotiates to the new size.
    const GstPadPtr pad(gst_element_get_static_pad(m_pSink.get(), "sink"));
    gst_pad_push_event(pad.get(), gst_event_new_reconfigure());
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
        m_pSurface = new CVideoSurface(owner);
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
