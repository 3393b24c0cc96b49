#pragma once
// Every settings value of the program is read and written through these two
// operations, one value at a time, at the moment it is needed. The main window
// derives from this class.

#include "platform/registry_document.h"
#include "platform/win_types.h"

#include <cstdint>
#include <string>

// Root keys; only the current user's hive is used.
using HKEY = std::uintptr_t;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;

class CRegistryAccess {
public:
    virtual ~CRegistryAccess() = default;

    // kind: 0 = number (REG_DWORD), 1 = text (REG_SZ). Outputs are touched
    // only when the result is TRUE.
    BOOL ReadValue(HKEY hRoot, const char* subKey, std::string valueName, int& kind, char* text,
                   DWORD textSize, DWORD& number);

    // Missing keys are created. A failure is traced, never reported.
    void WriteValue(HKEY hRoot, const char* subKey, std::string valueName, DWORD type,
                    const void* data, DWORD size);
};
