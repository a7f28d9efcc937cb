// Sixteen threads over mutexes, semaphores, events, wait lists and the
// reader-writer lock for a few seconds, checking after every step what the
// objects promise: one mutex owner, a semaphore between 0 and its maximum,
// writers alone in the lock, a wait-all owning all of its set.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "Foundation/System/IPC/Event.h"
#include "Foundation/System/IPC/Mutex.h"
#include "Foundation/System/IPC/ReadWriteLock.h"
#include "Foundation/System/IPC/Semaphore.h"
#include "Foundation/System/IPC/SyncObject.h"

namespace {

struct st_Shared {
    CT_IPC_Mutex co_Mutex;
    CT_IPC_Semaphore co_Semaphore{3, 3};
    CT_IPC_Event co_Token{0, 1};  // automatic reset: one holder at a time
    CT_IPC_ReadWriteLock co_Lock;
    CT_IPC_SyncObjectList co_All;  // mutex, semaphore and token together
    std::atomic<int> i_Owners{0};
    std::atomic<int> i_Units{0};
    std::atomic<int> i_Tokens{0};
    std::atomic<int> i_Readers{0};
    std::atomic<int> i_Writers{0};
    std::atomic<int> i_Broken{0};
    std::atomic<long> n_Steps{0};

    st_Shared() {
        co_All.v_Add(&co_Mutex);
        co_All.v_Add(&co_Semaphore);
        co_All.v_Add(&co_Token);
        // A list is not locked: its handle array is made by the thread that
        // built it, before any thread waits on it.
        co_All.qch_GetHandles();
    }
    void v_Check(bool ok) {
        if (!ok) i_Broken.fetch_add(1);
    }
};

constexpr unsigned n_Long = 60000;

void v_Worker(st_Shared* shared, unsigned seed, std::chrono::steady_clock::time_point end) {
    CT_IPC_SyncObjectList any;  // each thread's own list: lists are not shared
    any.v_Add(&shared->co_Token);
    any.v_Add(&shared->co_Semaphore);
    while (std::chrono::steady_clock::now() < end) {
        seed = seed * 1103515245u + 12345u;
        switch ((seed >> 16) % 6) {
            case 0: {
                shared->co_Mutex.v_Claim();
                shared->v_Check(shared->i_Owners.fetch_add(1) == 0);
                shared->co_Mutex.v_Claim();  // recursion
                shared->co_Mutex.v_Release();
                shared->v_Check(shared->i_Owners.fetch_sub(1) == 1);
                shared->co_Mutex.v_Release();
                break;
            }
            case 1: {
                if (shared->co_Semaphore.eo_Wait(n_Long, 0) != CT_IPC_SyncObject::e_WaitObject0) {
                    shared->v_Check(false);
                    break;
                }
                int units = shared->i_Units.fetch_add(1) + 1;
                shared->v_Check(units >= 1 && units <= 3);
                shared->i_Units.fetch_sub(1);
                shared->co_Semaphore.v_Release(1);
                break;
            }
            case 2: {
                // Wait-any over the token and the semaphore: the index says
                // which was taken, and it must be given back.
                unsigned got = CT_IPC_SyncObject::seo_Wait(&any, 0, n_Long, 0);
                if (got == 0) {
                    shared->v_Check(shared->i_Tokens.fetch_add(1) == 0);
                    shared->i_Tokens.fetch_sub(1);
                    shared->co_Token.v_SetState(1);
                } else if (got == 1) {
                    shared->v_Check(shared->i_Units.fetch_add(1) + 1 <= 3);
                    shared->i_Units.fetch_sub(1);
                    shared->co_Semaphore.v_Release(1);
                } else {
                    shared->v_Check(false);
                }
                break;
            }
            case 3: {
                // Wait-all: the mutex, a unit and the token at once.
                if (CT_IPC_SyncObject::seo_Wait(&shared->co_All, 1, n_Long, 0) != CT_IPC_SyncObject::e_WaitObject0) {
                    shared->v_Check(false);
                    break;
                }
                shared->v_Check(shared->i_Owners.fetch_add(1) == 0);
                shared->v_Check(shared->i_Tokens.fetch_add(1) == 0);
                shared->v_Check(shared->i_Units.fetch_add(1) + 1 <= 3);
                shared->i_Units.fetch_sub(1);
                shared->i_Tokens.fetch_sub(1);
                shared->i_Owners.fetch_sub(1);
                shared->co_Token.v_SetState(1);
                shared->co_Semaphore.v_Release(1);
                shared->co_Mutex.v_Release();
                break;
            }
            case 4: {
                shared->co_Lock.v_AddReader();
                shared->i_Readers.fetch_add(1);
                shared->v_Check(shared->i_Writers.load() == 0);
                shared->i_Readers.fetch_sub(1);
                shared->co_Lock.v_ReleaseReader();
                break;
            }
            default: {
                shared->co_Lock.v_AddWriter();
                shared->v_Check(shared->i_Writers.fetch_add(1) == 0);
                shared->v_Check(shared->i_Readers.load() == 0);
                shared->i_Writers.fetch_sub(1);
                shared->co_Lock.v_ReleaseWriter();
                break;
            }
        }
        shared->n_Steps.fetch_add(1);
    }
}

}  // namespace

TEST(SyncStress, SixteenThreadsKeepEveryInvariant) {
    st_Shared shared;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < 16; ++i) threads.emplace_back(&v_Worker, &shared, 7919u * (i + 1), end);
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(shared.i_Broken.load(), 0);
    EXPECT_GT(shared.n_Steps.load(), 16);
    // Everything was given back.
    EXPECT_EQ(shared.co_Semaphore.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    EXPECT_EQ(shared.co_Token.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    EXPECT_EQ(shared.co_Mutex.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    shared.co_Mutex.v_Release();
    RecordProperty("steps", static_cast<int>(shared.n_Steps.load()));
    std::printf("sync stress: %ld steps by 16 threads in 3 s\n", shared.n_Steps.load());
}
