// The Linux half of Sync.h, inside the seam: the state of one object, which
// a slot of the handle table points at (SyncObject.cpp).
//
// Where the state lives: an unnamed object is a st_SyncObject on the heap of
// its process; a named one is a st_SyncObject inside a POSIX shared-memory
// segment (see SyncName.cpp), mapped by every handle that refers to it. The
// layout is the same in both places, and every lock and futex word in it is
// process-shared, so one code path serves both.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

namespace Platform::Posix {

enum class et_SyncKind : std::uint32_t { e_None = 0, e_Mutex = 1, e_Event = 2, e_Semaphore = 3 };

struct st_SyncObject {
    et_SyncKind eo_Kind;
    // Identity for ordering locks and finding duplicates in a wait-all: the
    // address for an unnamed object, a number drawn at creation for a named
    // one (each handle maps the segment at its own address).
    std::uint64_t n_Identity;
    // Guards everything below except the mutex's ownership (robust and
    // process-shared, so a process killed inside it leaves it usable).
    pthread_mutex_t so_State;
    // Named mutex only: held by the owning thread while it owns the mutex.
    // Robust, recursive and process-shared: the system counts the recursion,
    // refuses an unlock by another thread, and marks it when the owner ends.
    pthread_mutex_t so_Owner;
    // Bumped (under so_State) by every change a waiter may be waiting for;
    // waiters sleep on it as a futex word.
    std::atomic<std::uint32_t> n_Sequence;
    // Threads in a wait on this object; a change wakes the futex only then.
    std::atomic<std::uint32_t> n_Waiters;
    // Event: signalled (0 or 1). Semaphore: the count. Changed under the
    // state lock only; read without it by a wait-any's first look.
    std::atomic<std::int32_t> i_Count;
    // Semaphore: the maximum. Event: non-zero for manual reset.
    std::int32_t i_Maximum;
    // Event pulses: the number of pulses so far, and for an automatic-reset
    // event whether the last one's single release is still to be taken.
    std::uint32_t n_Pulses;
    std::uint32_t b_PulseTicket;
    // Mutex: a waiter found the owner gone but gave the mutex back unused
    // (a wait-all that could not complete); the next taker is told.
    std::uint32_t b_Abandoned;
    // Non-zero for an unnamed mutex, whose ownership is the three fields
    // below instead of so_Owner (see "Unnamed mutexes" in SyncObject.cpp).
    std::uint32_t b_Local;
    // The owning thread's id, 0 when free. Claimed by compare-and-swap.
    std::atomic<std::uint32_t> n_Owner;
    // Levels held beyond the first; read and written by the owner only.
    std::uint32_t n_Depth;
    // The owner thread's list of the unnamed mutexes it holds; owner only.
    st_SyncObject* pso_NextHeld;
    st_SyncObject* pso_PreviousHeld;
};

// Sets up the locks and fields of a new object; local for an unnamed one.
bool b_InitSyncObject(st_SyncObject* object, et_SyncKind kind, std::int32_t count, std::int32_t maximum,
                      bool local = false);

// A named object's segment, as mapped by one handle (SyncName.cpp).
struct st_NamedMapping;

// Creates or opens a named object. With create, a missing name is created
// with the arguments; otherwise 2. Returns null with the last error set, or
// the mapping and *object; *existed tells whether it was there already.
st_NamedMapping* pso_OpenNamed(char const* name, et_SyncKind kind, bool create, std::int32_t count,
                               std::int32_t maximum, st_SyncObject** object, bool* existed);
// Drops this handle's hold on the segment; the last hold removes the name.
// Without unmap the segment stays mapped (see b_LeaveForClose).
void v_CloseNamed(st_NamedMapping* mapping, bool unmap);

// Before a handle's object goes away: lets go of a mutex this thread holds.
// False when the object's memory must stay (a mutex held by another thread
// of this process).
bool b_LeaveForClose(st_SyncObject* object);

}  // namespace Platform::Posix
