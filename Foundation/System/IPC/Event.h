// CT_IPC_Event: an event of the system, with manual or automatic reset,
// unnamed or named. Failures of creation, set, reset and pulse are
// reported through the error manager.
#pragma once

#include "Foundation/System/IPC/SyncObject.h"

class BASIS_API CT_IPC_Event : public CT_IPC_SyncObject {
    BASIS_DECLARE_DERIVED_TYPE(CT_IPC_Event)

public:
    // Defaults: automatic reset, not signalled, unnamed.
    explicit CT_IPC_Event(int manualReset = 0, int initialState = 0, char const* name = nullptr);
    virtual ~CT_IPC_Event();

    // Sets (non-zero) or resets the event.
    void v_SetState(int signalled);
    // Releases the waiters present now (all of them, or one for automatic
    // reset) and leaves the event not signalled.
    void v_Pulse();

protected:
    explicit CT_IPC_Event(CT_Type* type);
};
