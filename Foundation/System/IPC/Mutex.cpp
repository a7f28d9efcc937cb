#include "Foundation/System/IPC/Mutex.h"

#include "Foundation/Platform/Sync.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_IPC_Mutex)

CT_IPC_Mutex::CT_IPC_Mutex(char const* name) {
    h_Handle = Platform::h_CreateMutex(0, name);
    BASIS_TYPE_CONSTRUCT(CT_IPC_Mutex);
}

CT_IPC_Mutex::CT_IPC_Mutex(CT_Type* type) : CT_IPC_SyncObject(type) { BASIS_TYPE_CONSTRUCT(CT_IPC_Mutex); }

CT_IPC_Mutex::~CT_IPC_Mutex() { (void)BASIS_TYPE_DESTRUCT(CT_IPC_Mutex); }
