#pragma once
// The hardware ids of the devices present in the system, from udev: a USB
// device's first id is "USB\VID_xxxx&PID_xxxx&REV_xxxx" from its idVendor,
// idProduct and bcdDevice attributes. Devices of other buses have none here.

#include <memory>
#include <string>

// One walk over the present devices; the matching rule belongs to the caller.
class IDeviceIdList {
public:
    virtual ~IDeviceIdList() = default;
    // Loads the device service; false when it is unavailable.
    virtual bool Open() = 0;
    // Starts a walk over the devices present now; false when the list cannot
    // be made. Each call starts from the first device again.
    virtual bool Scan() = 0;
    // The next device: 1 with its first hardware id, 0 for a device without
    // one, -1 at the end of the list.
    virtual int Next(std::string& firstId) = 0;
    // Frees the list and the device service. Open may be called again.
    virtual void Close() = 0;
};

// The system's present devices through libudev.
std::unique_ptr<IDeviceIdList> CreateUdevDeviceIdList();

// The first hardware id of a USB device from its attributes; empty when an
// attribute is missing or not the four hex digits a USB id has.
std::string UsbHardwareId(const char* idVendor, const char* idProduct, const char* bcdDevice);

// A name for the device behind a character device node (/dev/video0) that
// stays the same across replugs and restarts: "usb:VVVV:PPPP:SERIAL" for a USB
// device with a serial number, "usb:VVVV:PPPP@PORT" without one (so two of one
// model are told apart by the port they are in), else "path:" and the udev
// bus path. Empty when udev knows nothing of the node.
std::string StableDeviceId(const std::string& nodePath);
