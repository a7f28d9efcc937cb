// Wide blocks for the UTF-8 decoder's fast path: 64 bytes of text at a time
// that mix one-, two- and three-byte sequences laid out right, decoded with
// 256-bit registers. Every byte's unit is worked out in its own 16-bit lane
// from the byte and the two before it, as if each byte ended a sequence;
// the lanes of the bytes that do not (leads and the middle bytes of
// three-byte sequences) are then squeezed out with byte shuffles picked by
// eight lanes at a time. The steps of a block depend on each other only
// through where their units go, so they overlap.
//
// Needs AVX2 and POPCNT, compiled for them alone and taken only when the
// processor has them, found once at run time. Not on 64-bit Windows: there
// the compiler cannot align the stack for 32-byte registers it spills, so
// that build keeps the 16-byte steps of UTF8Shuffle.h. Internal to the
// library; like the steps in UnitBlock.h, these read and write only what
// their callers vouch for.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && !defined(_WIN32) && (defined(__GNUC__) || defined(__clang__))
#define BASIS_UTF8_DECODE_WIDE 1
#include <immintrin.h>
#endif

namespace UTF8DecodeBlocks {

// The bytes a block takes and how many must be known ahead of it: the 64
// it looks at, and 32 more after the at most 64 it decodes. Its last
// stores reach eight units past its own, and 32 known bytes from a
// sequence's start hold at least eight whole sequences of at most four
// bytes, each giving a unit, so those units land where later units go.
unsigned const cn_Block = 64;
unsigned const cn_Reach = 64 + 32;

#if defined(BASIS_UTF8_DECODE_WIDE)

// Whether the processor can run the steps below; asked once.
inline bool b_Available() {
    static bool const available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0;
    }();
    return available;
}

// For eight 16-bit lanes, by a bit a lane kept: the byte moves that bring
// the kept lanes together at the front, in order (0x80 clears a byte).
struct st_SqueezeTable {
    std::uint8_t aac_Move[256][16];
};

constexpr st_SqueezeTable st_MakeSqueezeTable() {
    st_SqueezeTable table{};
    for (unsigned keep = 0; keep < 256; ++keep) {
        std::uint8_t* const move = table.aac_Move[keep];
        unsigned at = 0;
        for (unsigned lane = 0; lane < 8; ++lane) {
            if ((keep >> lane & 1) == 0) continue;
            move[at++] = static_cast<std::uint8_t>(2 * lane);
            move[at++] = static_cast<std::uint8_t>(2 * lane + 1);
        }
        while (at < 16) move[at++] = 0x80;
    }
    return table;
}

inline constexpr st_SqueezeTable sst_SqueezeTable = st_MakeSqueezeTable();

// The bytes of a block that are 0x80 and up, 0xC0 and up, 0xE0 and up and
// 0xF0 and up, a bit each.
struct st_Kinds {
    std::uint64_t n8_High, n8_Lead, n8_Lead3, n8_Lead4;
};

__attribute__((target("avx2,popcnt"))) inline std::uint64_t n8_Mask(__m256i low, __m256i high) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(low)) |
           std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(high))} << 32;
}

// The bytes of a block above floor, as signed bytes, among those in top.
__attribute__((target("avx2,popcnt"))) inline std::uint64_t n8_Above(__m256i low, __m256i high, std::uint64_t top,
                                                                      char floor) {
    __m256i const limit = _mm256_set1_epi8(floor);
    return top & n8_Mask(_mm256_cmpgt_epi8(low, limit), _mm256_cmpgt_epi8(high, limit));
}

// Signed compares: 0x80-0xFF are below zero, so a byte above -65 is 0xC0
// and up or ASCII, which n8_High leaves out.
__attribute__((target("avx2,popcnt"))) inline st_Kinds st_Classify(unsigned char const* bytes) {
    __m256i const low = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes));
    __m256i const high = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes + 32));
    std::uint64_t const top = n8_Mask(low, high);
    return {top, n8_Above(low, high, top, -65), n8_Above(low, high, top, -33), n8_Above(low, high, top, -17)};
}

// The units of the 16 bytes at bytes, one a lane, each as if its byte
// ended a sequence: the byte itself; after a lead, the lead's low bits and
// this byte's as the decoder adds them; after the two bytes of a
// three-byte sequence, all three so. before and beforeThat are the same
// 16 bytes one and two places later, the earlier bytes first (zero where
// no earlier byte is at hand, which a byte that starts the block never
// needs). Sums wrap at 16 bits like the decoder's cast.
__attribute__((target("avx2,popcnt"))) inline __m256i v_Units(__m128i bytes, __m128i before, __m128i beforeThat) {
    __m256i const unit = _mm256_cvtepu8_epi16(bytes);
    __m256i const one = _mm256_cvtepu8_epi16(before);
    __m256i const two = _mm256_cvtepu8_epi16(beforeThat);
    __m256i const afterLead = _mm256_cmpgt_epi16(one, _mm256_set1_epi16(0xBF));
    __m256i const afterLead3 = _mm256_cmpgt_epi16(two, _mm256_set1_epi16(0xDF));
    __m256i const shifted = _mm256_slli_epi16(one, 6);
    // (lead << 6) + byte - 0x3080, and (((lead << 6) + middle) << 6) + byte
    // - 0xE2080, less the byte.
    __m256i const add2 = _mm256_sub_epi16(shifted, _mm256_set1_epi16(0x3080));
    __m256i const add3 =
        _mm256_add_epi16(_mm256_slli_epi16(two, 12), _mm256_sub_epi16(shifted, _mm256_set1_epi16(0x2080)));
    return _mm256_add_epi16(unit, _mm256_or_si256(_mm256_and_si256(afterLead, add2),
                                                  _mm256_and_si256(afterLead3, add3)));
}

// Writes the lanes of units that keep (a bit a lane) says at out, in
// order; stores 16 units from out on. Returns where the next unit goes.
__attribute__((target("avx2,popcnt"))) inline unsigned short* p_Squeeze(__m256i units, unsigned keep,
                                                                        unsigned short* out) {
    unsigned const low = keep & 0xFF, high = keep >> 8;
    __m256i const move = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<__m128i const*>(sst_SqueezeTable.aac_Move[low]))),
        _mm_loadu_si128(reinterpret_cast<__m128i const*>(sst_SqueezeTable.aac_Move[high])), 1);
    __m256i const squeezed = _mm256_shuffle_epi8(units, move);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(squeezed));
    out += __builtin_popcount(low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(squeezed, 1));
    return out + __builtin_popcount(high);
}

// Decodes text at the start of a sequence a block of 64 bytes at a time
// while each block holds nothing but one- to three-byte sequences laid out
// right (every following byte where a lead expects one and nowhere else),
// as the careful decoder decodes them; all available bytes are known not
// to be zero and to lie before the count's end. A sequence that runs past
// a block is left for the next. Stops at the first block that does not
// qualify or when fewer than cn_Reach bytes are left; returns the bytes
// decoded and moves units past the units written.
__attribute__((target("avx2,popcnt"))) inline std::size_t n_DecodeBlocks(unsigned char const* bytes,
                                                                          std::size_t available,
                                                                          unsigned short*& units) {
    std::size_t done = 0;
    unsigned short* out = units;
    while (available - done >= cn_Reach) {
        unsigned char const* const block = bytes + done;
        st_Kinds const kinds = st_Classify(block);
        if (kinds.n8_High == 0) {
            // All ASCII: widened as it is.
            for (unsigned k = 0; k < 4; ++k) {
                __m128i const part = _mm_loadu_si128(reinterpret_cast<__m128i const*>(block + 16 * k));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16 * k), _mm256_cvtepu8_epi16(part));
            }
            out += 64;
            done += 64;
            continue;
        }
        std::uint64_t const follow = kinds.n8_High & ~kinds.n8_Lead;
        if (kinds.n8_Lead4 != 0 || (kinds.n8_Lead << 1 | kinds.n8_Lead3 << 2) != follow) break;
        // A sequence cut off by the block's end: its lead is the last byte,
        // or a three-byte lead the last but one.
        unsigned const cut = kinds.n8_Lead >> 63 ? 1 : kinds.n8_Lead3 >> 62 & 1 ? 2 : 0;
        // Each byte that ends a sequence gives a unit; leads and middle
        // bytes do not (nor, so, the bytes of a cut sequence).
        std::uint64_t const keep = ~kinds.n8_Lead & ~(kinds.n8_Lead3 << 1);
        __m128i const first = _mm_loadu_si128(reinterpret_cast<__m128i const*>(block));
        out = p_Squeeze(v_Units(first, _mm_slli_si128(first, 1), _mm_slli_si128(first, 2)),
                        static_cast<unsigned>(keep & 0xFFFF), out);
        for (unsigned k = 1; k < 4; ++k) {
            unsigned char const* const part = block + 16 * k;
            __m256i const lanes = v_Units(_mm_loadu_si128(reinterpret_cast<__m128i const*>(part)),
                                          _mm_loadu_si128(reinterpret_cast<__m128i const*>(part - 1)),
                                          _mm_loadu_si128(reinterpret_cast<__m128i const*>(part - 2)));
            out = p_Squeeze(lanes, static_cast<unsigned>(keep >> 16 * k & 0xFFFF), out);
        }
        done += cn_Block - cut;
    }
    units = out;
    return done;
}

#else

// Never taken: the 16-byte steps do all.
inline bool b_Available() { return false; }
inline std::size_t n_DecodeBlocks(unsigned char const*, std::size_t, unsigned short*&) { return 0; }

#endif

}  // namespace UTF8DecodeBlocks
