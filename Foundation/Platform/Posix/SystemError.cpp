#include "Foundation/Platform/SystemError.h"

#include <errno.h>
#include <string.h>

namespace Platform {

unsigned n_GetLastError() { return static_cast<unsigned>(errno); }

void v_SetLastError(unsigned code) { errno = static_cast<int>(code); }

unsigned n_GetSystemMessage(unsigned code, char* buffer, unsigned size) {
    if (size == 0) return 0;
    buffer[0] = 0;
    char work[512];
    // The GNU strerror_r returns the text, which may or may not be in work.
    char const* text = ::strerror_r(static_cast<int>(code), work, sizeof work);
    if (text == nullptr) return 0;
    size_t length = ::strlen(text);
    if (length >= size) length = size - 1;
    ::memcpy(buffer, text, length);
    buffer[length] = 0;
    return static_cast<unsigned>(length);
}

unsigned n_GetSystemMessageW(unsigned code, unsigned short* buffer, unsigned size) {
    if (size == 0) return 0;
    char narrow[512];
    unsigned length = n_GetSystemMessage(code, narrow, sizeof narrow);
    // glibc's messages are ASCII in the C locale and UTF-8 otherwise;
    // decode UTF-8 here so that the wide text is right in both cases.
    unsigned out = 0;
    unsigned char const* p = reinterpret_cast<unsigned char const*>(narrow);
    unsigned char const* end = p + length;
    while (p < end && out + 1 < size) {
        unsigned c = *p++;
        unsigned extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && extra == 0) c = 0xFFFD;
        else if (extra) c &= 0x3F >> extra;
        for (; extra && p < end && (*p & 0xC0) == 0x80; --extra) c = (c << 6) | (*p++ & 0x3F);
        if (extra) c = 0xFFFD;
        if (c >= 0x10000) {
            if (out + 2 >= size) break;
            c -= 0x10000;
            buffer[out++] = static_cast<unsigned short>(0xD800 + (c >> 10));
            c = 0xDC00 + (c & 0x3FF);
        }
        buffer[out++] = static_cast<unsigned short>(c);
    }
    buffer[out] = 0;
    return out;
}

}  // namespace Platform
