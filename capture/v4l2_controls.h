#pragma once
// The controls of a V4L2 camera, read and set on its device node while the
// camera streams. Disabled and read-only controls are left out.

#include "capture/media_graph.h"

#include <memory>
#include <string>

std::shared_ptr<ICameraControls> CreateV4l2Controls(const std::string& devicePath);
