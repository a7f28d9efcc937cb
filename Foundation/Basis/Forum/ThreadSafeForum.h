// CT_ThreadSafeForum: a forum whose list may change on one thread while
// others broadcast. Broadcasts hold the forum's reader-writer lock as
// readers, from before the first listener is called until the last has
// returned (or, for an answer, until the first non-zero one), so any number
// run at once; adding, removing and clearing hold it as a writer and wait
// for the running broadcasts. A message to one given forum takes no lock.
//
// A listener called by a broadcast of this forum must not add or remove
// listeners of the same forum on the same thread: the writer would wait for
// the broadcast that is calling it. Nested broadcasts are allowed.
#pragma once

#include "Foundation/Basis/Forum/Forum.h"
#include "Foundation/System/IPC/ReadWriteLock.h"

class BASIS_API CT_ThreadSafeForum : public CT_Forum {
    BASIS_DECLARE_DERIVED_TYPE(CT_ThreadSafeForum)

public:
    CT_ThreadSafeForum();
    // Takes the other's list while holding the other's lock as a reader.
    explicit CT_ThreadSafeForum(CT_ThreadSafeForum const* other);
    CT_ThreadSafeForum(CT_ThreadSafeForum const& other) : CT_ThreadSafeForum(&other) {}
    virtual ~CT_ThreadSafeForum();

    void vv_AddListener(CT_Forum const* listener) override;
    void vv_RemoveListener(CT_Forum const* listener) override;
    void vv_Speak(CT_Forum* target, unsigned message, ...) override;
    void vv_SpeakVA(CT_Forum* target, unsigned message, va_list arguments) override;
    unsigned vn_Speak(CT_Forum* target, unsigned message, ...) override;
    unsigned vn_SpeakVA(CT_Forum* target, unsigned message, va_list arguments) override;

    void v_Set();
    // Copies the other's list under its reader lock, then takes it under
    // this forum's writer lock (one lock at a time, so two forums set from
    // each other on two threads cannot deadlock).
    void v_Set(CT_ThreadSafeForum const* other);
    CT_ThreadSafeForum& operator=(CT_ThreadSafeForum const& other) {
        v_Set(&other);
        return *this;
    }

protected:
    explicit CT_ThreadSafeForum(CT_Type* type);

private:
    // mutable: reading another forum's list takes its lock as a reader.
    mutable CT_IPC_ReadWriteLock co_Lock;
};
