#pragma once
// The three resolution modes: the frame asked of the camera and the place of
// the preview host in the main window's client area.

#include "platform/win_types.h"

constexpr int RES_640X480 = 0;
constexpr int RES_320X240 = 1;
constexpr int RES_1_3M = 2;

struct ResolutionMode {
    int nMode;
    LONG nWidth;
    LONG nHeight;
    // Tried first; the second only when the first is refused and it is not null.
    const char* szFirstSubtype;
    const char* szSecondSubtype;
    // IDC_VIDEO_HOST in the main window's client area.
    int nHostX, nHostY, nHostWidth, nHostHeight;
};

inline constexpr ResolutionMode RESOLUTION_MODES[] = {
    {RES_640X480, 640, 480, "YUY2", "I420", 0, 0, 640, 480},
    {RES_320X240, 320, 240, "YUY2", "I420", 160, 120, 320, 240},
    {RES_1_3M, 1280, 1024, "YUY2", nullptr, 0, 0, 640, 480},
};

// The row of a mode, or null for a value outside 0 to 2.
constexpr const ResolutionMode* FindResolutionMode(int nMode) {
    for (const ResolutionMode& mode : RESOLUTION_MODES) {
        if (mode.nMode == nMode)
            return &mode;
    }
    return nullptr;
}
