#pragma once
// Helpers for tests that run the real GStreamer graph with the test camera.

#include "capture/frame_buffer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QObject>

#include <array>
#include <vector>

// A grabber callback that only BufferCB concerns: the object is not
// reference-counted and SampleCB is never asked for.
class BufferCallback : public ISampleGrabberCB {
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG_T AddRef() override { return 2; }
    ULONG_T Release() override { return 1; }
    HRESULT SampleCB(double, void*) override { return S_OK; }
};

// Stands in for the main window as the receiver of WM_SNAPSHOT_READY.
class SnapshotCatcher : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == SnapshotReadyEvent) {
            ++nReady;
            return true;
        }
        return QObject::event(event);
    }
    int nReady = 0;
};

// One grabbed frame as BufferCB delivered it.
struct GrabbedFrame {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<unsigned char> bytes; // bottom-up BGR

    // (B, G, R) at x, y in picture coordinates (y = 0 is the top row).
    std::array<int, 3> At(int x, int y) const {
        const std::size_t row = static_cast<std::size_t>(nHeight - 1 - y);
        const unsigned char* p = bytes.data() + (row * nWidth + x) * 3;
        return {p[0], p[1], p[2]};
    }
    double Mean() const {
        double sum = 0;
        for (unsigned char b : bytes)
            sum += b;
        return bytes.empty() ? 0 : sum / static_cast<double>(bytes.size());
    }
};

// Pumps events until pred holds or timeoutMs passes.
template <typename Pred> bool WaitFor(Pred pred, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Arms a snapshot and takes the next frame the graph delivers to catcher.
inline bool GrabFrame(SnapshotCatcher& catcher, GrabbedFrame& frame) {
    // Announcements of frames copied before the last take are stale: drop them.
    QCoreApplication::sendPostedEvents(&catcher, SnapshotReadyEvent);
    const int before = catcher.nReady;
    ArmSnapshot("/tmp/");
    if (!WaitFor([&] { return catcher.nReady > before; }))
        return false;
    int syncDirStatus = 0;
    SnapshotFrame taken = TakeSnapshotFrame(syncDirStatus);
    if (!taken)
        return false;
    frame.nWidth = taken.Width();
    frame.nHeight = taken.Height();
    frame.bytes.assign(taken.Data(),
                       taken.Data() + static_cast<std::size_t>(frame.nWidth) * frame.nHeight * 3);
    return true;
}
