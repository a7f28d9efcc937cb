#include "Foundation/Platform/Thread.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// A forked child has a thread id of its own; an id cached in the parent
// before the fork must not leak into it.
TEST(PosixThread, ForkedChildSeesItsOwnThreadId) {
    unsigned const parent = Platform::n_GetCurrentThreadId();
    ASSERT_EQ(parent, static_cast<unsigned>(::syscall(SYS_gettid)));
    pid_t const child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        unsigned const id = Platform::n_GetCurrentThreadId();
        ::_exit(id == static_cast<unsigned>(::syscall(SYS_gettid)) && id != parent ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}
