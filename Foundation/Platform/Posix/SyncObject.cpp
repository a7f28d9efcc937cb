// The Linux half of Sync.h: mutexes, events and semaphores with the
// semantics of the Windows kernel objects, and waits on several of them.
//
// Where the state lives: see SyncObject.h (heap for unnamed objects, a
// shared-memory segment for named ones). A handle is a small number, an
// index into this process's handle table, so a stale or made-up handle is
// refused with 6 instead of being followed.
//
// How waits sleep: every change a waiter may want (a set, a release, a
// pulse) is made under the object's state lock and bumps the object's
// sequence word. A waiter checks its objects under their state locks,
// noting each sequence word as it does; when nothing can be taken it sleeps
// in the kernel on all of those words at once (futex_waitv, with the
// monotonic clock's absolute deadline), so any change to any of its
// objects wakes it and nothing else does. There is no polling and no
// busy-wait. A wake-up wakes every waiter of that object; those that lose
// the race check again and sleep again.
//
// Named mutexes and abandonment: ownership of a named mutex is ownership of
// a robust, recursive, process-shared system mutex in the object. The system counts
// the recursion, refuses a release by another thread (288 here) and, when
// the owning thread or its whole process ends, marks the mutex so that the
// next taker learns it (EOWNERDEAD), which becomes the 0x80 + i result. A
// thread sleeping in a wait on a mutex also sleeps on that system mutex's
// lock word with its waiters bit set, exactly as a blocked locker would,
// so the kernel's wake-up at the owner's death reaches it.
//
// Unnamed mutexes: an unnamed mutex lives in this process's memory, so its
// owner can only end as a thread, never as a whole process while others go
// on using it; the robust system mutex would buy nothing and costs about
// twice a plain lock. Instead the object's own word n_Owner holds the
// owner's thread id: a claim is one compare-and-swap from 0, a release one
// store of 0, and n_Depth counts the recursion (touched by the owner only).
// Each thread keeps the unnamed mutexes it holds in an intrusive list
// through the objects; a thread-exit hook walks it, marks each mutex
// abandoned (b_Abandoned, so the next taker gets 0x80 + i), frees it and
// wakes its waiters. Waiters need no watch on the owner word: the release
// and the hook both bump the sequence word they sleep on.
//
// Alertable waits: Linux has no asynchronous procedure calls for these
// waits, so 0xC0 is never returned here; the flag is accepted and ignored.
#include "Foundation/Platform/Posix/SyncObject.h"

#include <errno.h>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <new>

#include "Foundation/Platform/Sync.h"
#include "Foundation/Platform/Thread.h"

#define BASIS_FAST_TLS __attribute__((tls_model("initial-exec")))
#define BASIS_INLINE inline __attribute__((always_inline))

namespace Platform::Posix {

namespace {

// ---- the handle table ----------------------------------------------------

// Handles are (index + 1) * 4, as Windows handle values are multiples of 4.
// A slot holds the object itself, so a lookup is one bounds check and one
// load: the claim of an unnamed mutex does little else. The mapping of a
// named object sits in a second array that only the table lock touches.
constexpr unsigned n_MaxHandles = 1u << 16;
std::atomic<st_SyncObject*> apso_Objects[n_MaxHandles];
st_NamedMapping* apso_Mappings[n_MaxHandles];
std::mutex so_TableLock;
unsigned an_FreeSlots[n_MaxHandles];
unsigned n_FreeSlots = 0;
unsigned n_UsedSlots = 0;

HANDLE h_Register(st_SyncObject* object, st_NamedMapping* mapping) {
    unsigned index;
    {
        std::lock_guard<std::mutex> guard(so_TableLock);
        if (n_FreeSlots > 0) {
            index = an_FreeSlots[--n_FreeSlots];
        } else if (n_UsedSlots < n_MaxHandles) {
            index = n_UsedSlots++;
        } else {
            // A full table refuses the handle, as a system out of handles does.
            errno = e_SyncErrorNotEnoughMemory;
            return nullptr;
        }
        apso_Mappings[index] = mapping;
        apso_Objects[index].store(object, std::memory_order_release);
    }
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(index + 1) * 4);
}

// The slot of a handle; n_MaxHandles or more for no slot. One unsigned
// comparison against n_MaxHandles refuses null (slot -1 wraps), values past
// the table and values that are not multiples of 4 (rotated into the top
// bits).
BASIS_INLINE std::uintptr_t n_SlotOf(HANDLE handle) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(handle);
    return ((value >> 2) | (value << (sizeof value * 8 - 2))) - 1;
}

// The object behind a handle, or null for anything that is not an open
// handle of this table.
BASIS_INLINE st_SyncObject* pso_Find(HANDLE handle) {
    std::uintptr_t slot = n_SlotOf(handle);
    return slot < n_MaxHandles ? apso_Objects[slot].load(std::memory_order_acquire) : nullptr;
}

// The same, leaving 6 as the last error for null.
st_SyncObject* pso_Lookup(HANDLE handle) {
    st_SyncObject* object = pso_Find(handle);
    if (object == nullptr) errno = e_SyncErrorInvalidHandle;
    return object;
}

st_SyncObject* pso_LookupKind(HANDLE handle, et_SyncKind kind) {
    st_SyncObject* object = pso_Lookup(handle);
    if (object != nullptr && object->eo_Kind != kind) {
        errno = e_SyncErrorInvalidHandle;
        return nullptr;
    }
    return object;
}

// ---- futexes and locks ---------------------------------------------------

// The words are process-shared futexes (no private flag), so a waiter and a
// waker in different processes meet on the segment's page.
void v_WakeAll(std::atomic<std::uint32_t>* word) {
    ::syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(word), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

// A process killed while it held a state lock leaves the fields it guards
// as they stood: every change under it is a few plain stores that leave a
// usable state at any point, so the next locker takes them as they are.
void v_LockState(st_SyncObject* object) {
    if (::pthread_mutex_lock(&object->so_State) == EOWNERDEAD) ::pthread_mutex_consistent(&object->so_State);
}

void v_UnlockState(st_SyncObject* object) { ::pthread_mutex_unlock(&object->so_State); }

// After a change, under the state lock: wakes the object's waiters.
void v_Changed(st_SyncObject* object) {
    object->n_Sequence.fetch_add(1, std::memory_order_seq_cst);
    if (object->n_Waiters.load(std::memory_order_seq_cst) != 0) v_WakeAll(&object->n_Sequence);
}

// The lock word of the system mutex that carries a mutex's ownership: the
// owner's thread id, bit 31 when lockers sleep on it, bit 30 when the
// owner died holding it. The kernel itself reads and writes this word when
// the owner ends, so its layout is fixed by the kernel's robust-futex rules.
int* pi_OwnerWord(st_SyncObject* object) { return &object->so_Owner.__data.__lock; }
static_assert(offsetof(pthread_mutex_t, __data.__lock) == 0, "robust mutex word first");

// The library is loaded with the program, not opened later, so its few
// bytes of thread-local data can sit in the initial block: a read is then
// one load from the thread pointer instead of a call to the resolver,
// which cost more than the whole claim (BASIS_FAST_TLS, at the top).

// What the calling thread keeps, in one block so that a claim finds all of
// it from one address: its kernel id, as the lock word records an owner
// (0 until asked), and the unnamed mutexes it holds (see v_AddHeld).
struct st_ThreadSync {
    int i_Thread;
    st_SyncObject* pso_Held;
};
thread_local st_ThreadSync to_Sync BASIS_FAST_TLS = {0, nullptr};

// A forked child's one thread inherits the block of the parent thread that
// forked, so the child clears the id there.
int const i_ForkHook = ::pthread_atfork(nullptr, nullptr, [] { to_Sync.i_Thread = 0; });

void v_AbandonHeld(void*);

// The exit hook is a thread-specific key's destructor (plain thread-local
// data needs no guard on every claim, as an object with a destructor
// would). Keys are run at the end of each thread but not at the end of the
// process, when the mutexes of its memory go with it. Without a key (the
// process is out of them) a thread that ends holding an unnamed mutex
// leaves it held, as if it were still running.
pthread_key_t n_ExitHookKey;
bool const b_ExitHookKey = ::pthread_key_create(&n_ExitHookKey, v_AbandonHeld) == 0;

// A thread's first need of its id also arms its exit hook, so that a claim
// tests one word for both. The hook clears the id again, so a claim made by
// a later destructor arms it anew.
__attribute__((noinline)) int i_AskThread() {
    to_Sync.i_Thread = static_cast<int>(::syscall(SYS_gettid));
    if (b_ExitHookKey) ::pthread_setspecific(n_ExitHookKey, &to_Sync);  // any non-null value
    return to_Sync.i_Thread;
}

BASIS_INLINE int i_OwnThread() { return to_Sync.i_Thread != 0 ? to_Sync.i_Thread : i_AskThread(); }

// ---- unnamed mutexes -----------------------------------------------------

// After a release without the state lock: wakes the waiters if any. A
// waiter counts itself in n_Waiters before it notes the sequence word and
// tries the mutex, and the release's store comes before the count is read
// here (both full barriers). So either this release sees the waiter and
// bumps the word it sleeps on, or the waiter's try comes after the release
// and takes the mutex: a release with nobody waiting costs only the store.
__attribute__((noinline)) void v_WakeWaiters(st_SyncObject* object) {
    object->n_Sequence.fetch_add(1, std::memory_order_seq_cst);
    v_WakeAll(&object->n_Sequence);
}

BASIS_INLINE void v_ReleasedWithoutLock(st_SyncObject* object) {
    if (object->n_Waiters.load(std::memory_order_seq_cst) != 0) v_WakeWaiters(object);
}

// At the end of a thread: every unnamed mutex it still holds is marked
// abandoned and given back, waking its waiters.
void v_AbandonHeld(void*) {
    to_Sync.i_Thread = 0;
    while (to_Sync.pso_Held != nullptr) {
        st_SyncObject* object = to_Sync.pso_Held;
        to_Sync.pso_Held = object->pso_NextHeld;
        object->n_Depth = 0;
        __atomic_store_n(&object->b_Abandoned, 1u, __ATOMIC_SEQ_CST);
        object->n_Owner.store(0, std::memory_order_seq_cst);
        v_ReleasedWithoutLock(object);
    }
}

// The owner's list of held unnamed mutexes, doubly linked through the
// objects so that a release in any order unlinks in constant time. The
// owner thread alone touches it. Its exit hook is armed: the id was asked.
BASIS_INLINE void v_AddHeld(st_SyncObject* object) {
    st_SyncObject* head = to_Sync.pso_Held;
    object->pso_PreviousHeld = nullptr;
    object->pso_NextHeld = head;
    if (head != nullptr) head->pso_PreviousHeld = object;
    to_Sync.pso_Held = object;
}

BASIS_INLINE void v_RemoveHeld(st_SyncObject* object) {
    if (object->pso_PreviousHeld != nullptr)
        object->pso_PreviousHeld->pso_NextHeld = object->pso_NextHeld;
    else
        to_Sync.pso_Held = object->pso_NextHeld;
    if (object->pso_NextHeld != nullptr) object->pso_NextHeld->pso_PreviousHeld = object->pso_PreviousHeld;
}

enum et_Take { e_NotTaken = 0, e_Taken = 1, e_TakenAbandoned = 2, e_TakeFailed = 3 };

BASIS_INLINE et_Take eo_TryTakeLocal(st_SyncObject* object) {
    std::uint32_t self = static_cast<std::uint32_t>(i_OwnThread());
    std::uint32_t owner = 0;
    if (object->n_Owner.compare_exchange_strong(owner, self, std::memory_order_seq_cst)) {
        v_AddHeld(object);
        return __atomic_load_n(&object->b_Abandoned, __ATOMIC_RELAXED) != 0 &&
                       __atomic_exchange_n(&object->b_Abandoned, 0u, __ATOMIC_SEQ_CST)
                   ? e_TakenAbandoned
                   : e_Taken;
    }
    if (owner != self) return e_NotTaken;
    // The recursion count is exhausted: the claim fails as an invalid
    // request, leaving the mutex as it was.
    if (object->n_Depth == UINT32_MAX) {
        errno = e_SyncErrorInvalidParameter;
        return e_TakeFailed;
    }
    ++object->n_Depth;
    return e_Taken;
}

// One level of an unnamed mutex the calling thread owns.
BASIS_INLINE void v_ReleaseLocal(st_SyncObject* object) {
    if (object->n_Depth > 0) {
        --object->n_Depth;
        return;
    }
    v_RemoveHeld(object);
    object->n_Owner.store(0, std::memory_order_seq_cst);
    v_ReleasedWithoutLock(object);
}

// ---- taking one object ---------------------------------------------------

et_Take eo_TryTakeMutex(st_SyncObject* object) {
    if (object->b_Local != 0) return eo_TryTakeLocal(object);
    int result = ::pthread_mutex_trylock(&object->so_Owner);
    if (result == 0) return object->b_Abandoned != 0 && __atomic_exchange_n(&object->b_Abandoned, 0u, __ATOMIC_SEQ_CST)
                                ? e_TakenAbandoned
                                : e_Taken;
    if (result == EOWNERDEAD) {
        ::pthread_mutex_consistent(&object->so_Owner);
        __atomic_store_n(&object->b_Abandoned, 0u, __ATOMIC_SEQ_CST);
        return e_TakenAbandoned;
    }
    if (result == EBUSY) return e_NotTaken;
    // EAGAIN: the recursion count is exhausted; the claim fails as an
    // invalid request, leaving the mutex as it was.
    errno = e_SyncErrorInvalidParameter;
    return e_TakeFailed;
}

// Gives back a mutex taken by a wait-all that could not complete; an
// abandonment it learned of passes to the next taker. Under the state lock.
void v_UndoMutex(st_SyncObject* object, et_Take taken) {
    if (taken == e_TakenAbandoned) __atomic_store_n(&object->b_Abandoned, 1u, __ATOMIC_SEQ_CST);
    if (object->b_Local != 0) {
        v_ReleaseLocal(object);
        return;
    }
    ::pthread_mutex_unlock(&object->so_Owner);
    v_Changed(object);
}

// Event and semaphore readiness, under the state lock. pulses is the event's
// pulse count when this waiter arrived: a later pulse releases it.
bool b_IsReady(st_SyncObject const* object, std::uint32_t pulses) {
    if (object->i_Count.load(std::memory_order_relaxed) > 0) return true;
    if (object->eo_Kind != et_SyncKind::e_Event || object->n_Pulses == pulses) return false;
    return object->i_Maximum != 0 || object->b_PulseTicket != 0;
}

void v_Take(st_SyncObject* object) {
    if (object->eo_Kind == et_SyncKind::e_Semaphore) {
        object->i_Count.store(object->i_Count.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
    } else if (object->i_Maximum == 0) {  // automatic reset
        if (object->i_Count.load(std::memory_order_relaxed) > 0)
            object->i_Count.store(0, std::memory_order_relaxed);
        else
            object->b_PulseTicket = 0;
    }
}

// ---- the wait ------------------------------------------------------------

struct st_Wait {
    unsigned n_Count;
    st_SyncObject* apso_Objects[e_MaximumWaitObjects];
    std::uint32_t an_Pulses[e_MaximumWaitObjects];
    std::uint32_t an_Sequence[e_MaximumWaitObjects];
    bool b_First;
};

constexpr unsigned n_None = 0xFFFFFFFEu;

// Wait-any: the lowest index that can be taken, taken.
unsigned n_TryAny(st_Wait* wait) {
    for (unsigned i = 0; i < wait->n_Count; ++i) {
        st_SyncObject* object = wait->apso_Objects[i];
        v_LockState(object);
        if (wait->b_First) wait->an_Pulses[i] = object->n_Pulses;
        wait->an_Sequence[i] = object->n_Sequence.load(std::memory_order_seq_cst);
        unsigned result = n_None;
        if (object->eo_Kind == et_SyncKind::e_Mutex) {
            et_Take taken = eo_TryTakeMutex(object);
            if (taken == e_Taken) result = e_WaitObject0 + i;
            if (taken == e_TakenAbandoned) result = e_WaitAbandoned0 + i;
            if (taken == e_TakeFailed) result = e_WaitFailed;
        } else if (b_IsReady(object, wait->an_Pulses[i])) {
            v_Take(object);
            result = e_WaitObject0 + i;
        }
        v_UnlockState(object);
        if (result != n_None) return result;
    }
    wait->b_First = false;
    return n_None;
}

// Wait-all: every state lock is held (in identity order, so two wait-alls
// never deadlock) while the objects are checked and taken, so no other
// thread or process ever sees a part of the set taken. A mutex is tried
// for real under the locks and given back before they are released if the
// set is incomplete; a fast claim that meets it then waits for the state
// lock and tries again (see n_ClaimFast).
unsigned n_TryAll(st_Wait* wait, unsigned const* order) {
    unsigned count = wait->n_Count;
    for (unsigned k = 0; k < count; ++k) v_LockState(wait->apso_Objects[order[k]]);
    et_Take taken[e_MaximumWaitObjects];
    bool complete = true;
    for (unsigned i = 0; i < count; ++i) {
        st_SyncObject* object = wait->apso_Objects[i];
        if (wait->b_First) wait->an_Pulses[i] = object->n_Pulses;
        wait->an_Sequence[i] = object->n_Sequence.load(std::memory_order_seq_cst);
        taken[i] = e_NotTaken;
        if (!complete) continue;
        if (object->eo_Kind == et_SyncKind::e_Mutex) {
            taken[i] = eo_TryTakeMutex(object);
            if (taken[i] == e_NotTaken || taken[i] == e_TakeFailed) complete = false;
        } else if (!b_IsReady(object, wait->an_Pulses[i])) {
            complete = false;
        }
    }
    unsigned result = n_None;
    if (complete) {
        result = e_WaitObject0;
        for (unsigned i = count; i-- > 0;) {
            st_SyncObject* object = wait->apso_Objects[i];
            if (object->eo_Kind != et_SyncKind::e_Mutex) v_Take(object);
            if (taken[i] == e_TakenAbandoned) result = e_WaitAbandoned0 + i;
        }
    } else {
        for (unsigned i = 0; i < count; ++i) {
            if (taken[i] == e_Taken || taken[i] == e_TakenAbandoned) {
                v_UndoMutex(wait->apso_Objects[i], taken[i]);
                // The give-back's own bump is no news to this waiter: noted
                // again, or its sleep would end at once and the wait spin.
                wait->an_Sequence[i] = wait->apso_Objects[i]->n_Sequence.load(std::memory_order_seq_cst);
            }
            if (taken[i] == e_TakeFailed) result = e_WaitFailed;
        }
    }
    for (unsigned k = count; k-- > 0;) v_UnlockState(wait->apso_Objects[order[k]]);
    wait->b_First = false;
    return result;
}

// Adds the owner word of a mutex held by another thread to the sleep, with
// the waiters bit set so that the kernel wakes sleepers when the owner dies.
// 1 when added; 0 when the mutex is free (its next release or claim is not
// news to this waiter: a release bumps the sequence word); -1 when the word
// shows a dead owner or moved meanwhile: then the caller checks again.
int i_WatchOwner(st_SyncObject* object, futex_waitv* entry) {
    int* word = pi_OwnerWord(object);
    int value = __atomic_load_n(word, __ATOMIC_SEQ_CST);
    if (value == 0) return 0;
    if ((value & FUTEX_TID_MASK) == 0) return -1;
    int watched = value | static_cast<int>(FUTEX_WAITERS);
    if (value != watched && !__atomic_compare_exchange_n(word, &value, watched, false, __ATOMIC_SEQ_CST,
                                                         __ATOMIC_SEQ_CST))
        return -1;
    entry->val = static_cast<std::uint32_t>(watched);
    entry->uaddr = reinterpret_cast<std::uintptr_t>(word);
    entry->flags = FUTEX_32;
    entry->__reserved = 0;
    return 1;
}

timespec so_Now() {
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

unsigned n_Wait(st_Wait* wait, bool all, unsigned timeout) {
    unsigned count = wait->n_Count;
    unsigned order[e_MaximumWaitObjects];
    if (all) {
        // Identity order; the same object twice cannot be taken at once (87).
        for (unsigned i = 0; i < count; ++i) order[i] = i;
        for (unsigned i = 1; i < count; ++i)
            for (unsigned j = i; j > 0 && wait->apso_Objects[order[j - 1]]->n_Identity >
                                              wait->apso_Objects[order[j]]->n_Identity;
                 --j)
                std::swap(order[j - 1], order[j]);
        for (unsigned i = 1; i < count; ++i)
            if (wait->apso_Objects[order[i - 1]]->n_Identity == wait->apso_Objects[order[i]]->n_Identity) {
                errno = e_SyncErrorInvalidParameter;
                return e_WaitFailed;
            }
    }
    timespec deadline = so_Now();
    if (timeout != e_WaitInfinite) {
        deadline.tv_sec += timeout / 1000;
        deadline.tv_nsec += static_cast<long>(timeout % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
    }
    for (unsigned i = 0; i < count; ++i) wait->apso_Objects[i]->n_Waiters.fetch_add(1, std::memory_order_seq_cst);
    wait->b_First = true;
    bool expired = timeout == 0;
    unsigned result;
    for (;;) {
        result = all ? n_TryAll(wait, order) : n_TryAny(wait);
        if (result != n_None) break;
        if (expired) {
            result = e_WaitTimeout;
            break;
        }
        futex_waitv entries[2 * e_MaximumWaitObjects];
        unsigned used = 0;
        bool moved = false;
        for (unsigned i = 0; i < count && !moved; ++i) {
            st_SyncObject* object = wait->apso_Objects[i];
            entries[used++] = futex_waitv{wait->an_Sequence[i],
                                          reinterpret_cast<std::uintptr_t>(&object->n_Sequence), FUTEX_32, 0};
            if (object->eo_Kind != et_SyncKind::e_Mutex || object->b_Local != 0) continue;
            int watch = i_WatchOwner(object, &entries[used]);
            if (watch > 0) ++used;
            moved = watch < 0;
        }
        if (moved) continue;
        long slept = ::syscall(SYS_futex_waitv, entries, used, 0, timeout == e_WaitInfinite ? nullptr : &deadline,
                               CLOCK_MONOTONIC);
        if (slept < 0 && errno == ETIMEDOUT) expired = true;  // one last check, then 0x102
        if (slept < 0 && errno == ENOSYS) {
            // A kernel without futex_waitv (before 5.16) cannot sleep on
            // several words; the wait fails rather than spin.
            result = e_WaitFailed;
            break;
        }
    }
    for (unsigned i = 0; i < count; ++i) wait->apso_Objects[i]->n_Waiters.fetch_sub(1, std::memory_order_seq_cst);
    return result;
}

// The result of one try at a mutex, n_None when it is busy.
BASIS_INLINE unsigned n_ResultOf(et_Take taken) {
    if (taken == e_Taken) return e_WaitObject0;
    if (taken == e_TakenAbandoned) return e_WaitAbandoned0;
    if (taken == e_TakeFailed) return e_WaitFailed;
    return n_None;
}

// A single wait past its fast path (see n_WaitForSyncObject): one try
// without registering as a waiter, then the full wait. Kept out of line so
// that the fast path needs no stack frame for the wait's record.
__attribute__((noinline)) unsigned n_WaitOnOne(st_SyncObject* object, unsigned timeout) {
    unsigned result = n_None;
    if (object->eo_Kind == et_SyncKind::e_Mutex) {
        result = n_ResultOf(eo_TryTakeMutex(object));
    } else {
        v_LockState(object);
        bool ready = object->i_Count.load(std::memory_order_relaxed) > 0;
        if (ready) v_Take(object);
        v_UnlockState(object);
        if (ready) result = e_WaitObject0;
    }
    if (result != n_None) return result;
    // A busy mutex may only be held for a moment by a wait-all that gives it
    // back: the full wait checks again under the state lock, even for 0.
    if (timeout == 0 && object->eo_Kind != et_SyncKind::e_Mutex) return e_WaitTimeout;
    st_Wait wait;
    wait.n_Count = 1;
    wait.apso_Objects[0] = object;
    return n_Wait(&wait, false, timeout);
}

// The ends of the fast paths below that need a call, each reached by a
// jump so that the fast paths themselves save no registers.
__attribute__((noinline, cold)) unsigned n_RefuseWait() {
    errno = e_SyncErrorInvalidHandle;
    return e_WaitFailed;
}

__attribute__((noinline, cold)) int b_RefuseRelease(int error) {
    errno = error;
    return 0;
}

// A claim that found the abandonment mark: the first taker clears it.
__attribute__((noinline)) unsigned n_TakeAbandonment(st_SyncObject* object) {
    return __atomic_exchange_n(&object->b_Abandoned, 0u, __ATOMIC_SEQ_CST) != 0 ? e_WaitAbandoned0 : e_WaitObject0;
}

__attribute__((noinline)) int b_WakeAfterRelease(st_SyncObject* object) {
    v_WakeWaiters(object);
    return 1;
}

// A release of a named mutex, or of a handle that is not an unnamed mutex.
__attribute__((noinline)) int b_ReleaseOther(st_SyncObject* object) {
    if (object->eo_Kind != et_SyncKind::e_Mutex) {
        errno = e_SyncErrorInvalidHandle;
        return 0;
    }
    // Only the owner may release: a thread that does not own the mutex is
    // refused here rather than by the unlock, which must not be asked.
    int owner = __atomic_load_n(pi_OwnerWord(object), __ATOMIC_RELAXED) & static_cast<int>(FUTEX_TID_MASK);
    if (owner != i_OwnThread() || ::pthread_mutex_unlock(&object->so_Owner) != 0) {
        errno = e_SyncErrorNotOwner;
        return 0;
    }
    // No state lock here: see v_ReleasedWithoutLock.
    v_ReleasedWithoutLock(object);
    return 1;
}

// A wait-any's first look, before it counts itself as a waiter: objects
// are looked at in index order without their locks, and only one that shows
// a count is locked and tried. A busy mutex ends the look (it may only be
// held for a moment by a wait-all), as does the end of the list; the full
// wait then checks everything under the locks.
unsigned n_TryAnyQuickly(st_Wait* wait) {
    for (unsigned i = 0; i < wait->n_Count; ++i) {
        st_SyncObject* object = wait->apso_Objects[i];
        if (object->eo_Kind == et_SyncKind::e_Mutex) {
            et_Take taken = eo_TryTakeMutex(object);
            if (taken == e_Taken) return e_WaitObject0 + i;
            if (taken == e_TakenAbandoned) return e_WaitAbandoned0 + i;
            return n_None;
        }
        if (object->i_Count.load(std::memory_order_relaxed) <= 0) continue;
        v_LockState(object);
        bool ready = object->i_Count.load(std::memory_order_relaxed) > 0;
        if (ready) v_Take(object);
        v_UnlockState(object);
        if (ready) return e_WaitObject0 + i;
    }
    return n_None;
}

}  // namespace

bool b_LeaveForClose(st_SyncObject* object) {
    if (object->eo_Kind != et_SyncKind::e_Mutex) return true;
    if (object->b_Local != 0) {
        // Free, or held by this thread (then every level is let go): the
        // memory may go. Held by another thread, whose list of held mutexes
        // runs through it: left in place, as below.
        std::uint32_t self = static_cast<std::uint32_t>(i_OwnThread());
        std::uint32_t owner = 0;
        if (object->n_Owner.compare_exchange_strong(owner, self, std::memory_order_seq_cst)) {
            object->n_Owner.store(0, std::memory_order_seq_cst);
            return true;
        }
        if (owner != self) return false;
        object->n_Depth = 0;
        v_ReleaseLocal(object);
        return true;
    }
    // A locked robust mutex sits in its owner thread's list of held robust
    // mutexes, which the system walks at later locks and at the thread's
    // end; its memory must stay while it is there. Held by this thread (at
    // any depth) it is released now, as there will be no handle to release
    // it with. Held by another thread of this process, the memory is left
    // in place: a small leak instead of a list pointing into freed memory.
    int result = ::pthread_mutex_trylock(&object->so_Owner);
    if (result == EOWNERDEAD) {
        ::pthread_mutex_consistent(&object->so_Owner);
        result = 0;
    }
    if (result == 0) {
        // The system's recursion count (in the same public mutex layout as
        // the lock word): every level this thread holds, the probe's included.
        for (unsigned depth = object->so_Owner.__data.__count; depth > 0; --depth)
            ::pthread_mutex_unlock(&object->so_Owner);
        return true;
    }
    int owner = __atomic_load_n(pi_OwnerWord(object), __ATOMIC_SEQ_CST) & static_cast<int>(FUTEX_TID_MASK);
    return owner != 0 && ::syscall(SYS_tgkill, ::getpid(), owner, 0) != 0;
}

bool b_InitSyncObject(st_SyncObject* object, et_SyncKind kind, std::int32_t count, std::int32_t maximum,
                      bool local) {
    std::memset(static_cast<void*>(object), 0, sizeof *object);
    object->eo_Kind = kind;
    object->n_Identity = reinterpret_cast<std::uintptr_t>(object);
    object->i_Count.store(count, std::memory_order_relaxed);
    object->i_Maximum = maximum;
    object->b_Local = local && kind == et_SyncKind::e_Mutex ? 1 : 0;
    pthread_mutexattr_t attributes;
    if (::pthread_mutexattr_init(&attributes) != 0) return false;
    ::pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    ::pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    int result = ::pthread_mutex_init(&object->so_State, &attributes);
    if (result == 0 && kind == et_SyncKind::e_Mutex && object->b_Local == 0) {
        ::pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
        result = ::pthread_mutex_init(&object->so_Owner, &attributes);
    }
    ::pthread_mutexattr_destroy(&attributes);
    if (result != 0) errno = result;
    return result == 0;
}

}  // namespace Platform::Posix

namespace Platform {

using Posix::et_SyncKind;
using Posix::st_SyncObject;

namespace {

HANDLE h_Create(et_SyncKind kind, std::int32_t count, std::int32_t maximum, char const* name, bool takeOwnership) {
    st_SyncObject* object = nullptr;
    Posix::st_NamedMapping* mapping = nullptr;
    bool existed = false;
    if (name != nullptr && name[0] != 0) {
        mapping = Posix::pso_OpenNamed(name, kind, true, count, maximum, &object, &existed);
        if (mapping == nullptr) return nullptr;
    } else {
        object = static_cast<st_SyncObject*>(::operator new(sizeof(st_SyncObject), std::nothrow));
        if (object == nullptr || !Posix::b_InitSyncObject(object, kind, count, maximum, true)) {
            ::operator delete(object);
            errno = e_SyncErrorNotEnoughMemory;
            return nullptr;
        }
    }
    HANDLE handle = Posix::h_Register(object, mapping);
    if (handle == nullptr) {
        if (mapping != nullptr)
            Posix::v_CloseNamed(mapping, true);
        else
            ::operator delete(object);
        return nullptr;
    }
    // An existing object is opened as it stands: the initial owner and
    // counts are those of its creator.
    if (takeOwnership && !existed) {
        if (object->b_Local != 0)
            (void)Posix::eo_TryTakeLocal(object);  // new, so free
        else
            ::pthread_mutex_lock(&object->so_Owner);
    }
    errno = existed ? static_cast<int>(e_SyncErrorAlreadyExists) : 0;
    return handle;
}

HANDLE h_Open(et_SyncKind kind, char const* name) {
    if (name == nullptr || name[0] == 0) {
        errno = e_SyncErrorInvalidParameter;
        return nullptr;
    }
    st_SyncObject* object = nullptr;
    bool existed = false;
    Posix::st_NamedMapping* mapping = Posix::pso_OpenNamed(name, kind, false, 0, 0, &object, &existed);
    if (mapping == nullptr) return nullptr;
    HANDLE handle = Posix::h_Register(object, mapping);
    if (handle == nullptr) Posix::v_CloseNamed(mapping, true);
    return handle;
}

}  // namespace

HANDLE h_CreateMutex(int initialOwner, char const* name) {
    return h_Create(et_SyncKind::e_Mutex, 0, 0, name, initialOwner != 0);
}

HANDLE h_CreateEvent(int manualReset, int initialState, char const* name) {
    return h_Create(et_SyncKind::e_Event, initialState != 0 ? 1 : 0, manualReset != 0 ? 1 : 0, name, false);
}

HANDLE h_CreateSemaphore(long initialCount, long maximumCount, char const* name) {
    if (maximumCount <= 0 || maximumCount > INT32_MAX || initialCount < 0 || initialCount > maximumCount) {
        errno = e_SyncErrorInvalidParameter;
        return nullptr;
    }
    return h_Create(et_SyncKind::e_Semaphore, static_cast<std::int32_t>(initialCount),
                    static_cast<std::int32_t>(maximumCount), name, false);
}

HANDLE h_OpenMutex(char const* name) { return h_Open(et_SyncKind::e_Mutex, name); }
HANDLE h_OpenEvent(char const* name) { return h_Open(et_SyncKind::e_Event, name); }
HANDLE h_OpenSemaphore(char const* name) { return h_Open(et_SyncKind::e_Semaphore, name); }

int b_CloseSyncHandle(HANDLE handle) {
    std::uintptr_t slot = Posix::n_SlotOf(handle);
    st_SyncObject* object = nullptr;
    Posix::st_NamedMapping* mapping = nullptr;
    if (slot < Posix::n_MaxHandles) {
        std::lock_guard<std::mutex> guard(Posix::so_TableLock);
        object = Posix::apso_Objects[slot].exchange(nullptr, std::memory_order_acq_rel);
        if (object != nullptr) {
            mapping = Posix::apso_Mappings[slot];
            Posix::apso_Mappings[slot] = nullptr;
            Posix::an_FreeSlots[Posix::n_FreeSlots++] = static_cast<unsigned>(slot);
        }
    }
    if (object == nullptr) {
        errno = e_SyncErrorInvalidHandle;
        return 0;
    }
    // Closing a handle that another thread is still waiting on is the
    // caller's error, as on Windows; the object goes with its last handle.
    bool release = Posix::b_LeaveForClose(object);
    if (mapping != nullptr) {
        Posix::v_CloseNamed(mapping, release);
    } else if (release) {
        if (object->eo_Kind == et_SyncKind::e_Mutex && object->b_Local == 0) ::pthread_mutex_destroy(&object->so_Owner);
        ::pthread_mutex_destroy(&object->so_State);
        ::operator delete(object);
    }
    return 1;
}

namespace {

int b_SetEventState(HANDLE handle, int state, bool pulse) {
    st_SyncObject* object = Posix::pso_LookupKind(handle, et_SyncKind::e_Event);
    if (object == nullptr) return 0;
    Posix::v_LockState(object);
    object->i_Count.store(state, std::memory_order_relaxed);
    // A pulse releases only the waiters present now: those that noted an
    // earlier pulse count. An automatic-reset event's pulse leaves one
    // ticket, taken by the first of them to look again; a later pulse, set
    // or reset replaces it. With no waiter present a pulse only resets.
    if (pulse && object->n_Waiters.load(std::memory_order_seq_cst) != 0) {
        ++object->n_Pulses;
        object->b_PulseTicket = object->i_Maximum == 0 ? 1 : 0;
    } else if (!pulse) {
        object->b_PulseTicket = 0;
    }
    if (state != 0 || pulse) Posix::v_Changed(object);
    Posix::v_UnlockState(object);
    return 1;
}

}  // namespace

int b_SetEvent(HANDLE handle) { return b_SetEventState(handle, 1, false); }
int b_ResetEvent(HANDLE handle) { return b_SetEventState(handle, 0, false); }
int b_PulseEvent(HANDLE handle) { return b_SetEventState(handle, 0, true); }

int b_ReleaseMutex(HANDLE handle) {
    st_SyncObject* object = Posix::pso_Find(handle);
    if (object == nullptr) return Posix::b_RefuseRelease(e_SyncErrorInvalidHandle);
    // The unnamed mutex first, in line: see n_WaitForSyncObject.
    if (object->b_Local == 0) return Posix::b_ReleaseOther(object);
    // A thread that never asked its id owns nothing (ids are not 0).
    std::uint32_t self = static_cast<std::uint32_t>(Posix::to_Sync.i_Thread);
    if (self == 0 || object->n_Owner.load(std::memory_order_relaxed) != self)
        return Posix::b_RefuseRelease(e_SyncErrorNotOwner);
    if (object->n_Depth > 0) {
        --object->n_Depth;
        return 1;
    }
    Posix::v_RemoveHeld(object);
    object->n_Owner.store(0, std::memory_order_seq_cst);
    // See v_ReleasedWithoutLock.
    if (object->n_Waiters.load(std::memory_order_seq_cst) != 0) return Posix::b_WakeAfterRelease(object);
    return 1;
}

int b_ReleaseSemaphore(HANDLE handle, long count, long* previous) {
    st_SyncObject* object = Posix::pso_LookupKind(handle, et_SyncKind::e_Semaphore);
    if (object == nullptr) return 0;
    if (count <= 0) {
        errno = e_SyncErrorInvalidParameter;
        return 0;
    }
    Posix::v_LockState(object);
    long before = object->i_Count.load(std::memory_order_relaxed);
    bool fits = count <= static_cast<long>(object->i_Maximum) - before;
    if (fits) {
        object->i_Count.store(static_cast<std::int32_t>(before + count), std::memory_order_relaxed);
        Posix::v_Changed(object);
    }
    Posix::v_UnlockState(object);
    if (!fits) {
        errno = e_SyncErrorTooManyPosts;
        return 0;
    }
    if (previous != nullptr) *previous = before;
    return 1;
}

// The uncontended claim of an unnamed mutex is the path that counts: the
// lookup, one compare-and-swap and the owner's bookkeeping, all in line here
// and every call a jump, so no stack frame. Everything else (the other
// kinds, named mutexes, a busy or recursive claim, a thread's first claim,
// which asks its id) goes on in n_WaitOnOne, which tries again in full.
unsigned n_WaitForSyncObject(HANDLE handle, unsigned timeout, int) {
    st_SyncObject* object = Posix::pso_Find(handle);
    if (object == nullptr) return Posix::n_RefuseWait();
    std::uint32_t self = static_cast<std::uint32_t>(Posix::to_Sync.i_Thread);
    // b_Local is set only for a mutex.
    if (object->b_Local == 0 || self == 0) return Posix::n_WaitOnOne(object, timeout);
    std::uint32_t owner = 0;
    if (!object->n_Owner.compare_exchange_strong(owner, self, std::memory_order_seq_cst))
        return Posix::n_WaitOnOne(object, timeout);
    Posix::v_AddHeld(object);
    if (__atomic_load_n(&object->b_Abandoned, __ATOMIC_RELAXED) != 0) return Posix::n_TakeAbandonment(object);
    return e_WaitObject0;
}

unsigned n_WaitForSyncObjects(unsigned count, HANDLE const* handles, int waitAll, unsigned timeout, int) {
    if (count == 0 || count > e_MaximumWaitObjects || handles == nullptr) {
        errno = e_SyncErrorInvalidParameter;
        return e_WaitFailed;
    }
    Posix::st_Wait wait;
    wait.n_Count = count;
    for (unsigned i = 0; i < count; ++i) {
        wait.apso_Objects[i] = Posix::pso_Lookup(handles[i]);
        if (wait.apso_Objects[i] == nullptr) return e_WaitFailed;
    }
    if (waitAll == 0) {
        unsigned result = Posix::n_TryAnyQuickly(&wait);
        if (result != Posix::n_None) return result;
    }
    return Posix::n_Wait(&wait, waitAll != 0, timeout);
}

}  // namespace Platform
