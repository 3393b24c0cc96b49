// The real GStreamer graph with the built-in test camera: frames reach the
// grabber as bottom-up BGR at every mode, the preview paints into the host, a
// resolution change rebuilds at the new size, no frame arrives after stop, and
// a camera error is reported once as the loss of the camera.

#include "capture/gst_media_graph.h"
#include "capture/gst_ptr.h"
#include "capture/preview_control.h"
#include "capture/resolution_menu.h"
#include "capture/video_surface.h"
#include "live_capture_helpers.h"

#include <QThread>
#include <QtCore/qtestsupport_core.h>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

class LivePreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = CreateGstMediaGraphService();
        window.resize(640, 600);
        host.setParent(&window);
        PlacePreviewControl(&host, RES_640X480);
        window.show();
    }
    void TearDown() override { StopStillGraph(graph); }

    int Start(int mode) {
        return RestartStillGraph(*service, graph, mode, &host, &catcher, PREVIEW_START_LIMIT_MS);
    }

    std::unique_ptr<IMediaGraphService> service;
    QWidget window;
    QWidget host;
    SnapshotCatcher catcher;
    StillGraph graph;
};

// SMPTE bars: the second of seven top bars is yellow (no blue); the bottom
// strip is white there. Row order decides which one the buffer starts with.
void ExpectUprightBarsBottomUp(const GrabbedFrame& frame) {
    const int x = frame.nWidth * 3 / 14;
    const auto top = frame.At(x, frame.nHeight / 4);
    const auto bottom = frame.At(x, frame.nHeight - 2);
    EXPECT_LT(top[0], 40) << "blue of the yellow bar";
    EXPECT_GT(top[1], 150);
    EXPECT_GT(top[2], 150);
    EXPECT_GT(bottom[0], 200) << "blue of the white block";
}

TEST_F(LivePreviewTest, FramesReachTheGrabberBottomUpBgrAtEveryMode) {
    struct Case {
        int mode;
        int width, height;
    };
    for (const Case c :
         {Case{RES_640X480, 640, 480}, Case{RES_320X240, 320, 240}, Case{RES_1_3M, 1280, 1024}}) {
        ASSERT_EQ(Start(c.mode), 0) << c.mode;
        EXPECT_EQ(g_grabberCallback.m_nWidth, c.width);
        EXPECT_EQ(g_grabberCallback.m_nHeight, c.height);
        GrabbedFrame frame;
        ASSERT_TRUE(GrabFrame(catcher, frame)) << c.mode;
        EXPECT_EQ(frame.nWidth, c.width);
        EXPECT_EQ(frame.nHeight, c.height);
        ExpectUprightBarsBottomUp(frame);
    }
}

TEST_F(LivePreviewTest, PreviewIsPaintedUprightAtTheHostSizeAndNotWhileMinimised) {
    // 1.3M is scaled into the 640x480 host by the conversion itself.
    for (const int mode : {RES_640X480, RES_1_3M}) {
        ASSERT_EQ(Start(mode), 0);
        auto* surface = host.findChild<CVideoSurface*>();
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->geometry(), QRect(0, 0, 640, 480));
        EXPECT_TRUE(surface->isVisible());
        int painted = 0;
        QObject::connect(surface, &CVideoSurface::framePainted, &catcher, [&] { ++painted; });
        ASSERT_TRUE(WaitFor([&] { return painted >= 3; }));
        const QImage shot = surface->grab().toImage();
        // Upright on screen: the yellow bar near the top, the white block of
        // the bottom strip under it.
        const QColor yellow = shot.pixelColor(640 * 3 / 14, 100);
        EXPECT_GT(yellow.red(), 150) << mode;
        EXPECT_GT(yellow.green(), 150) << mode;
        EXPECT_LT(yellow.blue(), 40) << mode;
        const QColor white = shot.pixelColor(640 * 3 / 14, 470);
        EXPECT_GT(white.blue(), 200) << mode;
        EXPECT_GT(white.red(), 200) << mode;

        window.showMinimized();
        ASSERT_TRUE(WaitFor([&] { return !surface->IsOnScreen(); }));
        QCoreApplication::processEvents();
        const int before = painted;
        QElapsedTimer timer;
        timer.start();
        WaitFor([&] { return timer.elapsed() > 300; });
        EXPECT_EQ(painted, before) << "painted while minimised";
        window.showNormal();
        EXPECT_TRUE(WaitFor([&] { return painted > before; })) << "the preview comes back";
    }

    StopStillGraph(graph);
    // Hidden and detached from the host.
    EXPECT_EQ(host.findChild<CVideoSurface*>(), nullptr);
}

// Runs the resolution commands the way the main window wires them.
class LiveResolutionOwner final : public IResolutionOwner {
public:
    LiveResolutionOwner(IMediaGraphService& service, StillGraph& graph, QWidget& host,
                        QObject& owner)
        : m_service(service), m_graph(graph), m_host(host), m_owner(owner) {}
    int GetResolution() const override { return m_nResolution; }
    void SetResolutionAndShowImage(int mode) override { m_nResolution = mode; }
    void StopStillGraph() override { ::StopStillGraph(m_graph); }
    void PlacePreviewControl() override { ::PlacePreviewControl(&m_host, m_nResolution); }
    int RestartStillGraph(DWORD limitMs) override {
        return ::RestartStillGraph(m_service, m_graph, m_nResolution, &m_host, &m_owner, limitMs);
    }

private:
    IMediaGraphService& m_service;
    StillGraph& m_graph;
    QWidget& m_host;
    QObject& m_owner;
    int m_nResolution = RES_640X480;
};

TEST_F(LivePreviewTest, ResolutionChangeMovesTheHostAndRestartsAtTheNewSize) {
    ASSERT_EQ(Start(RES_640X480), 0);
    LiveResolutionOwner owner(*service, graph, host, catcher);
    OnResolutionCommand(owner, ID_RES_320X240);
    EXPECT_EQ(host.geometry(), QRect(160, 120, 320, 240));
    auto* surface = host.findChild<CVideoSurface*>();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->geometry(), QRect(0, 0, 320, 240));
    GrabbedFrame frame;
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_EQ(frame.nWidth, 320);
    EXPECT_EQ(frame.nHeight, 240);

    OnResolutionCommand(owner, ID_RES_1_3M);
    EXPECT_EQ(host.geometry(), QRect(0, 0, 640, 480));
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_EQ(frame.nWidth, 1280);
    EXPECT_EQ(frame.nHeight, 1024);
}

// Counts calls and notes any that come after the stop returned.
class StopWatchCallback final : public BufferCallback {
public:
    HRESULT BufferCB(double, BYTE* data, LONG length) override {
        if (bStopped.load())
            nLate.fetch_add(1);
        // Linger with the frame, so a stop that did not wait would show.
        volatile BYTE sink = length > 0 ? data[length - 1] : 0;
        (void)sink;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        nCalls.fetch_add(1);
        return S_OK;
    }
    std::atomic<bool> bStopped{false};
    std::atomic<int> nCalls{0};
    std::atomic<int> nLate{0};
};

TEST_F(LivePreviewTest, NoCallbackArrivesAfterStopReturns) {
    StopWatchCallback callback;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(Start(RES_640X480), 0);
        const int before = callback.nCalls.load();
        graph.m_pGrabber->SetCallback(&callback, 1);
        // Frames reach the callback only while a snapshot is armed; this one
        // never takes it, so it stays armed.
        ArmSnapshot("/tmp/");
        ASSERT_TRUE(WaitFor([&] { return callback.nCalls.load() > before + 2; }));
        StopStillGraph(graph);
        callback.bStopped = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(callback.nLate.load(), 0);
        callback.bStopped = false;
    }
}

// What a camera pulled out while streaming posts, from element.
void PostReadError(GstElement* element) {
    const GErrorPtr error(g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ,
                                              "Could not read from resource."));
    gst_element_post_message(element,
                             gst_message_new_error(GST_OBJECT(element), error.get(), "gone"));
}

TEST_F(LivePreviewTest, ACameraErrorIsReportedOnceAsItsLossOnTheMainThread) {
    ASSERT_EQ(Start(RES_640X480), 0);
    std::vector<HRESULT> losses;
    bool bOnMainThread = true;
    graph.m_pGraph->ReportCameraLoss([&](HRESULT hr) {
        losses.push_back(hr);
        bOnMainThread = bOnMainThread && QThread::currentThread() == qApp->thread();
    });
    auto* camera = dynamic_cast<IGstElementFilter*>(graph.m_pCapture);
    auto* grabber = dynamic_cast<IGstElementFilter*>(graph.m_pGrabber.get());
    ASSERT_NE(camera, nullptr);
    ASSERT_NE(grabber, nullptr);
    // An element after the camera failing is not a lost camera.
    PostReadError(grabber->Element());
    QTest::qWait(200);
    EXPECT_TRUE(losses.empty());
    // Posted from another thread, as the streaming thread would, twice.
    std::thread([&] {
        PostReadError(camera->Element());
        PostReadError(camera->Element());
    }).join();
    ASSERT_TRUE(WaitFor([&] { return !losses.empty(); }));
    QTest::qWait(200);
    EXPECT_EQ(losses, std::vector<HRESULT>{E_DEVICE_GONE});
    EXPECT_TRUE(bOnMainThread);
    // The owner's next restart (resolution change, resume) builds a new graph.
    ASSERT_EQ(Start(RES_320X240), 0);
    GrabbedFrame frame;
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_EQ(frame.nWidth, 320);
}

} // namespace
