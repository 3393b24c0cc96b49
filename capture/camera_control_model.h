#pragma once
// Rules of the camera control model that hold for every camera: names in
// readable case, auto modes paired with the manual controls they govern, the
// values a control can take, and the way back to the driver's defaults.

#include "capture/media_graph.h"

#include <string>
#include <vector>

// A name the driver gives in capitals ("SATURATION") in sentence case
// ("Saturation"); any other name as it is.
std::string ReadableControlName(std::string name);

// Marks each auto mode with the manual control it governs, when the camera
// has both, and with its on and off values: for a boolean 1 and 0, for an
// exposure menu its manual mode off and, on, the driver's default or the first
// other mode of the menu.
void PairAutoControls(std::vector<CameraControl>& controls);

const CameraControl* FindControl(const std::vector<CameraControl>& controls, DWORD nId);

// Whether the control takes nValue as it stands: within its range and on its
// step, or one of its menu's entries; never for a button or a read-only value.
bool TakesValue(const CameraControl& control, int nValue);
