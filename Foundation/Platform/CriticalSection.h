// A recursive mutual-exclusion lock for threads of one process, with the
// semantics of a Win32 critical section: the owning thread may enter again
// and must leave as often as it entered.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

class BASIS_API CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(CriticalSection const&) = delete;
    CriticalSection& operator=(CriticalSection const&) = delete;

    void v_Enter();
    void v_Leave();
    // Enters only when no other thread owns the lock; true when entered.
    int b_TryEnter();

private:
    // Room for the system object (CRITICAL_SECTION is 40 bytes on x64,
    // pthread_mutex_t 40 on x86-64 glibc); each half checks that it fits.
    alignas(8) unsigned char ac_Storage[64];
};

// Holds a critical section for the lifetime of a scope.
class CriticalSectionLock {
public:
    explicit CriticalSectionLock(CriticalSection& section) : pco_Section(&section) { section.v_Enter(); }
    ~CriticalSectionLock() { pco_Section->v_Leave(); }
    CriticalSectionLock(CriticalSectionLock const&) = delete;
    CriticalSectionLock& operator=(CriticalSectionLock const&) = delete;

private:
    CriticalSection* pco_Section;
};

}  // namespace Platform
