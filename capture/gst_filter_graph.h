#pragma once
// The filter graph on a GStreamer pipeline: filters added by name, the graph
// builder that links camera, converters, grabber and renderer, and the media
// control whose Run reports honestly whether the pipeline got to PLAYING.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class CVideoRenderer;

// How long Run waits for the pipeline to play or fail.
constexpr int GRAPH_RUN_TIMEOUT_MS = 5000;

class CGstFilterGraph final : public IFilterGraph, public IMediaControl, public IVideoWindow {
public:
    static std::unique_ptr<CGstFilterGraph> Create();
    ~CGstFilterGraph() override;

    HRESULT AddFilter(std::shared_ptr<IBaseFilter> filter, const char* name) override;
    IMediaControl* QueryMediaControl() override { return this; }
    IVideoWindow* QueryVideoWindow() override { return this; }

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
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    bool AddElement(GstElement* element);

    GstElementPtr m_pPipeline;
    std::vector<std::pair<std::string, std::shared_ptr<IBaseFilter>>> m_filters;
    std::unique_ptr<CVideoRenderer> m_pRenderer;
    bool m_bRendered = false;

    // Filled by the bus handler on whatever thread posts; m_lock guards them.
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_bPlaying = false;
    HRESULT m_hrError = S_OK;
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
