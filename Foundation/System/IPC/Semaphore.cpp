#include "Foundation/System/IPC/Semaphore.h"

#include <climits>

#include "Foundation/Platform/Sync.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_IPC_Semaphore)

namespace {

// The system's counts are signed 32-bit values: larger ones are passed as
// INT_MAX, which a creation or release then refuses or limits as the
// system does with its own values.
long i_Count(unsigned count) { return count > INT_MAX ? INT_MAX : static_cast<long>(count); }

}  // namespace

CT_IPC_Semaphore::CT_IPC_Semaphore(unsigned initialCount, unsigned maximumCount, char const* name) {
    h_Handle = Platform::h_CreateSemaphore(i_Count(initialCount), i_Count(maximumCount), name);
    BASIS_TYPE_CONSTRUCT(CT_IPC_Semaphore);
}

CT_IPC_Semaphore::CT_IPC_Semaphore(CT_Type* type) : CT_IPC_SyncObject(type) {
    BASIS_TYPE_CONSTRUCT(CT_IPC_Semaphore);
}

CT_IPC_Semaphore::~CT_IPC_Semaphore() { (void)BASIS_TYPE_DESTRUCT(CT_IPC_Semaphore); }

void CT_IPC_Semaphore::v_Release(unsigned count) { (void)Platform::b_ReleaseSemaphore(h_Handle, i_Count(count), nullptr); }

int CT_IPC_Semaphore::b_IsSignaled() {
    if (Platform::n_WaitForSyncObject(h_Handle, 0, 0) != Platform::e_WaitObject0) return 0;
    v_Release(1);
    return 1;
}
