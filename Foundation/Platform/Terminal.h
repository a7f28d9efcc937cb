// The process's standard streams: whether one is an interactive terminal,
// for programs that show progress only to a person watching, and binary
// mode for programs that pass bytes through them unchanged.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// True when standard error is a terminal (a console on Windows).
BASIS_API int b_IsStandardErrorTerminal();
// The same for standard input and standard output.
BASIS_API int b_IsStandardInputTerminal();
BASIS_API int b_IsStandardOutputTerminal();

// Standard input and standard output without text-mode translation: on
// Windows the runtime would otherwise turn CR LF into LF on reading, LF
// into CR LF on writing and stop reading at a Ctrl-Z. Nothing to do on
// Linux. Call before the first read or write of the stream.
BASIS_API void v_SetStandardInputBinary();
BASIS_API void v_SetStandardOutputBinary();

}  // namespace Platform
