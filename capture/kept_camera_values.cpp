#include "capture/kept_camera_values.h"

#include "platform/registry_file.h"
#include "platform/trace.h"

#include <cstdio>

namespace {

constexpr std::size_t kIdDigits = 8;

std::string ValueName(DWORD id) {
    char name[kIdDigits + 1];
    std::snprintf(name, sizeof name, "%08X", static_cast<unsigned>(id));
    return name;
}

bool ParseValueName(const std::string& name, DWORD& id) {
    if (name.size() != kIdDigits)
        return false;
    DWORD value = 0;
    for (char c : name) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            return false;
        value = value << 4 | static_cast<DWORD>(digit);
    }
    id = value;
    return true;
}

std::string DwordBytes(int value) {
    const auto v = static_cast<DWORD>(value);
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF),
            static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 24 & 0xFF)};
}

int DwordValue(const std::string& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    return static_cast<int>(DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 |
                            DWORD(b[3]) << 24);
}

} // namespace

CKeptCameraValues::CKeptCameraValues(std::string registryPath, std::string cameraId)
    : m_strPath(std::move(registryPath)) {
    if (cameraId.empty())
        return;
    for (char& c : cameraId) {
        if (c == '\\')
            c = '/';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '_';
    }
    m_strKey = std::string(KEPT_CONTROLS_KEY) + "\\" + cameraId;
}

std::map<DWORD, int> CKeptCameraValues::Load() const {
    std::map<DWORD, int> values;
    if (m_strPath.empty() || m_strKey.empty())
        return values;
    CRegistryDocument doc;
    if (CRegistryFile(m_strPath).Load(doc) != ERROR_SUCCESS)
        return values;
    for (const auto& [name, value] : doc.Values(m_strKey)) {
        DWORD id = 0;
        if (value.dwType == REG_DWORD && value.data.size() == 4 && ParseValueName(name, id))
            values[id] = DwordValue(value.data);
    }
    return values;
}

void CKeptCameraValues::Keep(const std::map<DWORD, int>& values) const {
    if (values.empty())
        return;
    Write("keeping", [&](CRegistryDocument& doc) {
        for (const auto& [id, value] : values)
            doc.SetValue(m_strKey, ValueName(id), REG_DWORD, DwordBytes(value));
    });
}

void CKeptCameraValues::Drop(const std::vector<DWORD>& ids) const {
    if (ids.empty())
        return;
    Write("dropping", [&](CRegistryDocument& doc) {
        for (DWORD id : ids)
            doc.DeleteValue(m_strKey, ValueName(id));
    });
}

void CKeptCameraValues::Forget() const {
    Write("forgetting", [&](CRegistryDocument& doc) { doc.DeleteKey(m_strKey); });
}

void CKeptCameraValues::Write(const char* what,
                              const std::function<void(CRegistryDocument&)>& edit) const {
    if (m_strPath.empty() || m_strKey.empty())
        return;
    const LONG result = CRegistryFile(m_strPath).Update([&](CRegistryDocument& doc) {
        edit(doc);
        return ERROR_SUCCESS;
    });
    if (result != ERROR_SUCCESS)
        Trace("camera controls: %s values failed: %ld", what, static_cast<long>(result));
}
