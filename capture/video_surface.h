#pragma once
// The preview renderer and the child widget of the preview host it shows its
// frames in. On X11 the frames go from the streaming thread straight into the
// widget's own window through the window system's image sink: nothing of the
// preview passes through the UI thread. Elsewhere an appsink keeps only the
// latest frame, already converted to top-down BGRx at the surface's size, and
// the widget paints it as it is.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>

// Shows the newest frame over its whole area. Given an overlay sink, the
// widget is a native window the sink draws into, and Qt never paints it.
// Without one, frames are top-down BGRx, which is QImage::Format_RGB32's byte
// order on little-endian machines, so the mapped frame is wrapped and drawn
// without a conversion.
class CVideoSurface final : public QWidget {
    Q_OBJECT

public:
    explicit CVideoSurface(GstElement* overlay, QWidget* parent = nullptr);
    void ShowSample(GstSamplePtr sample);
    bool HasFrame() const;
    // Whether a person could see a painted frame: the surface is shown and its
    // window neither minimised nor unexposed (the window system reports a
    // window it knows to be hidden as unexposed).
    bool IsOnScreen() const;
    QPaintEngine* paintEngine() const override;

signals:
    // After a frame has been painted. Of an overlay sink's frames, which never
    // pass the UI thread, only the first is told.
    void framePainted();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class CFrameNotifier;
    void OverlayShown();

    // The window-system sink drawing into this widget, or null.
    GstElementPtr m_pOverlay;
    bool m_bOverlayShown = false;

    GstSamplePtr m_pSample;
    // The layout of m_pSample's frames, read again only when their caps change.
    GstCapsPtr m_pCaps;
    GstVideoInfo m_info{};
};

class CFrameNotifier;

// The default renderer of the graph and its video window.
class CVideoRenderer final : public IVideoWindow, public IGstElementFilter {
public:
    static std::unique_ptr<CVideoRenderer> Create();
    ~CVideoRenderer() override;

    HRESULT put_Owner(QWidget* owner) override;
    HRESULT put_Left(LONG left) override;
    HRESULT put_Top(LONG top) override;
    HRESULT put_Width(LONG width) override;
    HRESULT put_Height(LONG height) override;
    HRESULT put_WindowStyle(LONG style) override;
    HRESULT put_Visible(LONG visible) override;

    GstElement* Element() const override { return m_pElement.get(); }
    CVideoSurface* Surface() const { return m_pSurface.data(); }

private:
    friend class CFrameNotifier;
    CVideoRenderer() = default;
    bool BuildOverlaySink();
    bool BuildAppSink();
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);
    static GstPadProbeReturn OnOverlayFrame(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void ShowLatest();
    void ApplyGeometry();
    void ApplyFrameSize();
    void UpdateOnScreen();

    // What the graph links: the appsink, or a bin of the size filter and the
    // overlay sink.
    GstElementPtr m_pElement;
    // Where the wanted frame size is set: the appsink's caps or the filter's.
    GstElementPtr m_pSizeFilter;
    GstElementPtr m_pOverlay;
    // The widget belongs to its owner once parented; the pointer notices when
    // the owner deleted it first.
    QPointer<CVideoSurface> m_pSurface;
    std::unique_ptr<CFrameNotifier> m_pNotifier;
    LONG m_nLeft = 0, m_nTop = 0, m_nWidth = 0, m_nHeight = 0;
    bool m_bVisible = false;

    // Written by the appsink's streaming thread, taken by the UI thread;
    // m_lock guards m_pLatest.
    std::mutex m_lock;
    GstSamplePtr m_pLatest;
    std::atomic<bool> m_bPosted{false};
    // Read by the overlay sink's streaming thread: frames nobody can see are
    // dropped before they are drawn.
    std::atomic<bool> m_bOnScreen{false};
    std::atomic<bool> m_bFirstOverlayFrame{true};
    // The top-level window whose minimising m_bOnScreen follows.
    QPointer<QWidget> m_pWatchedWindow;
};
