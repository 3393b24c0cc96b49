// A camera that offers only image/jpeg: every YUY2 and I420 request is
// refused, the camera stays in JPEG, a decoder is put in front of the grabber
// and frames still reach it as bottom-up BGR.

#include "capture/gst_media_graph.h"
#include "capture/preview_control.h"
#include "live_capture_helpers.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(JpegOnlyCamera, PreviewsThroughADecoderAtItsOwnSize) {
    auto service = CreateGstMediaGraphService();
    QWidget host;
    host.resize(640, 480);
    SnapshotCatcher catcher;
    StillGraph graph;
    for (int mode : {0, 1}) {
        ASSERT_EQ(RestartStillGraph(*service, graph, mode, &host, &catcher, PREVIEW_START_LIMIT_MS),
                  0);
        VideoFormat format;
        ASSERT_EQ(graph.m_pCapture->FirstOutputStreamConfig()->GetFormat(format), S_OK);
        EXPECT_EQ(format.subtype, "MJPG");
        GrabbedFrame frame;
        ASSERT_TRUE(GrabFrame(catcher, frame));
        EXPECT_EQ(frame.nWidth, 640);
        EXPECT_EQ(frame.nHeight, 480);
        // Yellow bar near the top, in the last rows of the buffer (JPEG-blurred).
        const auto top = frame.At(640 * 3 / 14, 120);
        EXPECT_LT(top[0], 60);
        EXPECT_GT(top[2], 150);
    }
    StopStillGraph(graph);
}

} // namespace
