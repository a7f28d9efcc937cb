// Helpers for walks over items scattered in memory: fetching what a walk
// will reach a little later, and reducing many values by one divisor.
// Internal to the library.
#pragma once

#include <cstdint>

namespace Container {

// How many buckets ahead of a walk its items are fetched: far enough for a
// load from memory to arrive, near enough to stay in the cache.
enum { se_FetchAhead = 16 };

// Asks the processor to start loading the line at an address. A prefetch
// never faults, whatever the address, so a stale or null one is harmless.
inline void sv_Prefetch(void const* at) {
#if defined(__GNUC__)
    __builtin_prefetch(at);
#else
    (void)at;
#endif
}

// a mod d for many a and one d, by two multiplications rather than a
// division each: with m = 2^64 / d rounded up, the high 64 bits of
// (m * a mod 2^64) * d are a mod d, exactly, for all 32-bit a and d > 0.
class CT_Modulo {
public:
    explicit CT_Modulo(std::uint32_t divisor)
        : n8_Inverse(~std::uint64_t(0) / divisor + 1), n4_Divisor(divisor) {}
    std::uint32_t n4_Of(std::uint32_t value) const {
#if defined(__SIZEOF_INT128__)
        std::uint64_t low = n8_Inverse * value;
        return static_cast<std::uint32_t>((static_cast<unsigned __int128>(low) * n4_Divisor) >> 64);
#else
        return value % n4_Divisor;
#endif
    }

private:
    std::uint64_t n8_Inverse;
    std::uint32_t n4_Divisor;
};

}  // namespace Container
