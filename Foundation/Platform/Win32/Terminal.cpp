#include "Foundation/Platform/Terminal.h"

#include <windows.h>

namespace Platform {

int b_IsStandardErrorTerminal() {
    // A console answers GetConsoleMode; a pipe or a file does not.
    DWORD mode = 0;
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) ? 1 : 0;
}

}  // namespace Platform
