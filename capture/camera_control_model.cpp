#include "capture/camera_control_model.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cctype>

namespace {

// Each auto mode and the manual control beside which it sits, in the order a
// camera's driver would pick them; the first manual control the camera has
// wins.
struct AutoPair {
    DWORD nAuto;
    DWORD nManual;
    int nManualMode; // the auto control's value that means "manual"
};
constexpr AutoPair kAutoPairs[] = {
    {V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_EXPOSURE_MANUAL},
    {V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE, V4L2_EXPOSURE_MANUAL},
    {V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CID_WHITE_BALANCE_TEMPERATURE, 0},
    {V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CID_RED_BALANCE, 0},
    {V4L2_CID_FOCUS_AUTO, V4L2_CID_FOCUS_ABSOLUTE, 0},
    {V4L2_CID_AUTOGAIN, V4L2_CID_GAIN, 0},
    {V4L2_CID_HUE_AUTO, V4L2_CID_HUE, 0},
};

CameraControl* FindMutable(std::vector<CameraControl>& controls, DWORD nId) {
    return const_cast<CameraControl*>(FindControl(controls, nId));
}

} // namespace

std::string ReadableControlName(std::string name) {
    const bool hasLower = std::any_of(name.begin(), name.end(),
                                      [](unsigned char c) { return std::islower(c) != 0; });
    if (hasLower)
        return name;
    bool first = true;
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!std::isalpha(u))
            continue;
        c = static_cast<char>(first ? std::toupper(u) : std::tolower(u));
        first = false;
    }
    return name;
}

void PairAutoControls(std::vector<CameraControl>& controls) {
    for (const AutoPair& pair : kAutoPairs) {
        CameraControl* autoMode = FindMutable(controls, pair.nAuto);
        if (!autoMode || autoMode->nGoverns != 0 || !FindControl(controls, pair.nManual))
            continue;
        autoMode->nGoverns = pair.nManual;
        autoMode->nAutoOff = pair.nManualMode;
        if (autoMode->kind != CameraControl::Kind::Menu) {
            autoMode->nAutoOn = pair.nManualMode == 0 ? 1 : 0;
            continue;
        }
        autoMode->nAutoOn = autoMode->nDefault;
        if (autoMode->nAutoOn == pair.nManualMode) {
            for (const auto& item : autoMode->menuItems) {
                if (item.first != pair.nManualMode) {
                    autoMode->nAutoOn = item.first;
                    break;
                }
            }
        }
    }
}

const CameraControl* FindControl(const std::vector<CameraControl>& controls, DWORD nId) {
    for (const CameraControl& control : controls) {
        if (control.nId == nId)
            return &control;
    }
    return nullptr;
}

bool TakesValue(const CameraControl& control, int nValue) {
    if (control.bReadOnly || control.kind == CameraControl::Kind::Button)
        return false;
    if (control.kind == CameraControl::Kind::Menu) {
        return std::any_of(control.menuItems.begin(), control.menuItems.end(),
                           [nValue](const auto& item) { return item.first == nValue; });
    }
    if (nValue < control.nMinimum || nValue > control.nMaximum)
        return false;
    const long long step = control.nStep > 0 ? control.nStep : 1;
    return (static_cast<long long>(nValue) - control.nMinimum) % step == 0;
}

// The manual controls first, then the auto modes: an auto mode switched on
// last is not undone by a manual value set after it. A manual control the
// driver refused while its auto mode was on gets its default once the mode
// is off; only what is still off its default then counts as a failure.
HRESULT ICameraControls::RestoreDefaults() {
    std::vector<CameraControl> controls;
    const HRESULT hr = GetControls(controls);
    if (FAILED(hr))
        return hr;
    auto settable = [](const CameraControl& c) {
        return !c.bReadOnly && c.kind != CameraControl::Kind::Button;
    };
    std::stable_partition(controls.begin(), controls.end(),
                          [](const CameraControl& c) { return c.nGoverns == 0; });
    for (const CameraControl& control : controls) {
        if (settable(control) && control.nValue != control.nDefault)
            SetControl(control.nId, control.nDefault);
    }
    if (FAILED(GetControls(controls)))
        return E_FAIL;
    HRESULT result = S_OK;
    for (const CameraControl& control : controls) {
        if (settable(control) && !control.bInactive && control.nValue != control.nDefault &&
            FAILED(SetControl(control.nId, control.nDefault)))
            result = E_FAIL;
    }
    return result;
}
