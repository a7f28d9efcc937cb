#include "Foundation/Platform/Sync.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "Foundation/Platform/Process.h"
#include "Foundation/Platform/SystemError.h"
#include "Foundation/Platform/Thread.h"

namespace {

using namespace Platform;

// A name no other test run uses at the same time.
std::string s_UniqueName(char const* what) {
    static unsigned sn_Counter = 0;
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::string("basis-sync-test-") + what + "-" + std::to_string(n_GetCurrentThreadId()) + "-" +
           std::to_string(++sn_Counter) + "-" + std::to_string(ticks);
}

// Generous bound for waits that must succeed: reached only when broken.
constexpr unsigned n_Long = 20000;

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != nullptr) b_CloseSyncHandle(h);
    }
    Handle(Handle const&) = delete;
    Handle& operator=(Handle const&) = delete;
};

}  // namespace

TEST(SyncNames, ASecondCreateOpensTheObjectAndOtherKindsAreRefused) {
    std::string name = s_UniqueName("names");
    Handle first(h_CreateEvent(1, 0, name.c_str()));
    ASSERT_NE(first.h, nullptr);
    EXPECT_EQ(n_GetLastError(), 0u);
    // The second create finds the object: its own arguments are ignored.
    Handle second(h_CreateEvent(0, 1, name.c_str()));
    ASSERT_NE(second.h, nullptr);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorAlreadyExists));
    EXPECT_EQ(n_WaitForSyncObject(second.h, 0, 0), e_WaitTimeout);
    EXPECT_TRUE(b_SetEvent(first.h));
    // Manual reset, as its creator made it: stays set for both handles.
    EXPECT_EQ(n_WaitForSyncObject(second.h, 0, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(first.h, 0, 0), e_WaitObject0);

    EXPECT_EQ(h_CreateMutex(0, name.c_str()), nullptr);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));
    EXPECT_EQ(h_OpenSemaphore(name.c_str()), nullptr);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));
    Handle opened(h_OpenEvent(name.c_str()));
    ASSERT_NE(opened.h, nullptr);
    EXPECT_TRUE(b_ResetEvent(opened.h));
    EXPECT_EQ(n_WaitForSyncObject(first.h, 0, 0), e_WaitTimeout);

    // Unnamed objects of the same kind are separate.
    Handle a(h_CreateEvent(1, 1, nullptr)), b(h_CreateEvent(1, 0, ""));
    EXPECT_EQ(n_WaitForSyncObject(a.h, 0, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(b.h, 0, 0), e_WaitTimeout);

    EXPECT_EQ(h_OpenEvent(s_UniqueName("missing").c_str()), nullptr);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorFileNotFound));
}

TEST(SyncNames, TheObjectGoesWithItsLastHandle) {
    std::string name = s_UniqueName("lifetime");
    HANDLE first = h_CreateSemaphore(2, 5, name.c_str());
    HANDLE second = h_OpenSemaphore(name.c_str());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(b_CloseSyncHandle(first));
    // Still there through the second handle, state and all.
    long previous = -1;
    EXPECT_TRUE(b_ReleaseSemaphore(second, 1, &previous));
    EXPECT_EQ(previous, 2);
    EXPECT_TRUE(b_CloseSyncHandle(second));
    EXPECT_EQ(h_OpenSemaphore(name.c_str()), nullptr);
    Handle again(h_CreateSemaphore(0, 1, name.c_str()));
    EXPECT_EQ(n_GetLastError(), 0u);
    EXPECT_EQ(n_WaitForSyncObject(again.h, 0, 0), e_WaitTimeout);
}

TEST(SyncHandles, BadHandlesAndArgumentsFailWithTheirCodes) {
    EXPECT_EQ(n_WaitForSyncObject(nullptr, 0, 0), e_WaitFailed);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));
    HANDLE closed = h_CreateEvent(0, 0, nullptr);
    ASSERT_TRUE(b_CloseSyncHandle(closed));
    EXPECT_FALSE(b_SetEvent(closed));
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidHandle));

    Handle event(h_CreateEvent(0, 1, nullptr)), mutex(h_CreateMutex(0, nullptr));
    // An operation of another kind refuses the handle.
    EXPECT_FALSE(b_ReleaseSemaphore(event.h, 1, nullptr));
    HANDLE none[1] = {event.h};
    EXPECT_EQ(n_WaitForSyncObjects(0, none, 0, 0, 0), e_WaitFailed);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidParameter));
    HANDLE many[e_MaximumWaitObjects + 1];
    for (HANDLE& h : many) h = event.h;
    EXPECT_EQ(n_WaitForSyncObjects(e_MaximumWaitObjects + 1, many, 0, 0, 0), e_WaitFailed);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidParameter));
#if !defined(_WIN32)
    // The same object twice in a wait-all cannot be taken at once: refused
    // as the system's documentation says. (The Windows half hands the list
    // to the system as it is, and Wine takes a mutex twice there.)
    HANDLE twice[2] = {mutex.h, mutex.h};
    EXPECT_EQ(n_WaitForSyncObjects(2, twice, 1, 0, 0), e_WaitFailed);
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorInvalidParameter));
#endif
    // ... while a wait-any takes the first.
    EXPECT_EQ(n_WaitForSyncObjects(2, many, 0, 0, 0), e_WaitObject0);

    EXPECT_EQ(h_CreateSemaphore(3, 2, nullptr), nullptr);
    EXPECT_EQ(h_CreateSemaphore(0, 0, nullptr), nullptr);
    EXPECT_EQ(h_CreateSemaphore(-1, 2, nullptr), nullptr);
}

TEST(SyncMutex, OwnershipIsRecursiveAndOnlyTheOwnerReleases) {
    Handle mutex(h_CreateMutex(1, nullptr));
    ASSERT_NE(mutex.h, nullptr);
    EXPECT_EQ(n_WaitForSyncObject(mutex.h, 0, 0), e_WaitObject0);
    unsigned otherWait = 0;
    int otherRelease = 1;
    unsigned otherError = 0;
    std::thread other([&] {
        otherWait = n_WaitForSyncObject(mutex.h, 0, 0);
        otherRelease = b_ReleaseMutex(mutex.h);
        otherError = n_GetLastError();
    });
    other.join();
    EXPECT_EQ(otherWait, e_WaitTimeout);
    EXPECT_EQ(otherRelease, 0);
    EXPECT_EQ(otherError, static_cast<unsigned>(e_SyncErrorNotOwner));
    // Created owned plus one wait: two releases, and a third fails.
    EXPECT_TRUE(b_ReleaseMutex(mutex.h));
    EXPECT_TRUE(b_ReleaseMutex(mutex.h));
    EXPECT_FALSE(b_ReleaseMutex(mutex.h));
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorNotOwner));
    // A thread whose first call is a release of a free mutex owns nothing.
    std::thread fresh([&] {
        otherRelease = b_ReleaseMutex(mutex.h);
        otherError = n_GetLastError();
    });
    fresh.join();
    EXPECT_EQ(otherRelease, 0);
    EXPECT_EQ(otherError, static_cast<unsigned>(e_SyncErrorNotOwner));
    std::thread taker([&] { otherWait = n_WaitForSyncObject(mutex.h, 0, 0); });
    taker.join();
    EXPECT_EQ(otherWait, e_WaitObject0);
}

TEST(SyncMutex, AThreadEndingWithTheMutexAbandonsIt) {
    Handle mutex(h_CreateMutex(0, nullptr)), held(h_CreateEvent(1, 0, nullptr)), end(h_CreateEvent(1, 0, nullptr));
    std::thread owner([&] {
        n_WaitForSyncObject(mutex.h, 0, 0);
        b_SetEvent(held.h);
        n_WaitForSyncObject(end.h, n_Long, 0);
    });
    ASSERT_EQ(n_WaitForSyncObject(held.h, n_Long, 0), e_WaitObject0);
    // A waiter asleep when the owner ends is woken with the abandonment.
    unsigned result = 0;
    std::thread waiter([&] {
        result = n_WaitForSyncObject(mutex.h, n_Long, 0);
        b_ReleaseMutex(mutex.h);
    });
    b_SetEvent(end.h);
    owner.join();
    waiter.join();
    EXPECT_EQ(result, e_WaitAbandoned0);
    // Told once: the next taker gets it normally.
    EXPECT_EQ(n_WaitForSyncObject(mutex.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(mutex.h));
}

TEST(SyncMutex, AnEndingThreadAbandonsExactlyTheMutexesItStillHolds) {
    Handle a(h_CreateMutex(0, nullptr)), b(h_CreateMutex(0, nullptr)), c(h_CreateMutex(0, nullptr));
    Handle event(h_CreateEvent(1, 0, nullptr)), semaphore(h_CreateSemaphore(1, 1, nullptr));
    Handle held(h_CreateEvent(1, 0, nullptr)), end(h_CreateEvent(1, 0, nullptr));
    std::thread owner([&] {
        // b is let go from the middle of what the thread holds, in two steps.
        n_WaitForSyncObject(a.h, 0, 0);
        n_WaitForSyncObject(b.h, 0, 0);
        n_WaitForSyncObject(b.h, 0, 0);
        n_WaitForSyncObject(c.h, 0, 0);
        b_ReleaseMutex(b.h);
        b_ReleaseMutex(b.h);
        b_SetEvent(held.h);
        n_WaitForSyncObject(end.h, n_Long, 0);
    });
    ASSERT_EQ(n_WaitForSyncObject(held.h, n_Long, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(b.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(b.h));
    // A wait-any and a wait-all over mixed objects learn it at their index.
    unsigned any = 0, all = 0;
    std::thread anyWaiter([&] {
        HANDLE list[2] = {event.h, a.h};
        any = n_WaitForSyncObjects(2, list, 0, n_Long, 0);
        b_ReleaseMutex(a.h);
    });
    std::thread allWaiter([&] {
        HANDLE list[2] = {semaphore.h, c.h};
        all = n_WaitForSyncObjects(2, list, 1, n_Long, 0);
        b_ReleaseMutex(c.h);
    });
    b_SetEvent(end.h);
    owner.join();
    anyWaiter.join();
    allWaiter.join();
    EXPECT_EQ(any, e_WaitAbandoned0 + 1);
    // A wait-all names some index of its set; which one is the system's.
    EXPECT_TRUE(all == e_WaitAbandoned0 || all == e_WaitAbandoned0 + 1) << all;
    EXPECT_EQ(n_WaitForSyncObject(b.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(b.h));
}

TEST(SyncMutex, ClosingAHeldMutexLeavesTheOthersWorking) {
    std::string name = s_UniqueName("held");
    HANDLE unnamed = h_CreateMutex(1, nullptr), named = h_CreateMutex(1, name.c_str());
    Handle other(h_CreateMutex(0, nullptr));
    ASSERT_EQ(n_WaitForSyncObject(other.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_CloseSyncHandle(unnamed));
    EXPECT_TRUE(b_CloseSyncHandle(named));
    // Releasing and taking again goes through what this thread holds.
    EXPECT_TRUE(b_ReleaseMutex(other.h));
    EXPECT_EQ(n_WaitForSyncObject(other.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(other.h));
    Handle again(h_CreateMutex(0, name.c_str()));
    EXPECT_EQ(n_GetLastError(), 0u);
}

TEST(SyncSemaphore, ReleasesStopAtTheMaximum) {
    Handle semaphore(h_CreateSemaphore(1, 2, nullptr));
    long previous = -1;
    EXPECT_TRUE(b_ReleaseSemaphore(semaphore.h, 1, &previous));
    EXPECT_EQ(previous, 1);
    previous = -1;
    EXPECT_FALSE(b_ReleaseSemaphore(semaphore.h, 1, &previous));
    EXPECT_EQ(n_GetLastError(), static_cast<unsigned>(e_SyncErrorTooManyPosts));
    EXPECT_EQ(previous, -1);
#if !defined(_WIN32)
    // A release of no units is refused, as the count must be above zero
    // (Wine lets it pass; the Windows half leaves the answer to the system).
    EXPECT_FALSE(b_ReleaseSemaphore(semaphore.h, 0, nullptr));
#endif
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitTimeout);
    EXPECT_FALSE(b_ReleaseSemaphore(semaphore.h, 3, nullptr));
    EXPECT_TRUE(b_ReleaseSemaphore(semaphore.h, 2, &previous));
    EXPECT_EQ(previous, 0);
}

TEST(SyncEvent, APulseReleasesOnlyTheWaitersPresentAndLeavesTheEventReset) {
    // Nobody waiting: a pulse only resets.
    Handle lonely(h_CreateEvent(1, 1, nullptr));
    EXPECT_TRUE(b_PulseEvent(lonely.h));
    EXPECT_EQ(n_WaitForSyncObject(lonely.h, 0, 0), e_WaitTimeout);

    // Three waiters: pulses are repeated until all have been released (a
    // pulse before a waiter has gone to sleep releases nobody). An
    // automatic-reset event releases at most one waiter per pulse.
    for (int manual = 0; manual <= 1; ++manual) {
        Handle event(h_CreateEvent(manual, 0, nullptr)), done(h_CreateSemaphore(0, 3, nullptr));
        std::thread waiters[3];
        unsigned results[3] = {1, 1, 1};
        for (int i = 0; i < 3; ++i)
            waiters[i] = std::thread([&, i] {
                results[i] = n_WaitForSyncObject(event.h, n_Long, 0);
                b_ReleaseSemaphore(done.h, 1, nullptr);
            });
        unsigned released = 0, pulses = 0;
        while (released < 3 && pulses < 10000) {
            EXPECT_TRUE(b_PulseEvent(event.h));
            ++pulses;
            unsigned now = 0;
            while (n_WaitForSyncObject(done.h, released + now < 3 ? 20 : 0, 0) == e_WaitObject0) ++now;
            if (!manual) {
                EXPECT_LE(now, 1u);
            }
            released += now;
            EXPECT_EQ(n_WaitForSyncObject(event.h, 0, 0), e_WaitTimeout);
        }
        for (std::thread& t : waiters) t.join();
        EXPECT_EQ(released, 3u);
        for (unsigned result : results) EXPECT_EQ(result, e_WaitObject0);
    }
}

TEST(SyncWait, WaitAnyTakesTheLowestSignalledIndex) {
    Handle events[4] = {Handle(h_CreateEvent(0, 0, nullptr)), Handle(h_CreateEvent(0, 0, nullptr)),
                        Handle(h_CreateEvent(0, 0, nullptr)), Handle(h_CreateEvent(0, 0, nullptr))};
    HANDLE list[4];
    for (int i = 0; i < 4; ++i) list[i] = events[i].h;
    b_SetEvent(list[3]);
    b_SetEvent(list[1]);
    EXPECT_EQ(n_WaitForSyncObjects(4, list, 0, 0, 0), 1u);
    EXPECT_EQ(n_WaitForSyncObjects(4, list, 0, 0, 0), 3u);
    EXPECT_EQ(n_WaitForSyncObjects(4, list, 0, 0, 0), e_WaitTimeout);

    // Sixty-four objects, one of them set by another thread while waiting.
    Handle* many[e_MaximumWaitObjects];
    HANDLE handles[e_MaximumWaitObjects];
    for (unsigned i = 0; i < e_MaximumWaitObjects; ++i) {
        many[i] = new Handle(h_CreateEvent(0, 0, nullptr));
        handles[i] = many[i]->h;
    }
    std::thread setter([&] { b_SetEvent(handles[37]); });
    EXPECT_EQ(n_WaitForSyncObjects(e_MaximumWaitObjects, handles, 0, n_Long, 0), 37u);
    setter.join();
    for (Handle* h : many) delete h;

    // A time-out counts on a steady clock and is kept.
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(n_WaitForSyncObjects(4, list, 0, 60, 0), e_WaitTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(55));
}

TEST(SyncWait, WaitAllTakesEveryObjectOrNone) {
    Handle semaphore(h_CreateSemaphore(1, 1, nullptr)), event(h_CreateEvent(0, 0, nullptr)),
        mutex(h_CreateMutex(0, nullptr));
    HANDLE list[3] = {semaphore.h, mutex.h, event.h};
    EXPECT_EQ(n_WaitForSyncObjects(3, list, 1, 0, 0), e_WaitTimeout);
    // Nothing was kept: the unit and the mutex are free for another thread.
    unsigned semaphoreResult = 0, mutexResult = 0;
    std::thread other([&] {
        semaphoreResult = n_WaitForSyncObject(semaphore.h, 0, 0);
        mutexResult = n_WaitForSyncObject(mutex.h, 0, 0);
        b_ReleaseSemaphore(semaphore.h, 1, nullptr);
        b_ReleaseMutex(mutex.h);
    });
    other.join();
    EXPECT_EQ(semaphoreResult, e_WaitObject0);
    EXPECT_EQ(mutexResult, e_WaitObject0);

    // A wait-all asleep for the event holds neither the unit nor the mutex.
    unsigned allResult = 1;
    std::thread all([&] {
        allResult = n_WaitForSyncObjects(3, list, 1, n_Long, 0);
        b_ReleaseMutex(mutex.h);
    });
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, n_Long, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(mutex.h, n_Long, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(mutex.h));
    EXPECT_TRUE(b_ReleaseSemaphore(semaphore.h, 1, nullptr));
    EXPECT_TRUE(b_SetEvent(event.h));
    all.join();
    EXPECT_EQ(allResult, e_WaitObject0);
    // Everything was taken: the unit, the automatic event.
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitTimeout);
    EXPECT_EQ(n_WaitForSyncObject(event.h, 0, 0), e_WaitTimeout);
}

// ---- between processes ---------------------------------------------------

namespace {

char const pcc_ChildArguments[] = "--gtest_filter=SyncChild.RunsTheJobOfAnotherProcess";

// Jobs: "share <name>", "hold <name>", "take <name>", "all <name>".
int i_ChildBody(char const* job, void* channel) {
    std::string text(job);
    std::string kind = text.substr(0, text.find(' '));
    std::string name = text.substr(text.find(' ') + 1);
    if (kind == "share") {
        // Opens the parent's mutex, semaphore and event, holds the mutex
        // until told, then releases two units and sets the event.
        HANDLE mutex = h_OpenMutex((name + "-m").c_str());
        HANDLE semaphore = h_OpenSemaphore((name + "-s").c_str());
        HANDLE event = h_CreateEvent(0, 0, (name + "-e").c_str());
        if (mutex == nullptr || semaphore == nullptr || event == nullptr) return 10;
        if (n_GetLastError() != e_SyncErrorAlreadyExists) return 11;
        if (n_WaitForSyncObject(mutex, n_Long, 0) != e_WaitObject0) return 12;
        b_SignalPeer(channel);
        b_WaitForPeer(channel);
        if (!b_ReleaseMutex(mutex)) return 13;
        if (!b_ReleaseSemaphore(semaphore, 2, nullptr)) return 14;
        if (!b_SetEvent(event)) return 15;
        return 0;
    }
    if (kind == "hold") {
        // Takes the named mutex and keeps it until killed.
        HANDLE mutex = h_CreateMutex(1, name.c_str());
        if (mutex == nullptr) return 20;
        b_SignalPeer(channel);
        b_WaitForPeer(channel);  // a byte that never comes
        return 0;
    }
    if (kind == "take") {
        // Must get the semaphore's unit and the mutex while the parent's
        // wait-all on them sleeps for its event.
        HANDLE semaphore = h_OpenSemaphore((name + "-s").c_str());
        HANDLE mutex = h_OpenMutex((name + "-m").c_str());
        if (semaphore == nullptr || mutex == nullptr) return 30;
        if (n_WaitForSyncObject(semaphore, n_Long, 0) != e_WaitObject0) return 31;
        if (n_WaitForSyncObject(mutex, n_Long, 0) != e_WaitObject0) return 32;
        b_ReleaseMutex(mutex);
        b_ReleaseSemaphore(semaphore, 1, nullptr);
        return 0;
    }
    if (kind == "all") {
        // Takes 500 pairs with wait-alls, competing with the parent.
        HANDLE pair[2] = {h_OpenSemaphore((name + "-a").c_str()), h_OpenSemaphore((name + "-b").c_str())};
        if (pair[0] == nullptr || pair[1] == nullptr) return 40;
        b_SignalPeer(channel);
        for (int i = 0; i < 500; ++i)
            if (n_WaitForSyncObjects(2, pair, 1, n_Long, 0) != e_WaitObject0) return 41;
        return 0;
    }
    return 99;
}

}  // namespace

TEST(SyncProcess, NamedObjectsAreSharedWithAnotherProcess) {
    std::string name = s_UniqueName("share");
    Handle mutex(h_CreateMutex(0, (name + "-m").c_str())), semaphore(h_CreateSemaphore(0, 5, (name + "-s").c_str())),
        event(h_CreateEvent(0, 0, (name + "-e").c_str()));
    void* child = h_StartChild(&i_ChildBody, ("share " + name).c_str(), pcc_ChildArguments);
    if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
    ASSERT_TRUE(b_WaitForPeer(child));
    EXPECT_EQ(n_WaitForSyncObject(mutex.h, 0, 0), e_WaitTimeout) << "the child owns the mutex";
    ASSERT_TRUE(b_SignalPeer(child));
    EXPECT_EQ(n_WaitForSyncObject(event.h, n_Long, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitObject0);
    EXPECT_EQ(n_WaitForSyncObject(semaphore.h, 0, 0), e_WaitTimeout);
    EXPECT_EQ(i_WaitForChild(child), 0);
    EXPECT_EQ(n_WaitForSyncObject(mutex.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(mutex.h));
}

TEST(SyncProcess, AKilledOwnerAbandonsTheMutex) {
    std::string name = s_UniqueName("abandon");
    void* child = h_StartChild(&i_ChildBody, ("hold " + name).c_str(), pcc_ChildArguments);
    if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
    ASSERT_TRUE(b_WaitForPeer(child));
    Handle mutex(h_OpenMutex(name.c_str()));
    if (mutex.h == nullptr) b_KillChild(child);  // no child left behind
    ASSERT_NE(mutex.h, nullptr);
    EXPECT_EQ(n_WaitForSyncObject(mutex.h, 0, 0), e_WaitTimeout);
    // The waiter may be asleep before the kill or arrive after it.
    unsigned result = 0;
    std::thread waiter([&] { result = n_WaitForSyncObject(mutex.h, n_Long, 0); });
    EXPECT_NE(b_KillChild(child), 0);
    waiter.join();
    EXPECT_EQ(result, e_WaitAbandoned0);
    std::thread other([&] { result = n_WaitForSyncObject(mutex.h, 0, 0); });
    other.join();
    // The waiter's thread ended owning it: abandoned once more.
    EXPECT_EQ(result, e_WaitAbandoned0);

    // With its only holder killed the object is gone: a create makes it anew.
    name = s_UniqueName("reclaim");
    child = h_StartChild(&i_ChildBody, ("hold " + name).c_str(), pcc_ChildArguments);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(b_WaitForPeer(child));
    EXPECT_NE(b_KillChild(child), 0);
    Handle fresh(h_CreateMutex(0, name.c_str()));
    ASSERT_NE(fresh.h, nullptr);
    EXPECT_EQ(n_GetLastError(), 0u);
    EXPECT_EQ(n_WaitForSyncObject(fresh.h, 0, 0), e_WaitObject0);
    EXPECT_TRUE(b_ReleaseMutex(fresh.h));
}

TEST(SyncProcess, AWaitAllHoldsNothingFromACompetingProcess) {
    std::string name = s_UniqueName("atomic");
    Handle semaphore(h_CreateSemaphore(1, 1, (name + "-s").c_str())), mutex(h_CreateMutex(0, (name + "-m").c_str())),
        event(h_CreateEvent(0, 0, nullptr));
    HANDLE list[3] = {semaphore.h, mutex.h, event.h};
    unsigned allResult = 1;
    std::thread all([&] {
        allResult = n_WaitForSyncObjects(3, list, 1, n_Long, 0);
        b_ReleaseMutex(mutex.h);
    });
    void* child = h_StartChild(&i_ChildBody, ("take " + name).c_str(), pcc_ChildArguments);
    if (child == nullptr) {
        b_SetEvent(event.h);
        all.join();
        GTEST_SKIP() << "no second process on this platform";
    }
    EXPECT_EQ(i_WaitForChild(child), 0);
    b_SetEvent(event.h);
    all.join();
    EXPECT_EQ(allResult, e_WaitObject0);

    // Two processes take pairs of units with wait-alls: every pair released
    // is taken whole by one of them, so both finish and nothing is left.
    Handle a(h_CreateSemaphore(0, 100000, (name + "-a").c_str())),
        b(h_CreateSemaphore(0, 100000, (name + "-b").c_str()));
    child = h_StartChild(&i_ChildBody, ("all " + name).c_str(), pcc_ChildArguments);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(b_WaitForPeer(child));
    unsigned taken = 0;
    std::thread mine([&] {
        HANDLE pair[2] = {a.h, b.h};
        for (int i = 0; i < 500; ++i)
            if (n_WaitForSyncObjects(2, pair, 1, n_Long, 0) == e_WaitObject0) ++taken;
    });
    for (int i = 0; i < 1000; ++i) {
        b_ReleaseSemaphore(a.h, 1, nullptr);
        b_ReleaseSemaphore(b.h, 1, nullptr);
    }
    mine.join();
    EXPECT_EQ(taken, 500u);
    EXPECT_EQ(i_WaitForChild(child), 0);
    EXPECT_EQ(n_WaitForSyncObject(a.h, 0, 0), e_WaitTimeout);
    EXPECT_EQ(n_WaitForSyncObject(b.h, 0, 0), e_WaitTimeout);
}

// Runs only in a program started by h_StartChild where the system cannot
// copy a running process; never returns there.
TEST(SyncChild, RunsTheJobOfAnotherProcess) {
    char const* value = std::getenv(pcc_ChildVariable);
    if (value == nullptr) GTEST_SKIP() << "only the helper of another process";
    v_RunChild(&i_ChildBody, value);
}
