// A JPEG camera's frames through the real grabber and its preview decoder,
// fed pre-encoded 1280x1024 frames: the preview comes out upright at the
// host's size; the armed frame is handed over at the camera's full size and
// equals an independent full decode of the same bytes (djpeg); a frame cut
// short is shown to nobody and never handed over, and the stream goes on.

#include "capture/gst_filters.h"
#include "live_capture_helpers.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 1280, HEIGHT = 1024;
constexpr int HOST_WIDTH = 640, HOST_HEIGHT = 480;

using Bytes = std::vector<BYTE>;

class RecordingCallback final : public BufferCallback {
public:
    HRESULT BufferCB(double, BYTE* data, LONG length) override {
        frames.emplace_back(data, data + length);
        return S_OK;
    }
    std::vector<Bytes> frames;
};

// SMPTE bars from videotestsrc, encoded by jpegenc: its moving noise block
// makes every frame differ.
std::vector<Bytes> EncodeFrames(int count) {
    const std::string description =
        "videotestsrc pattern=smpte num-buffers=" + std::to_string(count) +
        " ! video/x-raw,format=I420,width=" + std::to_string(WIDTH) +
        ",height=" + std::to_string(HEIGHT) + " ! jpegenc ! appsink name=out sync=false";
    GstElementPtr pipeline(gst_parse_launch(description.c_str(), nullptr));
    std::vector<Bytes> frames;
    if (!pipeline)
        return frames;
    gst_object_ref_sink(pipeline.get());
    const GstElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    while (GstSample* raw = gst_app_sink_pull_sample(GST_APP_SINK(sink.get()))) {
        const GstSamplePtr sample(raw);
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample.get());
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            frames.emplace_back(map.data, map.data + map.size);
            gst_buffer_unmap(buffer, &map);
        }
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return frames;
}

// djpeg's BMP: 54 bytes of header, then bottom-up BGR rows (1280 x 3 bytes
// need no padding).
Bytes DjpegBottomUpBgr(const Bytes& jpeg) {
    QTemporaryDir dir;
    QFile file(dir.filePath("frame.jpg"));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size()));
    file.close();
    QProcess djpeg;
    djpeg.start("djpeg", {"-bmp", file.fileName()});
    if (!djpeg.waitForFinished(10000) || djpeg.exitCode() != 0)
        return {};
    const QByteArray bmp = djpeg.readAllStandardOutput();
    if (bmp.size() < 54)
        return {};
    return Bytes(bmp.begin() + 54, bmp.end());
}

struct StreamResult {
    int nShown = 0;      // frames that reached the preview's sink
    bool bError = false; // an error on the bus
    GstSamplePtr pLast;  // the last preview frame
};

// Pushes the frames through appsrc ! grabber ! 640x480 BGRx ! appsink. The
// snapshot is armed on the streaming thread just before frame armAt enters
// the grabber.
StreamResult RunStream(const std::vector<Bytes>& frames, int armAt, RecordingCallback& callback) {
    StreamResult result;
    std::shared_ptr<CGstSampleGrabber> grabber = CGstSampleGrabber::Create();
    EXPECT_TRUE(grabber && grabber->TakeJpegFrames());
    grabber->SetCallback(&callback, 1);
    GstElementPtr pipeline(gst_pipeline_new(nullptr));
    gst_object_ref_sink(pipeline.get());
    const GstElementPtr source = MakeElement("appsrc");
    const GstElementPtr display = MakeElement("capsfilter");
    const GstElementPtr sink = MakeElement("appsink");
    const GstCapsPtr jpeg(gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, WIDTH, "height",
                                              G_TYPE_INT, HEIGHT, "framerate", GST_TYPE_FRACTION,
                                              30, 1, nullptr));
    const GstCapsPtr host(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx",
                                              "width", G_TYPE_INT, HOST_WIDTH, "height", G_TYPE_INT,
                                              HOST_HEIGHT, nullptr));
    g_object_set(source.get(), "caps", jpeg.get(), "format", GST_FORMAT_TIME, nullptr);
    g_object_set(display.get(), "caps", host.get(), nullptr);
    g_object_set(sink.get(), "sync", FALSE, "emit-signals", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), grabber->Element(), display.get(),
                     sink.get(), nullptr);
    EXPECT_TRUE(gst_element_link_many(source.get(), grabber->Element(), display.get(), sink.get(),
                                      nullptr));
    const GstPadPtr sourcePad(gst_element_get_static_pad(source.get(), "src"));
    gst_pad_add_probe(
        sourcePad.get(), GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo* info, gpointer armAt) -> GstPadProbeReturn {
            if (GST_BUFFER_OFFSET(GST_PAD_PROBE_INFO_BUFFER(info)) ==
                static_cast<guint64>(GPOINTER_TO_INT(armAt)))
                ArmSnapshot("/tmp/");
            return GST_PAD_PROBE_OK;
        },
        GINT_TO_POINTER(armAt), nullptr);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        GstBuffer* buffer = gst_buffer_new_memdup(frames[i].data(), frames[i].size());
        GST_BUFFER_OFFSET(buffer) = i;
        GST_BUFFER_PTS(buffer) = i * GST_SECOND / 30;
        gst_app_src_push_buffer(GST_APP_SRC(source.get()), buffer);
    }
    gst_app_src_end_of_stream(GST_APP_SRC(source.get()));
    while (GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink.get()))) {
        result.pLast.reset(sample);
        ++result.nShown;
    }
    const GstBusPtr bus(gst_element_get_bus(pipeline.get()));
    const GstMessagePtr error(gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR));
    result.bError = error != nullptr;
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline.get()), grabber->Element());
    return result;
}

// (B, G, R) of the 640x480 BGRx preview frame at x, y from the top.
std::array<int, 3> PreviewAt(GstSample* sample, int x, int y) {
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    std::array<int, 3> pixel{-1, -1, -1};
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const BYTE* p = map.data + (static_cast<std::size_t>(y) * HOST_WIDTH + x) * 4;
        pixel = {p[0], p[1], p[2]};
        gst_buffer_unmap(buffer, &map);
    }
    return pixel;
}

int MaxDifference(const Bytes& a, const Bytes& b) {
    int most = a.size() == b.size() ? 0 : 256;
    for (std::size_t i = 0; most < 256 && i < a.size(); ++i)
        most = std::max(most, std::abs(a[i] - b[i]));
    return most;
}

class JpegCameraFrames : public ::testing::Test {
protected:
    void SetUp() override {
        gst_init(nullptr, nullptr);
        g_frameBuffer.bArmed = 0;
        frames = EncodeFrames(4);
        ASSERT_EQ(frames.size(), 4u);
    }
    void TearDown() override { g_frameBuffer.bArmed = 0; }
    std::vector<Bytes> frames;
};

TEST_F(JpegCameraFrames, PreviewIsUprightAtTheHostSizeAndTheSnapshotIsTheWholeFullSizeFrame) {
    RecordingCallback callback;
    const StreamResult result = RunStream({frames[0]}, 0, callback);
    EXPECT_FALSE(result.bError);
    ASSERT_EQ(result.nShown, 1);
    // Yellow bar near the top, white block of the bottom strip near the foot.
    const auto yellow = PreviewAt(result.pLast.get(), HOST_WIDTH * 3 / 14, 100);
    EXPECT_LT(yellow[0], 60);
    EXPECT_GT(yellow[1], 150);
    EXPECT_GT(yellow[2], 150);
    const auto white = PreviewAt(result.pLast.get(), HOST_WIDTH * 3 / 14, HOST_HEIGHT - 10);
    EXPECT_GT(white[0], 200);

    ASSERT_EQ(callback.frames.size(), 1u);
    const Bytes reference = DjpegBottomUpBgr(frames[0]);
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(WIDTH) * HEIGHT * 3);
    EXPECT_EQ(callback.frames[0].size(), reference.size());
    EXPECT_LE(MaxDifference(callback.frames[0], reference), 2);
}

TEST_F(JpegCameraFrames, TruncatedFrameIsNeitherShownNorSavedAndTheStreamGoesOn) {
    // Cut the way a busy bus cuts it: the lower part of the picture missing.
    Bytes truncated(frames[2].begin(), frames[2].begin() + frames[2].size() * 6 / 10);
    RecordingCallback callback;
    const StreamResult result =
        RunStream({frames[0], frames[1], truncated, frames[3]}, 2, callback);
    EXPECT_FALSE(result.bError);
    EXPECT_EQ(result.nShown, 3) << "every whole frame shown, the cut one not";
    ASSERT_EQ(callback.frames.size(), 1u) << "armed before the cut frame: only the next is taken";
    EXPECT_LE(MaxDifference(callback.frames[0], DjpegBottomUpBgr(frames[3])), 2);
}

} // namespace
