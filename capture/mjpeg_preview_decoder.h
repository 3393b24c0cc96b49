#pragma once
// The preview's decoder for JPEG cameras, as a GStreamer element: each frame
// is decoded by libjpeg-turbo at the smallest DCT scale that still covers the
// size downstream asks for, straight to that size in a four-byte RGB format
// the display takes (BGRx, RGBx, xBGR or xRGB): no planar YUV, no second
// conversion. A frame that does not decode whole is dropped, so the sink
// keeps showing the previous one.

#include "capture/gst_ptr.h"

// A new decoder element, owned.
GstElementPtr MakeMjpegPreviewDecoder();
