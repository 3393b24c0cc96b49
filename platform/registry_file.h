#pragma once
// The settings store on disk: one REGEDIT4 file shared by every running copy of
// the program and by other software. Writes are read-modify-write cycles under
// an exclusive lock on a lock file beside it, and replace the file atomically,
// so a reader or a crash sees the old file or the new one, never a torn one.

#include "platform/registry_document.h"
#include "platform/win_types.h"

#include <functional>
#include <string>

// Results, with the registry's error numbers, so traces read as they would
// there.
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_DISK_FULL = 112;
constexpr LONG ERROR_BAD_PATHNAME = 161;
constexpr LONG ERROR_REGISTRY_CORRUPT = 1015;
constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;

// Far above any real settings file; a bigger one counts as damaged.
constexpr long REGISTRY_FILE_LIMIT = 16L * 1024 * 1024;

class CRegistryFile {
public:
    explicit CRegistryFile(std::string path) : m_strPath(std::move(path)) {}

    // Reads the store. A missing file is an empty document. A damaged file
    // (one that does not parse, is bigger than REGISTRY_FILE_LIMIT, or is not
    // a regular file at all) gives ERROR_REGISTRY_CORRUPT and stays where it
    // is; the next write sets it aside.
    LONG Load(CRegistryDocument& doc) const;

    // Loads the document under the exclusive lock, lets `edit` change it and
    // writes it back. A damaged file is first kept under a free name
    // "registry.reg.bad", ".bad.1", ... and the edit starts from an empty
    // document. Nothing is written when `edit` returns an error, which is then
    // the result.
    LONG Update(const std::function<LONG(CRegistryDocument&)>& edit) const;

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};
