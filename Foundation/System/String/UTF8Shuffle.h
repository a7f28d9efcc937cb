// Byte shuffles for the UTF-8 coders' fast paths: blocks of text that mix
// one-, two- and three-byte sequences, decoded or encoded a register at a
// time with a table of byte moves picked by where the sequences end.
// Needs SSSE3 (the byte shuffle), so the steps are compiled for it alone
// and taken only when the processor has it, found once at run time; every
// other processor keeps the plain steps. Internal to the library.
//
// Like the steps in UnitBlock.h, these read and write only what their
// callers vouch for (see each step).
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) && (defined(__GNUC__) || defined(__clang__))
#define BASIS_UTF8_SHUFFLE 1
#include <tmmintrin.h>
#endif

namespace UTF8Shuffle {

#if defined(BASIS_UTF8_SHUFFLE)

// Whether the processor can run the steps below; asked once.
inline bool b_Available() {
    static bool const available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return available;
}

// For decoding: which bytes of a block go into the units, by the ends of
// the sequences in its first 12 bytes (bit k set when byte k is the last
// of one). Each unit's 16-bit lane takes the sequence's last byte low and
// the one before it high (none for a single byte); up to 8 sequences, in
// order. The units and the bytes those sequences take (0 when a sequence
// would be longer than three bytes: such a block never gets this far) are
// kept apart from the moves, in 4 KiB each: the next step waits for the
// bytes taken, which are then at hand, while the moves may come later.
struct st_DecodeTable {
    std::uint8_t aac_Shuffle[4096][16];
    std::uint8_t ac_Units[4096];
    std::uint8_t ac_Used[4096];
};

constexpr st_DecodeTable st_MakeDecodeTable() {
    st_DecodeTable table{};
    for (unsigned ends = 0; ends < 4096; ++ends) {
        std::uint8_t* const shuffle = table.aac_Shuffle[ends];
        for (unsigned k = 0; k < 16; ++k) shuffle[k] = 0x80;
        unsigned start = 0, units = 0;
        bool fits = true;
        for (unsigned k = 0; k < 12 && units < 8; ++k) {
            if ((ends >> k & 1) == 0) continue;
            unsigned const length = k - start + 1;
            if (length > 3) {
                fits = false;
                break;
            }
            shuffle[2 * units] = static_cast<std::uint8_t>(k);
            if (length >= 2) shuffle[2 * units + 1] = static_cast<std::uint8_t>(k - 1);
            ++units;
            start = k + 1;
        }
        table.ac_Units[ends] = static_cast<std::uint8_t>(fits ? units : 0);
        table.ac_Used[ends] = static_cast<std::uint8_t>(fits ? start : 0);
    }
    return table;
}

inline constexpr st_DecodeTable sst_DecodeTable = st_MakeDecodeTable();

// For encoding four units, each given as one to three bytes in a 32-bit
// lane: the moves that close the gaps, by two bits a lane (bit k when lane
// k takes two bytes or more, bit 4 + k when it takes three).
struct st_EncodeMove {
    std::uint8_t ac_Shuffle[16];
    std::uint8_t n_Bytes;
};

struct st_EncodeTable {
    st_EncodeMove a_Move[256];
};

// Builds either table: lanes lanes of width bytes each, lane k taking one
// byte more when key bit k is set and, with four lanes, one more again for
// key bit 4 + k.
constexpr st_EncodeTable st_MakeEncodeTable(unsigned lanes, unsigned width) {
    st_EncodeTable table{};
    for (unsigned key = 0; key < 256; ++key) {
        st_EncodeMove& move = table.a_Move[key];
        for (unsigned k = 0; k < 16; ++k) move.ac_Shuffle[k] = 0x80;
        unsigned bytes = 0;
        for (unsigned lane = 0; lane < lanes; ++lane) {
            unsigned const length = 1 + (key >> lane & 1) + (lanes == 4 ? key >> (4 + lane) & 1 : 0);
            for (unsigned b = 0; b < length; ++b) move.ac_Shuffle[bytes++] = static_cast<std::uint8_t>(width * lane + b);
        }
        move.n_Bytes = static_cast<std::uint8_t>(bytes);
    }
    return table;
}

inline constexpr st_EncodeTable sst_QuadTable = st_MakeEncodeTable(4, 4);
// The same for eight units of one or two bytes in 16-bit lanes, by a bit a
// lane (set when it takes two).
inline constexpr st_EncodeTable sst_PairTable = st_MakeEncodeTable(8, 2);

// How many bytes must be known ahead of a decoding step: the block of 16
// it reads, and enough after it for the units it writes past its own to
// land where later units go. A step gives at least four units and writes
// eight; the 16 known bytes after the block give at least four more (a
// sequence takes at most four bytes and gives at least one unit).
unsigned const cn_DecodeReach = 16 + 16;

// Decodes the whole sequences among the first 12 bytes of block, which
// start with a sequence and end where ends says; writes eight units at
// units, of which sst_DecodeTable.ac_Units[ends] are the sequences'.
__attribute__((target("ssse3"))) inline void v_DecodeStep(__m128i block, unsigned ends, unsigned short* units) {
    __m128i const shuffle = _mm_loadu_si128(reinterpret_cast<__m128i const*>(sst_DecodeTable.aac_Shuffle[ends]));
    // Last byte low, the one before high: the low seven bits of the last
    // (six of a following byte, whose seventh is clear) and the low six of
    // the one before (five of a two-byte lead, whose sixth is clear).
    __m128i const pair = _mm_shuffle_epi8(block, shuffle);
    __m128i unit = _mm_or_si128(_mm_and_si128(pair, _mm_set1_epi16(0x7F)),
                                _mm_and_si128(_mm_srli_epi16(pair, 2), _mm_set1_epi16(0x0FC0)));
    // A byte earlier still, high: a three-byte lead when it is one (0xE0
    // and up), else the last byte of the sequence before or nothing. Moves
    // to nowhere (0x80) stay so.
    __m128i const earlier = _mm_or_si128(_mm_sub_epi8(shuffle, _mm_set1_epi8(1)),
                                         _mm_and_si128(shuffle, _mm_set1_epi8(static_cast<char>(0x80))));
    __m128i const before = _mm_shuffle_epi8(block, earlier);
    __m128i const isLead3 = _mm_cmpeq_epi16(_mm_and_si128(before, _mm_set1_epi16(static_cast<short>(0xE000))),
                                            _mm_set1_epi16(static_cast<short>(0xE000)));
    unit = _mm_or_si128(unit, _mm_and_si128(isLead3, _mm_and_si128(_mm_slli_epi16(before, 4),
                                                                   _mm_set1_epi16(static_cast<short>(0xF000)))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(units), unit);
}

// The bytes of block that are 0x80 and up, 0xC0 and up, 0xE0 and up and
// 0xF0 and up, a bit each. Signed compares: 0x80-0xFF are below zero, so
// the bytes above -65 are 0xC0 and up but also ASCII, which high leaves
// out.
struct st_Kinds {
    unsigned n_High, n_Lead, n_Lead3, n_Lead4;
};

__attribute__((target("ssse3"))) inline st_Kinds st_Classify(__m128i block) {
    unsigned const high = static_cast<unsigned>(_mm_movemask_epi8(block));
    return {high, high & static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(block, _mm_set1_epi8(-65)))),
            high & static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(block, _mm_set1_epi8(-33)))),
            high & static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(block, _mm_set1_epi8(-17))))};
}

// Decodes text at the start of a sequence while it holds nothing but one-
// to three-byte sequences laid out right, not all of them ASCII, as the
// careful decoder decodes them; all available bytes are known not to be
// zero. Stretches of 64 bytes that all qualify are checked at once and
// decoded a step at a time; otherwise a block of 16 is checked for its
// first step only. Stops where neither qualifies (the first sequence, say,
// is longer, cut short or missing a following byte), at 64 bytes of ASCII
// or when fewer than cn_DecodeReach bytes are left; returns the bytes
// decoded and moves units past the units written.
__attribute__((target("ssse3"))) inline std::size_t n_DecodeBlocks(unsigned char const* bytes, std::size_t available,
                                                                   unsigned short*& units) {
    std::size_t done = 0;
    unsigned short* out = units;
    while (available - done >= cn_DecodeReach) {
        if (available - done >= 64 + cn_DecodeReach) {
            std::uint64_t high = 0, lead = 0, lead3 = 0, lead4 = 0;
            for (unsigned k = 0; k < 4; ++k) {
                st_Kinds const kinds =
                    st_Classify(_mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done + 16 * k)));
                high |= std::uint64_t{kinds.n_High} << 16 * k;
                lead |= std::uint64_t{kinds.n_Lead} << 16 * k;
                lead3 |= std::uint64_t{kinds.n_Lead3} << 16 * k;
                lead4 |= std::uint64_t{kinds.n_Lead4} << 16 * k;
            }
            if (high == 0) break;
            std::uint64_t const follow = high & ~lead;
            // Every following byte where a lead expects one and nowhere
            // else (a sequence running past the 64 bytes is not looked at
            // and not decoded: the steps stop before byte 63).
            if (lead4 == 0 && (lead << 1 | lead3 << 2) == follow) {
                unsigned at = 0;
                do {
                    unsigned const ends = static_cast<unsigned>(~follow >> (at + 1)) & 0xFFF;
                    v_DecodeStep(_mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done + at)), ends, out);
                    out += sst_DecodeTable.ac_Units[ends];
                    at += sst_DecodeTable.ac_Used[ends];
                } while (at <= 64 - 13);
                done += at;
                continue;
            }
        }
        __m128i const block = _mm_loadu_si128(reinterpret_cast<__m128i const*>(bytes + done));
        st_Kinds const kinds = st_Classify(block);
        if (kinds.n_High == 0) break;
        unsigned const follow = kinds.n_High & ~kinds.n_Lead;
        unsigned const ends = ((~follow & 0xFFFF) >> 1) & 0xFFF;
        unsigned const used = sst_DecodeTable.ac_Used[ends];
        // The following bytes expected after the leads, against those
        // there: in the bytes used and the one after (where a sequence cut
        // short would still expect one); no lead of four bytes or more.
        unsigned const expected = kinds.n_Lead << 1 | kinds.n_Lead3 << 2;
        unsigned const inUse = (1u << used) - 1;
        if (used == 0 || ((expected ^ follow) & (inUse << 1 | 1)) != 0 || (kinds.n_Lead4 & inUse) != 0) break;
        v_DecodeStep(block, ends, out);
        out += sst_DecodeTable.ac_Units[ends];
        done += used;
    }
    units = out;
    return done;
}

// The units an encoding step may look at: the block of 16 and 16 more,
// whose bytes come after the block's in the result (each takes at least
// one), so that a step's 16-byte stores, which reach up to 12 bytes past
// the bytes they are for, and the terminator's place after them stay in
// the result's room.
unsigned const cn_EncodeReach = 16 + 16;

// Encodes a block of 16 units that are not zero, eight or four at a time
// as one to three bytes each; returns the bytes written for them. units
// must hold cn_EncodeReach units that are not zero.
__attribute__((target("ssse3"))) inline unsigned n_EncodeBlock(unsigned short const* units, unsigned char* bytes) {
    __m128i const zero = _mm_setzero_si128();
    __m128i const ascii = _mm_set1_epi16(0x7F), narrow = _mm_set1_epi16(0x7FF);
    __m128i const low = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units));
    __m128i const high = _mm_loadu_si128(reinterpret_cast<__m128i const*>(units + 8));
    // Saturating subtraction compares without a sign.
    __m128i const overNarrow = _mm_or_si128(_mm_subs_epu16(low, narrow), _mm_subs_epu16(high, narrow));
    unsigned char* out = bytes;
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(overNarrow, zero)) == 0xFFFF) {
        // One or two bytes each: 0xC0 | unit >> 6 then 0x80 | the low six
        // bits in a 16-bit lane, or the unit itself.
        __m128i const six = _mm_set1_epi16(0x3F);
        for (unsigned half = 0; half < 2; ++half) {
            __m128i const unit = half ? high : low;
            __m128i const one = _mm_cmpeq_epi16(_mm_subs_epu16(unit, ascii), zero);
            __m128i const two = _mm_or_si128(_mm_or_si128(_mm_srli_epi16(unit, 6), _mm_set1_epi16(0x80C0)),
                                             _mm_slli_epi16(_mm_and_si128(unit, six), 8));
            __m128i const lanes = _mm_or_si128(_mm_and_si128(one, unit), _mm_andnot_si128(one, two));
            unsigned const key = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(one, zero))) ^ 0xFF;
            st_EncodeMove const& move = sst_PairTable.a_Move[key];
            __m128i const shuffle = _mm_loadu_si128(reinterpret_cast<__m128i const*>(move.ac_Shuffle));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanes, shuffle));
            out += move.n_Bytes;
        }
        return static_cast<unsigned>(out - bytes);
    }
    // One to three bytes each, in 32-bit lanes, four units at a time.
    __m128i const six = _mm_set1_epi32(0x3F), follow = _mm_set1_epi32(0x80);
    __m128i const overWide = _mm_or_si128(_mm_cmpeq_epi16(_mm_subs_epu16(low, narrow), zero),
                                          _mm_cmpeq_epi16(_mm_subs_epu16(high, narrow), zero));
    if (_mm_movemask_epi8(overWide) == 0) {
        // Three bytes each (most text in the scripts of East Asia): the
        // same moves every time, twelve bytes from four lanes.
        __m128i const pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -128, -128, -128, -128);
        for (unsigned quarter = 0; quarter < 4; ++quarter) {
            __m128i const half = quarter < 2 ? low : high;
            __m128i const unit = quarter % 2 == 0 ? _mm_unpacklo_epi16(half, zero) : _mm_unpackhi_epi16(half, zero);
            __m128i const lowSix = _mm_or_si128(_mm_and_si128(unit, six), follow);
            __m128i const midSix = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(unit, 6), six), follow);
            __m128i const lanes =
                _mm_or_si128(_mm_or_si128(_mm_srli_epi32(unit, 12), _mm_set1_epi32(0xE0)),
                             _mm_or_si128(_mm_slli_epi32(midSix, 8), _mm_slli_epi32(lowSix, 16)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12 * quarter), _mm_shuffle_epi8(lanes, pack));
        }
        return 48;
    }
    for (unsigned quarter = 0; quarter < 4; ++quarter) {
        __m128i const half = quarter < 2 ? low : high;
        __m128i const unit = quarter % 2 == 0 ? _mm_unpacklo_epi16(half, zero) : _mm_unpackhi_epi16(half, zero);
        __m128i const two = _mm_cmpgt_epi32(unit, _mm_set1_epi32(0x7F));
        __m128i const three = _mm_cmpgt_epi32(unit, _mm_set1_epi32(0x7FF));
        __m128i const lowSix = _mm_or_si128(_mm_and_si128(unit, six), follow);
        __m128i const midSix = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(unit, 6), six), follow);
        __m128i const asTwo = _mm_or_si128(_mm_or_si128(_mm_srli_epi32(unit, 6), _mm_set1_epi32(0xC0)),
                                           _mm_slli_epi32(lowSix, 8));
        __m128i const asThree =
            _mm_or_si128(_mm_or_si128(_mm_srli_epi32(unit, 12), _mm_set1_epi32(0xE0)),
                         _mm_or_si128(_mm_slli_epi32(midSix, 8), _mm_slli_epi32(lowSix, 16)));
        __m128i lanes = _mm_or_si128(_mm_and_si128(two, asTwo), _mm_andnot_si128(two, unit));
        lanes = _mm_or_si128(_mm_and_si128(three, asThree), _mm_andnot_si128(three, lanes));
        unsigned const key = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(two))) |
                             static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(three))) << 4;
        st_EncodeMove const& move = sst_QuadTable.a_Move[key];
        __m128i const shuffle = _mm_loadu_si128(reinterpret_cast<__m128i const*>(move.ac_Shuffle));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanes, shuffle));
        out += move.n_Bytes;
    }
    return static_cast<unsigned>(out - bytes);
}

#else

// Never taken: the plain steps do all.
inline bool b_Available() { return false; }
unsigned const cn_DecodeReach = 16 + 16;
unsigned const cn_EncodeReach = 16 + 16;
inline std::size_t n_DecodeBlocks(unsigned char const*, std::size_t, unsigned short*&) { return 0; }
inline unsigned n_EncodeBlock(unsigned short const*, unsigned char*) { return 0; }

#endif

}  // namespace UTF8Shuffle
