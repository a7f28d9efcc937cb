// The debugger's output channel and the system's temporary directory.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// Sends text to the debugger's output channel: OutputDebugStringA on
// Windows. Linux has no such channel: the text goes to standard error when
// a debugger (a tracer) is attached to the process, and nowhere otherwise,
// which is what a Windows user sees without a debugger.
BASIS_API void v_OutputDebugString(char const* text);

// The temporary directory with a trailing separator, cut to size - 1
// characters; the characters written, 0 on failure.
BASIS_API unsigned n_GetTempPath(char* buffer, unsigned size);

}  // namespace Platform
