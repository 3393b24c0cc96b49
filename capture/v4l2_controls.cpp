#include "capture/v4l2_controls.h"

#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A device node, open while the controls live; controls may be set while
// another descriptor streams.
class CDeviceNode final : public IV4l2Device {
public:
    explicit CDeviceNode(UniqueFd fd) : m_fd(std::move(fd)) {}

    int Ioctl(unsigned long request, void* arg) override {
        int result;
        do {
            result = ::ioctl(m_fd.Get(), request, arg);
        } while (result < 0 && errno == EINTR);
        return result;
    }

private:
    UniqueFd m_fd;
};

std::string ControlName(const __u8* name, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(name),
                       strnlen(reinterpret_cast<const char*>(name), size));
}

void ReadMenu(IV4l2Device& node, const v4l2_queryctrl& query, CameraControl& control) {
    for (int index = query.minimum; index <= query.maximum; ++index) {
        v4l2_querymenu item{};
        item.id = query.id;
        item.index = static_cast<__u32>(index);
        // Drivers leave holes in a menu: those indexes fail and are skipped.
        if (node.Ioctl(VIDIOC_QUERYMENU, &item) < 0)
            continue;
        if (query.type == V4L2_CTRL_TYPE_MENU)
            control.menuItems.emplace_back(index, ControlName(item.name, sizeof item.name));
        else
            control.menuItems.emplace_back(index, std::to_string(item.value));
    }
}

// The nearest value the control can take: on its step from the minimum,
// within its range.
int SnapToStep(const CameraControl& control, int nValue) {
    const long long step = control.nStep > 0 ? control.nStep : 1;
    long long value = std::clamp<long long>(nValue, control.nMinimum, control.nMaximum);
    value = control.nMinimum + (value - control.nMinimum + step / 2) / step * step;
    if (value > control.nMaximum)
        value -= step;
    return static_cast<int>(value);
}

class CV4l2Controls final : public ICameraControls {
public:
    explicit CV4l2Controls(std::unique_ptr<IV4l2Device> device) : m_pDevice(std::move(device)) {}

    HRESULT GetControls(std::vector<CameraControl>& controls) override {
        controls.clear();
        v4l2_queryctrl query{};
        query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        while (m_pDevice->Ioctl(VIDIOC_QUERYCTRL, &query) == 0) {
            const bool usable =
                !(query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY));
            CameraControl control;
            control.nId = query.id;
            control.strName = ControlName(query.name, sizeof query.name);
            control.nMinimum = query.minimum;
            control.nMaximum = query.maximum;
            control.nStep = query.step > 0 ? query.step : 1;
            control.nDefault = query.default_value;
            control.bInactive = (query.flags & V4L2_CTRL_FLAG_INACTIVE) != 0;
            bool known = true;
            switch (query.type) {
            case V4L2_CTRL_TYPE_INTEGER:
                control.kind = CameraControl::Kind::Integer;
                break;
            case V4L2_CTRL_TYPE_BOOLEAN:
                control.kind = CameraControl::Kind::Boolean;
                break;
            case V4L2_CTRL_TYPE_MENU:
            case V4L2_CTRL_TYPE_INTEGER_MENU:
                control.kind = CameraControl::Kind::Menu;
                break;
            default:
                known = false;
                break; // buttons, classes, strings, compound types
            }
            v4l2_control value{};
            value.id = query.id;
            if (usable && known && m_pDevice->Ioctl(VIDIOC_G_CTRL, &value) == 0) {
                control.nValue = value.value;
                if (control.kind == CameraControl::Kind::Menu)
                    ReadMenu(*m_pDevice, query, control);
                controls.push_back(std::move(control));
            }
            query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        return S_OK;
    }

    HRESULT SetControl(DWORD nId, int nValue) override {
        m_strLastError.clear();
        v4l2_queryctrl query{};
        query.id = nId;
        if (m_pDevice->Ioctl(VIDIOC_QUERYCTRL, &query) == 0 &&
            query.type == V4L2_CTRL_TYPE_INTEGER) {
            CameraControl range;
            range.nMinimum = query.minimum;
            range.nMaximum = query.maximum;
            range.nStep = query.step;
            nValue = SnapToStep(range, nValue);
        }
        v4l2_control control{};
        control.id = nId;
        control.value = nValue;
        if (m_pDevice->Ioctl(VIDIOC_S_CTRL, &control) < 0) {
            const int error = errno;
            Trace("camera controls: VIDIOC_S_CTRL %#x = %d failed: %s", nId, nValue,
                  std::strerror(error));
            m_strLastError =
                ControlName(query.name, sizeof query.name) + ": " +
                (error == EACCES || error == EBUSY ? "the camera does not take this value now"
                                                   : std::strerror(error));
            return error == EINVAL || error == ERANGE ? E_INVALIDARG : E_FAIL;
        }
        return S_OK;
    }

    std::string LastError() const override { return m_strLastError; }

private:
    std::unique_ptr<IV4l2Device> m_pDevice;
    std::string m_strLastError;
};

} // namespace

std::shared_ptr<ICameraControls> CreateV4l2Controls(const std::string& devicePath) {
    UniqueFd fd(::open(devicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        Trace("camera controls: cannot open %s: %s", devicePath.c_str(), std::strerror(errno));
        return nullptr;
    }
    return CreateV4l2Controls(std::make_unique<CDeviceNode>(std::move(fd)));
}

std::shared_ptr<ICameraControls> CreateV4l2Controls(std::unique_ptr<IV4l2Device> device) {
    return device ? std::make_shared<CV4l2Controls>(std::move(device)) : nullptr;
}
