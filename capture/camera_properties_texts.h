#pragma once
// Every fixed text of the camera settings dialog, UTF-8, in the system's
// language. As with the photo library's questions the language id is compared
// as a whole: 1028, 1031, 1034, 1036, 1040, 1041 and 2052 have their own
// texts, every other id gets English. Control names are the driver's own.

#include <cstdint>

enum class PropertiesText {
    Close,
    Default,
    PicturePage, // the page of the user-class controls
    CameraPage,  // the page of the camera-class controls
    Auto,        // the box beside a manual control
    NoSettings,
    ValueNotTaken, // a refusal without a reason of its own
    NotNow,        // the driver refuses the value in its present state
    DefaultsNotTaken,
};

const char* PropertiesTextFor(PropertiesText text, std::uint16_t languageId);

// In the language of the process locale.
const char* PropertiesTextOf(PropertiesText text);
