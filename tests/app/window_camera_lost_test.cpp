// A camera that fails while it streams says so on its graph's bus, as a V4L2
// source does when its device vanishes or another program holds it: the
// window stops the preview and says why, and the next camera to appear starts
// it again.

#include "app/camera_dlg.h"
#include "capture/gst_ptr.h"
#include "capture/preview_control.h"
#include "capture/preview_status.h"
#include "capture/video_surface.h"
#include "platform/language_id.h"
#include "platform/localized_texts.h"
#include "window_fixture.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

class WindowCameraLost : public ShownWindow {
protected:
    // The element that makes the running camera's frames, as its graph holds it.
    GstElement* CameraSource() {
        auto* camera = dynamic_cast<IGstElementFilter*>(Dlg().m_graph.m_pCapture);
        if (!camera)
            return nullptr;
        GstElement* found = nullptr;
        GstIterator* it = gst_bin_iterate_recurse(GST_BIN(camera->Element()));
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            if (!GST_IS_BIN(element) && GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SOURCE))
                found = element;
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(it);
        return found;
    }

    CPreviewStatus* Status() {
        return Dlg().m_stcVideoHost.findChild<CPreviewStatus*>("previewStatus");
    }

    bool Streaming() {
        return Dlg().m_bPreviewRunning && Dlg().m_stcVideoHost.findChild<CVideoSurface*>() &&
               !Status()->isVisible();
    }

    void CameraAppears() { Dlg().OnCameraChange(DeviceChange{true, "GstV4l2Device:/dev/video4"}); }
};

TEST_F(WindowCameraLost, DeviceErrorsStopThePreviewUntilACameraAppears) {
    ASSERT_TRUE(Streaming());
    ASSERT_NE(CameraSource(), nullptr);

    // Unplugged: stopped, the picture taken away, the line shown.
    GST_ELEMENT_ERROR(CameraSource(), RESOURCE, READ, ("Could not read from resource."),
                      ("poll error 1: No such device (19)"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Dlg().m_bPreviewRunning; }, 2000));
    EXPECT_EQ(Dlg().m_graph.m_pGraph, nullptr);
    EXPECT_EQ(Dlg().m_stcVideoHost.findChild<CVideoSurface*>(), nullptr) << "frozen last frame";
    EXPECT_TRUE(Status()->isVisible());
    EXPECT_EQ(Status()->text(), LocalizedText(TextId::CameraGone, GetSystemDefaultLangID()));

    CameraAppears();
    ASSERT_TRUE(Streaming());

    // Taken by another program: its own line.
    GST_ELEMENT_ERROR(CameraSource(), RESOURCE, BUSY, ("Device is busy."), (nullptr));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Dlg().m_bPreviewRunning; }, 2000));
    EXPECT_EQ(Status()->text(), LocalizedText(TextId::CameraBusy, GetSystemDefaultLangID()));
    CameraAppears();
    ASSERT_TRUE(Streaming());

    // An error of another element is no lost camera; nor is one that a
    // restart (a resolution change) overtook: it belonged to the old graph.
    auto* grabber = dynamic_cast<IGstElementFilter*>(Dlg().m_graph.m_pGrabber.get());
    ASSERT_NE(grabber, nullptr);
    GST_ELEMENT_ERROR(grabber->Element(), RESOURCE, READ, ("Could not read."), (nullptr));
    QTest::qWait(300);
    EXPECT_TRUE(Streaming()) << "stopped for the grabber's error";
    GST_ELEMENT_ERROR(CameraSource(), RESOURCE, READ, ("Could not read."), (nullptr));
    ASSERT_EQ(Dlg().RestartStillGraph(PREVIEW_START_LIMIT_MS), 0);
    QTest::qWait(300);
    EXPECT_TRUE(Streaming());
}

} // namespace
