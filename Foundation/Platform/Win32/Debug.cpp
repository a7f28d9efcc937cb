#include "Foundation/Platform/Debug.h"

#include <windows.h>

namespace Platform {

void v_OutputDebugString(char const* text) {
    if (text) ::OutputDebugStringA(text);
}

unsigned n_GetTempPath(char* buffer, unsigned size) {
    if (size == 0) return 0;
    DWORD length = ::GetTempPathA(size, buffer);
    if (length == 0 || length >= size) {
        buffer[0] = 0;
        return 0;
    }
    return length;
}

}  // namespace Platform
