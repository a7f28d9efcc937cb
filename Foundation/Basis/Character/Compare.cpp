#include "Foundation/Basis/Character/Compare.h"

#include <cctype>
#include <cstring>
#include <cwctype>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"

namespace {

// A key read from where a container keeps it: its storage may be only
// 4-byte aligned, so a pointer is copied out rather than read in place.
template <class T>
inline T x_Load(void const* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Unit by unit as unsigned values, up to the first difference or the first
// text's terminator.
template <class T>
int i_CompareCase(T const* a, T const* b) {
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a < *b ? -1 : (*a > *b ? 1 : 0);
}

// The runtime library's case-insensitive comparison: characters folded to
// lower case by tolower and towlower under the current C locale (in the
// default locale only A to Z change). A wide unit whose lower case would
// not fit 16 bits stays as it is.
inline int i_Lower(unsigned char c) { return std::tolower(c); }
inline int i_Lower(unsigned short u) {
    std::wint_t lower = std::towlower(static_cast<std::wint_t>(u));
    return (static_cast<std::uint32_t>(lower) >> 16) == 0 ? static_cast<int>(lower) : u;
}

// Folded characters up to the first difference or the first text's
// terminator; the result is the difference of the folded characters.
template <class T>
int i_CompareFolded(T const* a, T const* b) {
    int ca, cb;
    do {
        ca = i_Lower(*a++);
        cb = i_Lower(*b++);
    } while (ca != 0 && ca == cb);
    return ca - cb;
}

// The runtime library's narrow form answers only with the sign.
inline int i_Sign(int difference) { return difference < 0 ? -1 : (difference > 0 ? 1 : 0); }

char const* qccz_Text(CT_CString const* s) { return s ? s->qccz_Get() : ""; }

unsigned short const su_Empty = 0;
unsigned short const* qcuz_Text(CT_UString const* s) { return s ? s->qcuz_Get() : &su_Empty; }

// A wide string of either kind: a wide one is shared, a narrow one
// converted with its own code page.
CT_UString co_Wide(CT_String const* s) { return s ? CT_UString(s) : CT_UString(); }

}  // namespace

int CT_Compare::si_ComparePN(void const* a, void const* b) {
    unsigned x = *static_cast<unsigned const*>(a), y = *static_cast<unsigned const*>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}
int CT_Compare::si_ComparePN4(void const* a, void const* b) {
    std::uint32_t x = *static_cast<std::uint32_t const*>(a), y = *static_cast<std::uint32_t const*>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}
int CT_Compare::si_ComparePI(void const* a, void const* b) {
    int x = *static_cast<int const*>(a), y = *static_cast<int const*>(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Bytes are compared as unsigned bytes: a byte of 0x80 and above orders
// after every ASCII byte. The C library's strcmp has exactly that order (and
// reads several bytes at a time), so it does the work.
int CT_Compare::si_CompareCaseQCZ(char const* a, char const* b) { return i_Sign(std::strcmp(a, b)); }

int CT_Compare::si_CompareNoCaseQCZ(char const* a, char const* b) {
    return i_Sign(i_CompareFolded(reinterpret_cast<unsigned char const*>(a), reinterpret_cast<unsigned char const*>(b)));
}

int CT_Compare::si_CompareCasePQCZ(void const* a, void const* b) {
    return i_Sign(std::strcmp(x_Load<char const*>(a), x_Load<char const*>(b)));
}
int CT_Compare::si_CompareNoCasePQCZ(void const* a, void const* b) {
    return i_Sign(
        i_CompareFolded(x_Load<unsigned char const*>(a), x_Load<unsigned char const*>(b)));
}

int CT_Compare::si_CompareCaseQUZ(unsigned short const* a, unsigned short const* b) { return i_CompareCase(a, b); }

int CT_Compare::si_CompareNoCaseQUZ(unsigned short const* a, unsigned short const* b) {
    return i_CompareFolded(a, b);
}

int CT_Compare::si_CompareCasePQUZ(void const* a, void const* b) {
    return i_CompareCase(x_Load<unsigned short const*>(a), x_Load<unsigned short const*>(b));
}
int CT_Compare::si_CompareNoCasePQUZ(void const* a, void const* b) {
    return i_CompareFolded(x_Load<unsigned short const*>(a),
                           x_Load<unsigned short const*>(b));
}
int CT_Compare::si_CompareNoCasePQCUZ(void const* a, void const* b) {
    return i_CompareFolded(x_Load<unsigned short const*>(a),
                           x_Load<unsigned short const*>(b));
}

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
    CT_CString const* x = x_Load<CT_CString const*>(a);
    CT_CString const* y = x_Load<CT_CString const*>(b);
    return si_CompareCStringPPCO(&x, &y);
}
int CT_Compare::si_CompareCStringNoCasePPCO(void const* a, void const* b) {
    CT_CString const* x = x_Load<CT_CString const*>(a);
    CT_CString const* y = x_Load<CT_CString const*>(b);
    return si_CompareCStringNoCasePPCO(&x, &y);
}
int CT_Compare::si_CompareUStringPPCO(void const* a, void const* b) {
    CT_UString const* x = x_Load<CT_UString const*>(a);
    CT_UString const* y = x_Load<CT_UString const*>(b);
    return si_CompareUStringPPCO(&x, &y);
}
int CT_Compare::si_CompareUStringNoCasePPCO(void const* a, void const* b) {
    CT_UString const* x = x_Load<CT_UString const*>(a);
    CT_UString const* y = x_Load<CT_UString const*>(b);
    return si_CompareUStringNoCasePPCO(&x, &y);
}
int CT_Compare::si_CompareStringPPCO(void const* a, void const* b) {
    CT_String const* x = x_Load<CT_String const*>(a);
    CT_String const* y = x_Load<CT_String const*>(b);
    return si_CompareStringPPCO(&x, &y);
}
int CT_Compare::si_CompareStringNoCasePPCO(void const* a, void const* b) {
    CT_String const* x = x_Load<CT_String const*>(a);
    CT_String const* y = x_Load<CT_String const*>(b);
    return si_CompareStringNoCasePPCO(&x, &y);
}
