#include "Foundation/Platform/Thread.h"

#include <windows.h>

namespace Platform {

unsigned n_GetCurrentThreadId() { return ::GetCurrentThreadId(); }

}  // namespace Platform
