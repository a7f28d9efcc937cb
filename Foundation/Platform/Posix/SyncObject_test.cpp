// The Linux half of the synchronisation seam where only Linux can measure
// the case: a wait that must sleep, not spin, uses next to no processor.
#include <gtest/gtest.h>

#include <time.h>
#include <unistd.h>

#include <string>

#include "Foundation/Platform/Sync.h"

namespace {

using namespace Platform;

double d_ThreadSeconds() {
    timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST(SyncWaitSleeps, AWaitAllThatGivesAFreeMutexBackSleepsUntilTheEnd) {
    // Named after the process, so that two test runs at once do not meet.
    std::string named = "basis-sync-sleeps-test-" + std::to_string(::getpid());
    for (char const* name : {static_cast<char const*>(nullptr), named.c_str()}) {
        HANDLE handles[2] = {h_CreateMutex(0, name), h_CreateEvent(1, 0, nullptr)};
        ASSERT_NE(handles[0], nullptr);
        double before = d_ThreadSeconds();
        EXPECT_EQ(n_WaitForSyncObjects(2, handles, 1, 300, 0), e_WaitTimeout);
        // A waiter woken by its own give-back would spin for the whole
        // 300 ms; one that sleeps spends a few microseconds.
        EXPECT_LT(d_ThreadSeconds() - before, 0.1) << (name ? "named" : "unnamed");
        b_CloseSyncHandle(handles[0]);
        b_CloseSyncHandle(handles[1]);
    }
}

}  // namespace
