#pragma once
// The renderer where no sink can draw by itself (Qt's offscreen platform, or
// a session whose sink is missing): an appsink keeps only the latest frame,
// already converted to top-down BGRx at the surface's size, and the surface
// paints it as it is on the UI thread.

#include "capture/video_renderer.h"

std::unique_ptr<CVideoRenderer> CreatePaintedRenderer();
