// Thread identity as the operating system numbers it.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// The calling thread's system identifier: GetCurrentThreadId on Windows,
// the kernel thread id on Linux. Never 0 for a live thread.
BASIS_API unsigned n_GetCurrentThreadId();

}  // namespace Platform
