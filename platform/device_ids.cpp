#include "platform/device_ids.h"

#include <libudev.h>

#include <cctype>
#include <sys/stat.h>
#include <cstring>
#include <memory>

namespace {

struct UdevUnref {
    void operator()(udev* handle) const { udev_unref(handle); }
    void operator()(udev_enumerate* handle) const { udev_enumerate_unref(handle); }
    void operator()(udev_device* handle) const { udev_device_unref(handle); }
};
using UdevPtr = std::unique_ptr<udev, UdevUnref>;
using UdevEnumeratePtr = std::unique_ptr<udev_enumerate, UdevUnref>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevUnref>;

bool IsHex4(const char* value) {
    if (!value || std::strlen(value) != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(value[i])))
            return false;
    }
    return true;
}

class CUdevDeviceIdList final : public IDeviceIdList {
public:
    bool Open() override {
        Close();
        m_pUdev.reset(udev_new());
        return m_pUdev != nullptr;
    }

    bool Scan() override {
        DropList();
        if (!m_pUdev)
            return false;
        m_pEnumerate.reset(udev_enumerate_new(m_pUdev.get()));
        if (!m_pEnumerate || udev_enumerate_scan_devices(m_pEnumerate.get()) < 0) {
            DropList();
            return false;
        }
        // Borrowed from the enumeration, which lives as long as the walk.
        m_pEntry = udev_enumerate_get_list_entry(m_pEnumerate.get());
        return true;
    }

    int Next(std::string& firstId) override {
        firstId.clear();
        if (!m_pEntry || !m_pUdev)
            return -1;
        const char* syspath = udev_list_entry_get_name(m_pEntry);
        m_pEntry = udev_list_entry_get_next(m_pEntry);

        const UdevDevicePtr device(syspath ? udev_device_new_from_syspath(m_pUdev.get(), syspath)
                                           : nullptr);
        if (!device)
            return 0; // gone since the list was made: a device without an id
        const char* devtype = udev_device_get_devtype(device.get());
        if (devtype && std::strcmp(devtype, "usb_device") == 0) {
            firstId = UsbHardwareId(udev_device_get_sysattr_value(device.get(), "idVendor"),
                                    udev_device_get_sysattr_value(device.get(), "idProduct"),
                                    udev_device_get_sysattr_value(device.get(), "bcdDevice"));
        }
        return firstId.empty() ? 0 : 1;
    }

    void Close() override {
        DropList();
        m_pUdev.reset();
    }

private:
    void DropList() {
        m_pEntry = nullptr;
        m_pEnumerate.reset();
    }

    // Declared in the order they are made, so they go in reverse.
    UdevPtr m_pUdev;
    UdevEnumeratePtr m_pEnumerate;
    udev_list_entry* m_pEntry = nullptr;
};

} // namespace

std::unique_ptr<IDeviceIdList> CreateUdevDeviceIdList() {
    return std::make_unique<CUdevDeviceIdList>();
}

std::string UsbHardwareId(const char* idVendor, const char* idProduct, const char* bcdDevice) {
    if (!IsHex4(idVendor) || !IsHex4(idProduct) || !IsHex4(bcdDevice))
        return {};
    // sysfs spells the digits in lower case, as they stand; the matching rule
    // upper-cases the id before it compares.
    return std::string("USB\\VID_") + idVendor + "&PID_" + idProduct + "&REV_" + bcdDevice;
}

std::string StableDeviceId(const std::string& nodePath) {
    struct stat node {};
    if (nodePath.empty() || ::stat(nodePath.c_str(), &node) != 0 || !S_ISCHR(node.st_mode))
        return {};
    const UdevPtr context(udev_new());
    if (!context)
        return {};
    const UdevDevicePtr device(udev_device_new_from_devnum(context.get(), 'c', node.st_rdev));
    if (!device)
        return {};
    // Borrowed from the device.
    if (udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(device.get(), "usb", "usb_device")) {
        const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
        const char* product = udev_device_get_sysattr_value(usb, "idProduct");
        const char* serial = udev_device_get_sysattr_value(usb, "serial");
        const char* port = udev_device_get_sysname(usb);
        if (IsHex4(vendor) && IsHex4(product)) {
            const std::string model = std::string("usb:") + vendor + ":" + product;
            if (serial && *serial)
                return model + ":" + serial;
            if (port && *port)
                return model + "@" + port;
        }
    }
    if (const char* path = udev_device_get_property_value(device.get(), "ID_PATH"))
        return std::string("path:") + path;
    return {};
}
