// The UTF-8 coders behind CT_UTF, in two forms that give the same result:
// the careful way, a byte or a unit at a time, which states the rules, and
// the fast way, which takes blocks of plain text at once and hands
// everything else to the careful way. Internal to the library; the fuzz
// target and the tests hold one against the other.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Foundation/System/String/UTF8DecodeBlocks.h"
#include "Foundation/System/String/UTF8EncodeBlocks.h"
#include "Foundation/System/String/UTF8Shuffle.h"
#include "Foundation/System/String/UnitBlock.h"

namespace UTF8Coder {

// Which block steps the fast coders may take, besides the plain 128-bit
// ones every x86-64 processor runs: by default all that this processor
// runs. The tests and the fuzz target also hold the narrower sets, which
// other processors take, against the careful coders.
struct st_Paths {
    bool b_Wide = true;     // the 256-bit steps
    bool b_Shuffle = true;  // the 128-bit byte-shuffle steps
};

// Every set, widest first.
inline constexpr st_Paths cao_EveryPaths[] = {{true, true}, {false, true}, {false, false}};

// What the decoder keeps between calls: the following bytes still expected
// in the current sequence, how many the sequence has and the value so far.
// All zero between sequences.
struct st_Decoder {
    unsigned n_Expected = 0;
    unsigned n_Trailing = 0;
    std::uint32_t n4_Value = 0;
};

inline bool operator==(st_Decoder const& a, st_Decoder const& b) {
    return a.n_Expected == b.n_Expected && a.n_Trailing == b.n_Trailing && a.n4_Value == b.n4_Value;
}

// Decodes one byte that is not zero; returns where the next unit goes.
// Lead bytes 0xC0-0xDF take one following byte and 0xE0-0xEF two, whatever
// those are: the value is the bytes added up, shifted six bits each, less
// the offset for the length. 0x00-0xBF alone are themselves. 0xF0-0xF7 take
// three following bytes of which the low six bits count; a character from
// U+10000 to U+10FFFF becomes its surrogate pair (the high half as soon as
// the third byte is read, so that a byte never gives more than one unit),
// any other value one U+FFFD. 0xF8-0xFF are each one U+FFFD.
inline unsigned short* p_DecodeByte(unsigned short* out, unsigned byte, st_Decoder& state) {
    static std::uint32_t const an4_Offset[3] = {0, 0x3080, 0xE2080};
    if (state.n_Expected != 0) {
        --state.n_Expected;
        if (state.n_Trailing == 3) {
            state.n4_Value = state.n4_Value << 6 | (byte & 0x3F);
            // value >> 4 and value >> 10 are the code point's bits from bit
            // 10 upwards, after the third and the fourth byte.
            if (state.n_Expected == 1) {
                unsigned const high = state.n4_Value >> 4;
                *out++ = high >= 0x40 && high <= 0x43F ? static_cast<unsigned short>(0xD800 + high - 0x40)
                                                       : static_cast<unsigned short>(0xFFFD);
            } else if (state.n_Expected == 0) {
                unsigned const high = state.n4_Value >> 10;
                if (high >= 0x40 && high <= 0x43F)
                    *out++ = static_cast<unsigned short>(0xDC00 | (state.n4_Value & 0x3FF));
                state.n_Trailing = 0;
                state.n4_Value = 0;
            }
            return out;
        }
        state.n4_Value = (state.n4_Value << 6) + byte;
        if (state.n_Expected == 0) {
            *out++ = static_cast<unsigned short>(state.n4_Value - an4_Offset[state.n_Trailing]);
            state.n_Trailing = 0;
            state.n4_Value = 0;
        }
        return out;
    }
    if (byte < 0xC0) {
        *out++ = static_cast<unsigned short>(byte);
    } else if (byte < 0xF0) {
        state.n_Expected = state.n_Trailing = byte < 0xE0 ? 1 : 2;
        state.n4_Value = byte;
    } else if (byte < 0xF8) {
        state.n_Expected = state.n_Trailing = 3;
        state.n4_Value = byte & 0x07;
    } else {
        *out++ = 0xFFFD;
    }
    return out;
}

// UTF-8 to UTF-16 the careful way, stopping at a zero byte or after count
// bytes; returns the units written (no terminator).
inline int si_DecodeCarefully(unsigned short* target, char const* source, unsigned count, st_Decoder& state) {
    unsigned char const* in = reinterpret_cast<unsigned char const*>(source);
    unsigned short* out = target;
    for (unsigned i = 0; i < count && in[i] != 0; ++i) out = p_DecodeByte(out, in[i], state);
    return static_cast<int>(out - target);
}

// The same, the fast way. The count may be far larger than the text: what
// lies before the zero is found a stretch at a time (n_NonZeroRun), and
// runs of ASCII go by blocks only inside such a stretch. A sequence whose
// bytes are all at hand (none of them zero, none past the count) is
// decoded at once; anything else goes byte by byte.
inline int si_Decode(unsigned short* target, char const* source, unsigned count, st_Decoder& decoder,
                     st_Paths paths = {}) {
    static std::uint32_t const an4_Offset[3] = {0, 0x3080, 0xE2080};
    st_Decoder state = decoder;
    // Long enough that finding the zero costs little beside decoding, short
    // enough that the bytes are still at hand when they are decoded.
    std::size_t const stretch = 4096;
    unsigned char const* const in = reinterpret_cast<unsigned char const*>(source);
    unsigned short* out = target;
    // Bytes from i up to known are not zero and lie before the count's end;
    // decoding may take i past known.
    std::size_t i = 0, known = 0;
    bool knownAll = false;
    bool const shuffle = paths.b_Shuffle && UTF8Shuffle::b_Available();
    bool const wide = paths.b_Wide && UTF8DecodeBlocks::b_Available();
    // Known bytes looked for ahead: enough for the widest step at hand.
    std::size_t const ahead = wide ? UTF8DecodeBlocks::cn_Reach : UnitBlock::cn_WidenReach;
    while (i < count) {
        unsigned const byte = in[i];
        if (byte == 0) break;
        if (state.n_Expected != 0) {
            // The rest of a sequence, maybe begun in an earlier call.
            out = p_DecodeByte(out, byte, state);
            ++i;
            continue;
        }
        if (known < i + ahead && !knownAll) {
            std::size_t const limit = count - i < stretch ? count - i : stretch;
            std::size_t const run = UnitBlock::n_NonZeroRun(in + i, limit);
            known = i + run;
            knownAll = run < stretch;
        }
        if (byte >= 0xC0 && byte < 0xF0 && wide && known >= i + UTF8DecodeBlocks::cn_Reach) {
            // 64 bytes a step while the text is laid out right.
            std::size_t const used = UTF8DecodeBlocks::n_DecodeBlocks(in + i, known - i, out);
            i += used;
            if (used != 0) continue;
        }
        if (byte >= 0xC0 && byte < 0xF0 && shuffle && known >= i + UTF8Shuffle::cn_DecodeReach) {
            // Text of two- and three-byte sequences, mixed with ASCII, by
            // blocks; the first block that holds anything else goes on
            // below.
            std::size_t const used = UTF8Shuffle::n_DecodeBlocks(in + i, known - i, out);
            i += used;
            if (used != 0) continue;
        }
        if (byte < 0x80) {
            // A lone ASCII byte (a space between words) goes the short way.
            if (known >= i + 16 && in[i + 1] < 0x80) {
                std::size_t const run = UnitBlock::n_WidenAscii(in + i, known - i, out);
                i += run;
                out += run;
            } else {
                *out++ = static_cast<unsigned short>(byte);
                ++i;
            }
        } else if (byte < 0xC0) {
            *out++ = static_cast<unsigned short>(byte);
            ++i;
        } else if (byte < 0xE0) {
            if (count - i >= 2 && in[i + 1] != 0) {
                *out++ = static_cast<unsigned short>((byte << 6) + in[i + 1] - an4_Offset[1]);
                i += 2;
            } else {
                out = p_DecodeByte(out, byte, state);
                ++i;
            }
        } else if (byte < 0xF0 && count - i >= 3 && in[i + 1] != 0 && in[i + 2] != 0) {
            *out++ = static_cast<unsigned short>((((byte << 6) + in[i + 1]) << 6) + in[i + 2] - an4_Offset[2]);
            i += 3;
        } else {
            out = p_DecodeByte(out, byte, state);
            ++i;
        }
    }
    decoder = state;
    return static_cast<int>(out - target);
}

// Encodes one unit that is not zero; returns where the next byte goes.
inline unsigned char* p_EncodeUnit(unsigned char* out, unsigned unit) {
    if (unit < 0x80) {
        *out++ = static_cast<unsigned char>(unit);
    } else if (unit < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | unit >> 6);
        *out++ = static_cast<unsigned char>(0x80 | (unit & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xE0 | unit >> 12);
        *out++ = static_cast<unsigned char>(0x80 | ((unit >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (unit & 0x3F));
    }
    return out;
}

// UTF-16 to UTF-8 the careful way, stopping before a zero unit or after
// count units; writes a zero byte after the result and returns the bytes
// before it.
inline int si_EncodeCarefully(char* target, unsigned short const* source, unsigned count) {
    unsigned char* const start = reinterpret_cast<unsigned char*>(target);
    unsigned char* out = start;
    for (unsigned i = 0; i < count && source[i] != 0; ++i) out = p_EncodeUnit(out, source[i]);
    *out = 0;
    return static_cast<int>(out - start);
}

// The same, the fast way, with what lies before the zero found as the
// decoder finds it; on processors with the 256-bit steps, and text on
// 16-bit boundaries, the zero is looked for on the way instead (see
// UTF8EncodeBlocks::n_EncodeLines) until the text's end is near.
inline int si_Encode(char* target, unsigned short const* source, unsigned count, st_Paths paths = {}) {
    std::size_t const stretch = 1024;
    unsigned char* const start = reinterpret_cast<unsigned char*>(target);
    unsigned char* out = start;
    std::size_t i = 0;
    bool const wide = paths.b_Wide && UTF8EncodeBlocks::b_Available();
    bool const shuffle = paths.b_Shuffle && UTF8Shuffle::b_Available();
    std::size_t const reach = shuffle ? UTF8Shuffle::cn_EncodeReach : UnitBlock::cn_EncodeReach;
    // Long runs of ASCII are looked for after a block of ASCII only, so
    // that other text does not pay for looking.
    bool ascii = true;
    std::uintptr_t const address = reinterpret_cast<std::uintptr_t>(source);
    if (wide && address % 2 == 0) {
        // Up to the first 64-byte line a unit at a time, then lines, with
        // the zero looked for as they go; the rest as below.
        std::size_t const head = ((64 - (address & 63)) & 63) / 2;
        for (; i < head && i < count; ++i) {
            if (source[i] == 0) {
                *out = 0;
                return static_cast<int>(out - start);
            }
            out = p_EncodeUnit(out, source[i]);
        }
        if (i == head) i += UTF8EncodeBlocks::n_EncodeLines(source + i, count - i, out);
    }
    for (;;) {
        std::size_t const limit = count - i < stretch ? count - i : stretch;
        std::size_t const run =
            wide ? UTF8EncodeBlocks::n_NonZeroRun(source + i, limit) : UnitBlock::n_NonZeroRun(source + i, limit);
        std::size_t const known = i + run;
        if (wide) i += UTF8EncodeBlocks::n_EncodeBlocks(source + i, known - i, out);
        while (!wide && known >= i + reach) {
            if (ascii) {
                std::size_t const narrowed = UnitBlock::n_NarrowAscii64(source + i, known - i, out);
                i += narrowed;
                out += narrowed;
                if (known < i + reach) break;
            }
            unsigned const bytes =
                shuffle ? UTF8Shuffle::n_EncodeBlock(source + i, out) : UnitBlock::n_EncodeBlock(source + i, out);
            ascii = bytes == 16;
            out += bytes;
            i += 16;
        }
        if (run == stretch) continue;
        for (; i < known; ++i) out = p_EncodeUnit(out, source[i]);
        break;
    }
    *out = 0;
    return static_cast<int>(out - start);
}

}  // namespace UTF8Coder
