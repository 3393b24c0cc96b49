// Stable camera ids from udev, under umockdev with three USB cameras (two of
// one model without serial numbers, in ports 1-1 and 1-2, and one with a
// serial) and a camera on another bus.

#include "platform/device_ids.h"

#include <gtest/gtest.h>

namespace {

TEST(StableDeviceId, SerialElsePortElseBusPath) {
    EXPECT_EQ(StableDeviceId("/dev/video4"), "usb:e5f6:0a1b:SN42");
    // One model twice, told apart by the port.
    EXPECT_EQ(StableDeviceId("/dev/video0"), "usb:a1b2:c3d4@1-1");
    EXPECT_EQ(StableDeviceId("/dev/video2"), "usb:a1b2:c3d4@1-2");
    EXPECT_EQ(StableDeviceId("/dev/video6"), "path:platform-vivid.0");
    EXPECT_EQ(StableDeviceId("/dev/video8"), "");
    EXPECT_EQ(StableDeviceId(""), "");
}

} // namespace
