#include "Foundation/System/IPC/ReadWriteLock.h"

#include "Foundation/Platform/Sync.h"

CT_IPC_ReadWriteLock::CT_IPC_ReadWriteLock()
    : h_Readers(Platform::h_CreateEvent(1, 0, nullptr)),
      h_WriterMutex(Platform::h_CreateMutex(0, nullptr)),
      h_Writer(Platform::h_CreateEvent(0, 1, nullptr)),
      i4_Readers(-1) {}

CT_IPC_ReadWriteLock::~CT_IPC_ReadWriteLock() {
    if (h_Readers != nullptr) Platform::b_CloseSyncHandle(h_Readers);
    if (h_WriterMutex != nullptr) Platform::b_CloseSyncHandle(h_WriterMutex);
    if (h_Writer != nullptr) Platform::b_CloseSyncHandle(h_Writer);
}

void CT_IPC_ReadWriteLock::v_AddReader() {
    if (i4_Readers.fetch_add(1, std::memory_order_seq_cst) + 1 == 0) {
        (void)Platform::n_WaitForSyncObject(h_Writer, Platform::e_WaitInfinite, 0);
        Platform::b_SetEvent(h_Readers);
    }
    (void)Platform::n_WaitForSyncObject(h_Readers, Platform::e_WaitInfinite, 0);
}

void CT_IPC_ReadWriteLock::v_ReleaseReader() {
    // The last reader closes the readers event before the count shows the
    // group gone. Were it to count down first and close after, a reader
    // arriving in between (finding the count at 0, so not the first of a
    // new group) could pass the still open event while the token went to a
    // writer. So the last reader closes the event, then counts down only if
    // no reader joined meanwhile; if one did, it opens the event again for
    // the newcomer and leaves as an ordinary member of the group.
    std::int32_t count = i4_Readers.load(std::memory_order_seq_cst);
    for (;;) {
        if (count > 0) {
            if (i4_Readers.compare_exchange_weak(count, count - 1, std::memory_order_seq_cst)) return;
            continue;
        }
        Platform::b_ResetEvent(h_Readers);
        std::int32_t last = 0;
        if (i4_Readers.compare_exchange_strong(last, -1, std::memory_order_seq_cst)) {
            Platform::b_SetEvent(h_Writer);
            return;
        }
        Platform::b_SetEvent(h_Readers);
        count = last;
    }
}

void CT_IPC_ReadWriteLock::v_AddWriter() {
    (void)Platform::n_WaitForSyncObject(h_WriterMutex, Platform::e_WaitInfinite, 0);
    (void)Platform::n_WaitForSyncObject(h_Writer, Platform::e_WaitInfinite, 0);
}

void CT_IPC_ReadWriteLock::v_ReleaseWriter() {
    Platform::b_SetEvent(h_Writer);
    Platform::b_ReleaseMutex(h_WriterMutex);
}

int CT_IPC_ReadWriteLock::b_ReaderExists() {
    // The readers event is manual reset, so the probe leaves it open as it
    // found it; setting it again after the probe could reopen it just after
    // the last reader closed it.
    return Platform::n_WaitForSyncObject(h_Readers, 0, 0) == Platform::e_WaitObject0 ? 1 : 0;
}

int CT_IPC_ReadWriteLock::b_WriterExists() {
    // A probe that finds the mutex abandoned has taken it as well.
    unsigned probe = Platform::n_WaitForSyncObject(h_WriterMutex, 0, 0);
    if (probe != Platform::e_WaitObject0 && probe != Platform::e_WaitAbandoned0) return 0;
    Platform::b_ReleaseMutex(h_WriterMutex);
    return 1;
}
