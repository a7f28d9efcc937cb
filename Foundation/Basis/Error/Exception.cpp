#include "Foundation/Basis/Error/Exception.h"

#include "Foundation/Basis/TestOut/TestOut.h"
#include "Foundation/Platform/Thread.h"

CT_ExceptionManager* CT_ExceptionManager::spco_ExceptionManager = nullptr;

void CT_ExceptionManager::sv_Init() {
    if (spco_ExceptionManager == nullptr) spco_ExceptionManager = new CT_ExceptionManager;
}

void CT_ExceptionManager::sv_Exit() {
    delete spco_ExceptionManager;
    spco_ExceptionManager = nullptr;
}

CT_ExceptionManager::CT_ExceptionManager()
    : pso_Active(nullptr),
      pso_FreeRecords(nullptr),
      pso_FreeLocations(nullptr),
      pso_Records(new st_ExceptionInfo[e_RecordCount]),
      pso_LocationPool(new st_Location[e_LocationCount]) {
    // Free lists in array order.
    for (unsigned i = e_RecordCount; i-- > 0;) {
        pso_Records[i] = {pso_FreeRecords, nullptr, 0, 0};
        pso_FreeRecords = &pso_Records[i];
    }
    for (unsigned i = e_LocationCount; i-- > 0;) {
        pso_LocationPool[i] = {pso_FreeLocations, nullptr, 0, 0};
        pso_FreeLocations = &pso_LocationPool[i];
    }
}

CT_ExceptionManager::~CT_ExceptionManager() {
    delete[] pso_Records;
    delete[] pso_LocationPool;
}

// Called with the lock held.
CT_ExceptionManager::st_ExceptionInfo* CT_ExceptionManager::pso_Find(unsigned thread) const {
    for (st_ExceptionInfo* record = pso_Active; record; record = record->pso_Next)
        if (record->n_Thread == thread) return record;
    return nullptr;
}

int CT_ExceptionManager::b_InException() const {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    return pso_Find(thread) != nullptr;
}

void CT_ExceptionManager::v_AddLocation(char const* file, unsigned line, unsigned code) {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    st_ExceptionInfo* record = pso_Find(thread);
    if (record == nullptr) {
        if (pso_FreeRecords == nullptr) return;
        record = pso_FreeRecords;
        pso_FreeRecords = record->pso_Next;
        record->pso_Next = pso_Active;
        pso_Active = record;
        record->pso_Locations = nullptr;
        record->n_Thread = thread;
    }
    record->n_Code = code;
    if (pso_FreeLocations == nullptr) return;
    st_Location* location = pso_FreeLocations;
    pso_FreeLocations = location->pso_Next;
    *location = {record->pso_Locations, file, line, code};
    record->pso_Locations = location;
}

void CT_ExceptionManager::v_AddLocation(char const* file, unsigned line) {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    st_ExceptionInfo* record = pso_Find(thread);
    if (record == nullptr || pso_FreeLocations == nullptr) return;
    st_Location* location = pso_FreeLocations;
    pso_FreeLocations = location->pso_Next;
    *location = {record->pso_Locations, file, line, record->n_Code};
    record->pso_Locations = location;
}

void CT_ExceptionManager::v_Clear() {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    for (st_ExceptionInfo** link = &pso_Active; *link; link = &(*link)->pso_Next) {
        st_ExceptionInfo* record = *link;
        if (record->n_Thread != thread) continue;
        *link = record->pso_Next;
        while (st_Location* location = record->pso_Locations) {
            record->pso_Locations = location->pso_Next;
            *location = {pso_FreeLocations, nullptr, 0, 0};
            pso_FreeLocations = location;
        }
        *record = {pso_FreeRecords, nullptr, 0, 0};
        pso_FreeRecords = record;
        return;
    }
}

void CT_ExceptionManager::v_Dump(CT_TestOut* out, unsigned thread) const {
    unsigned wanted = thread == ~0u ? Platform::n_GetCurrentThreadId() : thread;
    Platform::CriticalSectionLock lock(co_Lock);
    st_ExceptionInfo* record = pso_Find(wanted);
    if (record == nullptr) {
        out->v_Out("No exception for thread %u.\n", thread);
        return;
    }
    out->v_Out("Active exception for thread %u has code %u.\n", record->n_Thread, record->n_Code);
    for (st_Location* location = record->pso_Locations; location; location = location->pso_Next)
        out->v_Out("\t(%s, %u): code %u\n", location->qccz_File, location->n_Line, location->n_Code);
}

unsigned CT_ExceptionManager::n_GetFreeRecords() const {
    Platform::CriticalSectionLock lock(co_Lock);
    unsigned n = 0;
    for (st_ExceptionInfo* record = pso_FreeRecords; record; record = record->pso_Next) ++n;
    return n;
}

unsigned CT_ExceptionManager::n_GetFreeLocations() const {
    Platform::CriticalSectionLock lock(co_Lock);
    unsigned n = 0;
    for (st_Location* location = pso_FreeLocations; location; location = location->pso_Next) ++n;
    return n;
}
