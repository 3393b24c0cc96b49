#pragma once
// A camera source may change its frame size while it streams without saying
// so: PipeWire's GStreamer source (0.3.65, Debian 12) keeps the caps it
// connected with when the producer renegotiates, and the frames that follow
// are smaller or larger than those caps describe. Every element after it
// then refuses them (the preview stops, a snapshot finds no frame). The watch
// sits on the camera's output and describes such frames again, so that the
// frame's own size travels downstream in its caps.

#include "capture/gst_ptr.h"

// The caps of a raw frame of bufferSize bytes when caps (raw video) describe
// frames of another size: the same format and aspect ratio at the one size
// whose frames have exactly that many bytes. Null when caps already fit,
// describe no raw video, or no such size exists.
GstCapsPtr CapsForFrameBytes(GstCaps* caps, gsize bufferSize);

// Puts the watch on pad (the camera's source pad, streaming thread): before
// a frame that the current caps do not describe, the caps that do are sent
// downstream. Costs a pointer and a size comparison per frame otherwise.
void WatchFrameSizes(GstPad* pad);
