#include "platform/registry_document.h"

#include "platform/registry_value_text.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kHive = "HKEY_CURRENT_USER";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The key itself or one below it.
bool IsAtOrBelow(std::string_view path, std::string_view keyPath) {
    return EqualsNoCase(path, keyPath) ||
           (path.size() > keyPath.size() && path[keyPath.size()] == '\\' &&
            StartsWithNoCase(path, keyPath));
}

} // namespace

bool CRegistryDocument::IsValidKeyPath(std::string_view keyPath) {
    if (HasLineBreak(keyPath) || keyPath.find('\0') != std::string_view::npos)
        return false;
    if (keyPath.empty())
        return true;
    // Every component must have a name: no leading, trailing or doubled '\'.
    return keyPath.front() != '\\' && keyPath.back() != '\\' &&
           keyPath.find("\\\\") == std::string_view::npos;
}

bool CRegistryDocument::Parse(std::string_view text, std::string& why) {
    m_preamble.clear();
    m_sections.clear();
    if (text.empty())
        return true;
    auto fail = [&](std::string reason) {
        why = std::move(reason);
        m_preamble.clear();
        m_sections.clear();
        return false;
    };
    if (text.find('\0') != std::string_view::npos)
        return fail("NUL bytes in the file");

    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::string_view first = TrimRight(lines.front());
    if (first.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        first.remove_prefix(kUtf8Bom.size());
    if (first != kHeader)
        return fail("no REGEDIT4 header");

    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = TrimRight(lines[i]);
        if (!line.empty() && line.front() == '[') {
            if (line.back() != ']')
                return fail("damaged key line: " + std::string(line));
            Section section;
            section.raw = std::string(lines[i]);
            std::string_view name = line.substr(1, line.size() - 2);
            if (StartsWithNoCase(name, kHive) &&
                (name.size() == kHive.size() || name[kHive.size()] == '\\')) {
                section.bCurrentUser = true;
                section.path = std::string(name.substr(std::min(name.size(), kHive.size() + 1)));
            }
            m_sections.push_back(std::move(section));
            continue;
        }
        Entry entry;
        entry.raw = std::string(lines[i]);
        bool bValueLine = !line.empty() && (line.front() == '"' || line.front() == '@');
        if (bValueLine && !m_sections.empty()) {
            // Hex data may go on over lines that each end in '\'.
            size_t eq = line.find('=');
            bool bHex = eq != std::string_view::npos &&
                        StartsWithNoCase(TrimLeft(line.substr(eq + 1)), "hex");
            while (bHex && !TrimRight(entry.raw).empty() && TrimRight(entry.raw).back() == '\\') {
                if (++i >= lines.size())
                    return fail("hex value cut off at the end of the file");
                entry.raw += '\n';
                entry.raw += lines[i];
            }
            if (!ParseValueLine(entry.raw, entry.name, entry.value, why))
                return fail(why);
            entry.bValue = true;
        }
        (m_sections.empty() ? m_preamble : m_sections.back().entries).push_back(std::move(entry));
    }
    return true;
}

std::string CRegistryDocument::Serialize() const {
    std::string out;
    for (const Entry& entry : m_preamble)
        out += entry.raw + '\n';
    for (const Section& section : m_sections) {
        out += section.raw + '\n';
        for (const Entry& entry : section.entries)
            out += entry.raw + '\n';
    }
    return out;
}

bool CRegistryDocument::KeyExists(std::string_view keyPath) const {
    if (keyPath.empty())
        return true;
    for (const Section& section : m_sections) {
        if (!section.bCurrentUser)
            continue;
        if (IsAtOrBelow(section.path, keyPath))
            return true;
    }
    return false;
}

bool CRegistryDocument::QueryValue(std::string_view keyPath, std::string_view name,
                                   RegValueData& value) const {
    // A key may have more than one section in a hand-edited file; as on import,
    // the last line for a name wins.
    const Entry* found = nullptr;
    for (const Section& section : m_sections) {
        if (!section.bCurrentUser || !EqualsNoCase(section.path, keyPath))
            continue;
        for (const Entry& entry : section.entries) {
            if (entry.bValue && entry.name == name)
                found = &entry;
        }
    }
    if (!found)
        return false;
    value = found->value;
    return true;
}

CRegistryDocument::Section* CRegistryDocument::FindLastSection(std::string_view keyPath) {
    for (auto it = m_sections.rbegin(); it != m_sections.rend(); ++it) {
        if (it->bCurrentUser && EqualsNoCase(it->path, keyPath))
            return &*it;
    }
    return nullptr;
}

CRegistryDocument::Section& CRegistryDocument::AppendSection(std::string_view keyPath) {
    if (m_preamble.empty() && m_sections.empty()) {
        m_preamble.emplace_back();
        m_preamble.back().raw = kHeader;
    }
    // Keys are separated by a blank line, as the editor writes them.
    std::vector<Entry>& last = m_sections.empty() ? m_preamble : m_sections.back().entries;
    if (last.empty() || !TrimRight(last.back().raw).empty())
        last.push_back(Entry{});
    Section section;
    section.bCurrentUser = true;
    section.path = std::string(keyPath);
    section.raw = "[" + std::string(kHive) + (keyPath.empty() ? "" : "\\") + section.path + "]";
    m_sections.push_back(std::move(section));
    return m_sections.back();
}

void CRegistryDocument::CreateKey(std::string_view keyPath) {
    if (keyPath.empty())
        return;
    size_t end = 0;
    do {
        end = keyPath.find('\\', end + 1);
        std::string_view prefix = keyPath.substr(0, end);
        // A key that only shows through a key below it needs no line of its own.
        if (!KeyExists(prefix))
            AppendSection(prefix);
    } while (end != std::string_view::npos);
}

bool CRegistryDocument::SetValue(std::string_view keyPath, std::string_view name, DWORD dwType,
                                 std::string_view data) {
    if (HasLineBreak(name))
        return false;
    CreateKey(keyPath);
    Section* section = FindLastSection(keyPath);
    if (!section)
        section = &AppendSection(keyPath);

    RegValueData value{dwType, std::string(data)};
    Entry* existing = nullptr;
    for (Section& s : m_sections) {
        if (!s.bCurrentUser || !EqualsNoCase(s.path, keyPath))
            continue;
        for (Entry& entry : s.entries) {
            if (entry.bValue && entry.name == name)
                existing = &entry;
        }
    }
    if (existing) {
        existing->value = value;
        existing->raw = FormatValueLine(name, value);
        return true;
    }
    // After the key's last non-blank line, so the blank line before the next
    // key stays where it is.
    auto& entries = section->entries;
    auto pos = entries.end();
    while (pos != entries.begin() && TrimRight(std::prev(pos)->raw).empty())
        --pos;
    Entry entry{FormatValueLine(name, value), true, std::string(name), value};
    entries.insert(pos, std::move(entry));
    return true;
}

std::vector<std::pair<std::string, RegValueData>>
CRegistryDocument::Values(std::string_view keyPath) const {
    std::vector<std::pair<std::string, RegValueData>> values;
    for (const Section& section : m_sections) {
        if (!section.bCurrentUser || !EqualsNoCase(section.path, keyPath))
            continue;
        for (const Entry& entry : section.entries) {
            if (!entry.bValue || entry.value.dwType == REG_UNREADABLE)
                continue;
            auto same = std::find_if(values.begin(), values.end(),
                                     [&](const auto& v) { return v.first == entry.name; });
            if (same != values.end())
                same->second = entry.value;
            else
                values.emplace_back(entry.name, entry.value);
        }
    }
    return values;
}

bool CRegistryDocument::DeleteValue(std::string_view keyPath, std::string_view name) {
    bool found = false;
    for (Section& section : m_sections) {
        if (!section.bCurrentUser || !EqualsNoCase(section.path, keyPath))
            continue;
        auto& entries = section.entries;
        const auto end = std::remove_if(entries.begin(), entries.end(), [&](const Entry& entry) {
            return entry.bValue && entry.name == name;
        });
        found = found || end != entries.end();
        entries.erase(end, entries.end());
    }
    return found;
}

void CRegistryDocument::DeleteKey(std::string_view keyPath) {
    if (keyPath.empty())
        return;
    auto below = [&](const Section& section) {
        return section.bCurrentUser && IsAtOrBelow(section.path, keyPath);
    };
    m_sections.erase(std::remove_if(m_sections.begin(), m_sections.end(), below),
                     m_sections.end());
}
