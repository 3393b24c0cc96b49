#pragma once
// Starting, stopping and retrying the live preview.

#include "capture/still_graph.h"

#include <functional>

constexpr DWORD PREVIEW_RETRY_PAUSE_MS = 1000;
constexpr DWORD PREVIEW_START_LIMIT_MS = 10000;

// The millisecond tick count (32 bits, wrapping) and the pause between
// attempts; tests give their own so the loop needs no real waiting.
struct TickSource {
    std::function<DWORD()> getTickCount;
    std::function<void(DWORD)> sleep;
};

// A monotonic clock in wrapping 32-bit milliseconds and a real sleep.
TickSource SystemTicks();

// Stops the graph, takes the video window out of the host and releases the
// graph. After it no frame reaches the grabber callback. Safe with no graph.
void StopStillGraph(StillGraph& graph);

// One attempt: stop, build and run. 0 when a graph runs, -1 otherwise, with
// the attempt's result in phrLast when given. Never pauses: a camera that
// comes while the program runs gets this, not the retry loop below.
int StartStillGraphOnce(IMediaGraphService& service, StillGraph& graph, int nResolution,
                        QWidget* videoHost, QObject* owner, HRESULT* phrLast = nullptr);

// Stop, build and run, again every second after a failure, until a graph runs
// (0) or the time since the call reaches limitMs after a failed attempt (-1).
// There is always at least one attempt. phrLast, when given, receives the
// last attempt's result, so the caller can tell the user why nothing runs.
int RestartStillGraph(IMediaGraphService& service, StillGraph& graph, int nResolution,
                      QWidget* videoHost, QObject* owner, DWORD limitMs,
                      const TickSource& ticks = SystemTicks(), HRESULT* phrLast = nullptr);
