#pragma once
// The preview renderer: an appsink that keeps only the latest frame, and the
// child widget of the preview host that paints it stretched to its size.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"

#include <gst/app/gstappsink.h>

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>

// Paints one bottom-up BGR24 frame, upright, over its whole area.
class CVideoSurface final : public QWidget {
    Q_OBJECT

public:
    explicit CVideoSurface(QWidget* parent = nullptr);
    void ShowSample(GstSamplePtr sample);
    bool HasFrame() const { return m_pSample != nullptr; }

signals:
    // After a frame has been painted; the time-to-picture benchmark waits on it.
    void framePainted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GstSamplePtr m_pSample;
    // The last frame, upright, at the surface's size.
    QImage m_picture;
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
