// The camera settings dialog: shown only with a camera and a running graph,
// at (30, 30) from the main window, titled with the camera's name, every
// change reaching the running camera at once and kept for its next start.

#include "capture/camera_properties.h"
#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "fake_media_graph.h"
#include "live_capture_helpers.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

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
        // The values the camera keeps go to a settings file of this test's own.
        setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
        service = CreateGstMediaGraphService();
        window.setGeometry(100, 80, 640, 600);
        host.setParent(&window);
        host.setGeometry(0, 0, 640, 480);
        window.show();
    }
    void TearDown() override { StopStillGraph(graph); }

    TempDir config;
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
    FakeMediaGraphService fake({.devices = {FakeCamera()}});
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

// How far the test picture's yellow bar is from grey.
int Colour(const GrabbedFrame& frame) {
    const auto [b, g, r] = frame.At(137, 100);
    return std::max({b, g, r}) - std::min({b, g, r});
}

// The camera keeps what the user set: the next start is grey from its first
// frame, until Default brings the colour back for this and every later start.
TEST_F(CameraPropertiesTest, ChangesShowAtOnceAndAreKeptUntilDefault) {
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    GrabbedFrame frame;
    ASSERT_TRUE(GrabFrame(catcher, frame));
    const int colour = Colour(frame);
    ASSERT_GT(colour, 150);
    {
        std::shared_ptr<ICameraControls> controls;
        ASSERT_EQ(graph.m_pCapture->QueryPropertyPages(controls), S_OK);
        CCameraPropertiesDlg dialog(&window, "Vizor Test Camera", controls);
        auto* saturation = dialog.findChild<QSlider*>("Saturation");
        ASSERT_NE(saturation, nullptr);
        saturation->setValue(saturation->minimum());
        // The frame in flight may predate the change; the one after cannot.
        ASSERT_TRUE(GrabFrame(catcher, frame));
        ASSERT_TRUE(GrabFrame(catcher, frame));
        EXPECT_LT(Colour(frame), 8);
    }
    StopStillGraph(graph);
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_LT(Colour(frame), 8);

    {
        std::shared_ptr<ICameraControls> controls;
        ASSERT_EQ(graph.m_pCapture->QueryPropertyPages(controls), S_OK);
        CCameraPropertiesDlg dialog(&window, "Vizor Test Camera", controls);
        auto* defaults = dialog.findChild<QPushButton*>("defaultButton");
        ASSERT_NE(defaults, nullptr);
        defaults->click();
        ASSERT_TRUE(GrabFrame(catcher, frame));
        ASSERT_TRUE(GrabFrame(catcher, frame));
        EXPECT_NEAR(Colour(frame), colour, 3);
    }
    StopStillGraph(graph);
    ASSERT_EQ(RestartStillGraph(*service, graph, 0, &host, &catcher, PREVIEW_START_LIMIT_MS), 0);
    ASSERT_TRUE(GrabFrame(catcher, frame));
    EXPECT_NEAR(Colour(frame), colour, 3);
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
