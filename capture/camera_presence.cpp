#include "capture/camera_presence.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// One walk over an opened device list. Only the first id of each device
// counts, upper-cased; the searched id is matched as it was given.
int SearchOpenList(IDeviceIdList& devices, const char* id) {
    if (!devices.Scan())
        return 0;
    std::string firstId;
    for (;;) {
        const int result = devices.Next(firstId);
        if (result < 0)
            return 0;
        if (result == 0)
            continue; // no hardware id
        std::transform(firstId.begin(), firstId.end(), firstId.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (firstId.find(id) != std::string::npos)
            return 1;
    }
}

// Looks the id up; returns the stored answer (0/1) or -1 with row set to the
// row taken for it (null when the table is full).
int LookUp(DevicePresenceTable& presence, const char* id, DevicePresenceEntry*& row) {
    row = nullptr;
    for (DevicePresenceEntry& entry : presence) {
        if (!entry.bUsed) {
            entry.bUsed = 1;
            entry.strHardwareId = id;
            row = &entry;
            return -1;
        }
        if (entry.strHardwareId == id)
            return entry.bPresent;
    }
    return -1;
}

int SearchAndStore(DevicePresenceEntry* row, IDeviceIdList& devices, const char* id) {
    const int answer = SearchOpenList(devices, id);
    if (answer == 1 && row)
        row->bPresent = 1;
    return answer;
}

} // namespace

int IsCameraPresent(DevicePresenceTable& presence, const char* id, IDeviceIdList& devices) {
    if (!id)
        return 0;
    DevicePresenceEntry* row = nullptr;
    const int stored = LookUp(presence, id, row);
    if (stored >= 0)
        return stored;
    if (!devices.Open())
        return 0;
    const int answer = SearchAndStore(row, devices, id);
    devices.Close();
    return answer;
}

int PreloadCameraPresence(DevicePresenceTable& presence, IDeviceIdList& devices) {
    if (!devices.Open())
        return 0;
    for (const char* id : SUPPORTED_CAMERA_IDS) {
        DevicePresenceEntry* row = nullptr;
        if (LookUp(presence, id, row) >= 0)
            continue; // already answered
        SearchAndStore(row, devices, id);
    }
    devices.Close();
    return 1;
}
