#include "platform/registry_document.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kHive = "HKEY_CURRENT_USER";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The registry folds the case of key names; bytes outside ASCII (UTF-8 paths)
// are compared as they are.
bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = FoldCase(c);
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexNumber(std::string_view s, DWORD& out) {
    if (s.empty() || s.size() > 8)
        return false;
    out = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0)
            return false;
        out = out << 4 | static_cast<DWORD>(d);
    }
    return true;
}

// Reads a quoted text starting at s[0] == '"'. Only \\ and \" are escapes in
// this format. Returns the position after the closing quote, or npos.
size_t ParseQuoted(std::string_view s, std::string& out) {
    out.clear();
    for (size_t i = 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"')
            return i + 1;
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                return std::string_view::npos;
            c = s[++i];
        }
        out += c;
    }
    return std::string_view::npos;
}

std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// "hex:01,02,\<newline>  03" and "hex(7):..." forms. Continuation lines were
// joined with '\n' by the caller.
bool ParseHexBytes(std::string_view s, std::string& out) {
    out.clear();
    std::string compact;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\') {
            // Only a continuation mark may stand here: '\' at the end of a line.
            size_t next = s.find_first_not_of(" \t\r", i + 1);
            if (next != std::string_view::npos && s[next] != '\n')
                return false;
            continue;
        }
        if (s[i] != ' ' && s[i] != '\t' && s[i] != '\r' && s[i] != '\n')
            compact += s[i];
    }
    if (compact.empty())
        return true;
    size_t start = 0;
    while (true) {
        size_t comma = compact.find(',', start);
        std::string_view byte =
            std::string_view(compact).substr(start, comma == std::string::npos ? comma : comma - start);
        DWORD value;
        if (byte.size() > 2 || !ParseHexNumber(byte, value))
            return false;
        out += static_cast<char>(value);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

std::string FormatHex(DWORD dwType, std::string_view data) {
    char prefix[16];
    if (dwType == REG_BINARY)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", dwType);
    std::string out = prefix;
    for (size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
        out += byte;
    }
    return out;
}

// The text form of a value line. A REG_SZ is written as a quoted text when it
// is one line of text ending in its single terminator; anything else keeps its
// exact bytes in the hex form.
std::string FormatValueLine(std::string_view name, const RegValueData& value) {
    std::string line = name.empty() ? std::string("@") : Quote(name);
    line += '=';
    const std::string& d = value.data;
    if (value.dwType == REG_DWORD && d.size() == 4) {
        DWORD n = 0;
        for (int i = 3; i >= 0; --i)
            n = n << 8 | static_cast<unsigned char>(d[i]);
        char text[24];
        std::snprintf(text, sizeof text, "dword:%08x", n);
        return line + text;
    }
    if (value.dwType == REG_SZ && !d.empty() && d.back() == '\0' &&
        d.find_first_of(std::string_view("\0\r\n", 3)) == d.size() - 1)
        return line + Quote(std::string_view(d).substr(0, d.size() - 1));
    return line + FormatHex(value.dwType, d);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

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

bool CRegistryDocument::ParseValueEntry(Entry& entry, std::string& why) const {
    std::string_view line = TrimRight(entry.raw);
    size_t pos;
    if (line.front() == '@') {
        entry.name.clear();
        pos = 1;
    } else {
        pos = ParseQuoted(line, entry.name);
        if (pos == std::string_view::npos) {
            why = "unterminated value name: " + std::string(line);
            return false;
        }
    }
    std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
        why = "value line without '=': " + std::string(line);
        return false;
    }
    rest = TrimLeft(rest.substr(1));
    RegValueData& value = entry.value;
    value.data.clear();
    if (!rest.empty() && rest.front() == '"') {
        std::string text;
        if (ParseQuoted(rest, text) != rest.size()) {
            why = "damaged text value: " + std::string(line);
            return false;
        }
        value.dwType = REG_SZ;
        value.data = text + '\0';
    } else if (StartsWithNoCase(rest, "dword:")) {
        DWORD n;
        if (rest.size() != 14 || !ParseHexNumber(rest.substr(6), n)) {
            why = "damaged dword value: " + std::string(line);
            return false;
        }
        value.dwType = REG_DWORD;
        for (int i = 0; i < 4; ++i)
            value.data += static_cast<char>(n >> (8 * i) & 0xFF);
    } else if (StartsWithNoCase(rest, "hex")) {
        size_t colon = rest.find(':');
        std::string_view kind = rest.substr(3, colon == std::string_view::npos ? colon : colon - 3);
        DWORD dwType = REG_BINARY;
        bool ok = colon != std::string_view::npos;
        if (ok && !kind.empty()) {
            ok = kind.size() >= 3 && kind.front() == '(' && kind.back() == ')' &&
                 ParseHexNumber(kind.substr(1, kind.size() - 2), dwType);
        }
        if (!ok || !ParseHexBytes(rest.substr(colon + 1), value.data)) {
            why = "damaged hex value: " + std::string(line.substr(0, 200));
            return false;
        }
        value.dwType = dwType;
    } else {
        value.dwType = REG_UNREADABLE;
    }
    entry.bValue = true;
    return true;
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
            if (!ParseValueEntry(entry, why))
                return fail(why);
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
        std::string_view path = section.path;
        if (EqualsNoCase(path, keyPath) ||
            (path.size() > keyPath.size() && path[keyPath.size()] == '\\' &&
             StartsWithNoCase(path, keyPath)))
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
