#include "app/registry_access.h"

#include "platform/config_paths.h"
#include "platform/registry_file.h"
#include "platform/trace.h"

#include <cstring>

namespace {

// The size of the query buffer: a value larger than this is never read.
constexpr size_t kQueryBufferSize = 260;

bool IsKnownKey(HKEY hRoot, const char* subKey) {
    return hRoot == HKEY_CURRENT_USER && subKey && CRegistryDocument::IsValidKeyPath(subKey);
}

} // namespace

BOOL CRegistryAccess::ReadValue(HKEY hRoot, const char* subKey, std::string valueName, int& kind,
                                char* text, DWORD textSize, DWORD& number) {
    if (!IsKnownKey(hRoot, subKey))
        return FALSE;
    CRegistryDocument doc;
    if (CRegistryFile(RegistryFilePath()).Load(doc) != ERROR_SUCCESS || !doc.KeyExists(subKey))
        return FALSE;
    RegValueData value;
    if (!doc.QueryValue(subKey, valueName, value) || value.data.size() > kQueryBufferSize)
        return FALSE;

    // A number needs all four of its bytes; a shorter or longer REG_DWORD is
    // not a number.
    if (value.dwType == REG_DWORD && value.data.size() == 4) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(value.data.data());
        number =
            DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
        kind = 0;
        return TRUE;
    }
    if (value.dwType == REG_SZ) {
        // A text stored without its terminator gets one, and it must fit too.
        bool bTerminated = !value.data.empty() && value.data.back() == '\0';
        size_t needed = value.data.size() + (bTerminated ? 0 : 1);
        if (!text || needed > textSize)
            return FALSE;
        std::memcpy(text, value.data.data(), value.data.size());
        text[needed - 1] = '\0';
        kind = 1;
        return TRUE;
    }
    return FALSE;
}

void CRegistryAccess::WriteValue(HKEY hRoot, const char* subKey, std::string valueName, DWORD type,
                                 const void* data, DWORD size) {
    if (hRoot != HKEY_CURRENT_USER) {
        Trace("error on write registry, bret:%d", static_cast<int>(ERROR_INVALID_HANDLE));
        return;
    }
    if (!IsKnownKey(hRoot, subKey)) {
        Trace("error on write registry, bret:%d", static_cast<int>(ERROR_BAD_PATHNAME));
        return;
    }
    CRegistryFile file(RegistryFilePath());
    LONG result = file.Update([&](CRegistryDocument& doc) {
        doc.CreateKey(subKey);
        // The key stays created when the value cannot be stored, and that
        // failure goes unreported, as with any value write of the program.
        if (!data && size > 0) {
            Trace("registry: no data for value \"%s\"", valueName.c_str());
            return ERROR_SUCCESS;
        }
        std::string bytes = size ? std::string(static_cast<const char*>(data), size) : "";
        if (!doc.SetValue(subKey, valueName, type, bytes))
            Trace("registry: value name \"%s\" cannot be stored", valueName.c_str());
        return ERROR_SUCCESS;
    });
    if (result != ERROR_SUCCESS)
        Trace("error on write registry, bret:%d", static_cast<int>(result));
}
