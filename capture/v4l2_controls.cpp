#include "capture/v4l2_controls.h"

#include "capture/camera_control_model.h"
#include "platform/localized_texts.h"
#include "platform/posix_handles.h"
#include "platform/trace.h"

#include <QSocketNotifier>

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

    // A V4L2 node signals pending events as priority data (POLLPRI), which
    // is what an exception notifier waits for; buffers, which this
    // descriptor never queues, would come as readable.
    void WatchEvents(std::function<void()> onPending) override {
        m_pNotifier.reset();
        if (!onPending)
            return;
        m_pNotifier = std::make_unique<QSocketNotifier>(m_fd.Get(), QSocketNotifier::Exception);
        QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, m_pNotifier.get(),
                         [onPending = std::move(onPending)] { onPending(); });
    }

private:
    UniqueFd m_fd;
    std::unique_ptr<QSocketNotifier> m_pNotifier; // goes before the descriptor
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
int SnapToStep(const v4l2_queryctrl& query, int nValue) {
    const long long step = query.step > 0 ? query.step : 1;
    long long value = std::clamp<long long>(nValue, query.minimum, query.maximum);
    value = query.minimum + (value - query.minimum + step / 2) / step * step;
    if (value > query.maximum)
        value -= step;
    return static_cast<int>(value);
}

bool KindOf(__u32 type, CameraControl::Kind& kind) {
    switch (type) {
    case V4L2_CTRL_TYPE_INTEGER:
        kind = CameraControl::Kind::Integer;
        return true;
    case V4L2_CTRL_TYPE_BOOLEAN:
        kind = CameraControl::Kind::Boolean;
        return true;
    case V4L2_CTRL_TYPE_MENU:
    case V4L2_CTRL_TYPE_INTEGER_MENU:
        kind = CameraControl::Kind::Menu;
        return true;
    case V4L2_CTRL_TYPE_BUTTON:
        kind = CameraControl::Kind::Button;
        return true;
    default:
        return false; // class headers, 64-bit values, strings, compound types
    }
}

bool PageOf(__u32 id, CameraControl::Page& page) {
    switch (V4L2_CTRL_ID2CLASS(id)) {
    case V4L2_CTRL_CLASS_USER:
        page = CameraControl::Page::Picture;
        return true;
    case V4L2_CTRL_CLASS_CAMERA:
        page = CameraControl::Page::Camera;
        return true;
    default:
        return false;
    }
}

class CV4l2Controls final : public ICameraControls {
public:
    explicit CV4l2Controls(std::unique_ptr<IV4l2Device> device) : m_pDevice(std::move(device)) {}
    ~CV4l2Controls() override { WatchChanges(nullptr); }

    HRESULT GetControls(std::vector<CameraControl>& controls) override {
        controls.clear();
        v4l2_queryctrl query{};
        query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        while (m_pDevice->Ioctl(VIDIOC_QUERYCTRL, &query) == 0) {
            CameraControl control;
            if (Describe(query, control))
                controls.push_back(std::move(control));
            query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
        }
        PairAutoControls(controls);
        return S_OK;
    }

    HRESULT SetControl(DWORD nId, int nValue) override {
        m_strLastError.clear();
        v4l2_queryctrl query{};
        query.id = nId;
        const bool known = m_pDevice->Ioctl(VIDIOC_QUERYCTRL, &query) == 0;
        if (known && query.type == V4L2_CTRL_TYPE_INTEGER)
            nValue = SnapToStep(query, nValue);
        if (WriteValue(nId, nValue) < 0) {
            const int error = errno;
            Trace("camera controls: setting %#x to %d failed: %s", nId, nValue,
                  std::strerror(error));
            m_strLastError = ReadableControlName(ControlName(query.name, sizeof query.name)) +
                             ": " +
                             (error == EACCES || error == EBUSY ? LocalizedText(TextId::ValueNotNow)
                                                                : std::strerror(error));
            return error == EINVAL || error == ERANGE ? E_INVALIDARG : E_FAIL;
        }
        return S_OK;
    }

    std::string LastError() const override { return m_strLastError; }

    // Every listed control reports its changes; the events are drained at
    // once and told as one change.
    void WatchChanges(std::function<void()> onChange) override {
        if (m_bSubscribed) {
            v4l2_event_subscription all{};
            all.type = V4L2_EVENT_ALL;
            m_pDevice->Ioctl(VIDIOC_UNSUBSCRIBE_EVENT, &all);
            m_bSubscribed = false;
        }
        m_pDevice->WatchEvents(nullptr);
        m_onChange = std::move(onChange);
        if (!m_onChange)
            return;
        std::vector<CameraControl> controls;
        GetControls(controls);
        for (const CameraControl& control : controls) {
            v4l2_event_subscription subscription{};
            subscription.type = V4L2_EVENT_CTRL;
            subscription.id = control.nId;
            if (m_pDevice->Ioctl(VIDIOC_SUBSCRIBE_EVENT, &subscription) == 0)
                m_bSubscribed = true;
        }
        if (m_bSubscribed)
            m_pDevice->WatchEvents([this] { DrainEvents(); });
    }

private:
    bool Describe(const v4l2_queryctrl& query, CameraControl& control) {
        if ((query.flags & V4L2_CTRL_FLAG_DISABLED) || !KindOf(query.type, control.kind) ||
            !PageOf(query.id, control.page))
            return false;
        control.nId = query.id;
        control.strName = ReadableControlName(ControlName(query.name, sizeof query.name));
        control.nMinimum = query.minimum;
        control.nMaximum = query.maximum;
        control.nStep = query.step > 0 ? static_cast<int>(query.step) : 1;
        control.nDefault = query.default_value;
        control.nValue = query.default_value;
        control.bInactive = (query.flags & V4L2_CTRL_FLAG_INACTIVE) != 0;
        control.bReadOnly = (query.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0;
        if (control.kind == CameraControl::Kind::Button)
            return true;
        // A write-only control has no value to read: it shows its default.
        if (!(query.flags & V4L2_CTRL_FLAG_WRITE_ONLY) && ReadValue(query.id, control.nValue) < 0)
            return false;
        if (control.kind == CameraControl::Kind::Menu)
            ReadMenu(*m_pDevice, query, control);
        return true;
    }

    // The user class answers the old calls; the other classes need the
    // extended ones on drivers that predate the control framework.
    int ReadValue(__u32 id, int& value) {
        if (V4L2_CTRL_ID2CLASS(id) == V4L2_CTRL_CLASS_USER) {
            v4l2_control control{};
            control.id = id;
            const int result = m_pDevice->Ioctl(VIDIOC_G_CTRL, &control);
            value = control.value;
            return result;
        }
        v4l2_ext_control control{};
        control.id = id;
        v4l2_ext_controls list{};
        list.which = V4L2_CTRL_ID2WHICH(id);
        list.count = 1;
        list.controls = &control;
        const int result = m_pDevice->Ioctl(VIDIOC_G_EXT_CTRLS, &list);
        value = control.value;
        return result;
    }

    int WriteValue(__u32 id, int value) {
        if (V4L2_CTRL_ID2CLASS(id) == V4L2_CTRL_CLASS_USER) {
            v4l2_control control{};
            control.id = id;
            control.value = value;
            return m_pDevice->Ioctl(VIDIOC_S_CTRL, &control);
        }
        v4l2_ext_control control{};
        control.id = id;
        control.value = value;
        v4l2_ext_controls list{};
        list.which = V4L2_CTRL_ID2WHICH(id);
        list.count = 1;
        list.controls = &control;
        return m_pDevice->Ioctl(VIDIOC_S_EXT_CTRLS, &list);
    }

    void DrainEvents() {
        bool changed = false;
        v4l2_event event{};
        while (m_pDevice->Ioctl(VIDIOC_DQEVENT, &event) == 0) {
            changed = changed || event.type == V4L2_EVENT_CTRL;
            event = v4l2_event{};
        }
        if (changed && m_onChange)
            m_onChange();
    }

    std::unique_ptr<IV4l2Device> m_pDevice;
    std::string m_strLastError;
    std::function<void()> m_onChange;
    bool m_bSubscribed = false;
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
