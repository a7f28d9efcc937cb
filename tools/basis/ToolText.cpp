#include "tools/basis/ToolText.h"

namespace {

void v_Append(std::string* out, unsigned c) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

std::string s_Utf8FromWide(unsigned short const* units, std::size_t count) {
    std::string out;
    out.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        unsigned c = units[k];
        if (c >= 0xD800 && c < 0xDC00 && k + 1 < count && units[k + 1] >= 0xDC00 && units[k + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[k + 1] - 0xDC00u);
            ++k;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // half a pair cannot be written as UTF-8
        }
        v_Append(&out, c);
    }
    return out;
}

std::string s_Utf8FromWide(unsigned short const* units) {
    std::size_t count = 0;
    if (units)
        while (units[count]) ++count;
    return s_Utf8FromWide(units, count);
}

std::string s_InQuotes(std::string const& text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}
