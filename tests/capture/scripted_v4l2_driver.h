#pragma once
// A UVC-like driver behind the ioctl seam: brightness on a step of 5, a
// read-only value, a button, a control of another class, auto exposure
// (a menu) governing the exposure time, auto white balance governing the
// colour temperature, which refuses every value written while the test says
// so, and an integer menu. Values of the camera class go through the extended
// calls only, as on drivers that predate the control framework. Events are
// queued and announced when the test says.

#include "capture/v4l2_controls.h"

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

constexpr int AUTO_MANUAL = V4L2_EXPOSURE_MANUAL;
constexpr int AUTO_APERTURE = V4L2_EXPOSURE_APERTURE_PRIORITY;
constexpr __u32 CID_OTHER_CLASS = V4L2_CID_MPEG_VIDEO_BITRATE;

struct ScriptedDriver {
    struct Control {
        v4l2_queryctrl query{};
        int value = 0;
        std::map<int, const char*> menu;
        std::map<int, long long> integerMenu;
    };
    std::map<__u32, Control> controls;
    // (id, value) of every value the driver took, in order.
    std::vector<std::pair<__u32, int>> written;
    bool bRefuseTemperature = false;
    std::deque<v4l2_event> events;
    std::vector<__u32> subscribed;
    std::function<void()> onPending;

    ScriptedDriver() {
        Add(V4L2_CID_BRIGHTNESS, "BRIGHTNESS", V4L2_CTRL_TYPE_INTEGER, 0, 255, 5, 125);
        Add(V4L2_CID_AUTO_WHITE_BALANCE, "White Balance, Automatic", V4L2_CTRL_TYPE_BOOLEAN, 0, 1,
            1, 1);
        Add(V4L2_CID_WHITE_BALANCE_TEMPERATURE, "White Balance Temperature", V4L2_CTRL_TYPE_INTEGER,
            2800, 6500, 10, 4600)
            .query.flags = V4L2_CTRL_FLAG_INACTIVE;
        Add(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", V4L2_CTRL_TYPE_MENU, 0, 2, 1, 1)
            .menu = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
        Add(V4L2_CID_BAND_STOP_FILTER, "Band Stop Filter", V4L2_CTRL_TYPE_INTEGER, 0, 10, 1, 3)
            .query.flags = V4L2_CTRL_FLAG_READ_ONLY;
        Add(V4L2_CID_EXPOSURE_AUTO, "Auto Exposure", V4L2_CTRL_TYPE_MENU, 0, 3, 1, AUTO_APERTURE)
            .menu = {{AUTO_MANUAL, "Manual Mode"}, {AUTO_APERTURE, "Aperture Priority Mode"}};
        Add(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", V4L2_CTRL_TYPE_INTEGER, 3, 2047,
            1, 250)
            .query.flags = V4L2_CTRL_FLAG_INACTIVE;
        Add(V4L2_CID_PAN_RESET, "Pan, Reset", V4L2_CTRL_TYPE_BUTTON, 0, 0, 0, 0);
        Add(V4L2_CID_ZOOM_ABSOLUTE, "Zoom, Absolute", V4L2_CTRL_TYPE_INTEGER_MENU, 0, 1, 1, 0)
            .integerMenu = {{0, 100}, {1, 200}};
        Add(CID_OTHER_CLASS, "Video Bitrate", V4L2_CTRL_TYPE_INTEGER, 0, 100, 1, 10);
    }

    Control& Add(__u32 id, const char* name, v4l2_ctrl_type type, int min, int max, int step,
                 int value) {
        Control& c = controls[id];
        c.query.id = id;
        std::strncpy(reinterpret_cast<char*>(c.query.name), name, sizeof c.query.name - 1);
        c.query.type = type;
        c.query.minimum = min;
        c.query.maximum = max;
        c.query.step = static_cast<__u32>(step);
        c.query.default_value = value;
        c.value = value;
        return c;
    }

    // What the camera does on its own: a new value and flags, told as an
    // event of that control.
    void Change(__u32 id, int value) {
        controls.at(id).value = value;
        v4l2_event event{};
        event.type = V4L2_EVENT_CTRL;
        event.id = id;
        event.u.ctrl.changes = V4L2_EVENT_CTRL_CH_VALUE;
        event.u.ctrl.value = value;
        events.push_back(event);
        if (onPending)
            onPending();
    }

    static int Fail(int error) {
        errno = error;
        return -1;
    }

    int Set(__u32 id, int value) {
        const auto it = controls.find(id);
        if (it == controls.end() || (it->second.query.flags & V4L2_CTRL_FLAG_READ_ONLY))
            return Fail(EINVAL);
        if (id == V4L2_CID_WHITE_BALANCE_TEMPERATURE && bRefuseTemperature)
            return Fail(EBUSY);
        if (value < it->second.query.minimum || value > it->second.query.maximum)
            return Fail(ERANGE);
        written.emplace_back(id, value);
        it->second.value = value;
        auto govern = [&](__u32 manual, bool bManual) {
            controls.at(manual).query.flags = bManual ? 0 : V4L2_CTRL_FLAG_INACTIVE;
        };
        if (id == V4L2_CID_EXPOSURE_AUTO)
            govern(V4L2_CID_EXPOSURE_ABSOLUTE, value == AUTO_MANUAL);
        if (id == V4L2_CID_AUTO_WHITE_BALANCE)
            govern(V4L2_CID_WHITE_BALANCE_TEMPERATURE, value == 0);
        return 0;
    }

    int Ioctl(unsigned long request, void* arg) {
        switch (request) {
        case VIDIOC_QUERYCTRL: {
            auto* q = static_cast<v4l2_queryctrl*>(arg);
            auto it = controls.end();
            if (q->id & V4L2_CTRL_FLAG_NEXT_CTRL)
                it = controls.upper_bound(
                    q->id & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND));
            else
                it = controls.find(q->id);
            if (it == controls.end())
                return Fail(EINVAL);
            *q = it->second.query;
            return 0;
        }
        case VIDIOC_QUERYMENU: {
            auto* m = static_cast<v4l2_querymenu*>(arg);
            const Control& c = controls.at(m->id);
            const int index = static_cast<int>(m->index);
            if (c.menu.count(index)) {
                std::strncpy(reinterpret_cast<char*>(m->name), c.menu.at(index),
                             sizeof m->name - 1);
                return 0;
            }
            if (c.integerMenu.count(index)) {
                m->value = c.integerMenu.at(index);
                return 0;
            }
            return Fail(EINVAL);
        }
        case VIDIOC_G_CTRL:
        case VIDIOC_S_CTRL: {
            auto* c = static_cast<v4l2_control*>(arg);
            if (V4L2_CTRL_ID2CLASS(c->id) != V4L2_CTRL_CLASS_USER || !controls.count(c->id))
                return Fail(EINVAL);
            if (request == VIDIOC_S_CTRL)
                return Set(c->id, c->value);
            c->value = controls.at(c->id).value;
            return 0;
        }
        case VIDIOC_G_EXT_CTRLS:
        case VIDIOC_S_EXT_CTRLS: {
            auto* list = static_cast<v4l2_ext_controls*>(arg);
            if (list->count != 1 || !controls.count(list->controls[0].id))
                return Fail(EINVAL);
            v4l2_ext_control& c = list->controls[0];
            if (request == VIDIOC_S_EXT_CTRLS)
                return Set(c.id, c.value);
            c.value = controls.at(c.id).value;
            return 0;
        }
        case VIDIOC_SUBSCRIBE_EVENT:
            subscribed.push_back(static_cast<v4l2_event_subscription*>(arg)->id);
            return 0;
        case VIDIOC_UNSUBSCRIBE_EVENT:
            subscribed.clear();
            return 0;
        case VIDIOC_DQEVENT:
            if (events.empty())
                return Fail(ENOENT);
            *static_cast<v4l2_event*>(arg) = events.front();
            events.pop_front();
            return 0;
        default:
            return Fail(ENOTTY);
        }
    }
};

class ScriptedDevice final : public IV4l2Device {
public:
    explicit ScriptedDevice(ScriptedDriver& driver) : m_driver(driver) {}
    int Ioctl(unsigned long request, void* arg) override { return m_driver.Ioctl(request, arg); }
    void WatchEvents(std::function<void()> onPending) override {
        m_driver.onPending = std::move(onPending);
    }

private:
    ScriptedDriver& m_driver;
};

inline std::shared_ptr<ICameraControls> ScriptedControls(ScriptedDriver& driver) {
    return CreateV4l2Controls(std::make_unique<ScriptedDevice>(driver));
}
