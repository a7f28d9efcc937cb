// Blocks of 16 characters below 0x80 for the coders' fast paths: which
// characters of a block are ASCII, and the block widened or narrowed as a
// whole. SSE2 where the compiler offers it (every x86-64 target), plain
// code elsewhere. Internal to the library.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace AsciiBlock {

// Bit i set when byte i of the 16 lies in 1..0x7F (not zero, not 0x80 or
// above).
inline unsigned n_NonZeroAscii(unsigned char const* bytes) {
#if defined(__SSE2__)
    __m128i block = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes));
    // As signed bytes, zero and 0x80-0xFF are exactly those not above 0.
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(block, _mm_setzero_si128())));
#else
    unsigned mask = 0;
    for (unsigned i = 0; i < 16; ++i) mask |= static_cast<unsigned>(bytes[i] - 1u < 0x7Fu) << i;
    return mask;
#endif
}

// Bit i set when unit i of the 16 lies in 1..0x7F.
inline unsigned n_NonZeroAscii(unsigned short const* units) {
#if defined(__SSE2__)
    __m128i low = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units));
    __m128i high = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + 8));
    // Packing saturates: units of 0x100 and more become 0xFF (0x8000 and
    // more 0), so the byte test decides for the unit.
    __m128i block = _mm_packus_epi16(low, high);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(block, _mm_setzero_si128())));
#else
    unsigned mask = 0;
    for (unsigned i = 0; i < 16; ++i) mask |= static_cast<unsigned>(units[i] - 1u < 0x7Fu) << i;
    return mask;
#endif
}

// The number of characters from the start of the block that lie in 1..0x7F.
inline unsigned n_LeadingCount(unsigned mask) {
    return mask == 0xFFFF ? 16 : static_cast<unsigned>(__builtin_ctz(~mask));
}

// The 16 bytes as 16 units.
inline void v_Widen(unsigned char const* bytes, unsigned short* units) {
#if defined(__SSE2__)
    __m128i block = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes));
    __m128i zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units + 8), _mm_unpackhi_epi8(block, zero));
#else
    for (unsigned i = 0; i < 16; ++i) units[i] = bytes[i];
#endif
}

// The low bytes of 16 units below 0x100.
inline void v_Narrow(unsigned short const* units, unsigned char* bytes) {
#if defined(__SSE2__)
    __m128i low = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units));
    __m128i high = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), _mm_packus_epi16(low, high));
#else
    for (unsigned i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(units[i]);
#endif
}

// The length of the run of bytes in 1..0x7F that starts at bytes, widened
// to units, looking at no more than available bytes (at least 16) and only
// at whole blocks of 16; up to 16 units past the run are written too.
inline unsigned n_WidenRun(unsigned char const* bytes, unsigned available, unsigned short* units) {
    unsigned done = 0;
    while (available - done >= 32) {
        unsigned first = n_NonZeroAscii(bytes + done), second = n_NonZeroAscii(bytes + done + 16);
        v_Widen(bytes + done, units + done);
        if (first != 0xFFFF) return done + n_LeadingCount(first);
        v_Widen(bytes + done + 16, units + done + 16);
        if (second != 0xFFFF) return done + 16 + n_LeadingCount(second);
        done += 32;
    }
    if (available - done >= 16) {
        unsigned mask = n_NonZeroAscii(bytes + done);
        v_Widen(bytes + done, units + done);
        done += n_LeadingCount(mask);
    }
    return done;
}

// The same for a run of units in 1..0x7F narrowed to bytes.
inline unsigned n_NarrowRun(unsigned short const* units, unsigned available, unsigned char* bytes) {
    unsigned done = 0;
    while (available - done >= 32) {
        unsigned first = n_NonZeroAscii(units + done), second = n_NonZeroAscii(units + done + 16);
        v_Narrow(units + done, bytes + done);
        if (first != 0xFFFF) return done + n_LeadingCount(first);
        v_Narrow(units + done + 16, bytes + done + 16);
        if (second != 0xFFFF) return done + 16 + n_LeadingCount(second);
        done += 32;
    }
    if (available - done >= 16) {
        unsigned mask = n_NonZeroAscii(units + done);
        v_Narrow(units + done, bytes + done);
        done += n_LeadingCount(mask);
    }
    return done;
}

}  // namespace AsciiBlock
