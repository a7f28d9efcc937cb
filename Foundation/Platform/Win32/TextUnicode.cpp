#include "Foundation/Platform/TextUnicode.h"

#include <windows.h>

#include <climits>

namespace Platform {

// The Windows 95 family has only a stub of IsTextUnicode that always says
// no; a 64-bit program never runs there, so the call is always the real one.
int i_IsTextUnicode(void const* buffer, unsigned size) {
    // The system takes the size as an int; a larger buffer is judged by its
    // first INT_MAX bytes.
    int length = size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    return ::IsTextUnicode(buffer, length, nullptr) ? 1 : 0;
}

}  // namespace Platform
