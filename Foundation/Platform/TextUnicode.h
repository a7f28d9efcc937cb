// The system's own guess whether a byte buffer holds UTF-16 text, and the
// C runtime's conversion of narrow text to UTF-16.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// 1 when the system's text test (Windows: IsTextUnicode with no test flags,
// so every statistical and byte-order test runs) takes the size bytes at
// buffer for UTF-16 text, 0 when it does not, and -1 when the system has no
// such test; the caller then applies its own.
BASIS_API int i_IsTextUnicode(void const* buffer, unsigned size);

// Converts the zero-terminated narrow text to UTF-16 by the C runtime's
// multibyte conversion (mbrtowc) under the runtime's current locale: in the
// "C" locale, until the program calls setlocale, that is the runtime's own
// answer for each byte, not a code page of the system. Writes at most
// capacity units including the terminating zero (nothing when capacity is
// 0), ending early rather than splitting a character; returns the units
// written, without the zero. A byte the runtime rejects, and a character
// cut short by the end of the text, each give U+FFFD, and the conversion
// goes on with the next byte.
BASIS_API unsigned n_RuntimeMultiToWide(char const* text, unsigned short* buffer, unsigned capacity);

}  // namespace Platform
