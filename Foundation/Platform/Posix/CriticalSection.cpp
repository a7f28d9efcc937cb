#include "Foundation/Platform/CriticalSection.h"

#include <pthread.h>

#include <new>

namespace Platform {

static_assert(sizeof(pthread_mutex_t) <= 64, "pthread_mutex_t does not fit the storage");

static pthread_mutex_t* pco_Mutex(unsigned char* storage) {
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}

CriticalSection::CriticalSection() {
    // Recursive, as a Win32 critical section is.
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (ac_Storage) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

CriticalSection::~CriticalSection() { pthread_mutex_destroy(pco_Mutex(ac_Storage)); }

void CriticalSection::v_Enter() { pthread_mutex_lock(pco_Mutex(ac_Storage)); }

void CriticalSection::v_Leave() { pthread_mutex_unlock(pco_Mutex(ac_Storage)); }

int CriticalSection::b_TryEnter() { return pthread_mutex_trylock(pco_Mutex(ac_Storage)) == 0; }

}  // namespace Platform
