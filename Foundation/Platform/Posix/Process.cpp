#include "Foundation/Platform/Process.h"

#include <errno.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>

namespace Platform {

namespace {

struct st_Child {
    pid_t i_Process;
    int ai_ToChild[2];
    int ai_ToParent[2];
    int b_InChild;
};

}  // namespace

// A copy of this process needs no fresh program: `arguments` is unused.
void* h_StartChild(pf_ChildBody body, char const* job, char const*) {
    st_Child* child = new st_Child;
    if (::pipe(child->ai_ToChild) != 0) {
        delete child;
        return nullptr;
    }
    if (::pipe(child->ai_ToParent) != 0) {
        ::close(child->ai_ToChild[0]);
        ::close(child->ai_ToChild[1]);
        delete child;
        return nullptr;
    }
    child->i_Process = ::fork();
    if (child->i_Process < 0) {
        delete child;
        return nullptr;
    }
    if (child->i_Process == 0) {
        child->b_InChild = 1;
        int code = body(job, child);
        ::_exit(code);  // no destructors, no test framework tear-down in the copy
    }
    child->b_InChild = 0;
    return child;
}

// Never reached: a child here is a copy and needs no hand-over.
void v_RunChild(pf_ChildBody, char const*) { ::_exit(255); }

int b_SignalPeer(void* channel) {
    st_Child* child = static_cast<st_Child*>(channel);
    char byte = 1;
    return ::write(child->b_InChild ? child->ai_ToParent[1] : child->ai_ToChild[1], &byte, 1) == 1;
}

int b_WaitForPeer(void* channel) {
    st_Child* child = static_cast<st_Child*>(channel);
    char byte;
    return ::read(child->b_InChild ? child->ai_ToChild[0] : child->ai_ToParent[0], &byte, 1) == 1;
}

namespace {

// Waits for the child's end, closes the pipes and frees the record; the
// child's status, or -1 when the wait failed.
int i_Reap(st_Child* child) {
    int status = 0;
    pid_t done;
    do done = ::waitpid(child->i_Process, &status, 0);
    while (done < 0 && errno == EINTR);
    for (int descriptor : {child->ai_ToChild[0], child->ai_ToChild[1], child->ai_ToParent[0], child->ai_ToParent[1]})
        ::close(descriptor);
    delete child;
    return done < 0 ? -1 : status;
}

}  // namespace

int i_WaitForChild(void* handle) {
    int status = i_Reap(static_cast<st_Child*>(handle));
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// SIGKILL cannot be caught: the child stops between two instructions, and
// what it had handed to the kernel (written bytes, stores into a shared
// mapping) is all that remains of its work.
int b_KillChild(void* handle) {
    st_Child* child = static_cast<st_Child*>(handle);
    ::kill(child->i_Process, SIGKILL);  // harmless for a child that has ended and awaits its reaping
    int status = i_Reap(child);
    return status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

int b_LimitFileSize(unsigned bytes) {
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    struct rlimit limit;
    limit.rlim_cur = bytes;
    limit.rlim_max = RLIM_INFINITY;
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0) limit.rlim_cur = bytes;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

}  // namespace Platform
