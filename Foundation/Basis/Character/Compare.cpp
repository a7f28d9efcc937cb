#include "Foundation/Basis/Character/Compare.h"

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/CharacterRules.h"
#include "Foundation/Basis/String/UString.h"

namespace {

// Unit by unit as unsigned values, up to the first difference or the first
// text's terminator.
template <class T>
int i_CompareCase(T const* a, T const* b) {
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

// Characters folded to lower case by the C locale's rule before they are
// compared; the result is the difference of the folded characters.
template <class T>
int i_CompareFolded(T const* a, T const* b) {
    int ca, cb;
    do {
        ca = CharacterRules::sx_ToLower(*a++);
        cb = CharacterRules::sx_ToLower(*b++);
    } while (ca != 0 && ca == cb);
    return ca - cb;
}

char const* qccz_Text(CT_CString const* s) { return s ? s->qccz_Get() : ""; }

unsigned short const su_Empty = 0;
unsigned short const* qcuz_Text(CT_UString const* s) { return s ? s->qcuz_Get() : &su_Empty; }

// A wide string of either kind: a wide one is shared, a narrow one
// converted with its own code page.
CT_UString co_Wide(CT_String const* s) { return s ? CT_UString(s) : CT_UString(); }

}  // namespace

int CT_Compare::si_ComparePN(void const* a, void const* b) {
    return si_ComparePN(static_cast<unsigned const*>(a), static_cast<unsigned const*>(b));
}
int CT_Compare::si_ComparePN4(void const* a, void const* b) {
    return si_ComparePN4(static_cast<std::uint32_t const*>(a), static_cast<std::uint32_t const*>(b));
}
int CT_Compare::si_ComparePI(void const* a, void const* b) {
    return si_ComparePI(static_cast<int const*>(a), static_cast<int const*>(b));
}

// Bytes are compared as unsigned bytes: a byte of 0x80 and above orders
// after every ASCII byte.
int CT_Compare::si_CompareCaseQCZ(char const* a, char const* b) {
    return i_CompareCase(reinterpret_cast<unsigned char const*>(a), reinterpret_cast<unsigned char const*>(b));
}

// The runtime library's narrow form answers only with the sign.
int CT_Compare::si_CompareNoCaseQCZ(char const* a, char const* b) {
    int difference =
        i_CompareFolded(reinterpret_cast<unsigned char const*>(a), reinterpret_cast<unsigned char const*>(b));
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

int CT_Compare::si_CompareCasePQCZ(void const* a, void const* b) {
    return si_CompareCaseQCZ(*static_cast<char const* const*>(a), *static_cast<char const* const*>(b));
}
int CT_Compare::si_CompareNoCasePQCZ(void const* a, void const* b) {
    return si_CompareNoCaseQCZ(*static_cast<char const* const*>(a), *static_cast<char const* const*>(b));
}

int CT_Compare::si_CompareCaseQUZ(unsigned short const* a, unsigned short const* b) { return i_CompareCase(a, b); }

int CT_Compare::si_CompareNoCaseQUZ(unsigned short const* a, unsigned short const* b) {
    return i_CompareFolded(a, b);
}

int CT_Compare::si_CompareCasePQUZ(void const* a, void const* b) {
    return si_CompareCaseQUZ(*static_cast<unsigned short const* const*>(a),
                             *static_cast<unsigned short const* const*>(b));
}
int CT_Compare::si_CompareNoCasePQUZ(void const* a, void const* b) {
    return si_CompareNoCaseQUZ(*static_cast<unsigned short const* const*>(a),
                               *static_cast<unsigned short const* const*>(b));
}
int CT_Compare::si_CompareNoCasePQCUZ(void const* a, void const* b) { return si_CompareNoCasePQUZ(a, b); }

int CT_Compare::si_CompareCStringPPCO(CT_CString const* const* a, CT_CString const* const* b) {
    return si_CompareCaseQCZ(qccz_Text(*a), qccz_Text(*b));
}
int CT_Compare::si_CompareCStringNoCasePPCO(CT_CString const* const* a, CT_CString const* const* b) {
    return si_CompareNoCaseQCZ(qccz_Text(*a), qccz_Text(*b));
}
int CT_Compare::si_CompareUStringPPCO(CT_UString const* const* a, CT_UString const* const* b) {
    return si_CompareCaseQUZ(qcuz_Text(*a), qcuz_Text(*b));
}
int CT_Compare::si_CompareUStringNoCasePPCO(CT_UString const* const* a, CT_UString const* const* b) {
    return si_CompareNoCaseQUZ(qcuz_Text(*a), qcuz_Text(*b));
}
int CT_Compare::si_CompareUStringCasePCO(CT_UString const* a, CT_UString const* b) {
    return si_CompareCaseQUZ(qcuz_Text(a), qcuz_Text(b));
}
int CT_Compare::si_CompareUStringNoCasePCO(CT_UString const* a, CT_UString const* b) {
    return si_CompareNoCaseQUZ(qcuz_Text(a), qcuz_Text(b));
}

int CT_Compare::si_CompareStringPPCO(CT_String const* const* a, CT_String const* const* b) {
    CT_UString wideA = co_Wide(*a), wideB = co_Wide(*b);
    return si_CompareCaseQUZ(wideA.qcuz_Get(), wideB.qcuz_Get());
}
int CT_Compare::si_CompareStringNoCasePPCO(CT_String const* const* a, CT_String const* const* b) {
    CT_UString wideA = co_Wide(*a), wideB = co_Wide(*b);
    return si_CompareNoCaseQUZ(wideA.qcuz_Get(), wideB.qcuz_Get());
}

int CT_Compare::si_CompareCStringPPCO(void const* a, void const* b) {
    return si_CompareCStringPPCO(static_cast<CT_CString const* const*>(a), static_cast<CT_CString const* const*>(b));
}
int CT_Compare::si_CompareCStringNoCasePPCO(void const* a, void const* b) {
    return si_CompareCStringNoCasePPCO(static_cast<CT_CString const* const*>(a),
                                       static_cast<CT_CString const* const*>(b));
}
int CT_Compare::si_CompareUStringPPCO(void const* a, void const* b) {
    return si_CompareUStringPPCO(static_cast<CT_UString const* const*>(a), static_cast<CT_UString const* const*>(b));
}
int CT_Compare::si_CompareUStringNoCasePPCO(void const* a, void const* b) {
    return si_CompareUStringNoCasePPCO(static_cast<CT_UString const* const*>(a),
                                       static_cast<CT_UString const* const*>(b));
}
int CT_Compare::si_CompareStringPPCO(void const* a, void const* b) {
    return si_CompareStringPPCO(static_cast<CT_String const* const*>(a), static_cast<CT_String const* const*>(b));
}
int CT_Compare::si_CompareStringNoCasePPCO(void const* a, void const* b) {
    return si_CompareStringNoCasePPCO(static_cast<CT_String const* const*>(a),
                                      static_cast<CT_String const* const*>(b));
}
