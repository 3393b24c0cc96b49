#pragma once
// The preview renderer: an appsink that keeps only the latest frame, already
// converted to top-down BGRx at the surface's size, and the child widget of
// the preview host that paints it as it is.

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

// Paints the newest frame over its whole area. Frames are top-down BGRx,
// which is QImage::Format_RGB32's byte order on little-endian machines, so
// the mapped frame is wrapped and drawn without a conversion.
class CVideoSurface final : public QWidget {
    Q_OBJECT

public:
    explicit CVideoSurface(QWidget* parent = nullptr);
    void ShowSample(GstSamplePtr sample);
    bool HasFrame() const { return m_pSample != nullptr; }
    // Whether a person could see a painted frame: the surface is shown and its
    // window neither minimised nor unexposed (the window system reports a
    // window it knows to be hidden as unexposed).
    bool IsOnScreen() const;

signals:
    // After a frame has been painted; the time-to-picture benchmark waits on it.
    void framePainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
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

    GstElement* Element() const override { return m_pSink.get(); }
    CVideoSurface* Surface() const { return m_pSurface.data(); }

private:
    friend class CFrameNotifier;
    CVideoRenderer() = default;
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);
    void ShowLatest();
    void ApplyGeometry();
    void ApplyFrameSize();

    GstElementPtr m_pSink;
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
};
