#pragma once
// Between the graph's video formats and GStreamer caps.

#include "capture/gst_ptr.h"
#include "capture/media_graph.h"

#include <string>

// Caps for a subtype at a size, any frame rate. "MJPG" is image/jpeg, every
// other subtype a raw format of that name. Null for an empty subtype or a
// size that is not positive.
GstCapsPtr CapsForFormat(const std::string& subtype, LONG width, LONG height);

// The fixed format described by the first structure of fixed caps. False when
// the caps are not a video format we know.
bool FormatFromCaps(const GstCaps* caps, VideoFormat& format);

// The camera's format for a wanted subtype and size: the advertised caps
// narrowed to it, at the highest frame rate the camera gives for it (a USB 2
// camera's large raw sizes run at a few frames a second, its small ones and
// its MJPEG at 30). Null when the camera cannot produce it.
GstCapsPtr FixFormat(const GstCaps* advertised, const std::string& subtype, LONG width,
                     LONG height);
