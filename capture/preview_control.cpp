#include "capture/preview_control.h"

#include "platform/trace.h"

#include <chrono>
#include <thread>

TickSource SystemTicks() {
    return {
        [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            // Truncation to 32 bits is the wrap the loop's arithmetic expects.
            return static_cast<DWORD>(
                std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
        },
        [](DWORD ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
    };
}

void StopStillGraph(StillGraph& graph) {
    if (!graph.m_pGraph)
        return;
    // Stop returns only after the streaming thread has left the grabber.
    if (IMediaControl* control = graph.m_pGraph->QueryMediaControl())
        control->Stop();
    if (IVideoWindow* window = graph.m_pGraph->QueryVideoWindow()) {
        window->put_Visible(OAFALSE);
        window->put_Owner(nullptr);
    }
    graph.m_pCapture = nullptr;
    graph.m_pGraph.reset();
    graph.m_pGrabber.reset();
}

int StartStillGraphOnce(IMediaGraphService& service, StillGraph& graph, int nResolution,
                        QWidget* videoHost, QObject* owner, HRESULT* phrLast) {
    StopStillGraph(graph);
    const HRESULT hr = InitStillGraph(service, graph, nResolution, videoHost, owner);
    if (phrLast)
        *phrLast = hr;
    return SUCCEEDED(hr) ? 0 : -1;
}

int RestartStillGraph(IMediaGraphService& service, StillGraph& graph, int nResolution,
                      QWidget* videoHost, QObject* owner, DWORD limitMs, const TickSource& ticks,
                      HRESULT* phrLast) {
    const DWORD start = ticks.getTickCount();
    for (;;) {
        if (StartStillGraphOnce(service, graph, nResolution, videoHost, owner, phrLast) == 0)
            return 0;
        Trace("Start failed....Sleep 1 sec and retry");
        ticks.sleep(PREVIEW_RETRY_PAUSE_MS);
        // Unsigned difference: correct across the tick count's wrap.
        if (static_cast<DWORD>(ticks.getTickCount() - start) >= limitMs)
            return -1;
    }
}
