// Supported camera detection: the first hardware id of each present device,
// upper-cased, searched for the id; one search per id per run, 100 rows.
//
// The SupportedCamera, OtherCameras and IdElsewhere suites run under
// umockdev-run with the fake USB devices of data/*.umockdev (see
// CMakeLists.txt); PresenceRules needs no testbed.

#include "capture/camera_presence.h"

#include <gtest/gtest.h>

namespace {

// The real udev list, counting the device service loads and the walks.
class CountingDeviceIds final : public IDeviceIdList {
public:
    bool Open() override {
        ++nOpens;
        return bOpens && m_pReal->Open();
    }
    bool Scan() override {
        ++nScans;
        return m_pReal->Scan();
    }
    int Next(std::string& firstId) override { return m_pReal->Next(firstId); }
    void Close() override {
        ++nCloses;
        m_pReal->Close();
    }
    bool bOpens = true;
    int nOpens = 0;
    int nScans = 0;
    int nCloses = 0;

private:
    std::unique_ptr<IDeviceIdList> m_pReal = CreateUdevDeviceIdList();
};

// A scripted list for the failure paths.
class ScriptedDeviceIds final : public IDeviceIdList {
public:
    bool Open() override { return bOpens; }
    bool Scan() override {
        m_nNext = 0;
        return bScans;
    }
    int Next(std::string& firstId) override {
        if (m_nNext >= ids.size())
            return -1;
        firstId = ids[m_nNext++];
        return firstId.empty() ? 0 : 1;
    }
    void Close() override { ++nCloses; }
    bool bOpens = true;
    bool bScans = true;
    std::vector<std::string> ids;
    int nCloses = 0;

private:
    std::size_t m_nNext = 0;
};

// ---- under data/usb_supported_a.umockdev --------------------------------

TEST(SupportedCamera, PresentIdIsFoundAndTheOtherIsNot) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", devices), 1);
    EXPECT_EQ(IsCameraPresent(presence, "VID_E5F6&PID_0A1B", devices), 0);
    // The device service is freed after each search.
    EXPECT_EQ(devices.nOpens, 2);
    EXPECT_EQ(devices.nCloses, 2);
}

TEST(SupportedCamera, IdsAreMatchedAsGivenAgainstTheUpperCasedDeviceId) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    // sysfs spells a1b2/c3d4 in lower case; the device side is upper-cased.
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2", devices), 1);
    EXPECT_EQ(IsCameraPresent(presence, "USB\\VID_A1B2&PID_C3D4&REV_0100", devices), 1);
    // The searched id is not: a lower-case id never matches.
    EXPECT_EQ(IsCameraPresent(presence, "vid_a1b2&pid_c3d4", devices), 0);
}

TEST(SupportedCamera, AnswersAreKeptWhetherOneOrZero) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", devices), 1);
    EXPECT_EQ(IsCameraPresent(presence, "VID_E5F6&PID_0A1B", devices), 0);
    EXPECT_EQ(devices.nScans, 2);
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", devices), 1);
    EXPECT_EQ(IsCameraPresent(presence, "VID_E5F6&PID_0A1B", devices), 0);
    EXPECT_EQ(devices.nScans, 2);
    EXPECT_EQ(presence[0].strHardwareId, "VID_A1B2&PID_C3D4");
    EXPECT_EQ(presence[0].bPresent, 1);
    EXPECT_EQ(presence[1].bUsed, 1);
    EXPECT_EQ(presence[1].bPresent, 0);
    EXPECT_EQ(presence[2].bUsed, 0);
}

TEST(SupportedCamera, The101stIdIsSearchedEveryTimeAndNeverStored) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    for (int i = 0; i < PRESENCE_ROWS; ++i)
        IsCameraPresent(presence, ("VID_0000&PID_" + std::to_string(1000 + i)).c_str(), devices);
    EXPECT_EQ(devices.nScans, 100);
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", devices), 1);
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", devices), 1);
    EXPECT_EQ(devices.nScans, 102);
    for (const DevicePresenceEntry& row : presence)
        EXPECT_NE(row.strHardwareId, "VID_A1B2&PID_C3D4");
    // Stored ids still answer from the table.
    EXPECT_EQ(IsCameraPresent(presence, "VID_0000&PID_1000", devices), 0);
    EXPECT_EQ(devices.nScans, 102);
}

TEST(SupportedCamera, PreloadLoadsOnceAndFillsBothRows) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    EXPECT_EQ(PreloadCameraPresence(presence, devices), 1);
    EXPECT_EQ(devices.nOpens, 1);
    EXPECT_EQ(devices.nScans, 2);
    EXPECT_EQ(presence[0].strHardwareId, "VID_E5F6&PID_0A1B");
    EXPECT_EQ(presence[0].bPresent, 0);
    EXPECT_EQ(presence[1].strHardwareId, "VID_A1B2&PID_C3D4");
    EXPECT_EQ(presence[1].bPresent, 1);
    // The menu's questions are answered from the table.
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", devices), 1);
    EXPECT_EQ(devices.nScans, 2);
}

// ---- under data/usb_unsupported.umockdev --------------------------------

TEST(OtherCameras, NeitherSupportedIdIsPresent) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    EXPECT_EQ(PreloadCameraPresence(presence, devices), 1);
    EXPECT_EQ(presence[0].bPresent, 0);
    EXPECT_EQ(presence[1].bPresent, 0);
    EXPECT_EQ(IsCameraPresent(presence, "VID_0C45&PID_6340", devices), 1);
}

// ---- under data/usb_id_elsewhere.umockdev -------------------------------

TEST(IdElsewhere, IdOnlyOutsideTheFirstHardwareIdIsNotRecognised) {
    DevicePresenceTable presence;
    CountingDeviceIds devices;
    // An interface names e5f6/0a1b, and a device lacks its revision: neither
    // has a first hardware id carrying it.
    EXPECT_EQ(IsCameraPresent(presence, "VID_E5F6&PID_0A1B", devices), 0);
    EXPECT_EQ(IsCameraPresent(presence, "VID_0BDA&PID_5411", devices), 1);
}

// ---- no testbed needed ---------------------------------------------------

TEST(PresenceRules, HardwareIdIsBuiltFromTheThreeAttributes) {
    EXPECT_EQ(UsbHardwareId("a1b2", "c3d4", "0100"), "USB\\VID_a1b2&PID_c3d4&REV_0100");
    EXPECT_EQ(UsbHardwareId(nullptr, "c3d4", "0100"), "");
    EXPECT_EQ(UsbHardwareId("a1b2", "c3d", "0100"), "");
    EXPECT_EQ(UsbHardwareId("a1b2", "c3d4", "01000"), "");
    EXPECT_EQ(UsbHardwareId("a1bz", "c3d4", "0100"), "");
}

TEST(PresenceRules, EveryFailureAnswersZero) {
    DevicePresenceTable presence;
    ScriptedDeviceIds notLoaded;
    notLoaded.bOpens = false;
    notLoaded.ids = {"USB\\VID_A1B2&PID_C3D4&REV_0100"};
    EXPECT_EQ(IsCameraPresent(presence, "VID_A1B2&PID_C3D4", notLoaded), 0);
    EXPECT_EQ(PreloadCameraPresence(presence, notLoaded), 0);

    DevicePresenceTable presence2;
    ScriptedDeviceIds noList;
    noList.bScans = false;
    noList.ids = {"USB\\VID_A1B2&PID_C3D4&REV_0100"};
    EXPECT_EQ(IsCameraPresent(presence2, "VID_A1B2&PID_C3D4", noList), 0);
    EXPECT_EQ(noList.nCloses, 1); // freed on the failure path too
    EXPECT_EQ(IsCameraPresent(presence2, nullptr, noList), 0);
}

TEST(PresenceRules, DevicesWithoutIdAreSkipped) {
    DevicePresenceTable presence;
    ScriptedDeviceIds list;
    list.ids = {"", "", "usb\\vid_e5f6&pid_0a1b&rev_0002"};
    EXPECT_EQ(IsCameraPresent(presence, "VID_E5F6&PID_0A1B", list), 1);
}

TEST(PresenceRules, PreloadFailingLeavesTheTableUntouched) {
    DevicePresenceTable presence;
    ScriptedDeviceIds list;
    list.bOpens = false;
    EXPECT_EQ(PreloadCameraPresence(presence, list), 0);
    EXPECT_EQ(presence[0].bUsed, 0);
}

} // namespace
