#include "capture/v4l2_controls.h"

#include "platform/trace.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A device node open for the length of one call; controls may be set while
// another descriptor streams.
class CDeviceNode {
public:
    explicit CDeviceNode(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) {
        if (m_fd < 0)
            Trace("camera controls: cannot open %s: %s", path.c_str(), std::strerror(errno));
    }
    ~CDeviceNode() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CDeviceNode(const CDeviceNode&) = delete;
    CDeviceNode& operator=(const CDeviceNode&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    int Ioctl(unsigned long request, void* arg) const {
        int result;
        do {
            result = ::ioctl(m_fd, request, arg);
        } while (result < 0 && errno == EINTR);
        return result;
    }

private:
    int m_fd;
};

std::string ControlName(const __u8* name, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(name),
                       strnlen(reinterpret_cast<const char*>(name), size));
}

void ReadMenu(const CDeviceNode& node, const v4l2_queryctrl& query, CameraControl& control) {
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

class CV4l2Controls final : public ICameraControls {
public:
    explicit CV4l2Controls(std::string path) : m_strPath(std::move(path)) {}

    HRESULT GetControls(std::vector<CameraControl>& controls) override {
        controls.clear();
        CDeviceNode node(m_strPath);
        if (!node.IsOpen())
            return E_FAIL;
        v4l2_queryctrl query{};
        query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        while (node.Ioctl(VIDIOC_QUERYCTRL, &query) == 0) {
            const bool usable =
                !(query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY));
            CameraControl control;
            control.nId = query.id;
            control.strName = ControlName(query.name, sizeof query.name);
            control.nMinimum = query.minimum;
            control.nMaximum = query.maximum;
            control.nStep = query.step > 0 ? query.step : 1;
            control.nDefault = query.default_value;
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
            if (usable && known && node.Ioctl(VIDIOC_G_CTRL, &value) == 0) {
                control.nValue = value.value;
                if (control.kind == CameraControl::Kind::Menu)
                    ReadMenu(node, query, control);
                controls.push_back(std::move(control));
            }
            query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        return S_OK;
    }

    HRESULT SetControl(DWORD nId, int nValue) override {
        CDeviceNode node(m_strPath);
        if (!node.IsOpen())
            return E_FAIL;
        v4l2_control control{};
        control.id = nId;
        control.value = nValue;
        if (node.Ioctl(VIDIOC_S_CTRL, &control) < 0) {
            Trace("camera controls: VIDIOC_S_CTRL %#x = %d failed: %s", nId, nValue,
                  std::strerror(errno));
            return errno == EINVAL || errno == ERANGE ? E_INVALIDARG : E_FAIL;
        }
        return S_OK;
    }

private:
    std::string m_strPath;
};

} // namespace

std::shared_ptr<ICameraControls> CreateV4l2Controls(const std::string& devicePath) {
    return std::make_shared<CV4l2Controls>(devicePath);
}
