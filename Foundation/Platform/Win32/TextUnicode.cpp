#include "Foundation/Platform/TextUnicode.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>

namespace Platform {

// The Windows 95 family has only a stub of IsTextUnicode that always says
// no; a 64-bit program never runs there, so the call is always the real one.
int i_IsTextUnicode(void const* buffer, unsigned size) {
    // The system takes the size as an int; a larger buffer is judged by its
    // first INT_MAX bytes.
    int length = size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    return ::IsTextUnicode(buffer, length, nullptr) ? 1 : 0;
}

// The runtime's wchar_t is one UTF-16 unit, and its conversion gives one
// unit per character.
unsigned n_RuntimeMultiToWide(char const* text, unsigned short* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    unsigned written = 0;
    std::size_t left = std::strlen(text);
    std::mbstate_t state{};
    while (left > 0 && written + 1 < capacity) {
        wchar_t wide = 0;
        std::size_t length = std::mbrtowc(&wide, text, left, &state);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2) || length == 0) {
            // Rejected, or cut short by the end: one byte gives U+FFFD, and
            // the next byte starts afresh.
            wide = 0xFFFD;
            length = 1;
            state = std::mbstate_t{};
        }
        buffer[written++] = static_cast<unsigned short>(wide);
        text += length;
        left -= length;
    }
    buffer[written] = 0;
    return written;
}

}  // namespace Platform
