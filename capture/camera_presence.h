#pragma once
// Whether one of the supported camera models is attached, by the vendor and
// product ids in a present device's first hardware id. Each id is searched
// once per run; the answers stay in a 100-row table.

#include "platform/device_ids.h"

#include <array>
#include <string>

inline constexpr const char* SUPPORTED_CAMERA_IDS[] = {"VID_E5F6&PID_0A1B", "VID_A1B2&PID_C3D4"};

struct DevicePresenceEntry {
    int bUsed = 0;
    std::string strHardwareId;
    int bPresent = 0;
};

constexpr int PRESENCE_ROWS = 100;
using DevicePresenceTable = std::array<DevicePresenceEntry, PRESENCE_ROWS>;

// 1 when a present device's first hardware id, upper-cased, contains id (give
// ids in upper case); 0 otherwise and on every failure. The first question
// about an id takes a row and fixes the answer for the run; with all rows
// taken the search runs every time and nothing is kept. devices is the device
// service, loaded and freed for this search.
int IsCameraPresent(DevicePresenceTable& presence, const char* id, IDeviceIdList& devices);

// Loads the device service once and fills the table for both supported ids.
// 1 when done, 0 without searching when the service cannot be loaded.
int PreloadCameraPresence(DevicePresenceTable& presence, IDeviceIdList& devices);
