// CT_CharMappings: maps single 16-bit characters to others (upper case, lower
// case, base letter, folded digit, folded compatibility form, kana) and takes
// precomposed characters apart into base letter and combining marks. Static
// operations over constant tables of the Unicode 2.0 repertoire; no state,
// safe on any thread. A character with no row maps to itself.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_UString;

class BASIS_API CT_CharMappings {
public:
    static unsigned short su_ToUpper(unsigned short c);
    static unsigned short su_ToLower(unsigned short c);
    // The base letter: the first character of the decomposition.
    static unsigned short su_ToBase(unsigned short c);
    static unsigned short su_FoldDigit(unsigned short c);
    static unsigned short su_FoldCZone(unsigned short c);
    static unsigned short su_HiraganaToKatakana(unsigned short c);
    static unsigned short su_KatakanaToHiragana(unsigned short c);

    // The decomposition of c (base letter, then one or two marks) as a
    // zero-terminated text inside the table, or a null pointer when c has
    // no row and stands for itself.
    static unsigned short const* sqcuz_GetDecomposition(unsigned short c);

    // Applies map to each of the length characters of text in place. A high
    // surrogate (or high private-use surrogate) and the character after it
    // are left as they are, so a low surrogate is never mapped by itself.
    // The length never changes. The string operations map a string's
    // characters through this.
    static void sv_MapText(unsigned short* text, unsigned length, unsigned short (*map)(unsigned short));

    // Decomposes the length characters of text into out, writing at most
    // outSize characters and no terminator; returns the length of the whole
    // decomposition, which may exceed outSize. A high surrogate is copied
    // with the character after it unless that is U+0000 or past the end.
    static unsigned sn_DecomposeText(unsigned short const* text, unsigned length, unsigned short* out,
                                     unsigned outSize);

    // The same maps over a whole string, in place, by the rules of
    // sv_MapText: surrogate pairs pass unchanged and the length stays.
    static void sv_ToUpper(CT_UString* s);
    static void sv_ToLower(CT_UString* s);
    static void sv_ToBase(CT_UString* s);
    static void sv_FoldDigit(CT_UString* s);
    static void sv_FoldCZone(CT_UString* s);
    static void sv_HiraganaToKatakana(CT_UString* s);
    static void sv_KatakanaToHiragana(CT_UString* s);

    // When c has a row: sets out (unless null) to its decomposition and
    // returns its length, 2 or 3. Otherwise leaves out alone and returns 1.
    static unsigned sn_Decompose(unsigned short c, CT_UString* out);
    // Sets out to the decomposition of the whole of in (in and out may be
    // the same string).
    static void sv_Decompose(CT_UString const* in, CT_UString* out);
    // Decomposes s in place.
    static void sv_Decompose(CT_UString* s);

private:
    static void sv_MapString(CT_UString* s, unsigned short (*map)(unsigned short));
};
