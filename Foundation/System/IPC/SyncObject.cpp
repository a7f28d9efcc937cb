#include "Foundation/System/IPC/SyncObject.h"

#include <cstdlib>
#include <new>

#include "Foundation/Basis/Error/SystemErrorReport.h"
#include "Foundation/Platform/Sync.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_IPC_SyncObject)

namespace {

constexpr char const qcz_Location[] = "Foundation/System/IPC/SyncObject";

void v_Report(unsigned line) { v_ReportSystemError(qcz_Location, line); }

}  // namespace

CT_IPC_SyncObject::~CT_IPC_SyncObject() {
    if (!BASIS_TYPE_DESTRUCT(CT_IPC_SyncObject)) v_Exit();
}

void* CT_IPC_SyncObject::operator new(std::size_t size) { return ::operator new(size); }
void CT_IPC_SyncObject::operator delete(void* block) { ::operator delete(block); }

void CT_IPC_SyncObject::v_Exit() {
    if (h_Handle != nullptr && !Platform::b_CloseSyncHandle(h_Handle)) v_Report(48);
    h_Handle = nullptr;
}

CT_IPC_SyncObject::et_WaitResult CT_IPC_SyncObject::seo_Wait(CT_IPC_SyncObject const* object, unsigned timeout,
                                                             int alertable) {
    // A null object has no handle: the system refuses it like any bad handle.
    unsigned result = Platform::n_WaitForSyncObject(object != nullptr ? object->h_Handle : nullptr, timeout, alertable);
    if (result == e_WaitFailed) v_Report(69);
    return static_cast<et_WaitResult>(result);
}

CT_IPC_SyncObject::et_WaitResult CT_IPC_SyncObject::seo_Wait(CT_IPC_SyncObjectList* list, int waitAll,
                                                             unsigned timeout, int alertable) {
    if (list == nullptr || list->n_GetCount() == 0) return e_WaitFailed;
    unsigned count = list->n_GetCount();
    void* const* handles = list->qch_GetHandles();
    // A list that could not get its handle array waits on nothing.
    if (handles == nullptr) return e_WaitFailed;
    unsigned result = Platform::n_WaitForSyncObjects(count, handles, waitAll, timeout, alertable);
    if (result == e_WaitFailed) v_Report(90);
    return static_cast<et_WaitResult>(result);
}

CT_IPC_SyncObjectList::~CT_IPC_SyncObjectList() { std::free(ph_Handles); }

void CT_IPC_SyncObjectList::v_Add(CT_IPC_SyncObject* object) {
    co_Objects.v_Insert(&object);
    b_Changed = 1;
}

void CT_IPC_SyncObjectList::v_Remove(CT_IPC_SyncObject* object) {
    unsigned count = co_Objects.n_GetCount();
    for (unsigned position = 1; position <= count; ++position) {
        if (pco_GetAt(position) == object) {
            co_Objects.v_RemoveAt(position);
            b_Changed = 1;
            return;
        }
    }
}

void CT_IPC_SyncObjectList::v_Set() {
    co_Objects.v_Set(CT_VoidArray::e_DefaultGrowth, 0, 0);
    std::free(ph_Handles);
    ph_Handles = nullptr;
    b_Changed = 0;
}

CT_IPC_SyncObject* CT_IPC_SyncObjectList::pco_GetAt(unsigned position) const {
    CT_IPC_SyncObject* object = nullptr;
    // Outside 1 to the count there is no object: null.
    if (position >= 1 && position <= co_Objects.n_GetCount()) co_Objects.v_GetAt(&object, static_cast<int>(position));
    return object;
}

void* const* CT_IPC_SyncObjectList::qch_GetHandles() {
    if (b_Changed) {
        std::free(ph_Handles);
        ph_Handles = nullptr;
        unsigned count = co_Objects.n_GetCount();
        if (count > 0) ph_Handles = static_cast<HANDLE*>(std::malloc(count * sizeof(HANDLE)));
        if (ph_Handles != nullptr)
            for (unsigned i = 0; i < count; ++i) {
                // A null entry has no handle; the wait then refuses the list.
                CT_IPC_SyncObject* object = pco_GetAt(i + 1);
                ph_Handles[i] = object != nullptr ? object->h_GetHandle() : nullptr;
            }
        b_Changed = 0;
    }
    return ph_Handles;
}
