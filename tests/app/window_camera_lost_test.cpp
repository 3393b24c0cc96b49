// A camera that fails while it streams says so on its graph's bus, as a V4L2
// source does when its device vanishes or another program holds it: the
// window stops the preview and says why, and the next camera to appear starts
// it again, once no question of the window is open.

#include "app/camera_dlg.h"
#include "capture/gst_ptr.h"
#include "capture/preview_control.h"
#include "capture/preview_status.h"
#include "capture/video_surface.h"
#include "platform/language_id.h"
#include "platform/localized_texts.h"
#include "test_photos.h"
#include "window_fixture.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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

namespace {

// A camera that arrives while the delete question is open waits for it: the
// question stays live (the arrival's handler returns at once, where the retry
// loop used to hold it for ten seconds with no camera to find), its answer is
// acted on, and the one start attempt follows when it has closed.
TEST_F(WindowCameraLost, ArrivalDuringTheDeleteQuestionStartsOnceItIsAnswered) {
    WritePhotos(Dlg().m_szPicturesPath, 1);
    Dlg().RebuildPhotoList(REBUILD_AFTER_SNAPSHOT);
    ASSERT_EQ(Dlg().m_nAnchor, 0);
    Dlg().OnCameraLost(E_DEVICE_GONE);
    unsetenv("VIZOR_TEST_CAMERA"); // no camera to find while the question is open
    SetMessageBoxHook({});

    qint64 nArrivalMs = -1;
    bool bStartedInside = false;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, &Dlg(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        answer.stop();
        QElapsedTimer arrival;
        arrival.start();
        CameraAppears();
        nArrivalMs = arrival.elapsed();
        bStartedInside = Dlg().m_graph.m_pGraph != nullptr;
        // The camera is there by the time the question is answered.
        setenv("VIZOR_TEST_CAMERA", "1", 1);
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    answer.start();
    Dlg().OnDeleteButton();

    EXPECT_GE(nArrivalMs, 0) << "no question";
    EXPECT_LT(nArrivalMs, 500);
    EXPECT_FALSE(bStartedInside) << "a start was made inside the question";
    EXPECT_FALSE(FileExists(Dlg().m_strPhotoFolder + PictureName(0))) << "Yes not acted on";
    EXPECT_TRUE(QTest::qWaitFor([&] { return Streaming(); }, 2000));
}

} // namespace
