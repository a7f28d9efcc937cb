#include "Foundation/Platform/SystemError.h"

#include <windows.h>

namespace Platform {

unsigned n_GetLastError() { return ::GetLastError(); }

void v_SetLastError(unsigned code) { ::SetLastError(code); }

unsigned n_GetSystemMessage(unsigned code, char* buffer, unsigned size) {
    if (size == 0) return 0;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    buffer, size, nullptr);
    if (length >= size) length = size - 1;
    buffer[length] = 0;
    return length;
}

unsigned n_GetSystemMessageW(unsigned code, unsigned short* buffer, unsigned size) {
    if (size == 0) return 0;
    wchar_t* wide = reinterpret_cast<wchar_t*>(buffer);
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                    wide, size, nullptr);
    if (length >= size) length = size - 1;
    buffer[length] = 0;
    return length;
}

}  // namespace Platform
