#pragma once
// The renderer of Wayland sessions: GStreamer's waylandsink on a subsurface of
// the window, over the preview host, on the window's own connection. Null
// when the session's display is not at hand; the caller then paints.

#include "capture/video_renderer.h"

std::unique_ptr<CVideoRenderer> CreateWaylandRenderer();
