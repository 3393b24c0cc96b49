#pragma once
// Every text the program shows or speaks, in the system's language, UTF-8.
// One table serves them all: the photo library's two questions, the preview's
// status lines, the names a screen reader announces and the camera settings
// dialog. The language id is compared as a whole: 1028, 1031, 1034, 1036,
// 1040, 1041 and 2052 have their own texts, every other id gets the English
// ones.

#include <cstdint>

enum class TextId : int {
    // The photo library's questions, byte for byte as the program has always
    // shown them.
    CounterReset,
    DeleteConfirm,
    // The line the preview shows while there is no live picture.
    NoCamera,
    CameraBusy,
    CameraGone,
    CameraSilent,
    // Names of the window's controls for screen readers. ResolutionName holds
    // "%1" where the current resolution's label goes.
    TakePhoto,
    DeletePhotos,
    ResolutionName,
    CameraSettings,
    PhotoStrip,
    StripScroll,
    LivePicture,
    ResolutionMenu,
    // The camera settings dialog. Control names are the driver's own.
    PropertiesClose,
    PropertiesDefault,
    PicturePage, // the page of the user-class controls
    CameraPage,  // the page of the camera-class controls
    AutoBox,     // the box beside a manual control
    NoSettings,
    ValueNotTaken, // a refusal without a reason of its own
    ValueNotNow,   // the driver refuses the value in its present state
    DefaultsNotTaken,
    Count
};

const char* LocalizedText(TextId id, std::uint16_t languageId);
// In the language of the process locale.
const char* LocalizedText(TextId id);

// The name of Qt's own translation files for the language ("de", "zh_TW"):
// qtbase_<name>.qm. Empty for the languages that keep Qt's English.
const char* QtTranslationName(std::uint16_t languageId);
