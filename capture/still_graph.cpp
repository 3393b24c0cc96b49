#include "capture/still_graph.h"

#include "capture/camera_discovery.h"
#include "capture/resolution_modes.h"
#include "platform/trace.h"

#include <QWidget>

namespace {

// Asks the camera for the mode's frame, in the mode's subtypes and then in
// MJPEG; a refusal only means the camera keeps its format, so nothing here can
// fail the construction.
void RequestFrameFormat(ICaptureFilter& camera, int nResolution) {
    std::shared_ptr<IAMStreamConfig> config = camera.FirstOutputStreamConfig();
    if (!config)
        return;
    VideoFormat format;
    if (config->GetFormat(format) != S_OK)
        return;
    const ResolutionMode* mode = FindResolutionMode(nResolution);
    if (!mode)
        return;

    format.subtype = mode->szFirstSubtype;
    format.biWidth = mode->nWidth;
    format.biHeight = mode->nHeight;
    format.biSizeImage = static_cast<DWORD>(mode->nWidth * mode->nHeight * 3);
    HRESULT hr = config->SetFormat(format);
    if (hr != S_OK && mode->szSecondSubtype) {
        format.subtype = mode->szSecondSubtype;
        hr = config->SetFormat(format);
    }
    // Many cameras offer their larger sizes only compressed; the graph
    // builder puts a JPEG decoder in front of the grabber.
    if (hr != S_OK) {
        format.subtype = "MJPG";
        config->SetFormat(format);
    }
}

HRESULT RenderThroughGrabber(ICaptureGraphBuilder2& builder, IBaseFilter* camera,
                             IBaseFilter* grabber, IBaseFilter* sink) {
    HRESULT hr =
        builder.RenderStream(PinCategory::Preview, MajorType::Interleaved, camera, grabber, sink);
    if (FAILED(hr))
        hr = builder.RenderStream(PinCategory::Preview, MajorType::Video, camera, grabber, sink);
    if (FAILED(hr))
        hr = builder.RenderStream(PinCategory::Capture, MajorType::Video, camera, grabber, sink);
    return hr;
}

} // namespace

HRESULT InitStillGraph(IMediaGraphService& service, StillGraph& graph, int nResolution,
                       QWidget* videoHost, QObject* owner) {
    // A snapshot asked for before the rebuild is dropped.
    g_frameBuffer.bArmed.store(0, std::memory_order_release);

    graph.m_pGraph = service.CreateFilterGraph();
    if (!graph.m_pGraph) {
        Trace("Could not create filter graph");
        return E_FAIL;
    }

    std::shared_ptr<ICaptureFilter> camera;
    FindCameraFilter(service, &camera);
    if (!camera) {
        Trace("No video capture device was detected on your system.\r\n\r\n"
              "This sample requires a functional video capture device, such\r\n"
              "as a USB web camera.  Video capture will be disabled.");
        return E_FAIL;
    }
    if (FAILED(graph.m_pGraph->AddFilter(camera, "Cap"))) {
        Trace("Could not put capture device in graph");
        return E_FAIL;
    }
    graph.m_pCapture = camera.get();

    RequestFrameFormat(*camera, nResolution);

    HRESULT hr = service.CreateSampleGrabber(graph.m_pGrabber);
    if (!graph.m_pGrabber)
        return FAILED(hr) ? hr : E_FAIL;
    GrabberMediaType rgb24;
    rgb24.majortype = MajorType::Video;
    rgb24.subtype = "RGB24";
    rgb24.bFixedSizeSamples = TRUE;
    rgb24.lSampleSize = 1;
    hr = graph.m_pGrabber->SetMediaType(rgb24);
    if (FAILED(hr))
        return hr;
    hr = graph.m_pGraph->AddFilter(graph.m_pGrabber, "Grabber");
    if (FAILED(hr))
        return hr;

    std::unique_ptr<ICaptureGraphBuilder2> builder;
    hr = service.CreateCaptureGraphBuilder(builder);
    if (FAILED(hr))
        return hr;
    if (!builder)
        return E_FAIL;
    hr = builder->SetFiltergraph(graph.m_pGraph.get());
    if (FAILED(hr))
        return hr;

    // A camera with a video-port pin feeds the grabber into a null renderer.
    std::shared_ptr<IBaseFilter> nullRenderer;
    if (SUCCEEDED(builder->FindPin(camera.get(), PinDirection::Output, PinCategory::VideoPort,
                                   FALSE, 0))) {
        hr = service.CreateNullRenderer(nullRenderer);
        if (hr != S_OK)
            return hr;
        if (!nullRenderer)
            return E_FAIL;
        hr = graph.m_pGraph->AddFilter(nullRenderer, "NULL renderer");
        if (FAILED(hr))
            return hr;
    }

    hr = RenderThroughGrabber(*builder, camera.get(), graph.m_pGrabber.get(), nullRenderer.get());
    if (FAILED(hr))
        return hr;

    VideoFormat connected;
    hr = graph.m_pGrabber->GetConnectedMediaType(connected);
    if (FAILED(hr))
        return hr;
    // Written before the callback is installed and the graph runs, so the
    // streaming thread never sees a half-written geometry.
    g_grabberCallback.m_pOwner = owner;
    g_grabberCallback.m_nWidth = connected.biWidth;
    g_grabberCallback.m_nHeight = connected.biHeight;

    graph.m_pGrabber->SetBufferSamples(FALSE);
    graph.m_pGrabber->SetOneShot(FALSE);
    graph.m_pGrabber->SetCallback(&g_grabberCallback, 1);

    IVideoWindow* window = graph.m_pGraph->QueryVideoWindow();
    if (!window)
        return E_FAIL;
    window->put_Owner(videoHost);
    window->put_Left(0);
    window->put_Top(0);
    window->put_Width(videoHost ? videoHost->width() : 0);
    window->put_Height(videoHost ? videoHost->height() : 0);
    window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    window->put_Visible(OATRUE);

    IMediaControl* control = graph.m_pGraph->QueryMediaControl();
    if (!control)
        return E_FAIL;
    hr = control->Run();
    if (FAILED(hr))
        return hr;
    Trace("InitStillGraph..................");
    return S_OK;
}
