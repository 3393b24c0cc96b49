// Camera controls against a scripted V4L2 driver: the two pages with menus
// by name, values on the control's step, refusals shown with their reason and
// the real value, and auto modes beside their manual controls, following the
// driver's events, on the controls and in the dialog.

#include "capture/camera_control_model.h"
#include "capture/camera_properties.h"
#include "platform/localized_texts.h"
#include "scripted_v4l2_driver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

TEST(V4l2Controls, ControlsComeOnTheirPagesWithMenusByName) {
    ScriptedDriver driver;
    auto controls = ScriptedControls(driver);
    std::vector<CameraControl> list;
    ASSERT_EQ(controls->GetControls(list), S_OK);
    // Every control of the user and camera classes, none of another class.
    ASSERT_EQ(list.size(), driver.controls.size() - 1);
    EXPECT_EQ(FindControl(list, CID_OTHER_CLASS), nullptr);

    const CameraControl* brightness = FindControl(list, V4L2_CID_BRIGHTNESS);
    EXPECT_EQ(brightness->strName, "Brightness");
    EXPECT_EQ(brightness->page, CameraControl::Page::Picture);
    const CameraControl* exposure = FindControl(list, V4L2_CID_EXPOSURE_ABSOLUTE);
    EXPECT_EQ(exposure->page, CameraControl::Page::Camera);
    EXPECT_EQ(exposure->nValue, 250); // read through the extended calls
    EXPECT_TRUE(FindControl(list, V4L2_CID_BAND_STOP_FILTER)->bReadOnly);
    EXPECT_EQ(FindControl(list, V4L2_CID_PAN_RESET)->kind, CameraControl::Kind::Button);

    using Items = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(FindControl(list, V4L2_CID_POWER_LINE_FREQUENCY)->menuItems,
              (Items{{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}}));
    EXPECT_EQ(FindControl(list, V4L2_CID_ZOOM_ABSOLUTE)->menuItems,
              (Items{{0, "100"}, {1, "200"}}));

    // Auto exposure's menu: on is its default mode, off the manual mode.
    const CameraControl* autoExposure = FindControl(list, V4L2_CID_EXPOSURE_AUTO);
    EXPECT_EQ(autoExposure->nGoverns, DWORD(V4L2_CID_EXPOSURE_ABSOLUTE));
    EXPECT_EQ(autoExposure->nAutoOn, AUTO_APERTURE);
    EXPECT_EQ(autoExposure->nAutoOff, AUTO_MANUAL);
    EXPECT_EQ(FindControl(list, V4L2_CID_AUTO_WHITE_BALANCE)->nGoverns,
              DWORD(V4L2_CID_WHITE_BALANCE_TEMPERATURE));
}

TEST(V4l2Controls, ValuesSnapToTheStepAndStayInRange) {
    ScriptedDriver driver;
    auto controls = ScriptedControls(driver);
    for (int asked : {102, 103, 300, -4})
        EXPECT_EQ(controls->SetControl(V4L2_CID_BRIGHTNESS, asked), S_OK);
    using Writes = std::vector<std::pair<__u32, int>>;
    EXPECT_EQ(driver.written, (Writes{{V4L2_CID_BRIGHTNESS, 100},
                                      {V4L2_CID_BRIGHTNESS, 105},
                                      {V4L2_CID_BRIGHTNESS, 255},
                                      {V4L2_CID_BRIGHTNESS, 0}}));
}

TEST(V4l2Controls, RefusedValueSaysWhyAndTheCameraKeepsItsValue) {
    ScriptedDriver driver;
    driver.bRefuseTemperature = true;
    auto controls = ScriptedControls(driver);
    EXPECT_LT(controls->SetControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 3000), 0);
    EXPECT_NE(controls->LastError().find("White Balance Temperature"), std::string::npos);
    std::vector<CameraControl> list;
    ASSERT_EQ(controls->GetControls(list), S_OK);
    EXPECT_EQ(FindControl(list, V4L2_CID_WHITE_BALANCE_TEMPERATURE)->nValue, 4600);
    EXPECT_EQ(controls->SetControl(V4L2_CID_BRIGHTNESS, 50), S_OK);
    EXPECT_EQ(controls->LastError(), "");
}

// The dialog as the driver's: two pages, each auto mode an Auto box beside
// its manual control, which is disabled while the box is on and follows the
// value the driver announces; a refused value springs back with the reason.
TEST(CameraControlsDialog, AutoBoxesGovernTheirControlsAndFollowTheDriver) {
    ScriptedDriver driver;
    auto dialog = std::make_unique<CCameraPropertiesDlg>(nullptr, "Cam", ScriptedControls(driver));
    auto* tabs = dialog->findChild<QTabWidget*>();
    ASSERT_TRUE(tabs);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), LocalizedText(TextId::PicturePage));
    EXPECT_EQ(tabs->tabText(1), LocalizedText(TextId::CameraPage));

    auto* exposure = dialog->findChild<QSlider*>("Exposure Time, Absolute");
    auto* autoExposure = dialog->findChild<QCheckBox*>("Auto Exposure");
    auto* temperature = dialog->findChild<QSlider*>("White Balance Temperature");
    auto* autoWhite = dialog->findChild<QCheckBox*>("White Balance, Automatic");
    auto* status = dialog->findChild<QLabel*>("controlStatus");
    ASSERT_TRUE(exposure && autoExposure && temperature && autoWhite && status);
    EXPECT_EQ(autoExposure->text(), LocalizedText(TextId::AutoBox));
    EXPECT_EQ(autoExposure->accessibleName(), "Auto Exposure");
    EXPECT_EQ(exposure->accessibleName(), "Exposure Time, Absolute");
    EXPECT_TRUE(autoExposure->isChecked());
    EXPECT_FALSE(exposure->isEnabled());
    EXPECT_EQ(dialog->findChild<QComboBox*>("Power Line Frequency")->currentText(), "50 Hz");
    EXPECT_FALSE(dialog->findChild<QSlider*>("Band Stop Filter")->isEnabled());

    autoExposure->click();
    EXPECT_EQ(driver.controls.at(V4L2_CID_EXPOSURE_AUTO).value, AUTO_MANUAL);
    EXPECT_TRUE(exposure->isEnabled());

    // While auto white balance is on, the temperature follows the driver.
    EXPECT_NE(std::find(driver.subscribed.begin(), driver.subscribed.end(),
                        __u32(V4L2_CID_WHITE_BALANCE_TEMPERATURE)),
              driver.subscribed.end());
    driver.Change(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 5200);
    EXPECT_EQ(temperature->value(), 5200);
    EXPECT_TRUE(driver.events.empty());

    autoWhite->click();
    ASSERT_TRUE(temperature->isEnabled());
    driver.bRefuseTemperature = true;
    temperature->setValue(3000);
    EXPECT_EQ(temperature->value(), 5200);
    EXPECT_TRUE(status->text().contains("White Balance Temperature"));

    // Closed, it no longer listens.
    dialog.reset();
    EXPECT_TRUE(driver.subscribed.empty());
    EXPECT_FALSE(driver.onPending);
}

} // namespace
