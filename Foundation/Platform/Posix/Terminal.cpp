#include "Foundation/Platform/Terminal.h"

#include <unistd.h>

namespace Platform {

int b_IsStandardErrorTerminal() { return isatty(STDERR_FILENO) ? 1 : 0; }

}  // namespace Platform
