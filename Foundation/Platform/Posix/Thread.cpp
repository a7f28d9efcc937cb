#include "Foundation/Platform/Thread.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Platform {

namespace {

unsigned n_KernelThreadId() { return static_cast<unsigned>(::syscall(SYS_gettid)); }

// The kernel's thread id is what tools (ps, gdb, /proc) show, as the
// Windows thread id is; it is cached per thread because the system call
// is not free and the error manager asks on every call. 0 means not asked
// yet: the kernel never gives a thread id 0.
thread_local unsigned tn_ThreadId = 0;

// A forked child starts with one thread, a copy of the one that forked,
// cache included, but under a new id. The child handler runs in that very
// thread, so it can put the right id in its cache.
struct st_ForkHandler {
    st_ForkHandler() {
        ::pthread_atfork(nullptr, nullptr, [] { tn_ThreadId = n_KernelThreadId(); });
    }
} const so_ForkHandler;

}  // namespace

unsigned n_GetCurrentThreadId() {
    if (tn_ThreadId == 0) tn_ThreadId = n_KernelThreadId();
    return tn_ThreadId;
}

}  // namespace Platform
