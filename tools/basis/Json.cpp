#include "tools/basis/Json.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at text, 0 when it is not one.
std::size_t n_Sequence(unsigned char const* text, std::size_t left) {
    unsigned char c = text[0];
    std::size_t length = c < 0x80 ? 1 : c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (length == 0 || left < length) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((text[k] & 0xC0) != 0x80) return 0;
    if ((c == 0xE0 && text[1] < 0xA0) || (c == 0xED && text[1] >= 0xA0) || (c == 0xF0 && text[1] < 0x90) ||
        (c == 0xF4 && text[1] >= 0x90))
        return 0;
    return length;
}

}  // namespace

std::string s_JsonString(std::string const& text) {
    std::string out = "\"";
    auto const* bytes = reinterpret_cast<unsigned char const*>(text.data());
    for (std::size_t k = 0; k < text.size();) {
        unsigned char c = bytes[k];
        std::size_t length = n_Sequence(bytes + k, text.size() - k);
        if (length == 0) {
            out += "\\ufffd";
            ++k;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text, k, length);
        }
        k += length;
    }
    return out + "\"";
}
