// StopStillGraph and the restart loop: what a stop releases, how many attempts
// the loop makes, its pauses and its time limit, also across the tick wrap.

#include "capture/preview_control.h"
#include "fake_media_graph.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A clock that moves only when the loop sleeps, plus a cost per attempt.
struct ScriptedTicks {
    DWORD now = 0;
    DWORD attemptCost = 0;
    std::vector<DWORD> sleeps;
    std::function<void()> onSleep;

    TickSource Source() {
        return {[this] { return now; },
                [this](DWORD ms) {
                    sleeps.push_back(ms);
                    now += ms;
                    if (onSleep)
                        onSleep();
                }};
    }
};

class PreviewControlTest : public ::testing::Test {
protected:
    int Restart(FakeMediaGraphService& service, DWORD limit) {
        return RestartStillGraph(service, graph, 0, &host, &owner, limit, ticks.Source());
    }
    QWidget host;
    QObject owner;
    StillGraph graph;
    ScriptedTicks ticks;
};

TEST_F(PreviewControlTest, StopStopsHidesDetachesAndReleasesEverythingOnce) {
    StopStillGraph(graph); // nothing built yet: nothing to do
    FakeMediaGraphService service({.devices = {FakeCamera()}});
    ASSERT_EQ(InitStillGraph(service, graph, 0, &host, &owner), S_OK);
    service.log->clear();
    StopStillGraph(graph);
    const std::vector<std::string> once{"Stop", "put_Visible 0", "put_Owner null", "ReleaseGraph"};
    EXPECT_EQ(*service.log, once);
    EXPECT_FALSE(graph.m_pGraph);
    EXPECT_FALSE(graph.m_pGrabber);
    EXPECT_EQ(graph.m_pCapture, nullptr);
    EXPECT_EQ(*service.liveObjects, 0);
    StopStillGraph(graph);
    EXPECT_EQ(*service.log, once) << "a second stop reaches nothing";
}

TEST_F(PreviewControlTest, StopReleasesAPartlyBuiltGraph) {
    FakeMediaGraphService service({.devices = {FakeCamera()}, .bVideoWindow = false});
    ASSERT_EQ(InitStillGraph(service, graph, 0, &host, &owner), E_FAIL);
    StopStillGraph(graph);
    EXPECT_EQ(*service.liveObjects, 0);
}

TEST_F(PreviewControlTest, WorkingCameraMeansOneAttemptWithoutSleeping) {
    FakeMediaGraphService service({.devices = {FakeCamera()}});
    EXPECT_EQ(Restart(service, 10000), 0);
    EXPECT_EQ(service.Calls("CreateFilterGraph").size(), 1u);
    EXPECT_TRUE(ticks.sleeps.empty());
}

TEST_F(PreviewControlTest, NoCameraGivesUpAfterTenAttemptsAndTenSeconds) {
    FakeMediaGraphService service;
    EXPECT_EQ(Restart(service, 10000), -1);
    EXPECT_EQ(service.Calls("CreateFilterGraph").size(), 10u);
    EXPECT_EQ(ticks.sleeps, std::vector<DWORD>(10, 1000));
    EXPECT_EQ(ticks.now, 10000u);
    // The last failed attempt's objects stay until the next stop.
    EXPECT_TRUE(graph.m_pGraph);
}

TEST_F(PreviewControlTest, EveryAttemptStartsWithAStop) {
    FakeMediaGraphService service;
    Restart(service, 3000);
    EXPECT_EQ(service.Calls("ReleaseGraph").size(), 2u); // before attempts 2 and 3
}

TEST_F(PreviewControlTest, LimitZeroStillMakesOneAttemptAndOnePause) {
    FakeMediaGraphService service;
    EXPECT_EQ(Restart(service, 0), -1);
    EXPECT_EQ(service.Calls("CreateFilterGraph").size(), 1u);
    EXPECT_EQ(ticks.sleeps, std::vector<DWORD>{1000});
}

TEST_F(PreviewControlTest, SlowAttemptsCountAgainstTheLimit) {
    FakeMediaGraphService service;
    ticks.onSleep = [this] { ticks.now += 2500; }; // each attempt takes 2.5 s more
    EXPECT_EQ(Restart(service, 10000), -1);
    EXPECT_EQ(service.Calls("CreateFilterGraph").size(), 3u); // 3.5, 7, 10.5 s
}

TEST_F(PreviewControlTest, CameraAttachedDuringTheLoopIsPickedUp) {
    FakeMediaGraphService service;
    ticks.onSleep = [&] {
        if (ticks.sleeps.size() == 3)
            service.script.devices = {FakeCamera()};
    };
    EXPECT_EQ(Restart(service, 10000), 0);
    EXPECT_EQ(service.Calls("CreateFilterGraph").size(), 4u);
    EXPECT_TRUE(graph.m_pGraph && graph.m_pGrabber);
}

TEST_F(PreviewControlTest, TickWrapNeitherEndsTheLoopEarlyNorExtendsIt) {
    FakeMediaGraphService service;
    ticks.now = 0xFFFFFFFFu - 2500; // wraps during the third pause
    EXPECT_EQ(Restart(service, 10000), -1);
    EXPECT_EQ(service.Calls("CreateFilterGraph").size(), 10u);
    EXPECT_EQ(static_cast<DWORD>(ticks.now - (0xFFFFFFFFu - 2500)), 10000u);
}

TEST_F(PreviewControlTest, RunFailureIsRetriedLikeAnyOther) {
    FakeMediaGraphService service({.devices = {FakeCamera()}, .hrRun = E_DEVICE_BUSY});
    EXPECT_EQ(Restart(service, 2000), -1);
    EXPECT_EQ(service.Calls("Run").size(), 2u);
}

} // namespace
