#include "Foundation/Platform/Posix/Utf8Text.h"

namespace Platform {
namespace Posix {

unsigned n_Utf8ToUtf16(char const* text, std::size_t length, unsigned short* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    unsigned out = 0;
    unsigned char const* p = reinterpret_cast<unsigned char const*>(text);
    unsigned char const* end = p + length;
    while (p < end && out + 1 < capacity) {
        unsigned c = *p++;
        unsigned extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && extra == 0) c = 0xFFFD;
        else if (extra) c &= 0x3Fu >> extra;
        for (; extra && p < end && (*p & 0xC0) == 0x80; --extra) c = (c << 6) | (*p++ & 0x3F);
        if (extra || c > 0x10FFFF) c = 0xFFFD;
        if (c >= 0x10000) {
            if (out + 2 >= capacity) break;
            c -= 0x10000;
            buffer[out++] = static_cast<unsigned short>(0xD800 + (c >> 10));
            c = 0xDC00 + (c & 0x3FF);
        }
        buffer[out++] = static_cast<unsigned short>(c);
    }
    buffer[out] = 0;
    return out;
}

unsigned n_Utf16ToUtf8(unsigned short const* text, char* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    unsigned out = 0;
    for (unsigned i = 0; text[i]; ++i) {
        unsigned c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        unsigned char bytes[4];
        unsigned n;
        if (c < 0x80) {
            bytes[0] = static_cast<unsigned char>(c);
            n = 1;
        } else if (c < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            n = 2;
        } else if (c < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (c >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            n = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (c >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (c & 0x3F));
            n = 4;
        }
        if (out + n >= capacity) break;
        for (unsigned k = 0; k < n; ++k) buffer[out++] = static_cast<char>(bytes[k]);
    }
    buffer[out] = 0;
    return out;
}

}  // namespace Posix
}  // namespace Platform
