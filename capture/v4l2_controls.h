#pragma once
// The controls of a V4L2 camera, read and set on its device node, with or
// without a stream (another program may be streaming it). The user-class
// controls make the picture page, the camera-class controls the camera page;
// disabled controls and those of other classes are left out, read-only ones
// are listed as such, and so are the controls the driver marks inactive (a
// manual value while its auto mode is on). The driver's change events of
// every listed control are followed while someone watches.

#include "capture/media_graph.h"

#include <functional>
#include <memory>
#include <string>

// The device node behind the controls: the ioctl calls and the readiness of
// its events, so that tests can script a driver.
class IV4l2Device {
public:
    virtual ~IV4l2Device() = default;
    // As ioctl(2): 0, or -1 with errno set.
    virtual int Ioctl(unsigned long request, void* arg) = 0;
    // onPending runs on this thread whenever events wait to be dequeued; null
    // stops it.
    virtual void WatchEvents(std::function<void()> onPending) = 0;
};

// Opens the node once, for as long as the controls live (the settings dialog
// holds them while it is open). Null when the node cannot be opened.
std::shared_ptr<ICameraControls> CreateV4l2Controls(const std::string& devicePath);
std::shared_ptr<ICameraControls> CreateV4l2Controls(std::unique_ptr<IV4l2Device> device);
