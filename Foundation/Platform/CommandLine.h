// The process's command-line arguments as wide text, for programs that
// pass them on as file names. Windows hands main() its arguments in the
// ANSI code page, which cannot spell every file name, so there they are
// taken from the wide command line; on Linux the bytes of argv are UTF-8.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// Writes argv[index] (argv and argc as main received them, index 0 the
// program) as UTF-16 into buffer: at most size - 1 units and a terminator
// (nothing when size is 0). Returns the argument's whole length in units,
// which is size or more when it was cut short, and 0 for an index outside
// 0..argc-1. On Windows the wide command line is used when argv is the
// process's own and the command line splits into argc arguments; any
// other argv is converted from the ANSI code page.
BASIS_API unsigned n_GetWideArgument(int argc, char const* const* argv, int index, unsigned short* buffer,
                                     unsigned size);

}  // namespace Platform
