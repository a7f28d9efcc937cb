#include "Foundation/Platform/Terminal.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace Platform {

namespace {

// A console answers GetConsoleMode; a pipe or a file does not.
int b_IsConsole(DWORD which) {
    DWORD mode = 0;
    HANDLE handle = GetStdHandle(which);
    return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) ? 1 : 0;
}

}  // namespace

int b_IsStandardErrorTerminal() { return b_IsConsole(STD_ERROR_HANDLE); }
int b_IsStandardInputTerminal() { return b_IsConsole(STD_INPUT_HANDLE); }
int b_IsStandardOutputTerminal() { return b_IsConsole(STD_OUTPUT_HANDLE); }

// The library and the program share the runtime's stream table, so the
// mode set here is the one the program's stdin and stdout use.
void v_SetStandardInputBinary() { _setmode(_fileno(stdin), _O_BINARY); }
void v_SetStandardOutputBinary() {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace Platform
