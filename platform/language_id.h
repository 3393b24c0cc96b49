#pragma once
// The system's language as a Windows language identifier (primary language and
// sublanguage in one 16-bit value), taken from the process locale. The photo
// library's questions choose their text by comparing it as a whole.

#include <cstdint>
#include <string>

constexpr std::uint16_t LANGID_ENGLISH_US = 1033;

// Maps a POSIX locale name ("de_DE.UTF-8@euro", "ja_JP", "fr", "C") to a
// language id. Unknown or empty names give English (United States).
std::uint16_t LanguageIdFromLocale(const std::string& locale);

// The process locale: LC_ALL, then LC_MESSAGES, then LANG, the first one set
// and not empty.
std::uint16_t GetSystemDefaultLangID();
