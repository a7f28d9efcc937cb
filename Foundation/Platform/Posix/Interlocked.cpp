#include "Foundation/Platform/Interlocked.h"

namespace Platform {

// The Win32 interlocked calls are full barriers; so are these.
std::int32_t i4_InterlockedIncrement(std::int32_t volatile* target) {
    return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST);
}

std::int32_t i4_InterlockedDecrement(std::int32_t volatile* target) {
    return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST);
}

std::int32_t i4_InterlockedExchange(std::int32_t volatile* target, std::int32_t value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

}  // namespace Platform
