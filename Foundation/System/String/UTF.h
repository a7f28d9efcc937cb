// CT_UTF: the library's own UTF-7 and UTF-8 coders.
//
// Everything is static, the coders' state too: one conversion to or from
// UTF-7 or UTF-8 at a time in the whole process. The state is what lets a
// UTF-8 sequence split over two calls decode in the second one, and a UTF-7
// run go on over several calls until si_WideToUTF7Exit closes it.
//
// UTF-16 units are coded one by one: each half of a surrogate pair becomes
// a three-byte UTF-8 sequence of its own. No input is ever rejected; bytes
// that form no character still give units (see each coder).
//
// Room at the target, for count source units or bytes:
//   si_WideToUTF7      count * 3 bytes (no unit takes more than three,
//                      closing a run included), and si_WideToUTF7Exit
//                      3 bytes: count * 3 + 3 for a whole conversion,
//                      zero byte included;
//   si_UTF7ToWide      count units (never more units than bytes);
//   si_WideToUTF8      count * 3 + 1 bytes (zero byte included);
//   si_UTF8ToWide      count units (never more units than bytes, even when
//                      a sequence begun in an earlier call ends here).
// A count beyond the text is fine: the coders stop at its zero, read
// nothing after it and write nothing past their result (and the zero
// byte that si_WideToUTF8 adds), so a target with just the result's room
// is enough too.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

class BASIS_API CT_UTF {
public:
    // Makes the UTF-7 tables; run once by the library's start-up list.
    static void sv_Init();

    // UTF-16 to UTF-7. sv_WideToUTF7Init starts afresh (outside a run);
    // si_WideToUTF7 encodes until count units are read or a zero unit was
    // read (which closes an open run and writes a zero byte) and returns the
    // bytes written, the zero byte not counted; si_WideToUTF7Exit closes an
    // open run, writes a zero byte and returns the bytes before it.
    static void sv_WideToUTF7Init();
    static int si_WideToUTF7(char* target, unsigned short const* source, unsigned count);
    static int si_WideToUTF7Exit(char* target);

    // UTF-7 to UTF-16, until count bytes are read or a zero byte is met.
    // Writes no terminator. A byte of 0x80 or more outside a run becomes
    // 0xFF00 plus the byte.
    static void sv_UTF7ToWideInit();
    static int si_UTF7ToWide(unsigned short* target, char const* source, unsigned count);

    // UTF-16 to UTF-8, stopping before a zero unit or after count units;
    // writes a zero byte after the result and returns the bytes before it.
    static int si_WideToUTF8(char* target, unsigned short const* source, unsigned count);

    // UTF-8 to UTF-16, stopping at a zero byte or after count bytes; writes
    // no terminator. A sequence that the input ends inside of is finished by
    // the next call; sv_UTF8ToWideInit drops it. Lead bytes 0xC0-0xDF take
    // one following byte and 0xE0-0xEF two, without checking them; 0x80-0xBF
    // alone are the units of the same value. 0xF0-0xF7 take three following
    // bytes, of which the low six bits count: a character from U+10000 to
    // U+10FFFF becomes its surrogate pair (the high half as soon as the third
    // byte is read, so that a sequence finished by a later call still gives
    // at most one unit per byte), any other value one U+FFFD for the
    // sequence. 0xF8-0xFF are each one U+FFFD.
    static void sv_UTF8ToWideInit();
    static int si_UTF8ToWide(unsigned short* target, char const* source, unsigned count);

private:
    // The UTF-7 tables.
    static char sac_Base64[65];
    static signed char sac_Base64Inverse[128];
    static unsigned char sab_MustEncode[128];

    // The UTF-7 encoder.
    static int sb_EncodeInBase64;
    static int sb_EncodeThisOne;
    static std::uint32_t sn4_BitBuffer;
    static int si_BufferBits;
    static std::uint32_t sn4_BufferTemp;

    // The UTF-7 decoder.
    static int sb_DecodeInBase64;
    static int sb_DecodeFirstAfterPlus;
    static int sb_DecodeWroteInRun;
    static int sb_DecodeEndOfInput;
    static std::uint32_t sn4_DecodeBitBuffer;
    static int si_DecodeBufferBits;

    // The UTF-8 decoder.
    static unsigned sn_UTF8Expected;
    static unsigned sn_UTF8Trailing;
    static std::uint32_t sn4_UTF8Value;

    static int si_EncodeUTF7Unit(char* target, unsigned short unit);
};
