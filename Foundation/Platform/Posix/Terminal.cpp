#include "Foundation/Platform/Terminal.h"

#include <unistd.h>

namespace Platform {

int b_IsStandardErrorTerminal() { return isatty(STDERR_FILENO) ? 1 : 0; }
int b_IsStandardInputTerminal() { return isatty(STDIN_FILENO) ? 1 : 0; }
int b_IsStandardOutputTerminal() { return isatty(STDOUT_FILENO) ? 1 : 0; }

// The streams carry bytes as they are already.
void v_SetStandardInputBinary() {}
void v_SetStandardOutputBinary() {}

}  // namespace Platform
