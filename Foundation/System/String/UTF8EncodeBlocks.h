// UTF-16 to UTF-8 sixteen units a step in 256-bit registers (AVX2), for
// the UTF-8 encoder's fast way on processors that have them, found once at
// run time; other processors keep the 128-bit steps of UTF8Shuffle.h and
// UnitBlock.h. Internal to the library.
//
// A step loads 16 units and picks its way by what they hold: all ASCII
// (narrowed, and long runs 64 at a time), all below 0x800 (both bytes of
// every unit made at once, then each half of the register closed up with
// one byte shuffle from the eight-lane table), all 0x800 and up (three
// bytes each with one fixed shuffle), all that but one ASCII unit (the
// same, with moves picked by where that unit is) or any mix (a table of
// moves for four units). The eight-lane table is UTF8Shuffle.h's; the
// mixed step's is laid out for this file but keyed as UTF8Shuffle.h's
// four-lane table. The keys come from byte masks (movemask) rather than
// from pext and pdep, which some processors with these instructions run
// many times slower than a shuffle.
//
// Like the steps in UnitBlock.h, these read only units their caller
// vouches for and write only where bytes of the result go or will go (see
// cn_Reach).
#pragma once

#include <cstddef>
#include <cstdint>

#include "Foundation/System/String/UTF8Shuffle.h"
#include "Foundation/System/String/UnitBlock.h"

#if defined(BASIS_UTF8_SHUFFLE) && defined(__x86_64__)
#define BASIS_UTF8_ENCODE_WIDE 1
#include <immintrin.h>
#endif

namespace UTF8EncodeBlocks {

// The units a step may look at: its block of 16 and 16 more, whose bytes
// come after the block's in the result (each takes at least one). A step's
// 16-byte stores reach at most 15 bytes past the block's last byte, so
// they and the terminator's place after them stay in the result's room.
unsigned const cn_Reach = 16 + 16;

#if defined(BASIS_UTF8_ENCODE_WIDE)

// Every helper is merged into n_EncodeBlocks, so that no 256-bit value is
// passed or kept on the stack: some compilers for 64-bit Windows cannot
// give such values the 32-byte alignment they expect there.
#define BASIS_UTF8_WIDE __attribute__((target("avx2,bmi2")))
#define BASIS_UTF8_WIDE_STEP __attribute__((target("avx2,bmi2"), always_inline)) inline

// Whether the processor (and the system, which must save the registers)
// can run the steps below; asked once.
inline bool b_Available() {
    static bool const available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("bmi2") != 0;
    }();
    return available;
}

// The units before the first zero, up to limit, as UnitBlock::n_NonZeroRun
// finds them but a 64-byte line at a time in two 256-bit loads. Like it,
// this reads whole aligned lines only, and only lines that hold a unit at
// or before the zero and within limit: such a line lies in the page of a
// unit the caller vouches for, so the bytes around the text it also reads
// (never more than that line) are mapped. Other units than 16-bit aligned
// ones are left to UnitBlock.
BASIS_NO_SANITIZE_ADDRESS BASIS_UTF8_WIDE inline std::size_t n_NonZeroRun(unsigned short const* text,
                                                                           std::size_t limit) {
    std::uintptr_t const address = reinterpret_cast<std::uintptr_t>(text);
    if (limit == 0 || address % 2 != 0) return UnitBlock::n_NonZeroRun(text, limit);
    unsigned char const* line = reinterpret_cast<unsigned char const*>(address & ~std::uintptr_t{63});
    unsigned const skip = static_cast<unsigned>(address & 63);
    __m256i const zero = _mm256_setzero_si256();
    // The first line, from the text on.
    __m256i const b0 = _mm256_load_si256(reinterpret_cast<__m256i const*>(line));
    __m256i const b1 = _mm256_load_si256(reinterpret_cast<__m256i const*>(line + 32));
    std::uint64_t const first =
        (static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(b1, zero)))) << 32 |
         static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(b0, zero)))) >>
        skip;
    std::size_t seen = 0;
    if (first != 0) {
        seen = static_cast<std::size_t>(__builtin_ctzll(first)) / 2;
        return seen < limit ? seen : limit;
    }
    seen = (64 - skip) / 2;
    // Then a line at a time: no unit of one is zero while the least of
    // them is not.
    for (line += 64; seen < limit; line += 64, seen += 32) {
        __m256i const c0 = _mm256_load_si256(reinterpret_cast<__m256i const*>(line));
        __m256i const c1 = _mm256_load_si256(reinterpret_cast<__m256i const*>(line + 32));
        __m256i const zeros = _mm256_cmpeq_epi16(_mm256_min_epu16(c0, c1), zero);
        if (!_mm256_testz_si256(zeros, zeros)) {
            unsigned const low = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(c0, zero)));
            std::size_t const at =
                low != 0 ? static_cast<unsigned>(__builtin_ctz(low)) / 2
                         : 16 + static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(
                                    _mm256_movemask_epi8(_mm256_cmpeq_epi16(c1, zero))))) / 2;
            seen += at;
            break;
        }
    }
    return seen < limit ? seen : limit;
}

// The moves of UTF8Shuffle.h's tables 16 bytes apart on 16-byte
// boundaries, so that no load of them spans two cache lines, and the byte
// counts apart from them.
struct alignas(64) st_Moves {
    std::uint8_t aac_Shuffle[256][16];
    std::uint8_t ac_Bytes[256];
};

constexpr st_Moves st_MakeMoves(UTF8Shuffle::st_EncodeTable const& table) {
    st_Moves moves{};
    for (unsigned key = 0; key < 256; ++key) {
        for (unsigned k = 0; k < 16; ++k) moves.aac_Shuffle[key][k] = table.a_Move[key].ac_Shuffle[k];
        moves.ac_Bytes[key] = table.a_Move[key].n_Bytes;
    }
    return moves;
}

inline constexpr st_Moves sst_PairMoves = st_MakeMoves(UTF8Shuffle::sst_PairTable);

// The steps' constants, read from memory as operands. The object is not
// const on purpose: a compiler that knows their values builds them in
// registers again inside the loops, three instructions each, rather than
// keep them all in registers or read them.
struct alignas(32) st_Constants {
    std::uint16_t an_F800[16];
    std::uint16_t an_FF80[16];
    std::uint16_t an_3F00[16];
    std::uint16_t an_80C0[16];
    std::uint16_t an_80[16];
    std::uint16_t an_80E0[16];
    std::uint16_t an_3F[16];
    std::uint16_t an_FF00[16];
    std::uint16_t an_1F3F[16];
    std::uint16_t an_C080[16];
};

constexpr st_Constants st_MakeConstants() {
    st_Constants constants{};
    for (unsigned k = 0; k < 16; ++k) {
        constants.an_F800[k] = 0xF800;
        constants.an_FF80[k] = 0xFF80;
        constants.an_3F00[k] = 0x3F00;
        constants.an_80C0[k] = 0x80C0;
        constants.an_80[k] = 0x80;
        constants.an_80E0[k] = 0x80E0;
        constants.an_3F[k] = 0x3F;
        constants.an_FF00[k] = 0xFF00;
        constants.an_1F3F[k] = 0x1F3F;
        constants.an_C080[k] = 0xC080;
    }
    return constants;
}

inline st_Constants sst_Constants = st_MakeConstants();

BASIS_UTF8_WIDE_STEP __m256i v_Constant(std::uint16_t const (&lanes)[16]) {
    return _mm256_load_si256(reinterpret_cast<__m256i const*>(lanes));
}

BASIS_UTF8_WIDE_STEP void v_Store(unsigned char* out, __m128i bytes) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
}

// 16 units that are all ASCII, a byte each.
BASIS_UTF8_WIDE_STEP unsigned char* p_Ascii(__m256i unit, unsigned char* out) {
    v_Store(out, _mm_packus_epi16(_mm256_castsi256_si128(unit), _mm256_extracti128_si256(unit, 1)));
    return out + 16;
}

// 16 units below 0x800, one or two bytes each: 0xC0 | unit >> 6 then
// 0x80 | the low six bits in each 16-bit lane, or the unit itself; each
// half of the register then loses the second byte of its ASCII units.
BASIS_UTF8_WIDE_STEP __m256i v_OneOrTwoLanes(__m256i unit, __m256i one) {
    __m256i const two = _mm256_or_si256(
        _mm256_or_si256(_mm256_srli_epi16(unit, 6), v_Constant(sst_Constants.an_80C0)),
        _mm256_and_si256(_mm256_slli_epi16(unit, 8), v_Constant(sst_Constants.an_3F00)));
    return _mm256_blendv_epi8(two, unit, one);
}

// Stores a register of two halves closed up by the keys of their units.
// Each half goes by a 128-bit shuffle that takes its moves straight from
// the table: no moves are put together in a register, and no shuffled
// half is taken out of one, so the bytes reach the store sooner.
BASIS_UTF8_WIDE_STEP __m128i v_Close(__m128i lanes, std::uint8_t const* moves) {
    return _mm_shuffle_epi8(lanes, _mm_load_si128(reinterpret_cast<__m128i const*>(moves)));
}

// Stores the four quarters of a block, in the order of the result, each
// closed up by the moves of its key in table. Where each goes is added up
// apart from out, so that a step waits for the one before it by one
// addition only, not by four in a row.
BASIS_UTF8_WIDE_STEP unsigned char* p_CloseQuarters(st_Moves const& table, __m128i first, unsigned key0,
                                                    __m128i second, unsigned key1, __m128i third, unsigned key2,
                                                    __m128i fourth, unsigned key3, unsigned char* out) {
    unsigned const atSecond = table.ac_Bytes[key0];
    unsigned const atThird = atSecond + table.ac_Bytes[key1];
    unsigned const atFourth = atThird + table.ac_Bytes[key2];
    v_Store(out, v_Close(first, table.aac_Shuffle[key0]));
    v_Store(out + atSecond, v_Close(second, table.aac_Shuffle[key1]));
    v_Store(out + atThird, v_Close(third, table.aac_Shuffle[key2]));
    v_Store(out + atFourth, v_Close(fourth, table.aac_Shuffle[key3]));
    return out + (atFourth + table.ac_Bytes[key3]);
}

BASIS_UTF8_WIDE_STEP unsigned char* p_StorePairs(__m256i lanes, unsigned first, unsigned second, unsigned char* out) {
    v_Store(out, v_Close(_mm256_castsi256_si128(lanes), sst_PairMoves.aac_Shuffle[first]));
    out += sst_PairMoves.ac_Bytes[first];
    v_Store(out, v_Close(_mm256_extracti128_si256(lanes, 1), sst_PairMoves.aac_Shuffle[second]));
    return out + sst_PairMoves.ac_Bytes[second];
}

BASIS_UTF8_WIDE_STEP unsigned char* p_OneOrTwo(__m256i unit, unsigned char* out) {
    // A signed compare will do: no unit here has its sign bit set.
    __m256i const one = _mm256_cmpgt_epi16(v_Constant(sst_Constants.an_80), unit);
    // Bits 0-7: units 0-7 are ASCII; bits 16-23: units 8-15.
    unsigned const longer = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_packs_epi16(one, one)));
    return p_StorePairs(v_OneOrTwoLanes(unit, one), longer & 0xFF, longer >> 16 & 0xFF, out);
}

// Two blocks of that kind, one mask for both, which is kept in longer (a
// bit for each unit that takes two bytes; none when all are ASCII).
BASIS_UTF8_WIDE_STEP unsigned char* p_OneOrTwo(__m256i a, __m256i b, unsigned char* out, unsigned& longer) {
    __m256i const oneA = _mm256_cmpgt_epi16(v_Constant(sst_Constants.an_80), a);
    __m256i const oneB = _mm256_cmpgt_epi16(v_Constant(sst_Constants.an_80), b);
    // A byte each: units 0-7 of a, of b, units 8-15 of a, of b.
    longer = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_packs_epi16(oneA, oneB)));
    __m256i const lanesA = v_OneOrTwoLanes(a, oneA), lanesB = v_OneOrTwoLanes(b, oneB);
    return p_CloseQuarters(sst_PairMoves, _mm256_castsi256_si128(lanesA), longer & 0xFF,
                           _mm256_extracti128_si256(lanesA, 1), longer >> 16 & 0xFF, _mm256_castsi256_si128(lanesB),
                           longer >> 8 & 0xFF, _mm256_extracti128_si256(lanesB, 1), longer >> 24, out);
}

// 16 units of 0x800 and up (most text in the scripts of East Asia), three
// bytes each: the first two in a 16-bit lane and the third in another,
// interleaved to a 32-bit lane a unit, then the same moves every time,
// twelve bytes from four lanes.
BASIS_UTF8_WIDE_STEP __m256i v_ThreeLeadAndMiddle(__m256i unit) {
    return _mm256_or_si256(_mm256_or_si256(_mm256_srli_epi16(unit, 12), v_Constant(sst_Constants.an_80E0)),
                           _mm256_and_si256(_mm256_slli_epi16(unit, 2), v_Constant(sst_Constants.an_3F00)));
}

BASIS_UTF8_WIDE_STEP __m256i v_ThreeLast(__m256i unit) {
    return _mm256_or_si256(_mm256_and_si256(unit, v_Constant(sst_Constants.an_3F)), v_Constant(sst_Constants.an_80));
}

BASIS_UTF8_WIDE_STEP unsigned char* p_Three(__m256i unit, unsigned char* out) {
    __m256i const leadAndMiddle = v_ThreeLeadAndMiddle(unit);
    __m256i const last = v_ThreeLast(unit);
    __m256i const pack = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -128, -128, -128, -128, 0, 1, 2, 4,
                                          5, 6, 8, 9, 10, 12, 13, 14, -128, -128, -128, -128);
    // Units 0-3 and 8-11, then 4-7 and 12-15.
    __m256i const low = _mm256_shuffle_epi8(_mm256_unpacklo_epi16(leadAndMiddle, last), pack);
    __m256i const high = _mm256_shuffle_epi8(_mm256_unpackhi_epi16(leadAndMiddle, last), pack);
    v_Store(out, _mm256_castsi256_si128(low));
    v_Store(out + 12, _mm256_castsi256_si128(high));
    v_Store(out + 24, _mm256_extracti128_si256(low, 1));
    v_Store(out + 36, _mm256_extracti128_si256(high, 1));
    return out + 48;
}

// The moves for 16 units laid out as p_Three lays them out, all of 0x800
// and up but unit at, which is ASCII and has its byte where the others
// have their lead: for the register of units 0-3 and 8-11, for that of
// units 4-7 and 12-15, then where the second, third and fourth quarter of
// the block go and the bytes of the whole block.
struct alignas(64) st_OneAsciiMoves {
    std::uint8_t aac_Low[16][32];
    std::uint8_t aac_High[16][32];
    std::uint8_t aac_Where[16][4];
};

constexpr st_OneAsciiMoves st_MakeOneAsciiMoves() {
    st_OneAsciiMoves moves{};
    for (unsigned at = 0; at < 16; ++at) {
        unsigned where = 0;
        // Quarters in the order of the result: units 0-3, 4-7, 8-11, 12-15.
        for (unsigned quarter = 0; quarter < 4; ++quarter) {
            std::uint8_t* const shuffle =
                (quarter % 2 == 0 ? moves.aac_Low[at] : moves.aac_High[at]) + 16 * (quarter / 2);
            unsigned bytes = 0;
            for (unsigned k = 0; k < 16; ++k) shuffle[k] = 0x80;
            for (unsigned lane = 0; lane < 4; ++lane) {
                unsigned const length = 4 * quarter + lane == at ? 1 : 3;
                for (unsigned b = 0; b < length; ++b) shuffle[bytes++] = static_cast<std::uint8_t>(4 * lane + b);
            }
            where += bytes;
            moves.aac_Where[at][quarter] = static_cast<std::uint8_t>(where);
        }
    }
    return moves;
}

inline constexpr st_OneAsciiMoves sst_OneAsciiMoves = st_MakeOneAsciiMoves();

// 16 units of 0x800 and up but one ASCII unit, at (the line ends and
// Western punctuation in text of the scripts of East Asia): as p_Three,
// with the ASCII unit's byte put where the lead of three would be and the
// moves for it taken from the table. narrow marks that unit.
BASIS_UTF8_WIDE_STEP unsigned char* p_OneAscii(__m256i unit, __m256i narrow, unsigned at, unsigned char* out) {
    // The ASCII unit's whole lane is the unit: its moves take byte 0 only.
    __m256i const leadAndMiddle = _mm256_blendv_epi8(v_ThreeLeadAndMiddle(unit), unit, narrow);
    __m256i const last = v_ThreeLast(unit);
    // Units 0-3 and 8-11, then 4-7 and 12-15.
    __m256i const lowMoves = _mm256_load_si256(reinterpret_cast<__m256i const*>(sst_OneAsciiMoves.aac_Low[at]));
    __m256i const highMoves = _mm256_load_si256(reinterpret_cast<__m256i const*>(sst_OneAsciiMoves.aac_High[at]));
    __m256i const low = _mm256_shuffle_epi8(_mm256_unpacklo_epi16(leadAndMiddle, last), lowMoves);
    __m256i const high = _mm256_shuffle_epi8(_mm256_unpackhi_epi16(leadAndMiddle, last), highMoves);
    std::uint8_t const* const where = sst_OneAsciiMoves.aac_Where[at];
    v_Store(out, _mm256_castsi256_si128(low));
    v_Store(out + where[0], _mm256_castsi256_si128(high));
    v_Store(out + where[1], _mm256_extracti128_si256(low, 1));
    v_Store(out + where[2], _mm256_extracti128_si256(high, 1));
    return out + where[3];
}

// The moves for four units in 32-bit lanes as p_Mixed lays them out: one
// byte from byte 0, two from bytes 3 and 2, three from bytes 0 to 2; by
// the keys of UTF8Shuffle's four-lane table (bit k when lane k takes two
// bytes or more, bit 4 + k when it takes three).
constexpr st_Moves st_MakeMixedMoves() {
    st_Moves moves{};
    for (unsigned key = 0; key < 256; ++key) {
        unsigned bytes = 0;
        for (unsigned k = 0; k < 16; ++k) moves.aac_Shuffle[key][k] = 0x80;
        for (unsigned lane = 0; lane < 4; ++lane) {
            unsigned const length = 1 + (key >> lane & 1) + (key >> (4 + lane) & 1);
            for (unsigned b = 0; b < length; ++b)
                moves.aac_Shuffle[key][bytes++] = static_cast<std::uint8_t>(4 * lane + (length == 2 ? 3 - b : b));
        }
        moves.ac_Bytes[key] = static_cast<std::uint8_t>(bytes);
    }
    return moves;
}

inline constexpr st_Moves sst_MixedMoves = st_MakeMixedMoves();

// 16 units of one to three bytes each, in any mix: each unit in a 32-bit
// lane as the unit itself (ASCII) or the lead of three bytes, the middle
// six bits, the low six and the lead of two bytes, so that the one blend
// between the unit and the three-byte lead is all the choosing done here;
// the table then takes the bytes each unit needs, four lanes at a time.
// narrow marks the units below 0x800, one the ASCII units.
BASIS_UTF8_WIDE_STEP unsigned char* p_Mixed(__m256i unit, __m256i narrow, __m256i one, unsigned char* out) {
    // unit << 2 holds the middle six bits, and for units below 0x800 the
    // five bits after the two-byte lead, in its high byte.
    __m256i const shifted = _mm256_slli_epi16(unit, 2);
    // Bytes 0 and 1: the unit or 0xE0 | unit >> 12, then 0x80 | the middle six.
    __m256i const leadAndMiddle = _mm256_or_si256(
        _mm256_blendv_epi8(_mm256_or_si256(_mm256_srli_epi16(unit, 12), v_Constant(sst_Constants.an_80E0)),
                           unit, one),
        _mm256_and_si256(shifted, v_Constant(sst_Constants.an_3F00)));
    // Bytes 2 and 3: 0x80 | the low six, then 0xC0 | unit >> 6.
    __m256i const lowAndLead = _mm256_or_si256(
        _mm256_and_si256(_mm256_blendv_epi8(unit, shifted, v_Constant(sst_Constants.an_FF00)),
                         v_Constant(sst_Constants.an_1F3F)),
        v_Constant(sst_Constants.an_C080));
    // Units 0-3 and 8-11, then 4-7 and 12-15.
    __m256i const low = _mm256_unpacklo_epi16(leadAndMiddle, lowAndLead);
    __m256i const high = _mm256_unpackhi_epi16(leadAndMiddle, lowAndLead);
    // A bit a unit, set when it takes two bytes or more, then one when it
    // takes three, for units 0-3 (bits 0-3 and 4-7), 4-7 (bits 8-15), 8-11
    // and 12-15: each byte of the mask is the key of four units.
    __m256i const order = _mm256_setr_epi8(0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15, 0, 1, 2, 3, 8, 9, 10,
                                           11, 4, 5, 6, 7, 12, 13, 14, 15);
    unsigned const longer = ~static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_shuffle_epi8(_mm256_packs_epi16(one, narrow), order)));
    return p_CloseQuarters(sst_MixedMoves, _mm256_castsi256_si128(low), longer & 0xFF, _mm256_castsi256_si128(high),
                           longer >> 8 & 0xFF, _mm256_extracti128_si256(low, 1), longer >> 16 & 0xFF,
                           _mm256_extracti128_si256(high, 1), longer >> 24, out);
}

// 16 units of any kind but zero.
BASIS_UTF8_WIDE_STEP unsigned char* p_Block(__m256i unit, unsigned char* out) {
    __m256i const narrow = _mm256_cmpeq_epi16(_mm256_and_si256(unit, v_Constant(sst_Constants.an_F800)),
                                              _mm256_setzero_si256());
    unsigned const narrowBits = static_cast<unsigned>(_mm256_movemask_epi8(narrow));
    if (narrowBits == 0xFFFFFFFFu) return p_OneOrTwo(unit, out);
    if (narrowBits == 0) return p_Three(unit, out);
    __m256i const ascii =
        _mm256_cmpeq_epi16(_mm256_and_si256(unit, v_Constant(sst_Constants.an_FF80)), _mm256_setzero_si256());
    // One unit below 0x800 (two bits of the mask), and that one ASCII.
    unsigned const first = narrowBits & 0x55555555u;
    if ((first & (first - 1)) == 0 && _mm256_testc_si256(ascii, narrow))
        return p_OneAscii(unit, narrow, static_cast<unsigned>(__builtin_ctz(first)) / 2, out);
    return p_Mixed(unit, narrow, ascii, out);
}

// Two blocks of 16 units of any kind but zero, in one step when all are
// below 0x800; before becomes the two-byte units' mask (~0 when a unit is
// 0x800 or more, 0 when all are ASCII).
BASIS_UTF8_WIDE_STEP unsigned char* p_Pair(__m256i a, __m256i b, unsigned char* out, unsigned& before) {
    if (!_mm256_testz_si256(_mm256_or_si256(a, b), v_Constant(sst_Constants.an_F800))) {
        before = ~0u;
        return p_Block(b, p_Block(a, out));
    }
    return p_OneOrTwo(a, b, out, before);
}

// Encodes units, of which available are known not to be zero, in whole
// blocks of 16 while cn_Reach of them are left; returns the units encoded
// and moves bytes past the bytes written. Two blocks go at a time: all
// below 0x800 (ASCII too), both take that step without asking again.
// Runs of ASCII are narrowed 64 units at a time, but looked for only
// after two such steps in a row found nothing but ASCII: text with a
// letter above ASCII every few dozen units (much of Western text) then
// never takes a branch it cannot foresee, while ASCII text is in its run
// after one step.
BASIS_UTF8_WIDE inline std::size_t n_EncodeBlocks(unsigned short const* units, std::size_t available,
                                                  unsigned char*& bytes) {
    __m256i const notAscii = v_Constant(sst_Constants.an_FF80);
    unsigned char* out = bytes;
    std::size_t done = 0;
    // The two-byte units of the step before; none at first, so that a
    // call that starts in ASCII goes on in its run after one step.
    unsigned before = 0;
    while (available - done >= 16 + cn_Reach) {
        __m256i const a = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done));
        __m256i const b = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done + 16));
        done += 32;
        unsigned const previous = before;
        out = p_Pair(a, b, out, before);
        if ((before | previous) != 0) continue;
        // These stores hold only bytes of the result: no reach needed.
        for (; available - done >= 64; done += 64, out += 64) {
            __m256i const c0 = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done));
            __m256i const c1 = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done + 16));
            __m256i const c2 = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done + 32));
            __m256i const c3 = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done + 48));
            if (!_mm256_testz_si256(_mm256_or_si256(_mm256_or_si256(c0, c1), _mm256_or_si256(c2, c3)), notAscii))
                break;
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                                _mm256_permute4x64_epi64(_mm256_packus_epi16(c0, c1), 0xD8));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32),
                                _mm256_permute4x64_epi64(_mm256_packus_epi16(c2, c3), 0xD8));
        }
    }
    if (available - done >= cn_Reach) {
        __m256i const a = _mm256_loadu_si256(reinterpret_cast<__m256i const*>(units + done));
        out = _mm256_testz_si256(a, notAscii) ? p_Ascii(a, out) : p_Block(a, out);
        done += 16;
    }
    bytes = out;
    return done;
}

// Encodes text from units, which start a 64-byte line, up to near its
// first zero or count units, whichever comes first; returns the units
// encoded (a whole number of lines, maybe none) and moves bytes past the
// bytes written. This is n_EncodeBlocks with the zero looked for on the
// way, so that the text is read once: each line is loaded whole, on its
// own boundary, and looked at for a zero before the line before it is
// encoded, which then has the 32 units of its successor as its reach. A
// line is loaded only while it lies within count and no unit before it is
// zero, so its first unit is one the caller vouches for and the line lies
// in that unit's page. The last line or two and what follows are left to
// the caller. ASCII runs go by lines too, on the same terms as in
// n_EncodeBlocks.
BASIS_NO_SANITIZE_ADDRESS BASIS_UTF8_WIDE inline std::size_t n_EncodeLines(unsigned short const* units,
                                                                            std::size_t count,
                                                                            unsigned char*& bytes) {
    __m256i const notAscii = v_Constant(sst_Constants.an_FF80);
    __m256i const zero = _mm256_setzero_si256();
    if (count < 64) return 0;
    __m256i a = _mm256_load_si256(reinterpret_cast<__m256i const*>(units));
    __m256i b = _mm256_load_si256(reinterpret_cast<__m256i const*>(units + 16));
    __m256i zeros = _mm256_cmpeq_epi16(_mm256_min_epu16(a, b), zero);
    if (!_mm256_testz_si256(zeros, zeros)) return 0;
    unsigned char* out = bytes;
    std::size_t done = 0;
    // As in n_EncodeBlocks: the two-byte units of the step before.
    unsigned before = 0;
    while (count - done >= 64) {
        __m256i const c = _mm256_load_si256(reinterpret_cast<__m256i const*>(units + done + 32));
        __m256i const d = _mm256_load_si256(reinterpret_cast<__m256i const*>(units + done + 48));
        zeros = _mm256_cmpeq_epi16(_mm256_min_epu16(c, d), zero);
        if (!_mm256_testz_si256(zeros, zeros)) break;
        if (before == 0 && _mm256_testz_si256(_mm256_or_si256(a, b), notAscii)) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                                _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8));
            out += 32;
        } else {
            out = p_Pair(a, b, out, before);
        }
        done += 32;
        a = c;
        b = d;
    }
    bytes = out;
    return done;
}

#undef BASIS_UTF8_WIDE_STEP
#undef BASIS_UTF8_WIDE

#else

// Never taken: the 128-bit steps do all.
inline bool b_Available() { return false; }
inline std::size_t n_NonZeroRun(unsigned short const* text, std::size_t limit) {
    return UnitBlock::n_NonZeroRun(text, limit);
}
inline std::size_t n_EncodeBlocks(unsigned short const*, std::size_t, unsigned char*&) { return 0; }
inline std::size_t n_EncodeLines(unsigned short const*, std::size_t, unsigned char*&) { return 0; }

#endif

}  // namespace UTF8EncodeBlocks
