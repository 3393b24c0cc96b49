#pragma once
// The child widget of the preview host that the preview shows in. What draws
// into it depends on the renderer: the window system's image sink into the
// widget's own native window (X11), the compositor's video sink on a surface
// of its own above the widget (Wayland), or Qt's painting of the newest frame
// (elsewhere).

#include "capture/gst_ptr.h"

#include <gst/video/video.h>

#include <QWidget>

class CVideoSurface final : public QWidget {
    Q_OBJECT

public:
    enum class Kind {
        // Qt paints the newest frame, top-down BGRx, which is
        // QImage::Format_RGB32's byte order on little-endian machines: the
        // mapped frame is wrapped and drawn without a conversion.
        Painted,
        // A native window of its own that the sink draws into; Qt never
        // paints it.
        NativeWindow,
        // The sink's own surface lies over the widget, which only keeps the
        // area black under it.
        Underlay,
    };

    // sink: the overlay sink of NativeWindow, told the widget's window.
    CVideoSurface(Kind kind, GstElement* sink, QWidget* parent = nullptr);
    Kind SurfaceKind() const { return m_kind; }
    void ShowSample(GstSamplePtr sample);
    void SinkShown();
    bool HasFrame() const;
    // Whether a person could see a painted frame: the surface is shown and its
    // window neither minimised nor unexposed (the window system reports a
    // window it knows to be hidden as unexposed).
    bool IsOnScreen() const;
    QPaintEngine* paintEngine() const override;

signals:
    // After a frame has been painted. Of a sink's frames, which never pass
    // the UI thread, only the first is told.
    void framePainted();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintSample();

    const Kind m_kind;
    // The sink drawing into this widget's window (NativeWindow), or null.
    GstElementPtr m_pSink;
    bool m_bSinkShown = false;

    GstSamplePtr m_pSample;
    // The layout of m_pSample's frames, read again only when their caps change.
    GstCapsPtr m_pCaps;
    GstVideoInfo m_info{};
};
