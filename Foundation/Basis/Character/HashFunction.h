// CT_HashFunction: the standard hash callbacks of the containers.
//
// Every operation takes a key and the table size n (never 0) and returns a
// bucket number from 1 to n. The shapes of the key are those of
// CT_Compare (N, PN4, QCZ, PQCZ, QUZ, PQUZ, PCO, PPCO), and again the forms
// reached through a pointer to the key come twice, typed and taking
// void const*, the second being the container callback
// (unsigned (*)(void const*, unsigned)).
//
// Numbers hash to v mod n + 1. Texts go through the text hash: h = 0; for
// each character c, h = h * 16 + c, and when any of the top four bits of h
// are set they are cleared and folded back in four places further down (h
// XOR their value shifted right by 24); the bucket is h mod n + 1, so the
// empty text lands in bucket 1. A narrow byte enters sign-extended (bytes
// of 0x80 and above add negative values), a wide unit as it is: narrow and
// wide ASCII text hash alike, other narrow text does not hash like its
// wide conversion. The case-insensitive forms fold every character to upper
// case with toupper / towupper under the current C locale (in the default
// locale only a to z change) before it enters; callers must not change the
// locale while another thread hashes.
//
// A string object without text counts as the empty text; the any-kind
// forms (StringPPCO) hash a temporary wide copy.
//
// No state: safe on any thread. Text pointers must not be null.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

class CT_String;
class CT_CString;
class CT_UString;

class BASIS_API CT_HashFunction {
public:
    // Numbers.
    static unsigned sn_HashN(unsigned v, unsigned n) { return v % n + 1; }
    static unsigned sn_HashN4(std::uint32_t v, unsigned n) { return v % n + 1; }
    static unsigned sn_HashPN4(std::uint32_t const* v, unsigned n) { return *v % n + 1; }
    static unsigned sn_HashPN4(void const* v, unsigned n);

    // Narrow texts.
    static unsigned sn_HashCaseQCZ(char const* text, unsigned n);
    static unsigned sn_HashNoCaseQCZ(char const* text, unsigned n);
    static unsigned sn_HashCasePQCZ(char const* const* text, unsigned n) { return sn_HashCaseQCZ(*text, n); }
    static unsigned sn_HashNoCasePQCZ(char const* const* text, unsigned n) { return sn_HashNoCaseQCZ(*text, n); }
    static unsigned sn_HashCasePQCZ(void const* text, unsigned n);
    static unsigned sn_HashNoCasePQCZ(void const* text, unsigned n);

    // Wide texts.
    static unsigned sn_HashCaseQUZ(unsigned short const* text, unsigned n);
    static unsigned sn_HashCaseQCUZ(unsigned short const* text, unsigned n) { return sn_HashCaseQUZ(text, n); }
    static unsigned sn_HashNoCaseQUZ(unsigned short const* text, unsigned n);
    static unsigned sn_HashNoCaseQCUZ(unsigned short const* text, unsigned n) { return sn_HashNoCaseQUZ(text, n); }
    static unsigned sn_HashCasePQUZ(unsigned short const* const* text, unsigned n) {
        return sn_HashCaseQUZ(*text, n);
    }
    static unsigned sn_HashNoCasePQUZ(unsigned short const* const* text, unsigned n) {
        return sn_HashNoCaseQUZ(*text, n);
    }
    static unsigned sn_HashNoCasePQCUZ(unsigned short const* const* text, unsigned n) {
        return sn_HashNoCaseQUZ(*text, n);
    }
    static unsigned sn_HashCasePQUZ(void const* text, unsigned n);
    static unsigned sn_HashNoCasePQUZ(void const* text, unsigned n);
    static unsigned sn_HashNoCasePQCUZ(void const* text, unsigned n);

    // String objects.
    static unsigned sn_HashCStringPPCO(CT_CString const* const* s, unsigned n);
    static unsigned sn_HashCStringNoCasePPCO(CT_CString const* const* s, unsigned n);
    static unsigned sn_HashUStringPPCO(CT_UString const* const* s, unsigned n);
    static unsigned sn_HashUStringNoCasePPCO(CT_UString const* const* s, unsigned n);
    static unsigned sn_HashUStringPCO(CT_UString const* s, unsigned n);
    static unsigned sn_HashUStringNoCasePCO(CT_UString const* s, unsigned n);
    static unsigned sn_HashStringPPCO(CT_String const* const* s, unsigned n);
    static unsigned sn_HashStringNoCasePPCO(CT_String const* const* s, unsigned n);
    static unsigned sn_HashCStringPPCO(void const* s, unsigned n);
    static unsigned sn_HashCStringNoCasePPCO(void const* s, unsigned n);
    static unsigned sn_HashUStringPPCO(void const* s, unsigned n);
    static unsigned sn_HashUStringNoCasePPCO(void const* s, unsigned n);
    static unsigned sn_HashStringPPCO(void const* s, unsigned n);
    static unsigned sn_HashStringNoCasePPCO(void const* s, unsigned n);
};
