#pragma once
// Choosing the camera among the video input devices.

#include "capture/media_graph.h"

#include <memory>

// Friendly names of the camera models taken whatever their class.
inline constexpr const char* PREFERRED_CAMERA_NAMES[] = {
    "Nimbrel Roundcam",
    "USB2.0 Imager",
    "OrvelCam, TK Max",
};

// Walks the devices in the service's order and creates the filter of the first
// one whose "FriendlyName" is a preferred name or whose "CLSID" is the camera
// stack's class; both comparisons exact. *ppFilter is null unless a filter was
// created. A null ppFilter returns at once.
void FindCameraFilter(IMediaGraphService& service, std::shared_ptr<ICaptureFilter>* ppFilter);
