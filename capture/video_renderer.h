#pragma once
// The graph's default renderer: the element the graph links after the tap,
// and the video window the preview host places. One renderer per session
// kind draws the frames (video_renderer.cpp picks it): the window system's
// image sink on X11, the compositor's video sink on Wayland, and where neither
// can, an appsink whose frames Qt paints. All three draw into a CVideoSurface
// laid into the host.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"
#include "capture/video_surface.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <memory>

class CRendererEvents;

class CVideoRenderer : public IVideoWindow, public IGstElementFilter {
public:
    // The renderer for this session, or null when no sink can be made.
    static std::unique_ptr<CVideoRenderer> Create();
    ~CVideoRenderer() override;

    HRESULT put_Owner(QWidget* owner) final;
    HRESULT put_Left(LONG left) final;
    HRESULT put_Top(LONG top) final;
    HRESULT put_Width(LONG width) final;
    HRESULT put_Height(LONG height) final;
    HRESULT put_WindowStyle(LONG style) final;
    HRESULT put_Visible(LONG visible) final;

    GstElement* Element() const final { return m_pElement.get(); }
    CVideoSurface* Surface() const { return m_pSurface.data(); }
    // Whether the pipeline reaches PLAYING only once a frame has reached the
    // sink. A renderer that starts without one reports its first frame on
    // the bus instead (FIRST_FRAME_MESSAGE).
    virtual bool StartsOnFirstFrame() const { return true; }

protected:
    CVideoRenderer();
    // Makes the elements; false when the installation lacks them.
    virtual bool Build() = 0;
    // The caps the frames are held to at the window's present size.
    virtual GstCapsPtr FrameCaps() const = 0;
    // UI thread: the surface was moved, resized, shown or hidden, or its
    // window minimised, restored or exposed.
    virtual void SurfaceChanged() {}
    // UI thread: a notice posted with PostNotice.
    virtual void OnNotice(QEvent::Type notice) { (void)notice; }

    // What the graph links, and where the frame size is set (the element
    // itself or a filter inside it).
    void SetElements(GstElementPtr element, GstElementPtr sizeFilter);
    // Takes the surface the frames are drawn into; it belongs to its owner
    // widget once parented.
    void SetSurface(CVideoSurface* surface);
    // Any thread: notice is delivered to OnNotice on the UI thread, safely
    // whatever happened to the preview host.
    void PostNotice(QEvent::Type notice);
    // UI thread: applies FrameCaps and has a running stream renegotiate.
    void ApplyFrameSize();
    // Whether frames drawn now could be seen: the surface shown and its
    // window not minimised. Read on the streaming thread.
    bool OnScreen() const { return m_bOnScreen.load(std::memory_order_relaxed); }
    // The top-level window the surface is in, or null.
    QWidget* WatchedWindow() const { return m_pWatchedWindow.data(); }

    LONG m_nLeft = 0, m_nTop = 0, m_nWidth = 0, m_nHeight = 0;

private:
    friend class CRendererEvents;
    void ApplyGeometry();
    void UpdateOnScreen();

    GstElementPtr m_pElement;
    GstElementPtr m_pSizeFilter;
    QPointer<CVideoSurface> m_pSurface;
    std::unique_ptr<CRendererEvents> m_pEvents;
    bool m_bVisible = false;
    std::atomic<bool> m_bOnScreen{false};
    // The top-level window whose minimising m_bOnScreen follows.
    QPointer<QWidget> m_pWatchedWindow;
};

// The element message a renderer that starts without a frame posts when its
// first frame arrives.
inline constexpr char FIRST_FRAME_MESSAGE[] = "vizor-first-frame";
