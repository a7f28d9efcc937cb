// The system's own guess whether a byte buffer holds UTF-16 text.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// 1 when the system's text test (Windows: IsTextUnicode with no test flags,
// so every statistical and byte-order test runs) takes the size bytes at
// buffer for UTF-16 text, 0 when it does not, and -1 when the system has no
// such test; the caller then applies its own.
BASIS_API int i_IsTextUnicode(void const* buffer, unsigned size);

}  // namespace Platform
