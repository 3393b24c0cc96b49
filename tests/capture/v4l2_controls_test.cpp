// Camera controls against a scripted V4L2 driver: values on the control's
// step, manual controls inactive while their auto mode is on, refusals shown
// with their reason and the real value, on the controls and in the dialog.

#include "capture/camera_properties.h"
#include "capture/v4l2_controls.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>
#include <map>

namespace {

constexpr int AUTO_MANUAL = V4L2_EXPOSURE_MANUAL;
constexpr int AUTO_APERTURE = V4L2_EXPOSURE_APERTURE_PRIORITY;

// A UVC-like driver: brightness on a step of 5, exposure inactive while auto
// exposure is on, a white balance temperature that refuses every value.
struct Driver {
    struct Control {
        v4l2_queryctrl query{};
        int value = 0;
        std::map<int, const char*> menu;
        bool bRefuses = false;
    };
    std::map<__u32, Control> controls;
    std::vector<int> written;

    Driver() {
        Add(V4L2_CID_BRIGHTNESS, "Brightness", V4L2_CTRL_TYPE_INTEGER, 0, 255, 5, 128);
        Add(V4L2_CID_EXPOSURE_AUTO, "Auto Exposure", V4L2_CTRL_TYPE_MENU, 0, 3, 1, AUTO_APERTURE)
            .menu = {{AUTO_MANUAL, "Manual Mode"}, {AUTO_APERTURE, "Aperture Priority Mode"}};
        Add(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", V4L2_CTRL_TYPE_INTEGER, 3, 2047,
            1, 250)
            .query.flags = V4L2_CTRL_FLAG_INACTIVE;
        Add(V4L2_CID_WHITE_BALANCE_TEMPERATURE, "White Balance Temperature", V4L2_CTRL_TYPE_INTEGER,
            2800, 6500, 10, 4600)
            .bRefuses = true;
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
        c.value = value;
        return c;
    }

    static int Fail(int error) {
        errno = error;
        return -1;
    }

    int Ioctl(unsigned long request, void* arg) {
        if (request == VIDIOC_QUERYCTRL) {
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
        if (request == VIDIOC_QUERYMENU) {
            auto* m = static_cast<v4l2_querymenu*>(arg);
            const auto& menu = controls.at(m->id).menu;
            const auto item = menu.find(static_cast<int>(m->index));
            if (item == menu.end())
                return Fail(EINVAL);
            std::strncpy(reinterpret_cast<char*>(m->name), item->second, sizeof m->name - 1);
            return 0;
        }
        auto* c = static_cast<v4l2_control*>(arg);
        const auto it = controls.find(c->id);
        if (it == controls.end())
            return Fail(EINVAL);
        if (request == VIDIOC_G_CTRL) {
            c->value = it->second.value;
            return 0;
        }
        if (request == VIDIOC_S_CTRL) {
            if (it->second.bRefuses)
                return Fail(EBUSY);
            written.push_back(c->value);
            it->second.value = c->value;
            if (c->id == V4L2_CID_EXPOSURE_AUTO) {
                auto& flags = controls.at(V4L2_CID_EXPOSURE_ABSOLUTE).query.flags;
                flags = c->value == AUTO_MANUAL ? 0 : V4L2_CTRL_FLAG_INACTIVE;
            }
            return 0;
        }
        return Fail(ENOTTY);
    }
};

class ScriptedDevice final : public IV4l2Device {
public:
    explicit ScriptedDevice(Driver& driver) : m_driver(driver) {}
    int Ioctl(unsigned long request, void* arg) override { return m_driver.Ioctl(request, arg); }

private:
    Driver& m_driver;
};

const CameraControl* Find(const std::vector<CameraControl>& list, DWORD id) {
    for (const CameraControl& c : list)
        if (c.nId == id)
            return &c;
    return nullptr;
}

TEST(V4l2Controls, ValuesSnapToTheStepAndStayInRange) {
    Driver driver;
    auto controls = CreateV4l2Controls(std::make_unique<ScriptedDevice>(driver));
    for (int asked : {102, 103, 300, -4})
        EXPECT_EQ(controls->SetControl(V4L2_CID_BRIGHTNESS, asked), S_OK);
    EXPECT_EQ(driver.written, (std::vector<int>{100, 105, 255, 0}));
}

TEST(V4l2Controls, ManualExposureIsInactiveUntilAutoExposureIsOff) {
    Driver driver;
    auto controls = CreateV4l2Controls(std::make_unique<ScriptedDevice>(driver));
    std::vector<CameraControl> list;
    ASSERT_EQ(controls->GetControls(list), S_OK);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_TRUE(Find(list, V4L2_CID_EXPOSURE_ABSOLUTE)->bInactive);
    EXPECT_EQ(Find(list, V4L2_CID_EXPOSURE_AUTO)->menuItems.size(), 2u);

    ASSERT_EQ(controls->SetControl(V4L2_CID_EXPOSURE_AUTO, AUTO_MANUAL), S_OK);
    ASSERT_EQ(controls->GetControls(list), S_OK);
    EXPECT_FALSE(Find(list, V4L2_CID_EXPOSURE_ABSOLUTE)->bInactive);
}

TEST(V4l2Controls, RefusedValueSaysWhyAndTheCameraKeepsItsValue) {
    Driver driver;
    auto controls = CreateV4l2Controls(std::make_unique<ScriptedDevice>(driver));
    EXPECT_LT(controls->SetControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 3000), 0);
    EXPECT_NE(controls->LastError().find("White Balance Temperature"), std::string::npos);
    std::vector<CameraControl> list;
    ASSERT_EQ(controls->GetControls(list), S_OK);
    EXPECT_EQ(Find(list, V4L2_CID_WHITE_BALANCE_TEMPERATURE)->nValue, 4600);
    EXPECT_EQ(controls->SetControl(V4L2_CID_BRIGHTNESS, 50), S_OK);
    EXPECT_EQ(controls->LastError(), "");
}

// The dialog follows the driver: switching auto exposure off enables the
// exposure slider, and a refused value springs back with the reason shown.
TEST(CameraControlsDialog, FollowsInactiveStateAndShowsRefusals) {
    Driver driver;
    CCameraPropertiesDlg dialog(nullptr, "Cam",
                                CreateV4l2Controls(std::make_unique<ScriptedDevice>(driver)));
    auto* exposure = dialog.findChild<QSlider*>("Exposure Time, Absolute");
    auto* autoExposure = dialog.findChild<QComboBox*>("Auto Exposure");
    auto* white = dialog.findChild<QSlider*>("White Balance Temperature");
    auto* status = dialog.findChild<QLabel*>("controlStatus");
    ASSERT_TRUE(exposure && autoExposure && white && status);
    EXPECT_FALSE(exposure->isEnabled());

    emit autoExposure->activated(autoExposure->findData(AUTO_MANUAL));
    EXPECT_TRUE(exposure->isEnabled());

    white->setValue(3000);
    EXPECT_EQ(white->value(), 4600);
    EXPECT_TRUE(status->text().contains("White Balance Temperature"));
}

} // namespace
