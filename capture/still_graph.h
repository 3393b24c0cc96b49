#pragma once
// The capture graph of the live preview: camera, converters, the frame grabber
// and the renderer whose video window sits in the preview host.

#include "capture/media_graph.h"

#include <memory>

class QObject;
class QWidget;


// The main window's graph members. Null members mean no graph; after a failed
// construction they hold whatever was made until the next StopStillGraph.
struct StillGraph {
    std::unique_ptr<IFilterGraph> m_pGraph;
    // Borrowed: valid only while m_pGraph holds it.
    ICaptureFilter* m_pCapture = nullptr;
    std::shared_ptr<ISampleGrabber> m_pGrabber;
};

// Builds the graph for resolution mode nResolution and runs it. S_OK when
// running; E_FAIL when no graph, no camera, the camera refused by the graph or
// no video window; otherwise the failing call's code. The video window is laid
// into videoHost at its full size; owner receives the snapshot events.
// Precondition: graph is empty (StopStillGraph ran).
HRESULT InitStillGraph(IMediaGraphService& service, StillGraph& graph, int nResolution,
                       QWidget* videoHost, QObject* owner);
