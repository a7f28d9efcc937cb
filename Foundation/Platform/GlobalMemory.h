// Movable global memory blocks with a lock count, as the clipboard and
// data exchange pass them between programs (GlobalAlloc and companions on
// Windows; an allocation with its own lock count on Linux).
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// A movable block of size bytes; null when memory is short.
BASIS_API void* h_GlobalAlloc(unsigned size);
// Locks the block and returns its bytes; each lock counts.
BASIS_API void* pv_GlobalLock(void* block);
// Releases one lock; returns the locks that remain.
BASIS_API unsigned n_GlobalUnlock(void* block);
BASIS_API unsigned n_GlobalSize(void* block);
BASIS_API void v_GlobalFree(void* block);

}  // namespace Platform
