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
    for (const char* value : {"1", "", "yes", "YUY2:640", "YUY2:0x480", "YUY2:99999x480"})
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

TEST_F(TestCameraCapsTest, JpegMixedWithRawIsNotANarrowing) {
    EXPECT_EQ(Formats(TestCameraCaps("MJPG:640x480,YUY2:640x480").get()).size(), 6u);
}

TEST_F(TestCameraCapsTest, FixFormatNarrowsAndKeepsTheNearestRate) {
    GstCapsPtr caps = TestCameraCaps("1");
    VideoFormat f;
    GstCapsPtr fixed = FixFormat(caps.get(), "I420", 320, 240, 15, 1);
    ASSERT_TRUE(fixed);
    ASSERT_TRUE(FormatFromCaps(fixed.get(), f));
    EXPECT_EQ(f.subtype, "I420");
    EXPECT_EQ(f.nFrameRateNum, 30);
    EXPECT_EQ(f.biSizeImage, 320u * 240 * 3 / 2);
    EXPECT_EQ(FixFormat(caps.get(), "YUY2", 800, 600, 30, 1), nullptr);
    EXPECT_EQ(FixFormat(caps.get(), "", 640, 480, 30, 1), nullptr);
    EXPECT_EQ(FixFormat(caps.get(), "NOT-A-FORMAT", 640, 480, 30, 1), nullptr);
}

} // namespace
