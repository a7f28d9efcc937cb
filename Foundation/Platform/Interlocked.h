// Interlocked (atomic, full-barrier) operations on 32-bit values.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

namespace Platform {

// Each returns the value the operation produced (increment, decrement) or
// the value that was there before (exchange), as the Win32 calls do.
BASIS_API std::int32_t i4_InterlockedIncrement(std::int32_t volatile* target);
BASIS_API std::int32_t i4_InterlockedDecrement(std::int32_t volatile* target);
BASIS_API std::int32_t i4_InterlockedExchange(std::int32_t volatile* target, std::int32_t value);

}  // namespace Platform
