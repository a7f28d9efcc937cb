// The C runtime's multibyte conversion (see TextUnicode.h): the same code on
// every system, as only the width of the runtime's wchar_t differs.
#include <cstring>
#include <cwchar>

#include "Foundation/Platform/TextUnicode.h"

namespace Platform {

namespace {
// Windows' wchar_t is one UTF-16 unit and its runtime gives one unit a
// character. glibc's holds a whole code point: one above U+FFFF becomes a
// surrogate pair, and a value no UTF-16 unit sequence can carry (a lone
// surrogate, or past U+10FFFF) counts as rejected.
constexpr bool cb_WideIsCodePoint = sizeof(wchar_t) > 2;
}  // namespace

unsigned n_RuntimeMultiToWide(char const* text, unsigned short* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    unsigned written = 0;
    std::size_t left = std::strlen(text);
    std::mbstate_t state{};
    while (left > 0) {
        wchar_t wide = 0;
        std::size_t length = std::mbrtowc(&wide, text, left, &state);
        unsigned long c = static_cast<unsigned long>(wide);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2) || length == 0) {
            // Rejected, or cut short by the end: one byte gives U+FFFD, and
            // the next byte starts afresh.
            c = 0xFFFD;
            length = 1;
            state = std::mbstate_t{};
        }
        if (cb_WideIsCodePoint && (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))) c = 0xFFFD;
        unsigned units = c > 0xFFFF ? 2 : 1;
        if (written + units >= capacity) break;
        if (units == 2) {
            c -= 0x10000;
            buffer[written++] = static_cast<unsigned short>(0xD800 + (c >> 10));
            buffer[written++] = static_cast<unsigned short>(0xDC00 + (c & 0x3FF));
        } else {
            buffer[written++] = static_cast<unsigned short>(c);
        }
        text += length;
        left -= length;
    }
    buffer[written] = 0;
    return written;
}

}  // namespace Platform
