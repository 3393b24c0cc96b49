#pragma once
// The renderer of X11 sessions: GStreamer's ximagesink puts each frame the
// conversion wrote into shared memory straight into the surface's own native
// window. Null when the sink is not installed.

#include "capture/video_renderer.h"

std::unique_ptr<CVideoRenderer> CreateX11ImageRenderer();
