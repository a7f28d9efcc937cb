// Whether a standard stream of the process is an interactive terminal, for
// programs that show progress only to a person watching.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// True when standard error is a terminal (a console on Windows).
BASIS_API int b_IsStandardErrorTerminal();

}  // namespace Platform
