#pragma once
// The media graph service on GStreamer: cameras from GstDeviceMonitor
// ("Video/Source"), the built-in test camera when VIZOR_TEST_CAMERA is set,
// and graphs built of GStreamer elements.

#include "capture/media_graph.h"

#include <memory>

// Initialises GStreamer once for the process.
void InitGStreamer();

std::unique_ptr<IMediaGraphService> CreateGstMediaGraphService();
