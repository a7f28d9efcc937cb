// CT_IPC_ReadWriteLock: many readers or one writer, built from two events
// and a mutex of the system (unnamed: for the threads of one process).
//
// The writer event (automatic reset, created signalled) is the one token
// that either the whole group of readers or one writer holds. The first
// reader takes it for the group and opens the readers event (manual reset);
// later readers pass the open readers event; the last reader closes it and
// gives the token back. Writers queue on the writer mutex, then take the
// token. Readers arriving while readers hold the lock are admitted at once,
// so a steady stream of readers can keep a writer waiting.
#pragma once

#include <atomic>
#include <cstdint>

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

class BASIS_API CT_IPC_ReadWriteLock {
public:
    CT_IPC_ReadWriteLock();
    CT_IPC_ReadWriteLock(CT_IPC_ReadWriteLock const&) = delete;
    CT_IPC_ReadWriteLock& operator=(CT_IPC_ReadWriteLock const&) = delete;
    virtual ~CT_IPC_ReadWriteLock();

    void v_AddReader();
    void v_ReleaseReader();
    void v_AddWriter();
    void v_ReleaseWriter();
    // 1 while readers hold the lock.
    int b_ReaderExists();
    // A probe of the writer mutex: 1 when it could be taken (and was given
    // back at once), 0 when another thread holds it.
    int b_WriterExists();

private:
    HANDLE h_Readers;
    HANDLE h_WriterMutex;
    HANDLE h_Writer;
    // The number of readers less one: -1 when no reader holds the lock.
    std::atomic<std::int32_t> i4_Readers;
};
