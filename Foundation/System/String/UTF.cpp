#include "Foundation/System/String/UTF.h"

#include <bit>
#include <cstring>

#include "Foundation/System/String/UTF8Coder.h"

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

// The UTF-8 fast paths store a unit's bytes as one little-endian word.
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
    return UTF8Coder::si_Encode(target, source, count);
}

// UTF-8 decoding.

void CT_UTF::sv_UTF8ToWideInit() {
    sn_UTF8Expected = 0;
    sn_UTF8Trailing = 0;
    sn4_UTF8Value = 0;
}

int CT_UTF::si_UTF8ToWide(unsigned short* target, char const* source, unsigned count) {
    UTF8Coder::st_Decoder state;
    state.n_Expected = sn_UTF8Expected;
    state.n_Trailing = sn_UTF8Trailing;
    state.n4_Value = sn4_UTF8Value;
    int written = UTF8Coder::si_Decode(target, source, count, state);
    sn_UTF8Expected = state.n_Expected;
    sn_UTF8Trailing = state.n_Trailing;
    sn4_UTF8Value = state.n4_Value;
    return written;
}
