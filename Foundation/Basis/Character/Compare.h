// CT_Compare: the standard comparison callbacks of the containers.
//
// Every operation returns a negative value when the first key orders
// before the second, 0 when they are equal and a positive value when it
// orders after. The shapes differ only in how the key arrives:
//   N, N4, I      the value itself (unsigned, 32-bit unsigned, signed)
//   PN, PN4, PI   a pointer to the value
//   QCZ, QUZ      a zero-terminated narrow or wide text
//   PQCZ, PQUZ    a pointer to such a text pointer
//   PCO           a pointer to a string object
//   PPCO          a pointer to a pointer to a string object
//
// The forms reached through a pointer to the key (P..., PPCO) come twice:
// typed, and taking void const*. The second is the one whose address a
// container takes as its callback (int (*)(void const*, void const*)), so
// no function is ever called through a pointer of another type; taking
// the address for a typed callback picks the typed one.
//
// Case-sensitive comparison looks at the characters as unsigned values and
// stops at the first difference or at the first text's terminator, so a
// prefix orders first; it gives -1, 0 or 1. Case-insensitive comparison
// compares the characters as if folded to lower case by tolower / towlower
// under the current C locale (in the default locale only A to Z change),
// so '_' orders before the letters there but
// after the capitals when case counts. The narrow form gives -1, 0 or 1,
// the wide form the difference of the folded characters where they part.
//
// A string object without text counts as the empty text. The any-kind
// forms (StringPPCO) compare temporary wide copies of both strings, so
// narrow text is converted with its own code page first.
//
// No state: safe on any thread. Text pointers must not be null.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

class CT_String;
class CT_CString;
class CT_UString;

class BASIS_API CT_Compare {
public:
    // Numbers: -1, 0, 1.
    static int si_CompareN(unsigned a, unsigned b) { return a < b ? -1 : (a > b ? 1 : 0); }
    static int si_CompareN4(std::uint32_t a, std::uint32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }
    static int si_CompareI(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }
    static int si_ComparePN(unsigned const* a, unsigned const* b) { return si_CompareN(*a, *b); }
    static int si_ComparePN4(std::uint32_t const* a, std::uint32_t const* b) { return si_CompareN4(*a, *b); }
    static int si_ComparePI(int const* a, int const* b) { return si_CompareI(*a, *b); }
    static int si_ComparePN(void const* a, void const* b);
    static int si_ComparePN4(void const* a, void const* b);
    static int si_ComparePI(void const* a, void const* b);

    // Narrow texts.
    static int si_CompareCaseQCZ(char const* a, char const* b);
    static int si_CompareNoCaseQCZ(char const* a, char const* b);
    static int si_CompareCasePQCZ(char const* const* a, char const* const* b) { return si_CompareCaseQCZ(*a, *b); }
    static int si_CompareNoCasePQCZ(char const* const* a, char const* const* b) {
        return si_CompareNoCaseQCZ(*a, *b);
    }
    static int si_CompareCasePQCZ(void const* a, void const* b);
    static int si_CompareNoCasePQCZ(void const* a, void const* b);

    // Wide texts.
    static int si_CompareCaseQUZ(unsigned short const* a, unsigned short const* b);
    static int si_CompareNoCaseQUZ(unsigned short const* a, unsigned short const* b);
    static int si_CompareCasePQUZ(unsigned short const* const* a, unsigned short const* const* b) {
        return si_CompareCaseQUZ(*a, *b);
    }
    static int si_CompareNoCasePQUZ(unsigned short const* const* a, unsigned short const* const* b) {
        return si_CompareNoCaseQUZ(*a, *b);
    }
    static int si_CompareNoCasePQCUZ(unsigned short const* const* a, unsigned short const* const* b) {
        return si_CompareNoCaseQUZ(*a, *b);
    }
    static int si_CompareCasePQUZ(void const* a, void const* b);
    static int si_CompareNoCasePQUZ(void const* a, void const* b);
    static int si_CompareNoCasePQCUZ(void const* a, void const* b);

    // String objects.
    static int si_CompareCStringPPCO(CT_CString const* const* a, CT_CString const* const* b);
    static int si_CompareCStringNoCasePPCO(CT_CString const* const* a, CT_CString const* const* b);
    static int si_CompareUStringPPCO(CT_UString const* const* a, CT_UString const* const* b);
    static int si_CompareUStringNoCasePPCO(CT_UString const* const* a, CT_UString const* const* b);
    static int si_CompareUStringCasePCO(CT_UString const* a, CT_UString const* b);
    static int si_CompareUStringNoCasePCO(CT_UString const* a, CT_UString const* b);
    static int si_CompareStringPPCO(CT_String const* const* a, CT_String const* const* b);
    static int si_CompareStringNoCasePPCO(CT_String const* const* a, CT_String const* const* b);
    static int si_CompareCStringPPCO(void const* a, void const* b);
    static int si_CompareCStringNoCasePPCO(void const* a, void const* b);
    static int si_CompareUStringPPCO(void const* a, void const* b);
    static int si_CompareUStringNoCasePPCO(void const* a, void const* b);
    static int si_CompareStringPPCO(void const* a, void const* b);
    static int si_CompareStringNoCasePPCO(void const* a, void const* b);
};
