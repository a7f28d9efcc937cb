// CT_IPC_SyncObject: the common base of the mutex, the event and the
// semaphore. It owns one system handle (null when there is none), closes it
// when it goes, and waits on it or on a list of such objects. A wait gives
// the system's result unchanged (see et_WaitResult).
//
// CT_IPC_SyncObjectList: the objects a wait on several at once takes, in
// order. It does not own them; it keeps their handles in an array of its
// own, rebuilt from the objects when the list has changed since the last
// call of qch_GetHandles. The list itself takes no lock: the thread that
// builds or changes it calls qch_GetHandles (or waits on it) once before
// other threads wait on it, since the first call after a change rebuilds
// the array.
//
// Copying would leave two objects closing one handle, so it is forbidden.
#pragma once

#include <cstddef>

#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/Frame/Type.h"
#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

class CT_IPC_SyncObjectList;

class BASIS_API CT_IPC_SyncObject {
    // Dispatch table: vpcco_GetType, vpv_IsA, vpv_IsKindOf.
    BASIS_DECLARE_TYPE(CT_IPC_SyncObject)

public:
    // What the system's wait functions return.
    enum et_WaitResult : unsigned {
        e_WaitObject0 = 0,             // + i: object i was signalled
        e_WaitAbandoned0 = 0x80,       // + i: object i was a mutex whose owner ended holding it
        e_WaitIoCompletion = 0xC0,     // an alertable wait ran a completion routine (Windows only)
        e_WaitTimeout = 0x102,
        e_WaitFailed = 0xFFFFFFFFu,
    };
    enum : unsigned { e_Infinite = 0xFFFFFFFFu };

    CT_IPC_SyncObject() { v_Null(); BASIS_TYPE_CONSTRUCT(CT_IPC_SyncObject); }
    CT_IPC_SyncObject(CT_IPC_SyncObject const&) = delete;
    CT_IPC_SyncObject& operator=(CT_IPC_SyncObject const&) = delete;
    // The handle is closed here (not for the prototype, which has none).
    ~CT_IPC_SyncObject();

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    HANDLE h_GetHandle() const { return h_Handle; }

    et_WaitResult eo_Wait(unsigned timeout, int alertable) const { return seo_Wait(this, timeout, alertable); }
    // timeout in milliseconds, e_Infinite for none.
    static et_WaitResult seo_Wait(CT_IPC_SyncObject const* object, unsigned timeout, int alertable);
    // An empty list gives e_WaitFailed at once and reports nothing.
    static et_WaitResult seo_Wait(CT_IPC_SyncObjectList* list, int waitAll, unsigned timeout, int alertable);

protected:
    explicit CT_IPC_SyncObject(CT_Type*) { v_Null(); BASIS_TYPE_CONSTRUCT(CT_IPC_SyncObject); }

    HANDLE h_Handle;

private:
    void v_Null() { h_Handle = nullptr; }
    void v_Exit();
};

class BASIS_API CT_IPC_SyncObjectList {
public:
    CT_IPC_SyncObjectList() : co_Objects(sizeof(CT_IPC_SyncObject*)), ph_Handles(nullptr), b_Changed(0) {}
    CT_IPC_SyncObjectList(CT_IPC_SyncObjectList const&) = delete;
    CT_IPC_SyncObjectList& operator=(CT_IPC_SyncObjectList const&) = delete;
    virtual ~CT_IPC_SyncObjectList();

    // Duplicates are kept; a wait-all on a list with one object twice fails.
    void v_Add(CT_IPC_SyncObject* object);
    // The first equal entry; nothing when there is none.
    void v_Remove(CT_IPC_SyncObject* object);
    void v_Set();
    unsigned n_GetCount() const { return co_Objects.n_GetCount(); }
    CT_IPC_SyncObject* pco_GetAt(unsigned position) const;

    // The handles of the listed objects, read from them again after any
    // change of the list; null for an empty list.
    void* const* qch_GetHandles();

private:
    CT_VoidArray co_Objects;
    HANDLE* ph_Handles;
    int b_Changed;
};
