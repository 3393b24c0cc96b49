// The class rule for listed video sources: cameras of the camera stack carry
// its class; greyscale-only devices (infrared sensors) and the loopback
// driver's devices carry another, whatever else they offer.

#include "capture/device_class.h"
#include "capture/gst_media_graph.h"
#include "capture/gst_ptr.h"

#include <gtest/gtest.h>

namespace {

struct ClassCase {
    const char* caps;   // as the device lists its formats
    const char* driver; // api.v4l2.cap.driver / v4l2.device.driver
    bool bCamera;
};

const ClassCase CLASS_CASES[] = {
    {"video/x-raw,format=YUY2,width=640,height=480", "", true},
    {"image/jpeg,width=1280,height=720; video/x-raw,format=YUY2", "uvcvideo", true},
    // An IR sensor, in each way its formats are listed.
    {"video/x-raw,format=GRAY8,width=640,height=360", "uvcvideo", false},
    {"video/x-raw,format=GRAY8; video/x-raw,format=GRAY16_LE", "", false},
    {"video/x-raw,format={GRAY8,GRAY16_LE}", "", false},
    {"video/x-raw,format=Y10; video/x-raw,format=Y12", "", false},
    // One colour format makes it a camera again.
    {"video/x-raw,format=GRAY8; video/x-raw,format=NV12", "", true},
    {"video/x-raw,format={GRAY8,YUY2}", "", true},
    {"video/x-raw,format=GRAY8; image/jpeg", "", true},
    // Caps that say nothing of the formats leave the rule as it was.
    {"video/x-raw,width=640", "", true},
    {"ANY", "", true},
    {"EMPTY", "", true},
    // The loopback module, whatever it carries; another driver's name only
    // when it matches exactly.
    {"video/x-raw,format=YUY2", "v4l2 loopback", false},
    {"video/x-raw,format=YUY2", "v4l2 loopback ", true},
    {"video/x-raw,format=YUY2", "V4L2 Loopback", true},
};

TEST(DeviceClass, CamerasCarryTheCameraClassAndOtherSourcesTheirOwn) {
    InitGStreamer();
    for (const ClassCase& c : CLASS_CASES) {
        SCOPED_TRACE(std::string(c.caps) + " / \"" + c.driver + '"');
        const GstCapsPtr caps(gst_caps_from_string(c.caps));
        ASSERT_TRUE(caps);
        const std::string clsid = CameraStackClass(caps.get(), c.driver);
        EXPECT_EQ(clsid == KSPROXY_CLSID, c.bCamera) << clsid;
        EXPECT_FALSE(clsid.empty());
    }
    EXPECT_EQ(CameraStackClass(nullptr, ""), KSPROXY_CLSID) << "a device without caps";
}

} // namespace
