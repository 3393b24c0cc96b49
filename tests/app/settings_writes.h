#pragma once
// What the window does to its settings file, seen from outside. Every write of
// the store replaces registry.reg by renaming a finished temporary file over
// it, so the renames into that name are the writes, one each: an inotify watch
// on the folder counts them without touching the program.

#include "app/registry_access.h"
#include "platform/config_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

// The folder of the settings file ($XDG_CONFIG_HOME/nimbrel-vizor).
inline std::string SettingsFolder() {
    const std::string path = RegistryFilePath();
    return path.substr(0, path.rfind('/'));
}

class SettingsWrites {
public:
    // Starts counting now. The folder is made if it does not exist yet, as the
    // first write would make it.
    SettingsWrites() {
        mkdir(SettingsFolder().c_str(), 0700);
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        EXPECT_GE(m_fd, 0);
        EXPECT_GE(inotify_add_watch(m_fd, SettingsFolder().c_str(), IN_MOVED_TO | IN_CREATE), 0);
    }
    ~SettingsWrites() {
        if (m_fd >= 0)
            close(m_fd);
    }
    SettingsWrites(const SettingsWrites&) = delete;
    SettingsWrites& operator=(const SettingsWrites&) = delete;

    // Writes of registry.reg since the start (a rename onto it, or the file
    // created there directly).
    int Count() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::strcmp(event->name, "registry.reg") == 0)
                    ++m_nWrites;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return m_nWrites;
    }

private:
    int m_fd = -1;
    int m_nWrites = 0;
};

// A 32-bit value as the program reads it back, or -1 when it does not read as
// a number (missing, text, no file).
inline long long StoredNumber(const char* subKey, const std::string& valueName) {
    CRegistryAccess store;
    int nKind = -1;
    char szText[260];
    DWORD nNumber = 0;
    if (!store.ReadValue(HKEY_CURRENT_USER, subKey, valueName, nKind, szText, sizeof szText,
                         nNumber) ||
        nKind != 0)
        return -1;
    return nNumber;
}
