// InitStillGraph against a scripted graph service: the order of the steps, the
// format requests per mode, the render attempts, the video-port branch, the
// grabber geometry and the result codes.

#include "capture/still_graph.h"
#include "fake_media_graph.h"
#include "platform/trace.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

FakeScript OneCamera() {
    return {.devices = {FakeCamera()}};
}

class StillGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(640, 480);
        g_grabberCallback.m_nWidth = 640;
        g_grabberCallback.m_nHeight = 480;
        g_grabberCallback.m_pOwner = nullptr;
        SetTraceHook([this](const std::string& text) { traces.push_back(text); });
    }
    void TearDown() override { SetTraceHook({}); }

    HRESULT Init(FakeMediaGraphService& service, int mode) {
        return InitStillGraph(service, graph, mode, &host, &owner);
    }

    QWidget host;
    QObject owner;
    StillGraph graph;
    std::vector<std::string> traces;
};

TEST_F(StillGraphTest, BuildsAndRunsInOrder) {
    FakeMediaGraphService service(OneCamera());
    service.script.accepted = {"YUY2 640x480"};
    ASSERT_EQ(Init(service, 0), S_OK);
    const std::vector<std::string> expected = {
        "CreateFilterGraph",
        "BindToObject 0",
        "AddFilter Cap",
        "GetFormat",
        "SetFormat YUY2 640x480 921600 15/1",
        "CreateSampleGrabber",
        "SetMediaType RGB24 video fixed=1 size=1",
        "AddFilter Grabber",
        "CreateCaptureGraphBuilder",
        "SetFiltergraph",
        "FindPin",
        "RenderStream Preview/Interleaved default",
        "GetConnectedMediaType",
        "SetBufferSamples 0",
        "SetOneShot 0",
        "SetCallback 1",
        "put_Owner host",
        "put_Left 0",
        "put_Top 0",
        "put_Width 640",
        "put_Height 480",
        "put_WindowStyle 1140850688",
        "put_Visible -1",
        "Run",
    };
    EXPECT_EQ(*service.log, expected);
    EXPECT_EQ(g_grabberCallback.m_nWidth, 640);
    EXPECT_EQ(g_grabberCallback.m_nHeight, 480);
    EXPECT_EQ(g_grabberCallback.m_pOwner, &owner);
    ASSERT_TRUE(graph.m_pGraph && graph.m_pGrabber && graph.m_pCapture);
    EXPECT_EQ(graph.m_pCapture->FriendlyName(), "Cam");
    EXPECT_NE(std::find(traces.begin(), traces.end(), "InitStillGraph.................."),
              traces.end());
}

TEST_F(StillGraphTest, DropsAPendingSnapshot) {
    FakeMediaGraphService service(OneCamera());
    g_frameBuffer.bArmed = 1;
    Init(service, 0);
    EXPECT_EQ(g_frameBuffer.bArmed.load(), 0);
}

TEST_F(StillGraphTest, NoCameraLeavesAnEmptyGraphAndNoGrabber) {
    FakeMediaGraphService service;
    EXPECT_EQ(Init(service, 0), E_FAIL);
    EXPECT_TRUE(graph.m_pGraph);
    EXPECT_FALSE(graph.m_pGrabber);
    EXPECT_EQ(graph.m_pCapture, nullptr);
    ASSERT_FALSE(traces.empty());
    EXPECT_EQ(traces.back().rfind("No video capture device was detected", 0), 0u);
}

TEST_F(StillGraphTest, NoGraphIsEFail) {
    FakeScript script = OneCamera();
    script.bGraphCreatable = false;
    FakeMediaGraphService service(script);
    EXPECT_EQ(Init(service, 0), E_FAIL);
    EXPECT_TRUE(service.Calls("BindToObject").empty());
    EXPECT_EQ(traces, std::vector<std::string>{"Could not create filter graph"});
}

TEST_F(StillGraphTest, RefusedCameraIsReleasedAndEFail) {
    FakeScript script = OneCamera();
    script.hrAddCamera = VFW_E_DUPLICATE_NAME;
    FakeMediaGraphService service(script);
    EXPECT_EQ(Init(service, 0), E_FAIL);
    EXPECT_EQ(graph.m_pCapture, nullptr);
    EXPECT_EQ(traces, std::vector<std::string>{"Could not put capture device in graph"});
    // The graph is all that is left.
    EXPECT_EQ(*service.liveObjects, 1);
}

TEST_F(StillGraphTest, Yuy2RefusedThenI420AcceptedMeansTwoRequests) {
    FakeMediaGraphService service(OneCamera());
    service.script.accepted = {"I420 320x240"};
    ASSERT_EQ(Init(service, 1), S_OK);
    EXPECT_EQ(service.Calls("SetFormat"),
              (std::vector<std::string>{"SetFormat YUY2 320x240 230400 15/1",
                                        "SetFormat I420 320x240 230400 15/1"}));
    EXPECT_EQ(g_grabberCallback.m_nWidth, 320);
    EXPECT_EQ(g_grabberCallback.m_nHeight, 240);
}

TEST_F(StillGraphTest, Refused13MIsAskedInYuy2ThenMjpegAndSnapshotsTakeTheConnectedSize) {
    FakeMediaGraphService service(OneCamera());
    service.script.accepted = {};
    ASSERT_EQ(Init(service, 2), S_OK);
    EXPECT_EQ(service.Calls("SetFormat"),
              (std::vector<std::string>{"SetFormat YUY2 1280x1024 3932160 15/1",
                                        "SetFormat MJPG 1280x1024 3932160 15/1"}));
    // The camera keeps its 800x600: that is what the grabber gets.
    EXPECT_EQ(g_grabberCallback.m_nWidth, 800);
    EXPECT_EQ(g_grabberCallback.m_nHeight, 600);
}

TEST_F(StillGraphTest, ModeOutsideTheTableAsksNothing) {
    for (int mode : {-1, 3}) {
        FakeMediaGraphService service(OneCamera());
        StillGraph g;
        EXPECT_EQ(InitStillGraph(service, g, mode, &host, &owner), S_OK);
        EXPECT_TRUE(service.Calls("SetFormat").empty());
    }
}

TEST_F(StillGraphTest, FormatStepIsSkippedWithoutConfigOrFormat) {
    FakeScript noConfig = OneCamera();
    noConfig.bStreamConfig = false;
    FakeScript noFormat = OneCamera();
    noFormat.hrGetFormat = S_FALSE; // anything but S_OK
    for (const FakeScript& script : {noConfig, noFormat}) {
        FakeMediaGraphService service(script);
        StillGraph g;
        EXPECT_EQ(InitStillGraph(service, g, 0, &host, &owner), S_OK);
        EXPECT_TRUE(service.Calls("SetFormat").empty());
    }
}

TEST_F(StillGraphTest, VideoPortCameraFeedsTheNullRendererAndStillSetsUpTheWindow) {
    FakeMediaGraphService service(OneCamera());
    service.script.bVideoPort = true;
    ASSERT_EQ(Init(service, 0), S_OK);
    EXPECT_EQ(service.Calls("AddFilter NULL renderer").size(), 1u);
    EXPECT_EQ(service.Calls("RenderStream"),
              std::vector<std::string>{"RenderStream Preview/Interleaved null-renderer"});
    EXPECT_EQ(service.Calls("put_").size(), 7u);
    EXPECT_EQ(service.Calls("Run").size(), 1u);
}

TEST_F(StillGraphTest, NullRendererFailuresReturnTheirCodes) {
    FakeMediaGraphService notCreated(OneCamera());
    notCreated.script.bVideoPort = true;
    notCreated.script.hrCreateNullRenderer = S_FALSE; // success, but not exactly S_OK
    EXPECT_EQ(Init(notCreated, 0), S_FALSE);
    EXPECT_TRUE(notCreated.Calls("RenderStream").empty());

    FakeMediaGraphService notAdded(OneCamera());
    notAdded.script.bVideoPort = true;
    notAdded.script.hrAddNullRenderer = VFW_E_DUPLICATE_NAME;
    StillGraph g;
    EXPECT_EQ(InitStillGraph(notAdded, g, 0, &host, &owner), VFW_E_DUPLICATE_NAME);
}

TEST_F(StillGraphTest, BothPreviewRendersFailingFallBackToCapture) {
    FakeMediaGraphService service(OneCamera());
    service.script.render = {{"Preview/Interleaved", VFW_E_CANNOT_RENDER},
                             {"Preview/Video", VFW_E_NOT_FOUND}};
    ASSERT_EQ(Init(service, 0), S_OK);
    EXPECT_EQ(service.Calls("RenderStream"),
              (std::vector<std::string>{"RenderStream Preview/Interleaved default",
                                        "RenderStream Preview/Video default",
                                        "RenderStream Capture/Video default"}));
}

TEST_F(StillGraphTest, AllRendersFailingReturnTheThirdCode) {
    FakeMediaGraphService service(OneCamera());
    service.script.render = {{"Preview/Interleaved", E_FAIL},
                             {"Preview/Video", VFW_E_NOT_FOUND},
                             {"Capture/Video", VFW_E_CANNOT_CONNECT}};
    EXPECT_EQ(Init(service, 0), VFW_E_CANNOT_CONNECT);
    EXPECT_TRUE(service.Calls("SetCallback").empty());
}

TEST_F(StillGraphTest, GeometryAndOwnerAreSetBeforeTheCallbackIsInstalled) {
    FakeMediaGraphService service(OneCamera());
    service.script.hrConnected = VFW_E_NOT_CONNECTED;
    g_grabberCallback.m_pOwner = nullptr;
    EXPECT_EQ(Init(service, 0), VFW_E_NOT_CONNECTED);
    // Failed before: neither the geometry nor the callback was touched.
    EXPECT_EQ(g_grabberCallback.m_pOwner, nullptr);
    EXPECT_EQ(g_grabberCallback.m_nWidth, 640);
    EXPECT_TRUE(service.Calls("SetCallback").empty());
}

TEST_F(StillGraphTest, StepFailuresReturnTheirOwnCodes) {
    struct Case {
        const char* name;
        void (*change)(FakeScript&);
        HRESULT expected;
    };
    const Case cases[] = {
        {"grabber", [](FakeScript& s) { s.hrCreateGrabber = E_OUTOFMEMORY; }, E_OUTOFMEMORY},
        {"media type", [](FakeScript& s) { s.hrSetMediaType = VFW_E_INVALIDMEDIATYPE; },
         VFW_E_INVALIDMEDIATYPE},
        {"add grabber", [](FakeScript& s) { s.hrAddGrabber = VFW_E_DUPLICATE_NAME; },
         VFW_E_DUPLICATE_NAME},
        {"builder", [](FakeScript& s) { s.hrCreateBuilder = E_NOINTERFACE; }, E_NOINTERFACE},
        {"no window", [](FakeScript& s) { s.bVideoWindow = false; }, E_FAIL},
        {"run", [](FakeScript& s) { s.hrRun = E_DEVICE_BUSY; }, E_DEVICE_BUSY},
    };
    for (const Case& c : cases) {
        FakeScript script = OneCamera();
        c.change(script);
        FakeMediaGraphService service(script);
        StillGraph g;
        EXPECT_EQ(InitStillGraph(service, g, 0, &host, &owner), c.expected) << c.name;
    }
}

TEST_F(StillGraphTest, RunFailingKeepsTheGraphBuilt) {
    FakeMediaGraphService service(OneCamera());
    service.script.hrRun = VFW_E_NO_ACCEPTABLE_TYPES;
    EXPECT_EQ(Init(service, 0), VFW_E_NO_ACCEPTABLE_TYPES);
    EXPECT_TRUE(graph.m_pGraph && graph.m_pGrabber && graph.m_pCapture);
    EXPECT_EQ(std::count(traces.begin(), traces.end(), "InitStillGraph.................."), 0);
}

} // namespace
