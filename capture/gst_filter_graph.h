#pragma once
// The filter graph on a GStreamer pipeline: filters added by name, the graph
// builder that links camera, converters, grabber and renderer, and the media
// control whose Run reports honestly whether the pipeline got to PLAYING.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class CVideoRenderer;

// How long Run waits for the pipeline to play or fail, the state change
// included, and how long a stop waits for the pipeline to come down.
constexpr int GRAPH_RUN_TIMEOUT_MS = 5000;
constexpr int GRAPH_STOP_TIMEOUT_MS = 1000;

struct CPendingStateChange;

class CGstFilterGraph final : public IFilterGraph, public IMediaControl, public IVideoWindow {
public:
    static std::unique_ptr<CGstFilterGraph> Create();
    ~CGstFilterGraph() override;

    HRESULT AddFilter(std::shared_ptr<IBaseFilter> filter, const char* name) override;
    IMediaControl* QueryMediaControl() override { return this; }
    IVideoWindow* QueryVideoWindow() override { return this; }
    void ReportCameraLoss(std::function<void(HRESULT)> onLost) override;

    HRESULT Run() override;
    HRESULT Stop() override;

    // The video window is the default renderer's; without one, E_NOINTERFACE.
    HRESULT put_Owner(QWidget* owner) override;
    HRESULT put_Left(LONG left) override;
    HRESULT put_Top(LONG top) override;
    HRESULT put_Width(LONG width) override;
    HRESULT put_Height(LONG height) override;
    HRESULT put_WindowStyle(LONG style) override;
    HRESULT put_Visible(LONG visible) override;

    HRESULT RenderStream(PinCategory category, MajorType type, IBaseFilter* source,
                         IBaseFilter* intermediate, IBaseFilter* sink);
    bool Contains(const IBaseFilter* filter) const;
    CVideoRenderer* Renderer() const { return m_pRenderer.get(); }

private:
    CGstFilterGraph() = default;
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer data);
    bool AddElement(GstElement* element);
    static std::chrono::steady_clock::time_point StopDeadline();
    // Down to NULL by the deadline; false when the change is left pending.
    bool StopWithin(std::chrono::steady_clock::time_point deadline);
    // True when no change is pending by the deadline: one that has ended is
    // let go.
    bool JoinPending(std::chrono::steady_clock::time_point deadline);
    // A start that ends after Run gave up on it comes down as soon as it ends.
    void TakeDownWhenFinished();
    // While a change is pending frames may still come: the grabbers let none
    // through to their callbacks.
    void SilenceGrabbers();
    // The renderer's window is shown when asked to and a picture runs.
    HRESULT ShowVideoWindow();

    GstElementPtr m_pPipeline;
    std::vector<std::pair<std::string, std::shared_ptr<IBaseFilter>>> m_filters;
    std::unique_ptr<CVideoRenderer> m_pRenderer;
    bool m_bRendered = false;
    bool m_bShowVideo = false;   // put_Visible's last word
    bool m_bPictureRuns = false; // from a successful Run until Stop

    // Filled by the bus handler on whatever thread posts; m_lock guards the
    // flags. Shared with the handler, which can outlive the graph while a
    // pending state change finishes.
    struct BusState : std::enable_shared_from_this<BusState> {
        GstElement* pPipeline = nullptr; // compared only
        GstElement* pCamera = nullptr;   // compared only; set once rendered
        std::shared_ptr<BusState> pHandlerRef;
        std::mutex m_lock;
        std::condition_variable m_changed;
        bool m_bPlaying = false;
        bool m_bFirstFrame = false;
        HRESULT m_hrError = S_OK;
        // Between a successful Run and Stop: a device error of the camera is
        // a loss, reported once through m_onLost.
        bool m_bLive = false;
        HRESULT m_hrLost = S_OK;
        std::function<void(HRESULT)> m_onLost;
        // Under m_lock: hands m_hrLost to m_onLost on the main thread, unless
        // a stop or the graph's release clears m_onLost first.
        void PostLoss();
    };
    // No loss is reported from here on.
    void EndLossReports();
    std::shared_ptr<BusState> m_pBus;
    // A state change that did not end in time; the graph's objects go to it
    // when the graph is released.
    std::shared_ptr<CPendingStateChange> m_pPending;
};

class CGstCaptureGraphBuilder final : public ICaptureGraphBuilder2 {
public:
    HRESULT SetFiltergraph(IFilterGraph* graph) override;
    HRESULT FindPin(IBaseFilter* filter, PinDirection direction, PinCategory category,
                    BOOL bUnconnected, int nIndex) override;
    HRESULT RenderStream(PinCategory category, MajorType type, IBaseFilter* source,
                         IBaseFilter* intermediate, IBaseFilter* sink) override;

private:
    CGstFilterGraph* m_pGraph = nullptr;
};
