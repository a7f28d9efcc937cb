// The Windows half of Sync.h: the kernel objects themselves. Names go to the
// narrow calls as given; the system leaves its own codes as the last error.
#include "Foundation/Platform/Sync.h"

#include <windows.h>

namespace Platform {

namespace {

char const* qccz_NameOrNull(char const* name) { return name != nullptr && name[0] != 0 ? name : nullptr; }

}  // namespace

HANDLE h_CreateMutex(int initialOwner, char const* name) {
    return ::CreateMutexA(nullptr, initialOwner != 0 ? TRUE : FALSE, qccz_NameOrNull(name));
}

HANDLE h_CreateEvent(int manualReset, int initialState, char const* name) {
    return ::CreateEventA(nullptr, manualReset != 0 ? TRUE : FALSE, initialState != 0 ? TRUE : FALSE,
                          qccz_NameOrNull(name));
}

HANDLE h_CreateSemaphore(long initialCount, long maximumCount, char const* name) {
    return ::CreateSemaphoreA(nullptr, initialCount, maximumCount, qccz_NameOrNull(name));
}

HANDLE h_OpenMutex(char const* name) { return ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name); }

HANDLE h_OpenEvent(char const* name) { return ::OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name); }

HANDLE h_OpenSemaphore(char const* name) {
    return ::OpenSemaphoreA(SYNCHRONIZE | SEMAPHORE_MODIFY_STATE, FALSE, name);
}

int b_CloseSyncHandle(HANDLE handle) { return ::CloseHandle(handle) ? 1 : 0; }
int b_SetEvent(HANDLE handle) { return ::SetEvent(handle) ? 1 : 0; }
int b_ResetEvent(HANDLE handle) { return ::ResetEvent(handle) ? 1 : 0; }
int b_PulseEvent(HANDLE handle) { return ::PulseEvent(handle) ? 1 : 0; }
int b_ReleaseMutex(HANDLE handle) { return ::ReleaseMutex(handle) ? 1 : 0; }

int b_ReleaseSemaphore(HANDLE handle, long count, long* previous) {
    LONG before = 0;
    if (!::ReleaseSemaphore(handle, count, &before)) return 0;
    if (previous != nullptr) *previous = before;
    return 1;
}

unsigned n_WaitForSyncObject(HANDLE handle, unsigned timeout, int alertable) {
    return ::WaitForSingleObjectEx(handle, timeout, alertable != 0 ? TRUE : FALSE);
}

unsigned n_WaitForSyncObjects(unsigned count, HANDLE const* handles, int waitAll, unsigned timeout, int alertable) {
    return ::WaitForMultipleObjectsEx(count, handles, waitAll != 0 ? TRUE : FALSE, timeout,
                                      alertable != 0 ? TRUE : FALSE);
}

}  // namespace Platform
