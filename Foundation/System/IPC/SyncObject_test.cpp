#include "Foundation/System/IPC/SyncObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/Frame/StartUp.h"
#include "Foundation/System/IPC/Event.h"
#include "Foundation/System/IPC/Mutex.h"
#include "Foundation/System/IPC/ReadWriteLock.h"
#include "Foundation/System/IPC/Semaphore.h"

namespace {

constexpr unsigned n_Long = 20000;

// An event that lost its handle, for the failure paths.
class BrokenEvent : public CT_IPC_Event {
public:
    ~BrokenEvent() { h_Handle = h_Kept; }
    void v_Break() {
        h_Kept = h_Handle;
        h_Handle = nullptr;
    }

private:
    HANDLE h_Kept = nullptr;
};

// The calling thread's error: its first location and line; then cleared.
struct st_Reported {
    bool b_Set;
    std::string s_File;
    unsigned n_Line;
};

st_Reported so_TakeError() {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    st_Reported reported{errors->b_IsSetError() != 0, "", 0};
    if (reported.b_Set && errors->n_GetLocationCount() > 0) {
        reported.s_File = errors->qccz_GetLocationFileAt(1);
        reported.n_Line = errors->n_GetLocationLineAt(1);
    }
    errors->v_ClearError();
    return reported;
}

}  // namespace

TEST(IPCEvent, ResetModesAndStates) {
    CT_IPC_Event automatic;
    EXPECT_EQ(automatic.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);
    automatic.v_SetState(1);
    EXPECT_EQ(automatic.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    EXPECT_EQ(automatic.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);

    CT_IPC_Event manual(1, 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(manual.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    manual.v_SetState(0);
    EXPECT_EQ(manual.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);
    manual.v_SetState(1);
    manual.v_Pulse();  // nobody waits: only the reset
    EXPECT_EQ(manual.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);
    EXPECT_FALSE(so_TakeError().b_Set);
}

TEST(IPCSemaphore, IsSignaledGivesTheProbedUnitBack) {
    CT_IPC_Semaphore semaphore(1, 1);
    EXPECT_EQ(semaphore.b_IsSignaled(), 1);
    EXPECT_EQ(semaphore.b_IsSignaled(), 1);
    EXPECT_EQ(semaphore.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    EXPECT_EQ(semaphore.b_IsSignaled(), 0);
    semaphore.v_Release(1);
    semaphore.v_Release(1);  // past the maximum: nothing changes
    EXPECT_EQ(semaphore.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitObject0);
    EXPECT_EQ(semaphore.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);
    // A count above the maximum makes no semaphore; nothing is reported.
    CT_IPC_Semaphore refused(2, 1);
    EXPECT_EQ(refused.h_GetHandle(), nullptr);
    EXPECT_FALSE(so_TakeError().b_Set);
}

TEST(IPCMutex, ClaimAndReleaseAcrossThreads) {
    CT_IPC_Mutex mutex;
    mutex.v_Claim();
    mutex.v_Claim();  // recursive
    CT_IPC_SyncObject::et_WaitResult other = CT_IPC_SyncObject::e_WaitObject0;
    std::thread probe([&] { other = mutex.eo_Wait(0, 0); });
    probe.join();
    EXPECT_EQ(other, CT_IPC_SyncObject::e_WaitTimeout);
    mutex.v_Release();
    mutex.v_Release();
    std::thread taker([&] {
        other = mutex.eo_Wait(0, 0);
        mutex.v_Release();
    });
    taker.join();
    EXPECT_EQ(other, CT_IPC_SyncObject::e_WaitObject0);
}

TEST(IPCSyncObjectList, WaitsOnTheListedHandlesReadAtTheLastChange) {
    CT_IPC_SyncObjectList list;
    EXPECT_EQ(CT_IPC_SyncObject::seo_Wait(&list, 0, 0, 0), CT_IPC_SyncObject::e_WaitFailed);
    EXPECT_FALSE(so_TakeError().b_Set);
    EXPECT_EQ(list.qch_GetHandles(), nullptr);

    CT_IPC_Event first, second;
    list.v_Add(&first);
    list.v_Add(&second);
    second.v_SetState(1);
    EXPECT_EQ(CT_IPC_SyncObject::seo_Wait(&list, 0, 0, 0), 1u);
    void* const* handles = list.qch_GetHandles();
    ASSERT_NE(handles, nullptr);
    EXPECT_EQ(handles[0], first.h_GetHandle());
    EXPECT_EQ(handles[1], second.h_GetHandle());

    // Removing takes the first equal entry; an absent one changes nothing.
    CT_IPC_Event stranger;
    list.v_Add(&first);
    list.v_Remove(&stranger);
    EXPECT_EQ(list.n_GetCount(), 3u);
    list.v_Remove(&first);
    EXPECT_EQ(list.n_GetCount(), 2u);
    EXPECT_EQ(list.pco_GetAt(1), &second);
    EXPECT_EQ(list.pco_GetAt(2), &first);
    EXPECT_EQ(list.pco_GetAt(3), nullptr);
    first.v_SetState(1);
    second.v_SetState(1);
    EXPECT_EQ(CT_IPC_SyncObject::seo_Wait(&list, 1, n_Long, 0), CT_IPC_SyncObject::e_WaitObject0);
    EXPECT_EQ(first.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);
    EXPECT_EQ(second.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitTimeout);

    list.v_Set();
    EXPECT_EQ(list.n_GetCount(), 0u);
    EXPECT_EQ(CT_IPC_SyncObject::seo_Wait(&list, 0, 0, 0), CT_IPC_SyncObject::e_WaitFailed);
}

TEST(IPCSyncObject, FailuresAreReportedAtTheirLocations) {
    so_TakeError();
    CT_IPC_SyncObject empty;
    EXPECT_EQ(empty.eo_Wait(0, 0), CT_IPC_SyncObject::e_WaitFailed);
    st_Reported reported = so_TakeError();
    EXPECT_TRUE(reported.b_Set);
    EXPECT_EQ(reported.s_File, "Foundation/System/IPC/SyncObject");
    EXPECT_EQ(reported.n_Line, 69u);

    CT_IPC_SyncObjectList list;
    list.v_Add(&empty);
    EXPECT_EQ(CT_IPC_SyncObject::seo_Wait(&list, 0, 0, 0), CT_IPC_SyncObject::e_WaitFailed);
    reported = so_TakeError();
    EXPECT_EQ(reported.n_Line, 90u);

    BrokenEvent broken;
    broken.v_Break();
    broken.v_SetState(1);
    reported = so_TakeError();
    EXPECT_EQ(reported.s_File, "Foundation/System/IPC/Event");
    EXPECT_EQ(reported.n_Line, 63u);
    broken.v_Pulse();
    EXPECT_EQ(so_TakeError().n_Line, 72u);

    // A name that belongs to a mutex makes no event.
    CT_IPC_Mutex mutex("basis-ipc-test-taken-name");
    CT_IPC_Event clash(0, 0, "basis-ipc-test-taken-name");
    EXPECT_EQ(clash.h_GetHandle(), nullptr);
    reported = so_TakeError();
    EXPECT_TRUE(reported.b_Set);
    EXPECT_EQ(reported.n_Line, 45u);
}

TEST(IPCSyncObject, TypesOfTheFourClasses) {
    CT_IPC_Mutex mutex;
    CT_IPC_Event event;
    CT_IPC_Semaphore semaphore(0, 1);
    EXPECT_STREQ(CT_IPC_Mutex::spcco_GetType()->qccz_GetName(), "CT_IPC_Mutex");
    EXPECT_STREQ(CT_IPC_SyncObject::spcco_GetType()->qccz_GetName(), "CT_IPC_SyncObject");
    EXPECT_EQ(event.vpcco_GetType(), CT_IPC_Event::spcco_GetType());
    EXPECT_EQ(semaphore.vpv_IsA(CT_IPC_Semaphore::spcco_GetType()), &semaphore);
    EXPECT_EQ(semaphore.vpv_IsA(CT_IPC_SyncObject::spcco_GetType()), nullptr);
    EXPECT_EQ(mutex.vpv_IsKindOf(CT_IPC_SyncObject::spcco_GetType()), static_cast<CT_IPC_SyncObject*>(&mutex));
    EXPECT_EQ(mutex.vpv_IsKindOf(CT_IPC_Event::spcco_GetType()), nullptr);
    // The prototypes hold no handle of their own.
    EXPECT_EQ(CT_IPC_Mutex::sco_Object.h_GetHandle(), nullptr);

    // Registered at load in their places among the other static objects.
    auto position = [](char const* name) {
        for (unsigned i = 0; i < StartUp::sn_GetStepCount(); ++i)
            if (std::strcmp(StartUp::sqccz_GetStep(i), name) == 0) return static_cast<int>(i);
        return -1;
    };
    EXPECT_LT(position("CT_ExceptionManager::sv_Exit registered"), position("CT_Forum type"));
    EXPECT_LT(position("CT_Forum type"), position("CT_StdFile pool"));
    EXPECT_LT(position("CT_SymbolTable pool"), position("CT_ThreadSafeForum type"));
    EXPECT_LT(position("CT_ThreadSafeForum type"), position("CT_UString type"));
    EXPECT_LT(position("CT_WinFile pool"), position("CT_IPC_Event type"));
    EXPECT_LT(position("CT_IPC_Event type"), position("CT_IPC_Mutex type"));
    EXPECT_LT(position("CT_IPC_Mutex type"), position("CT_OS::sv_Init"));
    EXPECT_LT(position("CT_OS::sv_Init"), position("CT_IPC_Semaphore type"));
    EXPECT_LT(position("CT_IPC_Semaphore type"), position("CT_IPC_SyncObject type"));
    EXPECT_GE(position("CT_Forum type"), 0);
}

TEST(IPCReadWriteLock, ReadersShareAndAWriterWaitsForAllOfThem) {
    CT_IPC_ReadWriteLock lock;
    EXPECT_EQ(lock.b_ReaderExists(), 0);
    EXPECT_EQ(lock.b_WriterExists(), 1);  // the probe took the free mutex
    lock.v_AddReader();
    lock.v_AddReader();
    EXPECT_EQ(lock.b_ReaderExists(), 1);

    CT_IPC_Event written(1, 0);
    std::thread writer([&] {
        lock.v_AddWriter();
        written.v_SetState(1);
        lock.v_ReleaseWriter();
    });
    // The writer cannot get in while either reader holds the lock.
    EXPECT_EQ(written.eo_Wait(100, 0), CT_IPC_SyncObject::e_WaitTimeout);
    lock.v_ReleaseReader();
    EXPECT_EQ(lock.b_ReaderExists(), 1);
    EXPECT_EQ(written.eo_Wait(50, 0), CT_IPC_SyncObject::e_WaitTimeout);
    lock.v_ReleaseReader();
    EXPECT_EQ(written.eo_Wait(n_Long, 0), CT_IPC_SyncObject::e_WaitObject0);
    writer.join();
    EXPECT_EQ(lock.b_ReaderExists(), 0);

    // While a writer holds it, another thread's probe finds the mutex taken.
    lock.v_AddWriter();
    int probe = -1;
    std::thread prober([&] { probe = lock.b_WriterExists(); });
    prober.join();
    EXPECT_EQ(probe, 0);
    lock.v_ReleaseWriter();
}
