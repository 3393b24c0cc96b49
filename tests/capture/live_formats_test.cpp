// Format requests against a test camera narrowed to YUY2 640x480 and I420
// 320x240: refusals are decided up front, the camera keeps its format, and the
// grabber reports the size it really delivers.

#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "live_capture_helpers.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

class LiveFormatsTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = CreateGstMediaGraphService();
        host.resize(640, 480);
    }
    void TearDown() override { StopStillGraph(graph); }

    std::unique_ptr<IMediaGraphService> service;
    QWidget host;
    SnapshotCatcher catcher;
    StillGraph graph;
};

TEST_F(LiveFormatsTest, RefusedYuy2FallsBackToI420) {
    ASSERT_EQ(RestartStillGraph(*service, graph, 1, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    VideoFormat format;
    ASSERT_EQ(graph.m_pCapture->FirstOutputStreamConfig()->GetFormat(format), S_OK);
    EXPECT_EQ(format.subtype, "I420");
    GrabbedFrame frame;
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_EQ(frame.nWidth, 320);
    EXPECT_EQ(frame.nHeight, 240);
}

// Every graph makes a new camera filter: the refused size must still leave the
// camera in the format the last graph gave it, not in a start-up default.
TEST_F(LiveFormatsTest, Refused13MKeepsTheOldFormatAndSnapshotsFollowIt) {
    ASSERT_EQ(RestartStillGraph(*service, graph, 1, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    ASSERT_EQ(RestartStillGraph(*service, graph, 2, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    EXPECT_EQ(g_grabberCallback.m_nWidth, 320);
    EXPECT_EQ(g_grabberCallback.m_nHeight, 240);
    GrabbedFrame frame;
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_EQ(frame.nWidth, 320);
    EXPECT_EQ(frame.nHeight, 240);
}

TEST_F(LiveFormatsTest, RefusalLeavesTheCameraInItsFormat) {
    std::unique_ptr<IEnumMoniker> devices;
    ASSERT_EQ(service->CreateVideoInputEnum(devices), S_OK);
    std::shared_ptr<IMoniker> device;
    ASSERT_EQ(devices->Next(device), S_OK);
    std::shared_ptr<ICaptureFilter> camera;
    ASSERT_EQ(device->BindToObject(camera), S_OK);
    auto config = camera->FirstOutputStreamConfig();
    VideoFormat start;
    ASSERT_EQ(config->GetFormat(start), S_OK);
    EXPECT_EQ(start.subtype, "YUY2");
    EXPECT_EQ(start.biWidth, 640);

    VideoFormat wanted = start;
    wanted.subtype = "I420";
    wanted.biWidth = 1280;
    wanted.biHeight = 1024;
    EXPECT_LT(config->SetFormat(wanted), 0);
    wanted.subtype = "NOPE";
    EXPECT_LT(config->SetFormat(wanted), 0);
    wanted.biWidth = -5;
    EXPECT_LT(config->SetFormat(wanted), 0);
    VideoFormat now;
    config->GetFormat(now);
    EXPECT_EQ(now.subtype, "YUY2");
    EXPECT_EQ(now.biWidth, 640);
    EXPECT_EQ(now.biHeight, 480);
    EXPECT_EQ(now.nFrameRateNum, 30);
}

TEST(TestCameraDevice, ComesFirstWithTheCameraStackClass) {
    auto service = CreateGstMediaGraphService();
    std::unique_ptr<IEnumMoniker> devices;
    ASSERT_EQ(service->CreateVideoInputEnum(devices), S_OK);
    std::shared_ptr<IMoniker> device;
    ASSERT_EQ(devices->Next(device), S_OK);
    std::shared_ptr<IPropertyBag> bag;
    ASSERT_EQ(device->BindToStorage(bag), S_OK);
    std::string name, clsid;
    EXPECT_EQ(bag->Read("FriendlyName", name), S_OK);
    EXPECT_EQ(bag->Read("CLSID", clsid), S_OK);
    EXPECT_EQ(name, "Vizor Test Camera");
    EXPECT_EQ(clsid, KSPROXY_CLSID);
    EXPECT_LT(bag->Read("Nope", name), 0);
}

} // namespace
