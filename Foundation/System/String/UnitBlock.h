// Blocks of 16 characters for the UTF-8 coders' fast paths: which
// characters of a block are ASCII, blocks widened or narrowed as a whole,
// and blocks of units that take one or two bytes each in UTF-8. SSE2 where
// the compiler offers it (every x86-64 target), plain code elsewhere.
// Internal to the library.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace UnitBlock {

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

// True when all 64 bytes lie in 1..0x7F.
inline bool b_AllNonZeroAscii64(unsigned char const* bytes) {
#if defined(__SSE2__)
    __m128i zero = _mm_setzero_si128();
    __m128i all = _mm_cmpgt_epi8(_mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes)), zero);
    for (unsigned i = 16; i < 64; i += 16)
        all = _mm_and_si128(all, _mm_cmpgt_epi8(_mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + i)), zero));
    return _mm_movemask_epi8(all) == 0xFFFF;
#else
    for (unsigned i = 0; i < 64; i += 16)
        if (n_NonZeroAscii(bytes + i) != 0xFFFF) return false;
    return true;
#endif
}

// True when all 64 units lie in 1..0x7F.
inline bool b_AllNonZeroAscii64(unsigned short const* units) {
#if defined(__SSE2__)
    __m128i zero = _mm_setzero_si128();
    __m128i all = _mm_set1_epi8(-1);
    for (unsigned i = 0; i < 64; i += 16) {
        __m128i packed = _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<__m128i const*>(units + i)),
                                          _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + i + 8)));
        all = _mm_and_si128(all, _mm_cmpgt_epi8(packed, zero));
    }
    return _mm_movemask_epi8(all) == 0xFFFF;
#else
    for (unsigned i = 0; i < 64; i += 16)
        if (n_NonZeroAscii(units + i) != 0xFFFF) return false;
    return true;
#endif
}

// The length of the run of bytes in 1..0x7F that starts at bytes, widened
// to units, looking at no more than available bytes (at least 16) and only
// at whole blocks of 16; up to 16 units past the run are written too.
inline unsigned n_WidenRun(unsigned char const* bytes, unsigned available, unsigned short* units) {
    unsigned done = 0;
    for (; available - done >= 64 && b_AllNonZeroAscii64(bytes + done); done += 64)
        for (unsigned i = 0; i < 64; i += 16) v_Widen(bytes + done + i, units + done + i);
    while (available - done >= 16) {
        unsigned mask = n_NonZeroAscii(bytes + done);
        v_Widen(bytes + done, units + done);
        done += n_LeadingCount(mask);
        if (mask != 0xFFFF) break;
    }
    return done;
}

// The same for a run of units in 1..0x7F narrowed to bytes.
inline unsigned n_NarrowRun(unsigned short const* units, unsigned available, unsigned char* bytes) {
    unsigned done = 0;
    for (; available - done >= 64 && b_AllNonZeroAscii64(units + done); done += 64)
        for (unsigned i = 0; i < 64; i += 16) v_Narrow(units + done + i, bytes + done + i);
    while (available - done >= 16) {
        unsigned mask = n_NonZeroAscii(units + done);
        v_Narrow(units + done, bytes + done);
        done += n_LeadingCount(mask);
        if (mask != 0xFFFF) break;
    }
    return done;
}

// True when all 16 units lie in 1..0x7FF: each takes one or two bytes.
inline bool b_OneOrTwoBytes(unsigned short const* units) {
#if defined(__SSE2__)
    __m128i zero = _mm_setzero_si128(), limit = _mm_set1_epi16(0x800);
    __m128i low = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units));
    __m128i high = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + 8));
    // As signed numbers, units of 0x8000 and more are below zero.
    __m128i lowOk = _mm_and_si128(_mm_cmpgt_epi16(low, zero), _mm_cmplt_epi16(low, limit));
    __m128i highOk = _mm_and_si128(_mm_cmpgt_epi16(high, zero), _mm_cmplt_epi16(high, limit));
    return _mm_movemask_epi8(_mm_and_si128(lowOk, highOk)) == 0xFFFF;
#else
    for (unsigned i = 0; i < 16; ++i)
        if (units[i] - 1u >= 0x7FFu) return false;
    return true;
#endif
}

// For 16 units in 1..0x7FF: each one's UTF-8 bytes as a little-endian
// 16-bit word (an ASCII unit in the low byte) and where they go (the bytes
// of the units before it); returns the bytes of all 16, 16 when all are
// ASCII.
inline unsigned n_OneOrTwoByteWords(unsigned short const* units, std::uint16_t* words, std::uint16_t* offsets) {
#if defined(__SSE2__)
    __m128i const ascii = _mm_set1_epi16(0x7F), lead = _mm_set1_epi16(0xC0), follow = _mm_set1_epi16(0x80),
                  six = _mm_set1_epi16(0x3F), one = _mm_set1_epi16(1);
    unsigned total = 0;
    for (unsigned half = 0; half < 16; half += 8) {
        __m128i unit = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + half));
        __m128i two = _mm_cmpgt_epi16(unit, ascii);  // all bits set where two bytes
        __m128i pair = _mm_or_si128(_mm_or_si128(_mm_srli_epi16(unit, 6), lead),
                                    _mm_slli_epi16(_mm_or_si128(_mm_and_si128(unit, six), follow), 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(words + half),
                         _mm_or_si128(_mm_and_si128(two, pair), _mm_andnot_si128(two, unit)));
        // The lengths, summed from the first unit on (three shifted adds),
        // then moved one place on for the bytes before each unit.
        __m128i sum = _mm_sub_epi16(one, two);
        sum = _mm_add_epi16(sum, _mm_slli_si128(sum, 2));
        sum = _mm_add_epi16(sum, _mm_slli_si128(sum, 4));
        sum = _mm_add_epi16(sum, _mm_slli_si128(sum, 8));
        __m128i before = _mm_add_epi16(_mm_slli_si128(sum, 2), _mm_set1_epi16(static_cast<short>(total)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(offsets + half), before);
        total += static_cast<unsigned>(_mm_extract_epi16(sum, 7));
    }
    return total;
#else
    unsigned total = 0;
    for (unsigned i = 0; i < 16; ++i) {
        unsigned unit = units[i];
        offsets[i] = static_cast<std::uint16_t>(total);
        if (unit < 0x80) {
            words[i] = static_cast<std::uint16_t>(unit);
            total += 1;
        } else {
            words[i] = static_cast<std::uint16_t>((0xC0 | unit >> 6) | (0x80 | (unit & 0x3F)) << 8);
            total += 2;
        }
    }
    return total;
#endif
}

}  // namespace UnitBlock
