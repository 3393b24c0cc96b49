// The camera settings dialog: shown only with a camera and a running graph,
// at (30, 30) from the main window, titled with the camera's name, and every
// change reaching the running camera at once.

#include "capture/camera_properties.h"
#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "fake_media_graph.h"
#include "live_capture_helpers.h"

#include <QApplication>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Records the modal dialog that comes up while fn runs, then closes it.
struct ShownDialog {
    bool bShown = false;
    QString strTitle;
    QPoint pos;
    int nSliders = 0;
};

template <typename Fn> ShownDialog RunAndCloseDialog(QObject* context, Fn fn) {
    ShownDialog shown;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, context, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        shown.bShown = true;
        shown.strTitle = modal->windowTitle();
        shown.pos = modal->pos();
        shown.nSliders = static_cast<int>(modal->findChildren<QSlider*>().size());
        modal->close();
    });
    timer.start();
    fn();
    timer.stop();
    return shown;
}

class CameraPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = CreateGstMediaGraphService();
        window.setGeometry(100, 80, 640, 600);
        host.setParent(&window);
        host.setGeometry(0, 0, 640, 480);
        window.show();
    }
    void TearDown() override { StopStillGraph(graph); }

    std::unique_ptr<IMediaGraphService> service;
    QWidget window;
    QWidget host;
    SnapshotCatcher catcher;
    StillGraph graph;
};

// No camera, or every start failed: no graph, nothing shown.
TEST_F(CameraPropertiesTest, NoRunningGraphShowsNothing) {
    const ShownDialog shown =
        RunAndCloseDialog(&catcher, [&] { ShowCameraProperties(&window, graph); });
    EXPECT_FALSE(shown.bShown);
}

TEST_F(CameraPropertiesTest, CameraWithoutSettingsShowsNothing) {
    FakeScript script;
    FakeDevice camera;
    camera.friendlyName = "Cam";
    camera.clsid = KSPROXY_CLSID;
    script.devices = {camera};
    FakeMediaGraphService fake(script);
    ASSERT_EQ(InitStillGraph(fake, graph, 0, &host, &catcher), S_OK);
    const ShownDialog shown =
        RunAndCloseDialog(&catcher, [&] { ShowCameraProperties(&window, graph); });
    EXPECT_FALSE(shown.bShown);
    StopStillGraph(graph);
}

TEST_F(CameraPropertiesTest, RunningCameraShowsItsControlsAt30x30AndKeepsRunning) {
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    IFilterGraph* running = graph.m_pGraph.get();
    const ShownDialog shown =
        RunAndCloseDialog(&catcher, [&] { ShowCameraProperties(&window, graph); });
    ASSERT_TRUE(shown.bShown);
    EXPECT_EQ(shown.strTitle, "Vizor Test Camera");
    EXPECT_EQ(shown.pos, window.mapToGlobal(QPoint(30, 30)));
    // Brightness, contrast, hue and saturation of the test camera.
    EXPECT_EQ(shown.nSliders, 4);
    // No rebuild: the same graph still delivers frames.
    EXPECT_EQ(graph.m_pGraph.get(), running);
    GrabbedFrame frame;
    EXPECT_TRUE(GrabFrame(catcher, frame));
}

TEST_F(CameraPropertiesTest, BrightnessChangeShowsInTheNextFrames) {
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    std::shared_ptr<ICameraControls> controls;
    ASSERT_EQ(graph.m_pCapture->QueryPropertyPages(controls), S_OK);
    CCameraPropertiesDlg dialog(&window, "Vizor Test Camera", controls);
    auto* brightness = dialog.findChild<QSlider*>("BRIGHTNESS");
    ASSERT_NE(brightness, nullptr);

    GrabbedFrame before;
    ASSERT_TRUE(GrabFrame(catcher, before));
    brightness->setValue(brightness->maximum() / 2);
    // The frame in flight may predate the change; the one after cannot.
    GrabbedFrame after;
    ASSERT_TRUE(GrabFrame(catcher, after));
    ASSERT_TRUE(GrabFrame(catcher, after));
    EXPECT_GT(after.Mean(), before.Mean() + 30);

    // Nothing is stored: a new camera starts neutral.
    StopStillGraph(graph);
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    GrabbedFrame fresh;
    ASSERT_TRUE(GrabFrame(catcher, fresh));
    EXPECT_NEAR(fresh.Mean(), before.Mean(), 3);
}

TEST_F(CameraPropertiesTest, OutOfRangeValueIsRefused) {
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    std::shared_ptr<ICameraControls> controls;
    ASSERT_EQ(graph.m_pCapture->QueryPropertyPages(controls), S_OK);
    std::vector<CameraControl> list;
    ASSERT_EQ(controls->GetControls(list), S_OK);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(controls->SetControl(list[0].nId, list[0].nMaximum + 1), E_INVALIDARG);
    EXPECT_EQ(controls->SetControl(static_cast<DWORD>(list.size()), 0), E_INVALIDARG);
}

} // namespace
