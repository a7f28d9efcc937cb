#include "Foundation/Platform/GlobalMemory.h"

#include <windows.h>

namespace Platform {

void* h_GlobalAlloc(unsigned size) { return ::GlobalAlloc(GMEM_MOVEABLE, size); }
void* pv_GlobalLock(void* block) { return ::GlobalLock(block); }

unsigned n_GlobalUnlock(void* block) {
    ::GlobalUnlock(block);
    return ::GlobalFlags(block) & GMEM_LOCKCOUNT;
}

unsigned n_GlobalSize(void* block) { return static_cast<unsigned>(::GlobalSize(block)); }
void v_GlobalFree(void* block) {
    if (block) ::GlobalFree(block);
}

}  // namespace Platform
