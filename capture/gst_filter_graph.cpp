#include "capture/gst_filter_graph.h"

#include "capture/bounded_state_change.h"
#include "capture/gst_filters.h"
#include "capture/video_renderer.h"
#include "platform/trace.h"

#include <QCoreApplication>

#include <chrono>
#include <cstring>

namespace {

HRESULT ResultOfError(GstMessage* message) {
    GError* rawError = nullptr;
    gchar* rawDebug = nullptr;
    gst_message_parse_error(message, &rawError, &rawDebug);
    const GErrorPtr error(rawError);
    const GCharPtr debug(rawDebug);
    const GstStructure* details = nullptr;
    gst_message_parse_error_details(message, &details);
    int flow = 0;
    const bool notNegotiated = details && gst_structure_get_int(details, "flow-return", &flow) &&
                               flow == GST_FLOW_NOT_NEGOTIATED;
    Trace("camera graph error from %s: %s (%s)", GST_OBJECT_NAME(GST_MESSAGE_SRC(message)),
          error ? error->message : "?", debug ? debug.get() : "");

    HRESULT hr = E_FAIL;
    if (notNegotiated ||
        (error && error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_NEGOTIATION)) {
        hr = VFW_E_NO_ACCEPTABLE_TYPES;
    } else if (error && error->domain == GST_RESOURCE_ERROR) {
        switch (error->code) {
        case GST_RESOURCE_ERROR_BUSY:
            hr = E_DEVICE_BUSY;
            break;
        case GST_RESOURCE_ERROR_NOT_FOUND:
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
        case GST_RESOURCE_ERROR_READ:
            hr = E_DEVICE_GONE;
            break;
        default:
            break;
        }
    }
    return hr;
}

bool IsWithin(GstObject* object, GstElement* element) {
    return element && object &&
           (object == GST_OBJECT(element) ||
            gst_object_has_as_ancestor(object, GST_OBJECT(element)));
}

template <typename T> T* FilterAs(IBaseFilter* filter) {
    return dynamic_cast<T*>(filter);
}

} // namespace

// ---- graph -----------------------------------------------------------------

std::unique_ptr<CGstFilterGraph> CGstFilterGraph::Create() {
    std::unique_ptr<CGstFilterGraph> graph(new CGstFilterGraph());
    graph->m_pPipeline.reset(gst_pipeline_new(nullptr));
    if (!graph->m_pPipeline)
        return nullptr;
    gst_object_ref_sink(graph->m_pPipeline.get());
    graph->m_pBus = std::make_shared<BusState>();
    {
        std::lock_guard lock(graph->m_pBus->m_lock);
        graph->m_pBus->pPipeline = graph->m_pPipeline.get();
        // The handler's own reference, dropped when the bus lets go of it.
        graph->m_pBus->pHandlerRef = graph->m_pBus;
    }
    const GstBusPtr bus(gst_element_get_bus(graph->m_pPipeline.get()));
    gst_bus_set_sync_handler(bus.get(), &CGstFilterGraph::OnBusMessage, graph->m_pBus.get(),
                             [](gpointer data) {
                                 auto* state = static_cast<BusState*>(data);
                                 std::shared_ptr<BusState> last;
                                 std::lock_guard lock(state->m_lock);
                                 last.swap(state->pHandlerRef);
                                 // last goes after the lock is released
                             });
    return graph;
}

CGstFilterGraph::~CGstFilterGraph() {
    EndLossReports();
    // Down to NULL before anything it calls into goes away.
    if (!JoinPending(std::chrono::steady_clock::now()) || !StopWithin(StopDeadline())) {
        // The pipeline still changes state on another thread: everything its
        // elements call into lives until it is down, then goes on this thread.
        SilenceGrabbers();
        struct Remains {
            GstElementPtr pPipeline;
            std::vector<std::pair<std::string, std::shared_ptr<IBaseFilter>>> filters;
            std::unique_ptr<CVideoRenderer> pRenderer;
        };
        auto remains = std::make_shared<Remains>();
        remains->pPipeline = std::move(m_pPipeline);
        remains->filters = std::move(m_filters);
        remains->pRenderer = std::move(m_pRenderer);
        Trace("camera graph left to finish its state change");
        WhenFinished(m_pPending, [remains]() mutable {
            gst_element_set_state(remains->pPipeline.get(), GST_STATE_NULL);
            if (QCoreApplication* app = QCoreApplication::instance())
                QMetaObject::invokeMethod(
                    app, [last = std::move(remains)] {}, Qt::QueuedConnection);
        });
        return;
    }
    m_pRenderer.reset();
    m_filters.clear();
    m_pPipeline.reset();
}

std::chrono::steady_clock::time_point CGstFilterGraph::StopDeadline() {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(GRAPH_STOP_TIMEOUT_MS);
}

bool CGstFilterGraph::StopWithin(std::chrono::steady_clock::time_point deadline) {
    GstStateChangeReturn result = GST_STATE_CHANGE_FAILURE;
    return SetStateWithin(m_pPipeline.get(), GST_STATE_NULL, deadline, result, m_pPending);
}

bool CGstFilterGraph::JoinPending(std::chrono::steady_clock::time_point deadline) {
    if (m_pPending && WaitFinished(m_pPending, deadline))
        m_pPending.reset();
    return !m_pPending;
}

// A PipeWire source whose node links only after Run's bound would go on to
// play: a picture on a graph the window takes for failed, whose grabbers are
// silenced. So the change's own thread takes it down the moment it ends. The
// graph's release may hand that thread the rest of the graph instead, which
// takes it down as well.
void CGstFilterGraph::TakeDownWhenFinished() {
    std::shared_ptr<GstElement> pipeline(GST_ELEMENT(gst_object_ref(m_pPipeline.get())),
                                         [](GstElement* element) { gst_object_unref(element); });
    WhenFinished(m_pPending, [pipeline]() mutable {
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        pipeline.reset();
    });
}

void CGstFilterGraph::SilenceGrabbers() {
    for (const auto& entry : m_filters) {
        if (auto* grabber = dynamic_cast<CGstSampleGrabber*>(entry.second.get()))
            grabber->SetCallback(nullptr, 1);
    }
}

// Any thread: the streaming threads post errors, the state changes come from
// whoever changes the state. Nothing queues on the bus: every message is
// handled here and released.
GstBusSyncReply CGstFilterGraph::OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
    // A handler that drops a message owns it.
    const GstMessagePtr owned(message);
    BusState& state = *static_cast<BusState*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        const HRESULT hr = ResultOfError(message);
        GstElement* camera = nullptr;
        {
            std::lock_guard lock(state.m_lock);
            camera = state.pCamera;
        }
        // Walked without the lock: it takes the elements' own locks.
        const bool fromCamera = IsWithin(GST_MESSAGE_SRC(message), camera);
        std::lock_guard lock(state.m_lock);
        if (state.m_hrError == S_OK)
            state.m_hrError = hr;
        state.m_changed.notify_all();
        // A camera unplugged or taken while it streams ends its stream here;
        // the owner stops the graph, which would otherwise show the last
        // frame for good. Errors of other elements are not a lost camera.
        if (state.m_bLive && fromCamera && (hr == E_DEVICE_GONE || hr == E_DEVICE_BUSY)) {
            state.m_bLive = false;
            state.m_hrLost = hr;
            state.PostLoss();
        }
        break;
    }
    case GST_MESSAGE_ELEMENT: {
        const GstStructure* structure = gst_message_get_structure(message);
        if (structure && gst_structure_has_name(structure, FIRST_FRAME_MESSAGE)) {
            std::lock_guard lock(state.m_lock);
            state.m_bFirstFrame = true;
            state.m_changed.notify_all();
        }
        break;
    }
    case GST_MESSAGE_STATE_CHANGED: {
        std::lock_guard lock(state.m_lock);
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(state.pPipeline)) {
            GstState newState = GST_STATE_NULL;
            gst_message_parse_state_changed(message, nullptr, &newState, nullptr);
            state.m_bPlaying = newState == GST_STATE_PLAYING;
            state.m_changed.notify_all();
        }
        break;
    }
    default:
        break;
    }
    return GST_BUS_DROP;
}

void CGstFilterGraph::BusState::PostLoss() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!m_onLost || !app)
        return;
    QMetaObject::invokeMethod(
        app,
        [weak = weak_from_this(), hr = m_hrLost] {
            std::function<void(HRESULT)> onLost;
            if (std::shared_ptr<BusState> state = weak.lock()) {
                std::lock_guard lock(state->m_lock);
                onLost.swap(state->m_onLost);
            }
            // Called unlocked: the owner releases the graph from here.
            if (onLost)
                onLost(hr);
        },
        Qt::QueuedConnection);
}

void CGstFilterGraph::ReportCameraLoss(std::function<void(HRESULT)> onLost) {
    std::lock_guard lock(m_pBus->m_lock);
    m_pBus->m_onLost = std::move(onLost);
    if (FAILED(m_pBus->m_hrLost))
        m_pBus->PostLoss();
}

void CGstFilterGraph::EndLossReports() {
    if (!m_pBus)
        return;
    std::lock_guard lock(m_pBus->m_lock);
    m_pBus->m_bLive = false;
    m_pBus->m_onLost = nullptr;
}

bool CGstFilterGraph::AddElement(GstElement* element) {
    return gst_bin_add(GST_BIN(m_pPipeline.get()), element);
}

HRESULT CGstFilterGraph::AddFilter(std::shared_ptr<IBaseFilter> filter, const char* name) {
    auto* element = dynamic_cast<IGstElementFilter*>(filter.get());
    if (!element || !name)
        return E_INVALIDARG;
    for (const auto& [existing, held] : m_filters) {
        if (existing == name)
            return VFW_E_DUPLICATE_NAME;
        if (held == filter)
            return VFW_E_WRONG_STATE;
    }
    // A filter lives in one graph at a time.
    if (GST_OBJECT_PARENT(element->Element()) || !AddElement(element->Element()))
        return VFW_E_WRONG_STATE;
    m_filters.emplace_back(name, std::move(filter));
    return S_OK;
}

bool CGstFilterGraph::Contains(const IBaseFilter* filter) const {
    for (const auto& entry : m_filters) {
        if (entry.second.get() == filter)
            return true;
    }
    return false;
}

HRESULT CGstFilterGraph::RenderStream(PinCategory category, MajorType type, IBaseFilter* source,
                                      IBaseFilter* intermediate, IBaseFilter* sink) {
    // A camera here has one video stream; it serves preview and capture alike.
    if (category == PinCategory::VideoPort)
        return VFW_E_NOT_FOUND;
    if (type != MajorType::Video)
        return VFW_E_CANNOT_RENDER;
    auto* camera = FilterAs<CGstCaptureFilter>(source);
    auto* grabber = FilterAs<CGstSampleGrabber>(intermediate);
    auto* sinkElement = FilterAs<IGstElementFilter>(sink);
    if (!camera || !grabber || !Contains(source) || !Contains(intermediate) ||
        (sink && (!sinkElement || !Contains(sink))))
        return E_INVALIDARG;
    if (m_bRendered)
        return VFW_E_CANNOT_CONNECT;

    // A JPEG camera's frames are decoded by the preview decoder in the
    // grabber; the tap still sees them as the camera sent them.
    if (camera->CurrentFormat().subtype == "MJPG" && !grabber->TakeJpegFrames())
        return VFW_E_CANNOT_CONNECT;
    std::vector<GstElement*> chain{camera->Element(), grabber->Element()};
    std::unique_ptr<CVideoRenderer> renderer;
    if (sink) {
        chain.push_back(sinkElement->Element());
    } else {
        renderer = CVideoRenderer::Create();
        if (!renderer || !AddElement(renderer->Element()))
            return VFW_E_CANNOT_RENDER;
        chain.push_back(renderer->Element());
    }

    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        if (!gst_element_link(chain[i], chain[i + 1])) {
            for (std::size_t j = 0; j < i; ++j)
                gst_element_unlink(chain[j], chain[j + 1]);
            if (renderer)
                gst_bin_remove(GST_BIN(m_pPipeline.get()), renderer->Element());
            return VFW_E_CANNOT_CONNECT;
        }
    }
    // The tap sits ahead of any scaling: it delivers the camera's frame.
    grabber->SetConnected(camera->CurrentFormat().biWidth, camera->CurrentFormat().biHeight);
    m_pRenderer = std::move(renderer);
    m_bRendered = true;
    std::lock_guard lock(m_pBus->m_lock);
    m_pBus->pCamera = camera->Element();
    return S_OK;
}

HRESULT CGstFilterGraph::Run() {
    // A camera source still stuck in an earlier start shares the camera
    // stack's connection with any new one; two of them waiting at once crash
    // the PipeWire plugin. Nothing starts until the stuck one has ended.
    if (m_pPending || PendingStateChanges() > 0)
        return E_START_TIMEOUT;
    {
        std::lock_guard lock(m_pBus->m_lock);
        m_pBus->m_hrError = S_OK;
        m_pBus->m_bLive = false;
        m_pBus->m_hrLost = S_OK;
        m_pBus->m_bFirstFrame = false;
    }
    // Every start of a camera, whoever asks for it (program start, a new
    // size, a replug, a resume), sets the values kept for it first, so the
    // first frame already shows them.
    for (const auto& entry : m_filters) {
        if (auto* camera = dynamic_cast<CGstCaptureFilter*>(entry.second.get()))
            camera->ApplyKeptControls();
    }
    // The bound covers the state change too: a PipeWire source waits inside
    // it for its node.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(GRAPH_RUN_TIMEOUT_MS);
    GstStateChangeReturn result = GST_STATE_CHANGE_FAILURE;
    if (!SetStateWithin(m_pPipeline.get(), GST_STATE_PLAYING, deadline, result, m_pPending)) {
        SilenceGrabbers();
        TakeDownWhenFinished();
        return E_START_TIMEOUT;
    }
    if (result == GST_STATE_CHANGE_FAILURE) {
        StopWithin(StopDeadline());
        std::lock_guard lock(m_pBus->m_lock);
        return FAILED(m_pBus->m_hrError) ? m_pBus->m_hrError : E_FAIL;
    }
    // A live camera gets to PLAYING when the first frame reaches the sink (a
    // renderer that starts without one reports that frame itself); a busy
    // device or a format it will not deliver shows as an error instead.
    const bool bReportsFirstFrame = m_pRenderer && !m_pRenderer->StartsOnFirstFrame();
    std::unique_lock lock(m_pBus->m_lock);
    const bool settled = m_pBus->m_changed.wait_until(lock, deadline, [&] {
        return (m_pBus->m_bPlaying && (m_pBus->m_bFirstFrame || !bReportsFirstFrame)) ||
               FAILED(m_pBus->m_hrError);
    });
    HRESULT hr = S_OK;
    if (FAILED(m_pBus->m_hrError))
        hr = m_pBus->m_hrError;
    else if (!settled)
        hr = E_START_TIMEOUT;
    // From here the camera's errors come while it streams.
    m_pBus->m_bLive = SUCCEEDED(hr);
    lock.unlock();
    if (FAILED(hr)) {
        StopWithin(StopDeadline());
        return hr;
    }
    m_bPictureRuns = true;
    ShowVideoWindow();
    return hr;
}

HRESULT CGstFilterGraph::Stop() {
    // Down to NULL: the streaming threads have left every pad probe and appsink
    // callback when this returns. A pipeline that will not come down in time
    // keeps changing state on its own thread, its grabbers silenced.
    EndLossReports();
    m_bPictureRuns = false;
    ShowVideoWindow();
    // A start that timed out is joined once it has ended, within the stop's
    // bound; then the pipeline comes down like any other.
    const auto deadline = StopDeadline();
    if (!JoinPending(deadline) || !StopWithin(deadline)) {
        SilenceGrabbers();
        return S_OK;
    }
    std::lock_guard lock(m_pBus->m_lock);
    m_pBus->m_bPlaying = false;
    return S_OK;
}

HRESULT CGstFilterGraph::put_Owner(QWidget* owner) {
    return m_pRenderer ? m_pRenderer->put_Owner(owner) : E_NOINTERFACE;
}
HRESULT CGstFilterGraph::put_Left(LONG left) {
    return m_pRenderer ? m_pRenderer->put_Left(left) : E_NOINTERFACE;
}
HRESULT CGstFilterGraph::put_Top(LONG top) {
    return m_pRenderer ? m_pRenderer->put_Top(top) : E_NOINTERFACE;
}
HRESULT CGstFilterGraph::put_Width(LONG width) {
    return m_pRenderer ? m_pRenderer->put_Width(width) : E_NOINTERFACE;
}
HRESULT CGstFilterGraph::put_Height(LONG height) {
    return m_pRenderer ? m_pRenderer->put_Height(height) : E_NOINTERFACE;
}
HRESULT CGstFilterGraph::put_WindowStyle(LONG style) {
    return m_pRenderer ? m_pRenderer->put_WindowStyle(style) : E_NOINTERFACE;
}
HRESULT CGstFilterGraph::put_Visible(LONG visible) {
    m_bShowVideo = visible != OAFALSE;
    return ShowVideoWindow();
}

// Until a picture runs the host shows its status line. The renderer's window
// may be a native one (X11), which no windowless sibling can be raised above:
// shown before Run, or left shown after a Run that failed, it would cover the
// line with black.
HRESULT CGstFilterGraph::ShowVideoWindow() {
    if (!m_pRenderer)
        return E_NOINTERFACE;
    return m_pRenderer->put_Visible(m_bShowVideo && m_bPictureRuns ? OATRUE : OAFALSE);
}

// ---- builder ---------------------------------------------------------------

HRESULT CGstCaptureGraphBuilder::SetFiltergraph(IFilterGraph* graph) {
    m_pGraph = dynamic_cast<CGstFilterGraph*>(graph);
    return m_pGraph ? S_OK : E_INVALIDARG;
}

HRESULT CGstCaptureGraphBuilder::FindPin(IBaseFilter* filter, PinDirection direction,
                                         PinCategory category, BOOL, int nIndex) {
    if (!FilterAs<CGstCaptureFilter>(filter))
        return E_INVALIDARG;
    // One output pin, streaming video; no camera here has a video port.
    if (direction == PinDirection::Output && category != PinCategory::VideoPort && nIndex == 0)
        return S_OK;
    return VFW_E_NOT_FOUND;
}

HRESULT CGstCaptureGraphBuilder::RenderStream(PinCategory category, MajorType type,
                                              IBaseFilter* source, IBaseFilter* intermediate,
                                              IBaseFilter* sink) {
    if (!m_pGraph)
        return E_FAIL;
    return m_pGraph->RenderStream(category, type, source, intermediate, sink);
}
