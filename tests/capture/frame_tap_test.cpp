// The grabber's tap on the real GStreamer elements, fed by videotestsrc: the
// bottom-up BGR24 frame BufferCB receives is the same, byte for byte, as the
// one the former videoconvert + vertical flip chain made from the same input
// (so saved photos do not change), at odd widths too; and no frame is
// converted or handed over while no snapshot is armed.

#include "capture/frame_size_watch.h"
#include "capture/gst_filters.h"
#include "live_capture_helpers.h"

#include <gst/app/gstappsink.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingCallback final : public BufferCallback {
public:
    HRESULT BufferCB(double, BYTE* data, LONG length) override {
        ++nCalls;
        last.assign(data, data + length);
        return S_OK;
    }
    int nCalls = 0;
    std::vector<BYTE> last;
};

std::string Source(const std::string& format, int width, int height, int frames) {
    return "videotestsrc pattern=colors num-buffers=" + std::to_string(frames) +
           " ! capsfilter caps=video/x-raw,format=" + format + ",width=" + std::to_string(width) +
           ",height=" + std::to_string(height) + ",framerate=30/1";
}

// Plays until the end of the stream; the caller stops the pipeline.
void RunToEnd(GstElement* pipeline) {
    ASSERT_NE(gst_element_set_state(pipeline, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
    const GstBusPtr bus(gst_element_get_bus(pipeline));
    const GstMessagePtr message(gst_bus_timed_pop_filtered(
        bus.get(), 10 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(GST_MESSAGE_TYPE(message.get()), GST_MESSAGE_EOS);
}

// What the grabber used to deliver: videoconvert to BGR, flipped, rows packed.
constexpr char FORMER_CHAIN[] = "queue ! videoconvert ! videoflip name=flip ! "
                                "capsfilter caps=video/x-raw,format=BGR ! "
                                "appsink name=former sync=false max-buffers=1 drop=true wait-on-eos=false";

std::vector<BYTE> PackedRows(GstSample* sample) {
    std::vector<BYTE> packed;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (!sample || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
        !gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ))
        return packed;
    const std::size_t row = static_cast<std::size_t>(GST_VIDEO_FRAME_WIDTH(&frame)) * 3;
    const auto* data = static_cast<const BYTE*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    for (int y = 0; y < GST_VIDEO_FRAME_HEIGHT(&frame); ++y) {
        const BYTE* line = data + static_cast<std::size_t>(y) * GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        packed.insert(packed.end(), line, line + row);
    }
    gst_video_frame_unmap(&frame);
    return packed;
}

// Runs frames through the real tap into the display's caps and records what
// BufferCB got. With former set, the same buffers also go through the former
// chain (a tee: byte-equal input, padding included), whose last frame lands there.
void RunThroughTap(const std::string& format, int width, int height, int frames,
                   RecordingCallback& callback, std::vector<BYTE>* former = nullptr) {
    std::shared_ptr<CGstSampleGrabber> grabber = CGstSampleGrabber::Create();
    ASSERT_NE(grabber, nullptr);
    ASSERT_EQ(grabber->SetCallback(&callback, 1), S_OK);
    GstElementPtr pipeline(gst_pipeline_new(nullptr));
    gst_object_ref_sink(pipeline.get());
    GstElementPtr source(gst_parse_bin_from_description(
        (Source(format, width, height, frames) + " ! tee name=t t. ! queue").c_str(), TRUE,
        nullptr));
    if (source)
        gst_object_ref_sink(source.get());
    const GstElementPtr display = MakeElement("capsfilter");
    const GstElementPtr sink = MakeElement("fakesink");
    ASSERT_TRUE(source && display && sink);
    const GstCapsPtr caps(gst_caps_from_string("video/x-raw,format=BGRx"));
    g_object_set(display.get(), "caps", caps.get(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), grabber->Element(), display.get(),
                     sink.get(), nullptr);
    ASSERT_TRUE(gst_element_link_many(source.get(), grabber->Element(), display.get(), sink.get(),
                                      nullptr));

    GstElementPtr chain;
    if (former) {
        chain.reset(gst_parse_bin_from_description(FORMER_CHAIN, TRUE, nullptr));
        ASSERT_NE(chain, nullptr);
        gst_object_ref_sink(chain.get());
        const GstElementPtr flip(gst_bin_get_by_name(GST_BIN(chain.get()), "flip"));
        gst_util_set_object_arg(G_OBJECT(flip.get()), "video-direction", "vert");
        gst_bin_add(GST_BIN(pipeline.get()), chain.get());
        const GstElementPtr tee(gst_bin_get_by_name(GST_BIN(source.get()), "t"));
        const GstPadPtr teePad(gst_element_request_pad_simple(tee.get(), "src_%u"));
        GstPad* ghost = gst_ghost_pad_new("former", teePad.get()); // the source takes it
        gst_pad_set_active(ghost, TRUE);
        gst_element_add_pad(source.get(), ghost);
        const GstPadPtr chainSink(gst_element_get_static_pad(chain.get(), "sink"));
        EXPECT_EQ(gst_pad_link(ghost, chainSink.get()), GST_PAD_LINK_OK);
    }
    RunToEnd(pipeline.get());
    if (former) {
        const GstElementPtr appsink(gst_bin_get_by_name(GST_BIN(chain.get()), "former"));
        GstSamplePtr sample;
        while (GstSample* next = gst_app_sink_try_pull_sample(GST_APP_SINK(appsink.get()), 0))
            sample.reset(next);
        *former = PackedRows(sample.get());
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    gst_bin_remove(GST_BIN(pipeline.get()), grabber->Element());
}

class FrameTap : public ::testing::Test {
protected:
    void SetUp() override {
        gst_init(nullptr, nullptr);
        g_frameBuffer.bArmed = 0;
    }
    void TearDown() override { g_frameBuffer.bArmed = 0; }
};

TEST_F(FrameTap, ArmedFrameIsByteIdenticalToTheFormerChainAtEvenAndOddWidths) {
    struct Case {
        const char* format;
        int width, height;
    };
    for (const Case c : {Case{"YUY2", 640, 480}, Case{"I420", 320, 240}, Case{"YUY2", 321, 241},
                         Case{"I420", 161, 121}}) {
        RecordingCallback callback;
        std::vector<BYTE> former;
        ArmSnapshot("/tmp/");
        RunThroughTap(c.format, c.width, c.height, 1, callback, &former);
        ASSERT_EQ(former.size(), static_cast<std::size_t>(c.width) * c.height * 3);
        ASSERT_EQ(callback.nCalls, 1) << c.format << " " << c.width;
        EXPECT_TRUE(callback.last == former) << c.format << " " << c.width << "x" << c.height;
    }
}

TEST_F(FrameTap, UnarmedFramesAreNeitherConvertedNorHandedOver) {
    RecordingCallback callback;
    RunThroughTap("YUY2", 640, 480, 100, callback);
    EXPECT_EQ(callback.nCalls, 0) << "100 frames while unarmed";

    ArmSnapshot("/tmp/");
    RunThroughTap("YUY2", 640, 480, 100, callback);
    EXPECT_EQ(callback.nCalls, 100) << "every frame while armed, until the handler takes one";
}

// Frames a source sends under stale caps are described again only where
// exactly one size of the caps' shape has that many bytes; a frame that is
// merely padded keeps its caps.
TEST(FrameSizeWatch, CapsFollowTheFrameBytesOnlyWhereOneSizeFits) {
    struct Case {
        const char* caps;
        gsize bytes;
        int width; // 0: the caps are kept
        int height;
    };
    for (const Case& c : {Case{"video/x-raw,format=YUY2,width=640,height=480", 153600, 320, 240},
                          Case{"video/x-raw,format=I420,width=320,height=240", 460800, 640, 480},
                          Case{"video/x-raw,format=YUY2,width=640,height=480", 614400, 0, 0},
                          Case{"video/x-raw,format=YUY2,width=640,height=480", 618496, 0, 0},
                          Case{"image/jpeg,width=640,height=480", 153600, 0, 0}}) {
        GstCapsPtr caps(gst_caps_from_string(c.caps));
        GstCapsPtr fitting = CapsForFrameBytes(caps.get(), c.bytes);
        SCOPED_TRACE(std::string(c.caps) + " with " + std::to_string(c.bytes) + " bytes");
        if (c.width == 0) {
            EXPECT_FALSE(fitting);
            continue;
        }
        ASSERT_TRUE(fitting);
        int width = 0;
        int height = 0;
        const GstStructure* s = gst_caps_get_structure(fitting.get(), 0);
        gst_structure_get_int(s, "width", &width);
        gst_structure_get_int(s, "height", &height);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_STREQ(gst_structure_get_string(s, "format"),
                     gst_structure_get_string(gst_caps_get_structure(caps.get(), 0), "format"));
    }
}

} // namespace
