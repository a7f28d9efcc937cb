#include "Foundation/System/String/UTF.h"

#include <bit>
#include <cstring>

#include "Foundation/System/String/UnitBlock.h"

// The tables, made by sv_Init at load time.
char CT_UTF::sac_Base64[65];
signed char CT_UTF::sac_Base64Inverse[128];
unsigned char CT_UTF::sab_MustEncode[128];

int CT_UTF::sb_EncodeInBase64 = 0;
int CT_UTF::sb_EncodeThisOne = 0;
std::uint32_t CT_UTF::sn4_BitBuffer = 0;
int CT_UTF::si_BufferBits = 0;
std::uint32_t CT_UTF::sn4_BufferTemp = 0;

int CT_UTF::sb_DecodeInBase64 = 0;
int CT_UTF::sb_DecodeFirstAfterPlus = 0;
int CT_UTF::sb_DecodeWroteInRun = 0;
int CT_UTF::sb_DecodeEndOfInput = 0;
std::uint32_t CT_UTF::sn4_DecodeBitBuffer = 0;
int CT_UTF::si_DecodeBufferBits = 0;

unsigned CT_UTF::sn_UTF8Expected = 0;
unsigned CT_UTF::sn_UTF8Trailing = 0;
std::uint32_t CT_UTF::sn4_UTF8Value = 0;

// The UTF-8 encoder stores a unit's bytes as one little-endian word.
static_assert(std::endian::native == std::endian::little, "the UTF-8 encoder needs a little-endian target");

namespace {

char const acz_Base64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
char const acz_Direct[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:?";
char const acz_WhiteSpace[] = " \t\r\n";

}  // namespace

void CT_UTF::sv_Init() {
    std::memcpy(sac_Base64, acz_Base64, sizeof sac_Base64);
    for (signed char& inverse : sac_Base64Inverse) inverse = -1;
    for (int i = 0; i < 64; ++i) sac_Base64Inverse[static_cast<unsigned char>(acz_Base64[i])] = static_cast<signed char>(i);
    for (unsigned char& must : sab_MustEncode) must = 1;
    for (char const* p = acz_Direct; *p; ++p) sab_MustEncode[static_cast<unsigned char>(*p)] = 0;
    for (char const* p = acz_WhiteSpace; *p; ++p) sab_MustEncode[static_cast<unsigned char>(*p)] = 0;
    sv_WideToUTF7Init();
    sv_UTF7ToWideInit();
    sv_UTF8ToWideInit();
}

// UTF-7 encoding.

void CT_UTF::sv_WideToUTF7Init() {
    sb_EncodeInBase64 = 0;
    sb_EncodeThisOne = 0;
    sn4_BitBuffer = 0;
    si_BufferBits = 0;
    sn4_BufferTemp = 0;
}

int CT_UTF::si_EncodeUTF7Unit(char* target, unsigned short unit) {
    int written = 0;
    // The zero unit ends the text: it is written as it is, closing a run.
    sb_EncodeThisOne = unit != 0 && (unit >= 128 || sab_MustEncode[unit]);
    if (!sb_EncodeThisOne) {
        if (sb_EncodeInBase64) {
            if (si_BufferBits > 0) {
                sn4_BufferTemp = (sn4_BitBuffer << (6 - si_BufferBits)) & 0x3F;
                target[written++] = sac_Base64[sn4_BufferTemp];
            }
            sn4_BitBuffer = 0;
            si_BufferBits = 0;
            target[written++] = '-';
            sb_EncodeInBase64 = 0;
        }
        target[written++] = static_cast<char>(unit);
        return written;
    }
    if (!sb_EncodeInBase64) {
        if (unit == '+') {
            target[written++] = '+';
            target[written++] = '-';
            return written;
        }
        target[written++] = '+';
        sb_EncodeInBase64 = 1;
    }
    // Fewer than 6 bits are ever left over, so 22 bits at most are held.
    sn4_BitBuffer = sn4_BitBuffer << 16 | unit;
    si_BufferBits += 16;
    while (si_BufferBits >= 6) {
        si_BufferBits -= 6;
        sn4_BufferTemp = (sn4_BitBuffer >> si_BufferBits) & 0x3F;
        target[written++] = sac_Base64[sn4_BufferTemp];
    }
    sn4_BitBuffer &= (1u << si_BufferBits) - 1;
    return written;
}

int CT_UTF::si_WideToUTF7(char* target, unsigned short const* source, unsigned count) {
    int written = 0;
    for (unsigned i = 0; i < count; ++i) {
        written += si_EncodeUTF7Unit(target + written, source[i]);
        if (source[i] == 0) return written - 1;
    }
    return written;
}

int CT_UTF::si_WideToUTF7Exit(char* target) { return si_EncodeUTF7Unit(target, 0) - 1; }

// UTF-7 decoding.

void CT_UTF::sv_UTF7ToWideInit() {
    sb_DecodeInBase64 = 0;
    sb_DecodeFirstAfterPlus = 0;
    sb_DecodeWroteInRun = 0;
    sb_DecodeEndOfInput = 0;
    sn4_DecodeBitBuffer = 0;
    si_DecodeBufferBits = 0;
}

int CT_UTF::si_UTF7ToWide(unsigned short* target, char const* source, unsigned count) {
    int written = 0;
    sb_DecodeEndOfInput = 0;
    for (unsigned i = 0; i < count; ++i) {
        unsigned char byte = static_cast<unsigned char>(source[i]);
        if (byte == 0) break;
        if (sb_DecodeInBase64) {
            int bits = byte < 128 ? sac_Base64Inverse[byte] : -1;
            if (bits >= 0) {
                sn4_DecodeBitBuffer = sn4_DecodeBitBuffer << 6 | static_cast<unsigned>(bits);
                si_DecodeBufferBits += 6;
                sb_DecodeFirstAfterPlus = 0;
                if (si_DecodeBufferBits >= 16) {
                    si_DecodeBufferBits -= 16;
                    target[written++] = static_cast<unsigned short>(sn4_DecodeBitBuffer >> si_DecodeBufferBits);
                    sb_DecodeWroteInRun = 1;
                }
                sn4_DecodeBitBuffer &= (1u << si_DecodeBufferBits) - 1;
                continue;
            }
            // Any other byte ends the run; the bits left over are dropped.
            int firstAfterPlus = sb_DecodeFirstAfterPlus;
            sb_DecodeInBase64 = 0;
            sb_DecodeFirstAfterPlus = 0;
            sb_DecodeWroteInRun = 0;
            sn4_DecodeBitBuffer = 0;
            si_DecodeBufferBits = 0;
            if (byte == '-' || byte == '+') {
                if (byte == '-' && firstAfterPlus) target[written++] = '+';
                continue;
            }
        }
        if (byte == '+') {
            sb_DecodeInBase64 = 1;
            sb_DecodeFirstAfterPlus = 1;
            sb_DecodeWroteInRun = 0;
            continue;
        }
        // No code page here: a byte of 0x80 or more is taken as signed.
        target[written++] = static_cast<unsigned short>(static_cast<signed char>(byte));
    }
    sb_DecodeEndOfInput = 1;
    return written;
}

// UTF-8 encoding.

int CT_UTF::si_WideToUTF8(char* target, unsigned short const* source, unsigned count) {
    unsigned char* out = reinterpret_cast<unsigned char*>(target);
    unsigned short const* in = source;
    unsigned short const* const end = source + count;
    // Blocks of 16 units that take one or two bytes each (ASCII, Latin,
    // Greek, Cyrillic, Hebrew, Arabic text) go by blocks, long runs of ASCII
    // faster still; other stretches go unit by unit up to the next such
    // block, which is found ahead looking at every fourth block only, so
    // that the loop unit by unit runs undisturbed. The fast paths write a
    // little past what they keep (a whole block of ASCII, two bytes for an
    // ASCII unit); three bytes of room a unit leave room for it, and what
    // they do not keep is written over afterwards.
    while (in < end) {
        if (end - in >= 16 && UnitBlock::b_OneOrTwoBytes(in)) {
            std::uint16_t words[16], offsets[16];
            unsigned bytes = UnitBlock::n_OneOrTwoByteWords(in, words, offsets);
            if (bytes == 16) {
                unsigned run = UnitBlock::n_NarrowRun(in, static_cast<unsigned>(end - in), out);
                in += run;
                out += run;
                continue;
            }
            // Each unit's two bytes at its own place, independent of the
            // others; an ASCII unit's second byte is written over.
            for (unsigned k = 0; k < 16; ++k) std::memcpy(out + offsets[k], &words[k], 2);
            in += 16;
            out += bytes;
            continue;
        }
        unsigned short const* stop = end;
        for (unsigned short const* block = in; end - block >= 64 + 16;) {
            block += 64;
            if (UnitBlock::b_OneOrTwoBytes(block)) {
                stop = block;
                break;
            }
        }
        while (in < stop) {
            unsigned unit = *in++;
            if (unit < 0x80) {
                if (unit == 0) {
                    *out = 0;
                    return static_cast<int>(out - reinterpret_cast<unsigned char*>(target));
                }
                *out++ = static_cast<unsigned char>(unit);
            } else if (unit < 0x800) {
                out[0] = static_cast<unsigned char>(0xC0 | unit >> 6);
                out[1] = static_cast<unsigned char>(0x80 | (unit & 0x3F));
                out += 2;
            } else {
                // Four bytes stored, three kept: the fourth is written over.
                std::uint32_t const bytes =
                    (0xE0 | unit >> 12) | (0x80 | ((unit >> 6) & 0x3F)) << 8 | (0x80 | (unit & 0x3F)) << 16;
                std::memcpy(out, &bytes, 4);
                out += 3;
            }
        }
    }
    *out = 0;
    return static_cast<int>(out - reinterpret_cast<unsigned char*>(target));
}

// UTF-8 decoding.

void CT_UTF::sv_UTF8ToWideInit() {
    sn_UTF8Expected = 0;
    sn_UTF8Trailing = 0;
    sn4_UTF8Value = 0;
}

int CT_UTF::si_UTF8ToWide(unsigned short* target, char const* source, unsigned count) {
    // The offsets that the accumulated lead and following bytes carry.
    static std::uint32_t const an4_Offset[3] = {0, 0x3080, 0xE2080};
    unsigned char const* in = reinterpret_cast<unsigned char const*>(source);
    unsigned char const* const end = in + count;
    unsigned short* out = target;
    unsigned expected = sn_UTF8Expected, trailing = sn_UTF8Trailing;
    std::uint32_t value = sn4_UTF8Value;
    // No byte gives more than one unit, so out never runs ahead of in: the
    // fast paths below may write a whole block within the room.
    while (in < end) {
        unsigned byte = *in;
        if (expected) {
            // A following byte of a sequence, maybe begun in an earlier call.
            if (byte == 0) break;
            ++in;
            --expected;
            if (trailing == 3) {
                value = value << 6 | (byte & 0x3F);
                // value >> 4 and value >> 10 are the code point's bits from
                // bit 10 upwards, after the third and the fourth byte.
                if (expected == 1) {
                    unsigned high = value >> 4;
                    *out++ = high >= 0x40 && high <= 0x43F ? static_cast<unsigned short>(0xD800 + high - 0x40)
                                                           : static_cast<unsigned short>(0xFFFD);
                } else if (expected == 0) {
                    unsigned high = value >> 10;
                    if (high >= 0x40 && high <= 0x43F) *out++ = static_cast<unsigned short>(0xDC00 | (value & 0x3FF));
                    value = 0;
                }
                continue;
            }
            value = (value << 6) + byte;
            if (expected == 0) {
                *out++ = static_cast<unsigned short>(value - an4_Offset[trailing]);
                value = 0;
            }
            continue;
        }
        if (byte < 0x80) {
            if (byte == 0) break;
            // A run of ASCII, a block of 16 bytes at a time; the whole block
            // is written, what lies past the run is written over afterwards.
            // A lone ASCII byte (a space between words) goes the short way.
            if (end - in >= 16 && in[1] - 1u < 0x7Fu) {
                unsigned run = UnitBlock::n_WidenRun(in, static_cast<unsigned>(end - in), out);
                in += run;
                out += run;
            } else {
                *out++ = static_cast<unsigned short>(byte);
                ++in;
            }
        } else if (byte < 0xC0) {
            *out++ = static_cast<unsigned short>(byte);
            ++in;
        } else if (byte < 0xE0) {
            // The whole sequence at hand: no state to keep.
            if (end - in >= 2 && in[1] != 0) {
                *out++ = static_cast<unsigned short>((byte << 6) + in[1] - an4_Offset[1]);
                in += 2;
            } else {
                expected = trailing = 1;
                value = byte;
                ++in;
            }
        } else if (byte < 0xF0) {
            if (end - in >= 3 && in[1] != 0 && in[2] != 0) {
                *out++ = static_cast<unsigned short>((((byte << 6) + in[1]) << 6) + in[2] - an4_Offset[2]);
                in += 3;
            } else {
                expected = trailing = 2;
                value = byte;
                ++in;
            }
        } else if (byte < 0xF8) {
            // Four bytes: the payload bits of each, so that the high
            // surrogate is known after the third byte.
            expected = trailing = 3;
            value = byte & 0x07;
            ++in;
        } else {
            *out++ = 0xFFFD;
            ++in;
        }
    }
    sn_UTF8Expected = expected;
    sn_UTF8Trailing = trailing;
    sn4_UTF8Value = value;
    return static_cast<int>(out - target);
}
