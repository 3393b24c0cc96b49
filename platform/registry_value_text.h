#pragma once
// The text forms of the settings store's value lines: "name"=dword:0000000a,
// "name"="text" with \ and " escaped, "name"=hex(N):01,02,... and @ for the
// unnamed value. Bytes outside ASCII are kept as they are.

#include "platform/registry_document.h"

#include <string>
#include <string_view>

// Reads one value line (hex continuation lines joined with '\n'). Returns
// false for a damaged line and says why; an unknown data form is not damage:
// it reads as REG_UNREADABLE.
bool ParseValueLine(std::string_view line, std::string& name, RegValueData& value,
                    std::string& why);

// The line for a value. A REG_SZ is written as a quoted text when it is one
// line of text ending in its single terminator; anything else keeps its exact
// bytes in the hex form.
std::string FormatValueLine(std::string_view name, const RegValueData& value);

// Key names fold ASCII case, as the registry's do; other bytes (UTF-8) are
// compared as they are.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

std::string_view TrimLeft(std::string_view s);
// Also drops the '\r' of a line that ended in CR LF.
std::string_view TrimRight(std::string_view s);

bool HasLineBreak(std::string_view s);
