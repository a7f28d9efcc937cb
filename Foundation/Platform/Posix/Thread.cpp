#include "Foundation/Platform/Thread.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

unsigned n_GetCurrentThreadId() {
    // The kernel's thread id is what tools (ps, gdb, /proc) show, as the
    // Windows thread id is; it is cached per thread because the system call
    // is not free and the error manager asks on every call.
    static thread_local unsigned tn_Id = static_cast<unsigned>(::syscall(SYS_gettid));
    return tn_Id;
}

}  // namespace Platform
