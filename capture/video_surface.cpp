#include "capture/video_surface.h"

#include <gst/video/videooverlay.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QWindow>

CVideoSurface::CVideoSurface(Kind kind, GstElement* sink, QWidget* parent)
    : QWidget(parent), m_kind(kind) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks belong to the preview host, as they would with no video on it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (kind != Kind::NativeWindow || !sink)
        return;
    // A window of the surface's own, which Qt leaves to the sink. Its
    // ancestors and siblings stay windowless widgets: native ones would each
    // be flushed on their own, and the dialog is drawn as one.
    m_pSink.reset(GST_ELEMENT(gst_object_ref(sink)));
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), winId());
}

// Qt has nothing to paint with on a window the sink draws into.
QPaintEngine* CVideoSurface::paintEngine() const {
    return m_pSink ? nullptr : QWidget::paintEngine();
}

bool CVideoSurface::event(QEvent* event) {
    // Reparenting may give the surface a new native window; the sink follows.
    // A window id of 0 would make the sink open a top-level window of its own.
    if (event->type() == QEvent::WinIdChange && m_pSink && internalWinId())
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(m_pSink.get()), internalWinId());
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

void CVideoSurface::SinkShown() {
    m_bSinkShown = true;
    emit framePainted();
}

bool CVideoSurface::HasFrame() const {
    return m_kind == Kind::Painted ? m_pSample != nullptr : m_bSinkShown;
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
    switch (m_kind) {
    case Kind::NativeWindow:
        // The window system asks for the area again (shown, uncovered,
        // resized): the sink draws its latest frame at the window's size.
        if (m_pSink)
            gst_video_overlay_expose(GST_VIDEO_OVERLAY(m_pSink.get()));
        return;
    case Kind::Underlay:
        QPainter(this).fillRect(rect(), Qt::black);
        return;
    case Kind::Painted:
        PaintSample();
        return;
    }
}

void CVideoSurface::PaintSample() {
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
