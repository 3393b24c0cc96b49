#include "platform/device_ids.h"

#include <libudev.h>

#include <cctype>
#include <cstring>

namespace {

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
    ~CUdevDeviceIdList() override { Close(); }

    bool Open() override {
        Close();
        m_pUdev = udev_new();
        return m_pUdev != nullptr;
    }

    bool Scan() override {
        DropList();
        if (!m_pUdev)
            return false;
        m_pEnumerate = udev_enumerate_new(m_pUdev);
        if (!m_pEnumerate || udev_enumerate_scan_devices(m_pEnumerate) < 0) {
            DropList();
            return false;
        }
        m_pEntry = udev_enumerate_get_list_entry(m_pEnumerate);
        return true;
    }

    int Next(std::string& firstId) override {
        firstId.clear();
        if (!m_pEntry || !m_pUdev)
            return -1;
        const char* syspath = udev_list_entry_get_name(m_pEntry);
        m_pEntry = udev_list_entry_get_next(m_pEntry);

        udev_device* device = syspath ? udev_device_new_from_syspath(m_pUdev, syspath) : nullptr;
        if (!device)
            return 0; // gone since the list was made: a device without an id
        const char* devtype = udev_device_get_devtype(device);
        if (devtype && std::strcmp(devtype, "usb_device") == 0) {
            firstId = UsbHardwareId(udev_device_get_sysattr_value(device, "idVendor"),
                                    udev_device_get_sysattr_value(device, "idProduct"),
                                    udev_device_get_sysattr_value(device, "bcdDevice"));
        }
        udev_device_unref(device);
        return firstId.empty() ? 0 : 1;
    }

    void Close() override {
        DropList();
        if (m_pUdev)
            udev_unref(m_pUdev);
        m_pUdev = nullptr;
    }

private:
    void DropList() {
        m_pEntry = nullptr;
        if (m_pEnumerate)
            udev_enumerate_unref(m_pEnumerate);
        m_pEnumerate = nullptr;
    }

    udev* m_pUdev = nullptr;
    udev_enumerate* m_pEnumerate = nullptr;
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
