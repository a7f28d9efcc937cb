// Blocks of 16 characters for the UTF-8 coders' fast paths: how far the
// text runs before its zero, runs of ASCII bytes widened and blocks of
// units encoded as a whole. SSE2 where the compiler offers it (every x86-64
// target), plain code elsewhere. Internal to the library.
//
// The block steps read and write only what their callers vouch for: they
// are given bytes or units that are known to lie before the terminator and
// before the count's end, and write only where a unit or byte of the result
// goes (or will go: a later write puts the right one there), as their
// comments say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__) || defined(__clang__)
#define BASIS_NO_SANITIZE_ADDRESS __attribute__((no_sanitize_address))
#else
#define BASIS_NO_SANITIZE_ADDRESS
#endif

namespace UnitBlock {

// The number of characters from text on that are not zero, at most limit.
// The caller may read text up to its zero or up to limit characters,
// whichever comes first, and nothing more is touched that could fault: the
// vector form reads whole aligned blocks of 16 bytes, each holding at least
// one character that must be looked at, and an aligned block never crosses
// a page. Those blocks may hold bytes before text or past its zero, which
// no result depends on; the address checker is told not to count them,
// as it does for the C library's own string scans.
template <class T>
BASIS_NO_SANITIZE_ADDRESS inline std::size_t n_NonZeroRun(T const* text, std::size_t limit) {
    static_assert(sizeof(T) == 1 || sizeof(T) == 2, "bytes or UTF-16 units");
    if (limit == 0) return 0;
#if defined(__SSE2__)
    std::uintptr_t const address = reinterpret_cast<std::uintptr_t>(text);
    // A unit pointer off its alignment would split units over lanes.
    if (sizeof(T) == 1 || address % sizeof(T) == 0) {
        __m128i const zero = _mm_setzero_si128();
        unsigned char const* block = reinterpret_cast<unsigned char const*>(address & ~std::uintptr_t{15});
        unsigned const skip = static_cast<unsigned>(address & 15);
        std::size_t seen = 0;
        for (unsigned shift = skip;; shift = 0) {
            __m128i const bytes = _mm_load_si128(reinterpret_cast<__m128i const*>(block));
            __m128i const zeros = sizeof(T) == 1 ? _mm_cmpeq_epi8(bytes, zero) : _mm_cmpeq_epi16(bytes, zero);
            unsigned const mask = static_cast<unsigned>(_mm_movemask_epi8(zeros)) >> shift;
            if (mask != 0) {
                std::size_t const run = seen + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(T);
                return run < limit ? run : limit;
            }
            seen += (16 - shift) / sizeof(T);
            if (seen >= limit) return limit;
            block += 16;
            // Four blocks at a time while none is zero, from a 64-byte
            // boundary on: the four then share the page of the first, which
            // holds a character that must be looked at.
            while ((reinterpret_cast<std::uintptr_t>(block) & 63) == 0 && limit - seen >= 64 / sizeof(T)) {
                __m128i const b0 = _mm_load_si128(reinterpret_cast<__m128i const*>(block));
                __m128i const b1 = _mm_load_si128(reinterpret_cast<__m128i const*>(block + 16));
                __m128i const b2 = _mm_load_si128(reinterpret_cast<__m128i const*>(block + 32));
                __m128i const b3 = _mm_load_si128(reinterpret_cast<__m128i const*>(block + 48));
                __m128i const any =
                    sizeof(T) == 1
                        ? _mm_cmpeq_epi8(_mm_min_epu8(_mm_min_epu8(b0, b1), _mm_min_epu8(b2, b3)), zero)
                        : _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(b0, zero), _mm_cmpeq_epi16(b1, zero)),
                                       _mm_or_si128(_mm_cmpeq_epi16(b2, zero), _mm_cmpeq_epi16(b3, zero)));
                if (_mm_movemask_epi8(any) != 0) break;
                seen += 64 / sizeof(T);
                block += 64;
            }
            if (seen >= limit) return limit;
        }
    }
#endif
    std::size_t run = 0;
    while (run < limit && text[run] != 0) ++run;
    return run;
}

// How many bytes must be known ahead for n_WidenAscii to write a whole
// block: enough for 16 more units of the result (every sequence takes at
// most four bytes and gives at least one unit), so that units written past
// the run land where the decoder writes later units over them.
unsigned const cn_WidenReach = 16 + 16 * 4;

// The length of the run of ASCII bytes that starts at bytes, looking at
// whole blocks of 16 of the available bytes (at least 16), all known to be
// not zero, and the run widened to units. Far from the end of what is
// known a block is widened whole, the run being what precedes its first
// other byte; near it, only blocks all of ASCII are, and the rest of the
// run byte by byte, so nothing lands past the run there.
inline std::size_t n_WidenAscii(unsigned char const* bytes, std::size_t available, unsigned short* units) {
    std::size_t done = 0;
#if defined(__SSE2__)
    __m128i const zero = _mm_setzero_si128();
    while (available - done >= 16) {
        __m128i const block = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done));
        unsigned const other = static_cast<unsigned>(_mm_movemask_epi8(block));
        bool const whole = available - done >= cn_WidenReach;
        if (other != 0 && !whole) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(units + done), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(units + done + 8), _mm_unpackhi_epi8(block, zero));
        if (other != 0) return done + static_cast<unsigned>(__builtin_ctz(other));
        done += 16;
        // A long run: four blocks at a time.
        for (; available - done >= 64; done += 64) {
            __m128i const b0 = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done));
            __m128i const b1 = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done + 16));
            __m128i const b2 = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done + 32));
            __m128i const b3 = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done + 48));
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(b0, b1), _mm_or_si128(b2, b3))) != 0) break;
            unsigned short* to = units + done;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(b0, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 8), _mm_unpackhi_epi8(b0, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 16), _mm_unpacklo_epi8(b1, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 24), _mm_unpackhi_epi8(b1, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 32), _mm_unpacklo_epi8(b2, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 40), _mm_unpackhi_epi8(b2, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 48), _mm_unpacklo_epi8(b3, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 56), _mm_unpackhi_epi8(b3, zero));
        }
    }
#else
    for (; available - done >= 16; done += 16) {
        unsigned high = 0;
        for (unsigned k = 0; k < 16; ++k) high |= bytes[done + k] & 0x80u;
        if (high != 0) break;
        for (unsigned k = 0; k < 16; ++k) units[done + k] = bytes[done + k];
    }
#endif
    for (; done < available && bytes[done] < 0x80; ++done) units[done] = bytes[done];
    return done;
}

// The number of units from units on, in whole blocks of 64 and up to
// available, that are all ASCII, narrowed to bytes. The units must be
// known not to be zero.
inline std::size_t n_NarrowAscii64(unsigned short const* units, std::size_t available, unsigned char* bytes) {
    std::size_t done = 0;
#if defined(__SSE2__)
    __m128i const ascii = _mm_set1_epi16(0x7F), zero = _mm_setzero_si128();
    for (; available - done >= 64; done += 64) {
        __m128i block[8], over = zero;
        for (unsigned k = 0; k < 8; ++k) {
            block[k] = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + done + 8 * k));
            over = _mm_or_si128(over, _mm_subs_epu16(block[k], ascii));
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(over, zero)) != 0xFFFF) break;
        for (unsigned k = 0; k < 8; k += 2)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + done + 8 * k), _mm_packus_epi16(block[k], block[k + 1]));
    }
#else
    (void)units;
    (void)available;
    (void)bytes;
#endif
    return done;
}

// The units an encoding block step may look at: the block and two more,
// whose bytes come after it in the result (each takes at least one), so
// that a step may write up to two bytes past the block's own and the
// terminator's place after them.
unsigned const cn_EncodeReach = 16 + 2;

// Encodes a block of 16 units that are not zero: a byte each when all are
// ASCII, otherwise each unit's one to three bytes stored as a little-endian
// 32-bit word at its place, the next unit's bytes written over the rest.
// units must hold cn_EncodeReach units that are not zero; returns the
// bytes of the 16 units.
inline unsigned n_EncodeBlock(unsigned short const* units, unsigned char* bytes) {
    alignas(16) std::uint32_t word[16];
    alignas(16) std::uint16_t length[16];
#if defined(__SSE2__)
    __m128i const low = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units));
    __m128i const high = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + 8));
    // Saturating subtraction compares without a sign: a unit of 0x80 or
    // more leaves something over 0x7F.
    __m128i const zero = _mm_setzero_si128(), ascii = _mm_set1_epi16(0x7F), narrow = _mm_set1_epi16(0x7FF);
    __m128i const overAscii = _mm_or_si128(_mm_subs_epu16(low, ascii), _mm_subs_epu16(high, ascii));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(overAscii, zero)) == 0xFFFF) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), _mm_packus_epi16(low, high));
        return 16;
    }
    __m128i const six = _mm_set1_epi16(0x3F), follow = _mm_set1_epi16(0x80);
    for (unsigned half = 0; half < 2; ++half) {
        __m128i const unit = half ? high : low;
        __m128i const two = _mm_xor_si128(_mm_cmpeq_epi16(_mm_subs_epu16(unit, ascii), zero), _mm_set1_epi16(-1));
        __m128i const three = _mm_xor_si128(_mm_cmpeq_epi16(_mm_subs_epu16(unit, narrow), zero), _mm_set1_epi16(-1));
        // First byte: the unit, 0xC0 | unit >> 6 or 0xE0 | unit >> 12.
        __m128i first = _mm_or_si128(_mm_and_si128(two, _mm_or_si128(_mm_srli_epi16(unit, 6), _mm_set1_epi16(0xC0))),
                                     _mm_andnot_si128(two, unit));
        first = _mm_or_si128(_mm_and_si128(three, _mm_or_si128(_mm_srli_epi16(unit, 12), _mm_set1_epi16(0xE0))),
                             _mm_andnot_si128(three, first));
        // Second byte: the low six bits after two, the middle six after three.
        __m128i const lowSix = _mm_or_si128(_mm_and_si128(unit, six), follow);
        __m128i const midSix = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(unit, 6), six), follow);
        __m128i const second = _mm_or_si128(_mm_and_si128(three, midSix), _mm_andnot_si128(three, lowSix));
        __m128i const pair = _mm_or_si128(first, _mm_slli_epi16(second, 8));
        __m128i const third = _mm_and_si128(three, lowSix);
        _mm_store_si128(reinterpret_cast<__m128i*>(word + 8 * half), _mm_unpacklo_epi16(pair, third));
        _mm_store_si128(reinterpret_cast<__m128i*>(word + 8 * half + 4), _mm_unpackhi_epi16(pair, third));
        // 1, 2 or 3: all bits set counts as -1.
        _mm_store_si128(reinterpret_cast<__m128i*>(length + 8 * half),
                        _mm_sub_epi16(_mm_sub_epi16(_mm_set1_epi16(1), two), three));
    }
#else
    bool allAscii = true;
    for (unsigned i = 0; i < 16; ++i) allAscii = allAscii && units[i] < 0x80;
    if (allAscii) {
        for (unsigned i = 0; i < 16; ++i) bytes[i] = static_cast<unsigned char>(units[i]);
        return 16;
    }
    for (unsigned i = 0; i < 16; ++i) {
        std::uint32_t const unit = units[i];
        if (unit < 0x80) {
            word[i] = unit;
            length[i] = 1;
        } else if (unit < 0x800) {
            word[i] = (0xC0 | unit >> 6) | (0x80 | (unit & 0x3F)) << 8;
            length[i] = 2;
        } else {
            word[i] = (0xE0 | unit >> 12) | (0x80 | ((unit >> 6) & 0x3F)) << 8 | (0x80 | (unit & 0x3F)) << 16;
            length[i] = 3;
        }
    }
#endif
    unsigned char* out = bytes;
    for (unsigned i = 0; i < 16; ++i) {
        std::memcpy(out, &word[i], 4);
        out += length[i];
    }
    return static_cast<unsigned>(out - bytes);
}

}  // namespace UnitBlock
