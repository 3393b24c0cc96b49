#include "platform/registry_value_text.h"

#include <cstdio>

namespace {

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
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
        std::string_view byte = std::string_view(compact).substr(
            start, comma == std::string::npos ? comma : comma - start);
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

} // namespace

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

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

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

bool ParseValueLine(std::string_view line, std::string& name, RegValueData& value,
                    std::string& why) {
    line = TrimRight(line);
    if (line.empty()) {
        why = "empty value line";
        return false;
    }
    size_t pos;
    if (line.front() == '@') {
        name.clear();
        pos = 1;
    } else {
        pos = ParseQuoted(line, name);
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
    return true;
}
