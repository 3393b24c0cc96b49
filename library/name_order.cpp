#include "library/name_order.h"

#include <QChar>

#include <algorithm>
#include <vector>

namespace {

// Decodes one UTF-8 sequence at text[i]. Returns its length and the code
// point, or 0 when the bytes there are not a well-formed sequence (overlong
// forms, surrogates and values above U+10FFFF included).
std::size_t DecodeUtf8(const std::string& text, std::size_t i, char32_t& codePoint) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, min = 0x80, codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, min = 0x800, codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

// The name as the units the file system compares.
std::vector<char32_t> SortKey(const std::string& name) {
    std::vector<char32_t> units;
    units.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        char32_t codePoint = 0;
        const std::size_t length = DecodeUtf8(name, i, codePoint);
        if (length == 0) {
            units.push_back(static_cast<unsigned char>(name[i]));
            ++i;
            continue;
        }
        i += length;
        if (codePoint >= 0x10000) {
            // A surrogate pair; surrogates have no case.
            codePoint -= 0x10000;
            units.push_back(0xD800 + (codePoint >> 10));
            units.push_back(0xDC00 + (codePoint & 0x3FF));
        } else {
            units.push_back(QChar::toUpper(codePoint));
        }
    }
    return units;
}

} // namespace

bool FileSystemNameLess(const std::string& a, const std::string& b) {
    const std::vector<char32_t> keyA = SortKey(a);
    const std::vector<char32_t> keyB = SortKey(b);
    if (keyA != keyB)
        return std::lexicographical_compare(keyA.begin(), keyA.end(), keyB.begin(), keyB.end());
    return a < b;
}
