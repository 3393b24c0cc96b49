#pragma once
// The class string a listed video source carries. The platform's video input
// category held the cameras of its kernel-streaming driver model and never
// held infrared sensors (greyscale only, made for face login) or software
// loopback devices (the virtual camera of streaming software): those carry a
// class of their own here, so the discovery rule takes them only by name.

#include "capture/media_graph.h"

#include <gst/gst.h>

#include <string>

// The V4L2 driver name of the loopback module, as VIDIOC_QUERYCAP gives it.
inline constexpr char V4L2_LOOPBACK_DRIVER[] = "v4l2 loopback";

// True when caps list formats and every one of them is greyscale. Empty or
// ANY caps say nothing about the device: false.
bool OffersOnlyGreyscale(const GstCaps* caps);

// The class of a device of the camera stack with these formats and V4L2
// driver (empty when unknown): KSPROXY_CLSID for a camera, a class of its own
// for a greyscale-only device or the loopback module.
std::string CameraStackClass(const GstCaps* caps, const std::string& strDriver);
