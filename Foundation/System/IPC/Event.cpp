#include "Foundation/System/IPC/Event.h"

#include "Foundation/Basis/Error/SystemErrorReport.h"
#include "Foundation/Platform/Sync.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_IPC_Event)

namespace {

constexpr char const qcz_Location[] = "Foundation/System/IPC/Event";

void v_Report(unsigned line) { v_ReportSystemError(qcz_Location, line); }

}  // namespace

CT_IPC_Event::CT_IPC_Event(int manualReset, int initialState, char const* name) {
    h_Handle = Platform::h_CreateEvent(manualReset, initialState, name);
    if (h_Handle == nullptr) v_Report(45);
    BASIS_TYPE_CONSTRUCT(CT_IPC_Event);
}

CT_IPC_Event::CT_IPC_Event(CT_Type* type) : CT_IPC_SyncObject(type) { BASIS_TYPE_CONSTRUCT(CT_IPC_Event); }

CT_IPC_Event::~CT_IPC_Event() { (void)BASIS_TYPE_DESTRUCT(CT_IPC_Event); }

void CT_IPC_Event::v_SetState(int signalled) {
    int done = signalled != 0 ? Platform::b_SetEvent(h_Handle) : Platform::b_ResetEvent(h_Handle);
    if (!done) v_Report(63);
}

void CT_IPC_Event::v_Pulse() {
    if (!Platform::b_PulseEvent(h_Handle)) v_Report(72);
}
