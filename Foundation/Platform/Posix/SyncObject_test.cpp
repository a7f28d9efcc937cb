// The Linux half of the synchronisation seam where only Linux can measure
// the case: a wait that must sleep, not spin, uses next to no processor.
#include <gtest/gtest.h>

#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "Foundation/Platform/Sync.h"
#include "Foundation/Platform/SystemError.h"

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

// Handles here are small numbers checked against the table: values near a
// real one, past the table's end or far outside are refused with 6 and
// never followed, by the waits and by a release alike.
TEST(SyncHandleValues, MadeUpValuesAreRefused) {
    HANDLE mutex = h_CreateMutex(0, nullptr);
    ASSERT_NE(mutex, nullptr);
    std::uintptr_t real = reinterpret_cast<std::uintptr_t>(mutex);
    for (std::uintptr_t value : {real + 1, real + 2, real + 3, real - 1, std::uintptr_t{(1u << 16) * 4 + 4},
                                 std::uintptr_t{(1u << 16) * 4 + 1}, ~std::uintptr_t{0}, ~std::uintptr_t{3},
                                 std::uintptr_t{1} << 62}) {
        HANDLE handle = reinterpret_cast<HANDLE>(value);
        EXPECT_EQ(n_WaitForSyncObject(handle, 0, 0), e_WaitFailed) << value;
        EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));
        EXPECT_FALSE(b_ReleaseMutex(handle));
        EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));
        EXPECT_FALSE(b_CloseSyncHandle(handle));
    }
    // The real one still works, and once closed is refused in turn.
    EXPECT_EQ(n_WaitForSyncObject(mutex, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(mutex));
    EXPECT_TRUE(b_CloseSyncHandle(mutex));
    EXPECT_EQ(n_WaitForSyncObject(mutex, 0, 0), e_WaitFailed);
    EXPECT_FALSE(b_ReleaseMutex(mutex));
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));
}

}  // namespace
