// What the test camera advertises for each value of VIZOR_TEST_CAMERA.

#include "capture/gst_media_graph.h"
#include "capture/test_camera.h"
#include "capture/video_caps.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Formats(const GstCaps* caps) {
    std::vector<std::string> out;
    for (guint i = 0; caps && i < gst_caps_get_size(caps); ++i) {
        GstCapsPtr one(gst_caps_copy_nth(caps, i));
        VideoFormat f;
        if (FormatFromCaps(one.get(), f))
            out.push_back(f.subtype + ":" + std::to_string(f.biWidth) + "x" +
                          std::to_string(f.biHeight) + "@" + std::to_string(f.nFrameRateNum));
    }
    return out;
}

class TestCameraCapsTest : public ::testing::Test {
protected:
    void SetUp() override { InitGStreamer(); }
};

TEST_F(TestCameraCapsTest, UnsetMeansNoTestCamera) {
    EXPECT_EQ(TestCameraCaps(nullptr), nullptr);
}

TEST_F(TestCameraCapsTest, AnyPlainValueGivesTheFullSet) {
    const std::vector<std::string> full = {"YUY2:640x480@30",   "YUY2:320x240@30",
                                           "YUY2:1280x1024@30", "I420:640x480@30",
                                           "I420:320x240@30",   "I420:1280x1024@30"};
    // JPEG mixed with raw formats is no narrowing either.
    for (const char* value : {"1", "", "yes", "YUY2:640", "YUY2:0x480", "YUY2:99999x480",
                              "MJPG:640x480,YUY2:640x480"})
        EXPECT_EQ(Formats(TestCameraCaps(value).get()), full) << '"' << value << '"';
}

TEST_F(TestCameraCapsTest, ListNarrowsToItsItems) {
    EXPECT_EQ(Formats(TestCameraCaps("I420:320x240, YUY2:640x480").get()),
              (std::vector<std::string>{"I420:320x240@30", "YUY2:640x480@30"}));
    GstCapsPtr jpeg = TestCameraCaps("MJPG:640x480");
    EXPECT_EQ(Formats(jpeg.get()), std::vector<std::string>{"MJPG:640x480@30"});
    EXPECT_TRUE(IsJpegOnly(jpeg.get()));
    EXPECT_FALSE(IsJpegOnly(TestCameraCaps("1").get()));
}

// What a USB 2 camera advertises: YUY2 at 30 up to 640x480 but 7.5 at
// 1280x1024, MJPEG at 30 everywhere.
constexpr char UVC_CAPS[] =
    "video/x-raw, format=YUY2, width=640, height=480, framerate={ 30/1, 15/1 }; "
    "video/x-raw, format=YUY2, width=320, height=240, framerate={ 30/1, 15/1 }; "
    "video/x-raw, format=YUY2, width=1280, height=1024, framerate={ 15/2, 5/1 }; "
    "image/jpeg, width=1280, height=1024, framerate={ 30/1, 15/1 }; "
    "image/jpeg, width=640, height=480, framerate={ 30/1, 15/1 }";

TEST_F(TestCameraCapsTest, FixFormatTakesTheSubtypeAtTheSizeAtItsHighestRate) {
    GstCapsPtr caps(gst_caps_from_string(UVC_CAPS));
    struct Case {
        const char* subtype;
        LONG width, height;
        int rateNum, rateDen; // 0 = refused
    } cases[] = {
        {"YUY2", 640, 480, 30, 1},  {"YUY2", 1280, 1024, 15, 2}, {"MJPG", 1280, 1024, 30, 1},
        {"I420", 640, 480, 0, 1},   {"YUY2", 800, 600, 0, 1},    {"MJPG", 320, 240, 0, 1},
        {"", 640, 480, 0, 1},       {"NOT-A-FORMAT", 640, 480, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.subtype) + " " + std::to_string(c.width));
        GstCapsPtr fixed = FixFormat(caps.get(), c.subtype, c.width, c.height);
        if (c.rateNum == 0) {
            EXPECT_EQ(fixed, nullptr);
            continue;
        }
        VideoFormat f;
        ASSERT_TRUE(fixed && FormatFromCaps(fixed.get(), f));
        EXPECT_EQ(f.subtype, c.subtype);
        EXPECT_EQ(f.biWidth, c.width);
        EXPECT_EQ(f.nFrameRateNum, c.rateNum);
        EXPECT_EQ(f.nFrameRateDen, c.rateDen);
    }
}

} // namespace
