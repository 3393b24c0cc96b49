// A camera that advertises only a format no converter takes (an encoded
// stream): the graph cannot be completed, the construction says so instead of
// reporting a running preview, nothing reaches the grabber, and the restart
// loop keeps trying until its limit.

#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "live_capture_helpers.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(UnusableCamera, ConstructionFailsHonestlyAndNothingRuns) {
    auto service = CreateGstMediaGraphService();
    QWidget host;
    host.resize(640, 480);
    SnapshotCatcher catcher;
    StillGraph graph;
    EXPECT_EQ(InitStillGraph(*service, graph, 0, &host, &catcher), VFW_E_CANNOT_CONNECT);
    // Partly built: the members stay for the next stop.
    EXPECT_TRUE(graph.m_pGraph && graph.m_pGrabber && graph.m_pCapture);
    ArmSnapshot("/tmp/");
    EXPECT_FALSE(WaitFor([&] { return catcher.nReady > 0; }, 300));
    g_frameBuffer.bArmed = 0;
    StopStillGraph(graph);

    int attempts = 0;
    DWORD now = 0;
    const TickSource ticks{[&] { return now; },
                           [&](DWORD ms) {
                               ++attempts;
                               now += ms;
                           }};
    EXPECT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, 3000, ticks), -1);
    EXPECT_EQ(attempts, 3);
    StopStillGraph(graph);
}

} // namespace
