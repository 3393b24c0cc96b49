#pragma once
// The settings store's contents as a REGEDIT4 text: keys of the current user's
// hive with their values, and everything else the file holds (other hives,
// comments, value types we never write) kept line for line, so that a write of
// ours gives back every byte of other software's settings.

#include "platform/win_types.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Value types, with the registry's numbers.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
// A value line whose data form we do not know (a deletion mark "-", a typo):
// kept verbatim, never read as a value.
constexpr DWORD REG_UNREADABLE = 0xFFFFFFFFu;

// A value as the registry holds it: REG_DWORD as 4 little-endian bytes, REG_SZ
// as its text and the terminating zero byte, hex forms as their bytes.
struct RegValueData {
    DWORD dwType = REG_NONE;
    std::string data;
};

class CRegistryDocument {
public:
    // Reads a REGEDIT4 text. An empty text is an empty document. Returns false
    // for a text that is not one (no header, NUL bytes, a torn key or value
    // line) and says why in `why`; the document is then left empty.
    bool Parse(std::string_view text, std::string& why);
    std::string Serialize() const;

    // Key paths are below HKEY_CURRENT_USER, components separated by '\',
    // compared case-insensitively; "" is the hive itself. A key exists when it
    // or any key below it has a section.
    bool KeyExists(std::string_view keyPath) const;
    // Value names are compared byte for byte. Returns false when the key or the
    // value is missing.
    bool QueryValue(std::string_view keyPath, std::string_view name, RegValueData& value) const;

    // Creates the key and every missing key above it.
    void CreateKey(std::string_view keyPath);
    // Stores a value, creating its key. Returns false, changing nothing, for a
    // name the text format cannot hold (a line break in it).
    bool SetValue(std::string_view keyPath, std::string_view name, DWORD dwType,
                  std::string_view data);

    // The key's readable values in file order, each name once with its last
    // line's value; empty when the key has none.
    std::vector<std::pair<std::string, RegValueData>> Values(std::string_view keyPath) const;
    // Removes every line of the value; false when there was none.
    bool DeleteValue(std::string_view keyPath, std::string_view name);
    // Removes the key, its values and every key below it.
    void DeleteKey(std::string_view keyPath);

    // A key path the store can hold: no empty component, no line break.
    static bool IsValidKeyPath(std::string_view keyPath);

private:
    struct Entry {
        std::string raw; // the line(s) as in the file, continuation lines included
        bool bValue = false;
        std::string name;
        RegValueData value;
    };
    struct Section {
        std::string raw;
        bool bCurrentUser = false;
        std::string path; // below HKEY_CURRENT_USER, when bCurrentUser
        std::vector<Entry> entries;
    };

    Section* FindLastSection(std::string_view keyPath);
    Section& AppendSection(std::string_view keyPath);

    std::vector<Entry> m_preamble; // header line and anything before the first key
    std::vector<Section> m_sections;
};
