// Values a camera keeps, against the scripted driver and a private settings
// file: set again at the next start with auto modes first, a value the driver
// no longer offers dropped rather than forced, and Default forgetting them.

#include "capture/kept_camera_controls.h"
#include "platform/registry_file.h"
#include "scripted_v4l2_driver.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

constexpr char kCamera[] = "usb:046d:0825@1-1.2";

class KeptCameraControls : public ::testing::Test {
protected:
    std::string SettingsPath() const { return m_dir / "registry.reg"; }
    CKeptCameraValues Kept(const char* camera = kCamera) const {
        return CKeptCameraValues(SettingsPath(), camera);
    }
    std::unique_ptr<CKeptCameraControls> Open(ScriptedDriver& driver) const {
        return std::make_unique<CKeptCameraControls>(ScriptedControls(driver), Kept());
    }

    TempDir m_dir;
};

TEST_F(KeptCameraControls, UserValuesAreSetAgainAtTheNextStartAutoModesFirst) {
    {
        ScriptedDriver before;
        auto controls = Open(before);
        ASSERT_EQ(controls->SetControl(V4L2_CID_EXPOSURE_AUTO, AUTO_MANUAL), S_OK);
        ASSERT_EQ(controls->SetControl(V4L2_CID_EXPOSURE_ABSOLUTE, 500), S_OK);
        // Kept as the driver took it, on its step.
        ASSERT_EQ(controls->SetControl(V4L2_CID_BRIGHTNESS, 62), S_OK);
    } // written when the controls go, before the timer
    EXPECT_EQ(Kept().Load(), (std::map<DWORD, int>{{V4L2_CID_BRIGHTNESS, 60},
                                                     {V4L2_CID_EXPOSURE_AUTO, AUTO_MANUAL},
                                                     {V4L2_CID_EXPOSURE_ABSOLUTE, 500}}));
    // Another camera keeps nothing of it.
    EXPECT_TRUE(Kept("usb:046d:0825@1-1.3").Load().empty());

    // Replugged: the driver is back at its defaults.
    ScriptedDriver after;
    Open(after)->ApplyKept();
    using Writes = std::vector<std::pair<__u32, int>>;
    EXPECT_EQ(after.written, (Writes{{V4L2_CID_EXPOSURE_AUTO, AUTO_MANUAL},
                                     {V4L2_CID_BRIGHTNESS, 60},
                                     {V4L2_CID_EXPOSURE_ABSOLUTE, 500}}));
}

// Another firmware: the range is narrower and a control is gone. Those values
// are dropped, not clamped; the others are still set and kept.
TEST_F(KeptCameraControls, AValueTheDriverNoLongerOffersIsDropped) {
    Kept().Keep({{V4L2_CID_BRIGHTNESS, 200}, {V4L2_CID_GAMMA, 7}, {V4L2_CID_POWER_LINE_FREQUENCY, 2}});
    ScriptedDriver driver;
    driver.controls.at(V4L2_CID_BRIGHTNESS).query.maximum = 100;
    Open(driver)->ApplyKept();
    using Writes = std::vector<std::pair<__u32, int>>;
    EXPECT_EQ(driver.written, (Writes{{V4L2_CID_POWER_LINE_FREQUENCY, 2}}));
    EXPECT_EQ(Kept().Load(), (std::map<DWORD, int>{{V4L2_CID_POWER_LINE_FREQUENCY, 2}}));
}

TEST_F(KeptCameraControls, DefaultRestoresTheDriverDefaultsAndForgetsThisCamera) {
    Kept("usb:1111:2222:SERIAL").Keep({{V4L2_CID_BRIGHTNESS, 10}});
    ScriptedDriver driver;
    auto controls = Open(driver);
    ASSERT_EQ(controls->SetControl(V4L2_CID_AUTO_WHITE_BALANCE, 0), S_OK);
    ASSERT_EQ(controls->SetControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 3000), S_OK);
    ASSERT_EQ(controls->SetControl(V4L2_CID_BRIGHTNESS, 40), S_OK);
    controls->Flush();

    EXPECT_EQ(controls->RestoreDefaults(), S_OK);
    for (const auto& [id, control] : driver.controls)
        EXPECT_EQ(control.value, control.query.default_value) << control.query.name;
    controls.reset();
    EXPECT_TRUE(Kept().Load().empty());
    CRegistryDocument doc;
    ASSERT_EQ(CRegistryFile(SettingsPath()).Load(doc), ERROR_SUCCESS);
    EXPECT_FALSE(doc.KeyExists(Kept().Key()));
    // Other cameras keep theirs.
    EXPECT_EQ(Kept("usb:1111:2222:SERIAL").Load().size(), 1u);
}

} // namespace
