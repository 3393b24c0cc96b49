#pragma once
// The photo library's two questions in the system's language, UTF-8, from the
// program's one table of texts (platform/localized_texts.h). The
// language id is compared as a whole: 1028, 1031, 1034, 1036, 1040, 1041 and
// 2052 have their own text, every other id gets the English one.

#include <cstdint>

const char* CounterResetText(std::uint16_t languageId);
const char* DeleteConfirmText(std::uint16_t languageId);
