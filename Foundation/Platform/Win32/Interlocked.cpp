#include "Foundation/Platform/Interlocked.h"

#include <windows.h>

namespace Platform {

static_assert(sizeof(LONG) == sizeof(std::int32_t), "LONG is 32 bits on Windows");

std::int32_t i4_InterlockedIncrement(std::int32_t volatile* target) {
    return ::InterlockedIncrement(reinterpret_cast<LONG volatile*>(target));
}

std::int32_t i4_InterlockedDecrement(std::int32_t volatile* target) {
    return ::InterlockedDecrement(reinterpret_cast<LONG volatile*>(target));
}

std::int32_t i4_InterlockedExchange(std::int32_t volatile* target, std::int32_t value) {
    return ::InterlockedExchange(reinterpret_cast<LONG volatile*>(target), value);
}

}  // namespace Platform
