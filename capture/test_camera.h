#pragma once
// The built-in test camera: a live videotestsrc behind a videobalance (so it
// has controls), offered first in the device list when VIZOR_TEST_CAMERA is
// set. The variable's value narrows what it advertises: a comma-separated list
// of SUBTYPE:WIDTHxHEIGHT items ("I420:320x240,YUY2:640x480"); any other value
// ("1") gives YUY2 and I420 at 320x240, 640x480 and 1280x1024. A list of
// MJPG items only gives a camera that offers nothing but image/jpeg; a list
// mixing MJPG with raw subtypes counts as any other value.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"

#include <memory>
#include <optional>
#include <string>

inline constexpr char TEST_CAMERA_NAME[] = "Vizor Test Camera";
inline constexpr char TEST_CAMERA_VARIABLE[] = "VIZOR_TEST_CAMERA";

// The caps the test camera advertises for a variable's value; null when the
// variable is unset (no test camera).
GstCapsPtr TestCameraCaps(const char* value);

// Whether the advertised caps are image/jpeg only.
bool IsJpegOnly(const GstCaps* caps);

// The source bin: videotestsrc ! videobalance (named "balance"), then jpegenc
// for a JPEG-only camera; ghost pad "src".
GstElementPtr CreateTestCameraSource(bool bJpeg);

// The colour-balance channels of the test camera's videobalance.
std::shared_ptr<ICameraControls> CreateColorBalanceControls(GstElement* sourceBin);
