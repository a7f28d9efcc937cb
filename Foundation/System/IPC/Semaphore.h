// CT_IPC_Semaphore: a counting semaphore of the system with a maximum,
// unnamed or named.
#pragma once

#include "Foundation/System/IPC/SyncObject.h"

class BASIS_API CT_IPC_Semaphore : public CT_IPC_SyncObject {
    BASIS_DECLARE_DERIVED_TYPE(CT_IPC_Semaphore)

public:
    // A failure (such as an initial count above the maximum) leaves the
    // handle null and is not reported.
    CT_IPC_Semaphore(unsigned initialCount, unsigned maximumCount, char const* name = nullptr);
    virtual ~CT_IPC_Semaphore();

    // Adds count units; the result is not examined (a release past the
    // maximum changes nothing).
    void v_Release(unsigned count = 1);
    // 1 when a unit is free now. The probe takes a unit and gives it back,
    // so another thread may briefly see one unit fewer.
    int b_IsSignaled();

protected:
    explicit CT_IPC_Semaphore(CT_Type* type);
};
