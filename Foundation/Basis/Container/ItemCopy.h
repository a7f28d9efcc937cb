// Copying one fixed-size item of a container. Items of 1, 2 and 4 bytes go
// as a single value; larger ones byte-wise. Items sit in storage that is
// only 4-byte aligned, so they are never read through a typed pointer of
// their own width: a fixed-size move compiles to one load and one store
// without asking for alignment. A move rather than a copy, because a
// caller may hand an item back onto its own place.
#pragma once

#include <cstring>

namespace Container {

inline void v_CopyItem(void* to, void const* from, unsigned size) {
    switch (size) {
    case 1: std::memmove(to, from, 1); break;
    case 2: std::memmove(to, from, 2); break;
    case 4: std::memmove(to, from, 4); break;
    default: std::memmove(to, from, size); break;
    }
}

}  // namespace Container
