// Wide blocks for the UTF-8 decoder's fast path: 64 bytes of text at a time
// that mix one-, two- and three-byte sequences laid out right, decoded with
// 256-bit registers. Every byte's unit is worked out, a low and a high
// byte, from the byte and the two before it, as if each byte ended a
// sequence; the bytes that do not (leads and the middle bytes of
// three-byte sequences) are then squeezed out with byte shuffles picked by
// eight bytes at a time, and the rest paired into units. The steps of a
// block depend on each other only through where their units go, so they
// overlap; text made wholly of three-byte sequences goes 48 bytes at a
// time with fixed moves.
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

// For a group of eight bytes, by a bit a byte kept: the byte moves that
// bring the kept bytes together at the group's front, in order (0x80
// clears a byte); for the first and the second group of a 128-bit half.
// Rows of eight bytes are found by the bits themselves, scaled.
struct st_SqueezeTable {
    std::uint8_t aaac_Move[2][256][8];
};

constexpr st_SqueezeTable st_MakeSqueezeTable() {
    st_SqueezeTable table{};
    for (unsigned group = 0; group < 2; ++group) {
        for (unsigned keep = 0; keep < 256; ++keep) {
            std::uint8_t* const move = table.aaac_Move[group][keep];
            unsigned at = 0;
            for (unsigned byte = 0; byte < 8; ++byte)
                if (keep >> byte & 1) move[at++] = static_cast<std::uint8_t>(8 * group + byte);
            while (at < 8) move[at++] = 0x80;
        }
    }
    return table;
}

inline constexpr st_SqueezeTable sst_SqueezeTable = st_MakeSqueezeTable();

// For blocks without three-byte sequences the kept bytes of sixteen come
// together with one shuffle: the first eight's moves (a row of First,
// zeros after the kept ones) joined with the second eight's, which start
// where the first's end. A row of Second holds the second eight's moves
// after sixteen zeros, so the 16 bytes read from 16 - n bytes into it have
// n zeros before them; the zeros past the kept bytes pick a byte whose
// unit lands past the kept units, where later units go.
struct st_PickTable {
    std::uint8_t aac_First[256][8];
    std::uint8_t aac_Second[256][32];
};

constexpr st_PickTable st_MakePickTable() {
    st_PickTable table{};
    for (unsigned keep = 0; keep < 256; ++keep) {
        unsigned at = 0;
        for (unsigned byte = 0; byte < 8; ++byte) {
            if (keep >> byte & 1) {
                table.aac_First[keep][at] = static_cast<std::uint8_t>(byte);
                table.aac_Second[keep][16 + at] = static_cast<std::uint8_t>(8 + byte);
                ++at;
            }
        }
    }
    return table;
}

inline constexpr st_PickTable sst_PickTable = st_MakePickTable();

// The bytes of a block that are 0x80 and up, 0xC0 and up and 0xE0 and up,
// a bit each, and whether any is 0xF0 or more.
struct st_Kinds {
    std::uint64_t n8_High, n8_Lead, n8_Lead3;
    bool b_Longer;
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
// and up or ASCII, which n8_High leaves out. 0xF0 and up leave something
// when 0xEF is taken off without a sign.
__attribute__((target("avx2,popcnt"))) inline st_Kinds st_Classify(unsigned char const* bytes) {
    __m256i const low = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes));
    __m256i const high = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(bytes + 32));
    std::uint64_t const top = n8_Mask(low, high);
    __m256i const over = _mm256_subs_epu8(_mm256_max_epu8(low, high), _mm256_set1_epi8(static_cast<char>(0xEF)));
    return {top, n8_Above(low, high, top, -65), n8_Above(low, high, top, -33), !_mm256_testz_si256(over, over)};
}

// 16 bytes from each place, one a 128-bit half.
__attribute__((target("avx2,popcnt"))) inline __m256i v_TwoLoads(void const* first, void const* second) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(static_cast<__m128i const*>(first))),
                                   _mm_loadu_si128(static_cast<__m128i const*>(second)), 1);
}

// The moves for one group of eight bytes, in the low half.
__attribute__((target("avx2,popcnt"))) inline __m128i v_Row(unsigned group, unsigned keep) {
    return _mm_loadl_epi64(reinterpret_cast<__m128i const*>(sst_SqueezeTable.aaac_Move[group][keep]));
}

// The moves for the four groups of eight bytes in a 256-bit register.
__attribute__((target("avx2,popcnt"))) inline __m256i v_Moves(unsigned const (&group)[4]) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi64(v_Row(0, group[0]), v_Row(1, group[1]))),
                                   _mm_unpacklo_epi64(v_Row(0, group[2]), v_Row(1, group[3])), 1);
}

// The units of the 32 bytes in bytes, one for each byte, as if that byte
// ended a sequence: an ASCII byte itself; a following byte its own
// six bits, after them the low bits of the byte before (a lead's five, or
// a middle byte's six) and, when the byte two before is a three-byte
// lead, that lead's four bits on top, as the decoder adds them up (the
// sums' carries never meet for bytes laid out right). before and
// beforeThat are the same bytes one and two places later, the earlier
// bytes first. The units' low bytes and high bytes come apart, each in
// the order of the bytes.
struct st_Units {
    __m256i v_Low, v_High;
};

// Without three-byte leads (threes false) beforeThat is not looked at.
template <bool threes>
__attribute__((target("avx2,popcnt"))) inline st_Units st_MakeUnits(__m256i bytes, __m256i before,
                                                                    __m256i beforeThat) {
    // 0x80-0xBF, below -64 as signed bytes.
    __m256i const following = _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), bytes);
    __m256i const top2 = _mm256_and_si256(_mm256_slli_epi16(before, 6), _mm256_set1_epi8(static_cast<char>(0xC0)));
    __m256i const low = _mm256_blendv_epi8(
        bytes, _mm256_or_si256(_mm256_and_si256(bytes, _mm256_set1_epi8(0x3F)), top2), following);
    // A two-byte lead's bit 5 is clear, so four bits serve both kinds.
    __m256i high = _mm256_and_si256(_mm256_srli_epi16(before, 2), _mm256_set1_epi8(0x0F));
    if constexpr (threes) {
        // 0xE0 and up, without a sign.
        __m256i const lead3 = _mm256_set1_epi8(static_cast<char>(0xE0));
        __m256i const afterLead3 = _mm256_cmpeq_epi8(_mm256_max_epu8(beforeThat, lead3), beforeThat);
        high = _mm256_or_si256(high, _mm256_and_si256(_mm256_slli_epi16(beforeThat, 4),
                                                      _mm256_and_si256(afterLead3, _mm256_set1_epi8(static_cast<char>(0xF0)))));
    }
    return {low, _mm256_and_si256(following, high)};
}

// Writes the units whose bits keep has, in order, at out: the kept bytes
// of each group of eight at its front, then paired into units, each
// group's 16-byte store landing over the units after the kept ones before
// it. Returns where the next unit goes.
__attribute__((target("avx2,popcnt"))) inline unsigned short* p_Squeeze(st_Units const& lanes, unsigned keep,
                                                                        unsigned short* out) {
    unsigned const group[4] = {keep & 0xFF, keep >> 8 & 0xFF, keep >> 16 & 0xFF, keep >> 24};
    __m256i const moves = v_Moves(group);
    __m256i const low = _mm256_shuffle_epi8(lanes.v_Low, moves);
    __m256i const high = _mm256_shuffle_epi8(lanes.v_High, moves);
    // Groups 0 and 2 (a half's first), then 1 and 3.
    __m256i const first = _mm256_unpacklo_epi8(low, high);
    __m256i const second = _mm256_unpackhi_epi8(low, high);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(first));
    out += __builtin_popcount(group[0]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(second));
    out += __builtin_popcount(group[1]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(first, 1));
    out += __builtin_popcount(group[2]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(second, 1));
    return out + __builtin_popcount(group[3]);
}

// Decodes the 64 bytes of block (see n_DecodeBlocks), which holds
// three-byte sequences, whose units are those of the bytes keep has.
__attribute__((target("avx2,popcnt"))) inline unsigned short* p_DecodeBlock(unsigned char const* block,
                                                                            std::uint64_t keep, unsigned short* out) {
    __m256i const first = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(block));
    // Nothing before the block is read: its first byte starts a sequence
    // and needs none, and the second only the first.
    __m256i const earlier = _mm256_permute2x128_si256(first, first, 0x08);
    out = p_Squeeze(st_MakeUnits<true>(first, _mm256_alignr_epi8(first, earlier, 15),
                                         _mm256_alignr_epi8(first, earlier, 14)),
                    static_cast<unsigned>(keep), out);
    unsigned char const* const second = block + 32;
    __m256i const beforeThat = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(second - 2));
    return p_Squeeze(st_MakeUnits<true>(_mm256_loadu_si256(reinterpret_cast<__m256i const*>(second)),
                                          _mm256_loadu_si256(reinterpret_cast<__m256i const*>(second - 1)),
                                          beforeThat),
                     static_cast<unsigned>(keep >> 32), out);
}

// A block of 64 ASCII bytes, widened as it is; returns where the next unit
// goes.
__attribute__((target("avx2,popcnt"))) inline unsigned short* p_WidenBlock(unsigned char const* block,
                                                                           unsigned short* out) {
    for (unsigned k = 0; k < 4; ++k) {
        __m128i const piece = _mm_loadu_si128(reinterpret_cast<__m128i const*>(block + 16 * k));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16 * k), _mm256_cvtepu8_epi16(piece));
    }
    return out + 64;
}

// The moves that bring together the kept bytes of sixteen, keep a bit
// each, in the low half.
__attribute__((target("avx2,popcnt"))) inline __m128i v_Picks(unsigned keep) {
    unsigned const first = keep & 0xFF;
    __m128i const front = _mm_loadl_epi64(reinterpret_cast<__m128i const*>(sst_PickTable.aac_First[first]));
    __m128i const back = _mm_loadu_si128(reinterpret_cast<__m128i const*>(
        sst_PickTable.aac_Second[keep >> 8 & 0xFF] + 16 - __builtin_popcount(first)));
    return _mm_or_si128(front, back);
}

// Writes the units of 32 bytes whose bits keep has, in order, at out: the
// kept bytes of each sixteen brought together by one shuffle, paired into
// units and stored 16 units at once, the second sixteen's over the units
// after the first's kept ones. Returns where the next unit goes.
__attribute__((target("avx2,popcnt"))) inline unsigned short* p_SqueezeSixteens(st_Units const& lanes, unsigned keep,
                                                                               unsigned short* out) {
    __m256i const moves = _mm256_inserti128_si256(_mm256_castsi128_si256(v_Picks(keep & 0xFFFF)), v_Picks(keep >> 16), 1);
    __m256i const low = _mm256_shuffle_epi8(lanes.v_Low, moves);
    __m256i const high = _mm256_shuffle_epi8(lanes.v_High, moves);
    // Units 0-7 of each sixteen, then 8-15.
    __m256i const front = _mm256_unpacklo_epi8(low, high);
    __m256i const back = _mm256_unpackhi_epi8(low, high);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(front, back, 0x20));
    out += __builtin_popcount(keep & 0xFFFF);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(front, back, 0x31));
    return out + __builtin_popcount(keep >> 16);
}

// Decodes blocks of 64 bytes of one- and two-byte sequences laid out right
// from bytes, at the start of a sequence, as n_DecodeBlocks does, while
// they come (the text of most alphabets). The blocks follow each other
// 64 bytes apart whatever they hold, so finding where the next one starts
// waits on nothing: a sequence cut by a block's end is finished by the
// next block, whose first byte takes the lead from the bytes kept from the
// block before. Of sixteen bytes at least eight give units (a lead is
// followed by a byte that does), so each 16-unit store reaches at most
// eight units past the ones it keeps, as p_Squeeze's do. Returns the bytes
// decoded, ending at the start of a sequence, and moves units past the
// units written.
__attribute__((target("avx2,popcnt"))) inline std::size_t n_DecodeTwoByteBlocks(unsigned char const* bytes,
                                                                                std::size_t available,
                                                                                unsigned short*& units) {
    std::size_t done = 0;
    unsigned short* out = units;
    // The 32 bytes before the block, and whether its byte before is a lead
    // whose sequence it finishes. Before the first block there is nothing
    // (its first byte starts a sequence), and nothing is read.
    __m256i previous = _mm256_setzero_si256();
    std::uint64_t carry = 0;
    while (available - done >= cn_Reach) {
        unsigned char const* const block = bytes + done;
        __m256i const first = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(block));
        __m256i const second = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(block + 32));
        // 0x80-0xBF, below -64 as signed bytes.
        __m256i const firstFollowing = _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), first);
        __m256i const secondFollowing = _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), second);
        std::uint64_t const high = n8_Mask(first, second);
        std::uint64_t const following = n8_Mask(firstFollowing, secondFollowing);
        std::uint64_t const lead = high & ~following;
        // 0xE0 and up leave something when 0xDF is taken off without a sign.
        __m256i const over =
            _mm256_subs_epu8(_mm256_max_epu8(first, second), _mm256_set1_epi8(static_cast<char>(0xDF)));
        if (!_mm256_testz_si256(over, over) || (lead << 1 | carry) != following) break;
        if (high == 0) {
            // All ASCII (so nothing was cut before).
            out = p_WidenBlock(block, out);
        } else {
            __m256i const firstBefore = _mm256_alignr_epi8(first, _mm256_permute2x128_si256(previous, first, 0x21), 15);
            __m256i const secondBefore = _mm256_alignr_epi8(second, _mm256_permute2x128_si256(first, second, 0x21), 15);
            // Every byte but a lead ends a sequence and gives a unit.
            __m256i const none = _mm256_setzero_si256();
            out = p_SqueezeSixteens(st_MakeUnits<false>(first, firstBefore, none), static_cast<unsigned>(~lead), out);
            out = p_SqueezeSixteens(st_MakeUnits<false>(second, secondBefore, none),
                                    static_cast<unsigned>(~lead >> 32), out);
        }
        previous = second;
        carry = lead >> 63;
        done += cn_Block;
    }
    units = out;
    // A lead cut off by the last block's end is left for what comes next.
    return done - carry;
}

// 48 bytes of sixteen three-byte sequences (most text in the scripts of
// East Asia): the same moves every time, a unit's last and middle bytes
// to a lane's low and high byte and its lead apart, four units from each
// 12 bytes, then the quarters put in order. Writes the 16 units at out.
__attribute__((target("avx2,popcnt"))) inline void v_DecodeThrees(unsigned char const* bytes, unsigned short* out) {
    __m256i const a = v_TwoLoads(bytes, bytes + 12), b = v_TwoLoads(bytes + 24, bytes + 36);
    char const x = -128;
    __m256i const lastsA = _mm256_setr_epi8(2, 1, 5, 4, 8, 7, 11, 10, x, x, x, x, x, x, x, x, 2, 1, 5, 4, 8, 7, 11, 10,
                                            x, x, x, x, x, x, x, x);
    __m256i const lastsB = _mm256_setr_epi8(x, x, x, x, x, x, x, x, 2, 1, 5, 4, 8, 7, 11, 10, x, x, x, x, x, x, x, x,
                                            2, 1, 5, 4, 8, 7, 11, 10);
    __m256i const leadsA = _mm256_setr_epi8(x, 0, x, 3, x, 6, x, 9, x, x, x, x, x, x, x, x, x, 0, x, 3, x, 6, x, 9,
                                            x, x, x, x, x, x, x, x);
    __m256i const leadsB = _mm256_setr_epi8(x, x, x, x, x, x, x, x, x, 0, x, 3, x, 6, x, 9, x, x, x, x, x, x, x, x,
                                            x, 0, x, 3, x, 6, x, 9);
    __m256i const lasts = _mm256_and_si256(
        _mm256_or_si256(_mm256_shuffle_epi8(a, lastsA), _mm256_shuffle_epi8(b, lastsB)), _mm256_set1_epi8(0x3F));
    __m256i const leads = _mm256_or_si256(_mm256_shuffle_epi8(a, leadsA), _mm256_shuffle_epi8(b, leadsB));
    __m256i const units = _mm256_or_si256(
        _mm256_or_si256(_mm256_and_si256(lasts, _mm256_set1_epi16(0x3F)),
                        _mm256_and_si256(_mm256_srli_epi16(lasts, 2), _mm256_set1_epi16(0x0FC0))),
        _mm256_slli_epi16(leads, 4));
    // Quarters 0 2 | 1 3 hold units 0-3 8-11 | 4-7 12-15.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute4x64_epi64(units, 0xD8));
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
            out = p_WidenBlock(block, out);
            done += 64;
            continue;
        }
        // Sixteen three-byte sequences first, the rest of the block after.
        std::uint64_t const first48 = (std::uint64_t{1} << 48) - 1, threes = 0x249249249249;
        if ((kinds.n8_High & first48) == first48 && (kinds.n8_Lead & first48) == threes &&
            (kinds.n8_Lead3 & first48) == threes && !kinds.b_Longer) {
            v_DecodeThrees(block, out);
            out += 16;
            done += 48;
            continue;
        }
        std::uint64_t const follow = kinds.n8_High & ~kinds.n8_Lead;
        if (kinds.b_Longer || (kinds.n8_Lead << 1 | kinds.n8_Lead3 << 2) != follow) break;
        // A sequence cut off by the block's end: its lead is the last byte,
        // or a three-byte lead the last but one.
        unsigned const cut = kinds.n8_Lead >> 63 ? 1 : kinds.n8_Lead3 >> 62 & 1 ? 2 : 0;
        // Each byte that ends a sequence gives a unit; leads and middle
        // bytes do not (nor, so, the bytes of a cut sequence).
        std::uint64_t const keep = ~kinds.n8_Lead & ~(kinds.n8_Lead3 << 1);
        if (kinds.n8_Lead3 == 0) {
            // No three-byte sequences: on by the quicker blocks while they
            // last (this one at least).
            done += n_DecodeTwoByteBlocks(block, available - done, out);
            continue;
        }
        out = p_DecodeBlock(block, keep, out);
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
