// CT_IPC_Mutex: a mutex of the system, unnamed for the threads of one
// process or named for several processes. Recursive for its owning thread;
// a mutex whose owner ends while holding it is handed to the next waiter
// with the result e_WaitAbandoned0.
#pragma once

#include "Foundation/Platform/Sync.h"
#include "Foundation/System/IPC/SyncObject.h"

class BASIS_API CT_IPC_Mutex : public CT_IPC_SyncObject {
    BASIS_DECLARE_DERIVED_TYPE(CT_IPC_Mutex)

public:
    // Not owned. A failure leaves the handle null and is not reported.
    explicit CT_IPC_Mutex(char const* name = nullptr);
    virtual ~CT_IPC_Mutex();

    // Waits without limit; the result is not examined.
    // Both are in line, so a claim or a release is one call into the
    // library, straight to the system layer, whose unnamed-mutex path is a
    // handful of instructions.
    void v_Claim() { (void)Platform::n_WaitForSyncObject(h_Handle, Platform::e_WaitInfinite, 0); }
    // Gives the mutex back; the result is not examined.
    void v_Release() { (void)Platform::b_ReleaseMutex(h_Handle); }

protected:
    explicit CT_IPC_Mutex(CT_Type* type);
};
