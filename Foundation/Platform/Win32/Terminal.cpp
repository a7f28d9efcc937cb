#include "Foundation/Platform/Terminal.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace Platform {

int b_IsStandardErrorTerminal() {
    // A console answers GetConsoleMode; a pipe or a file does not.
    DWORD mode = 0;
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) ? 1 : 0;
}

// The library and the program share the runtime's stream table, so the
// mode set here is the one the program's stdin and stdout use.
void v_SetStandardInputBinary() { _setmode(_fileno(stdin), _O_BINARY); }
void v_SetStandardOutputBinary() {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace Platform
