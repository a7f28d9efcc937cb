#include "Foundation/Platform/SystemError.h"

#include <errno.h>
#include <string.h>

#include "Foundation/Platform/Posix/Utf8Text.h"

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
    // glibc's messages are ASCII in the C locale and UTF-8 otherwise.
    return Posix::n_Utf8ToUtf16(narrow, length, buffer, size);
}

}  // namespace Platform
