// Mutexes, events and semaphores shared by threads and processes, and waits
// on one or several of them. One handle type serves all three kinds.
//
// Windows: the kernel objects themselves (CreateMutexA, CreateEventA,
// CreateSemaphoreA, the wait functions, CloseHandle).
// Linux: the same object semantics, implemented by the library (see
// Posix/SyncObject.cpp for where the state lives and how waits sleep, and
// Posix/SyncName.cpp for named objects and their reclamation).
//
// Error codes. Both halves leave the Windows codes below as the thread's
// last error (n_GetLastError) for the failures these objects define, so a
// caller tests for the same numbers everywhere. On Linux the last error is
// errno, and errno then simply holds the Windows number: the system's own
// errno values end far below 183, 288 and 298. Code 6 coincides with
// ENXIO there, so its system text reads as that; the number is what counts.
// Other failures of the system calls below leave their errno unchanged.
#pragma once

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

namespace Platform {

enum : unsigned {
    e_WaitObject0 = 0,
    e_WaitAbandoned0 = 0x80,
    e_WaitIoCompletion = 0xC0,
    e_WaitTimeout = 0x102,
    e_WaitFailed = 0xFFFFFFFFu,
    e_WaitInfinite = 0xFFFFFFFFu,
    e_MaximumWaitObjects = 64,
};

enum : unsigned {
    e_SyncErrorFileNotFound = 2,
    e_SyncErrorInvalidHandle = 6,
    e_SyncErrorNotEnoughMemory = 8,
    e_SyncErrorInvalidParameter = 87,
    e_SyncErrorAlreadyExists = 183,
    e_SyncErrorNotOwner = 288,
    e_SyncErrorTooManyPosts = 298,
};

// Creation. A null or empty name makes an unnamed object for this process.
// With a name that already exists the existing object is opened (its state
// untouched, the other arguments ignored) and the last error is 183; a name
// held by another kind of object fails with 6. Null on failure.
BASIS_API HANDLE h_CreateMutex(int initialOwner, char const* name);
BASIS_API HANDLE h_CreateEvent(int manualReset, int initialState, char const* name);
BASIS_API HANDLE h_CreateSemaphore(long initialCount, long maximumCount, char const* name);

// Opening an existing named object (2 when there is none, 6 when the name
// belongs to another kind).
BASIS_API HANDLE h_OpenMutex(char const* name);
BASIS_API HANDLE h_OpenEvent(char const* name);
BASIS_API HANDLE h_OpenSemaphore(char const* name);

// Non-zero on success for all of these.
BASIS_API int b_CloseSyncHandle(HANDLE handle);
BASIS_API int b_SetEvent(HANDLE handle);
BASIS_API int b_ResetEvent(HANDLE handle);
// Releases the waiters present now (all for a manual-reset event, one for
// an automatic-reset one) and leaves the event not signalled.
BASIS_API int b_PulseEvent(HANDLE handle);
// Fails with 288 for a thread that does not own the mutex.
BASIS_API int b_ReleaseMutex(HANDLE handle);
// Fails with 298 when the count would pass the maximum; previous may be null.
BASIS_API int b_ReleaseSemaphore(HANDLE handle, long count, long* previous);

// Waits. timeout in milliseconds, e_WaitInfinite for none. Results: index
// of the object taken (e_WaitObject0 + i), e_WaitAbandoned0 + i for a mutex
// whose owner ended while holding it, e_WaitIoCompletion (Windows only, for
// alertable waits), e_WaitTimeout or e_WaitFailed. A wait-any takes the
// lowest signalled index; a wait-all takes every object at once or none.
BASIS_API unsigned n_WaitForSyncObject(HANDLE handle, unsigned timeout, int alertable);
BASIS_API unsigned n_WaitForSyncObjects(unsigned count, HANDLE const* handles, int waitAll, unsigned timeout,
                                        int alertable);

}  // namespace Platform
