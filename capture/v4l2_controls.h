#pragma once
// The controls of a V4L2 camera, read and set on its device node while the
// camera streams. Disabled and read-only controls are left out; controls the
// driver marks inactive (a manual value while its auto mode is on) are listed
// as such.

#include "capture/media_graph.h"

#include <memory>
#include <string>

// The device node behind the controls: the ioctl calls, so that tests can
// script a driver.
class IV4l2Device {
public:
    virtual ~IV4l2Device() = default;
    // As ioctl(2): 0, or -1 with errno set.
    virtual int Ioctl(unsigned long request, void* arg) = 0;
};

// Opens the node once, for as long as the controls live (the settings dialog
// holds them while it is open). Null when the node cannot be opened.
std::shared_ptr<ICameraControls> CreateV4l2Controls(const std::string& devicePath);
std::shared_ptr<ICameraControls> CreateV4l2Controls(std::unique_ptr<IV4l2Device> device);
