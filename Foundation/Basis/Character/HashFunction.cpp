#include "Foundation/Basis/Character/HashFunction.h"

#include <cstring>

#include "Foundation/Basis/Character/TextHash.h"
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

using TextHash::st_Same;
using TextHash::st_Upper;

// The hash reduced to a bucket number from 1 to n. The loops are inlined
// here, so that every public form runs them directly rather than through
// another exported (and so replaceable) function.
template <class Fold>
unsigned n_HashNarrow(char const* text, unsigned n) {
    return TextHash::n4_Narrow<Fold>(text) % n + 1;
}

template <class Fold>
unsigned n_HashWide(unsigned short const* text, unsigned n) {
    return TextHash::n4_Wide<Fold>(text) % n + 1;
}

unsigned short const su_Empty = 0;

char const* qccz_Text(CT_CString const* s) { return s ? s->qccz_Get() : ""; }
unsigned short const* qcuz_Text(CT_UString const* s) { return s ? s->qcuz_Get() : &su_Empty; }
CT_UString co_Wide(CT_String const* s) { return s ? CT_UString(s) : CT_UString(); }

}  // namespace

unsigned CT_HashFunction::sn_HashPN4(void const* v, unsigned n) {
    std::uint32_t value;
    std::memcpy(&value, v, sizeof value);
    return value % n + 1;
}

unsigned CT_HashFunction::sn_HashCaseQCZ(char const* text, unsigned n) { return n_HashNarrow<st_Same>(text, n); }
// The fold is toupper's under the current C locale, byte in, byte out.
unsigned CT_HashFunction::sn_HashNoCaseQCZ(char const* text, unsigned n) { return n_HashNarrow<st_Upper>(text, n); }
unsigned CT_HashFunction::sn_HashCasePQCZ(void const* text, unsigned n) {
    return n_HashNarrow<st_Same>(x_Load<char const*>(text), n);
}
unsigned CT_HashFunction::sn_HashNoCasePQCZ(void const* text, unsigned n) {
    return n_HashNarrow<st_Upper>(x_Load<char const*>(text), n);
}

unsigned CT_HashFunction::sn_HashCaseQUZ(unsigned short const* text, unsigned n) {
    return n_HashWide<st_Same>(text, n);
}
unsigned CT_HashFunction::sn_HashNoCaseQUZ(unsigned short const* text, unsigned n) {
    return n_HashWide<st_Upper>(text, n);
}
unsigned CT_HashFunction::sn_HashCasePQUZ(void const* text, unsigned n) {
    return n_HashWide<st_Same>(x_Load<unsigned short const*>(text), n);
}
unsigned CT_HashFunction::sn_HashNoCasePQUZ(void const* text, unsigned n) {
    return n_HashWide<st_Upper>(x_Load<unsigned short const*>(text), n);
}
unsigned CT_HashFunction::sn_HashNoCasePQCUZ(void const* text, unsigned n) {
    return n_HashWide<st_Upper>(x_Load<unsigned short const*>(text), n);
}

unsigned CT_HashFunction::sn_HashCStringPPCO(CT_CString const* const* s, unsigned n) {
    return n_HashNarrow<st_Same>(qccz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashCStringNoCasePPCO(CT_CString const* const* s, unsigned n) {
    return n_HashNarrow<st_Upper>(qccz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashUStringPPCO(CT_UString const* const* s, unsigned n) {
    return n_HashWide<st_Same>(qcuz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashUStringNoCasePPCO(CT_UString const* const* s, unsigned n) {
    return n_HashWide<st_Upper>(qcuz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashUStringPCO(CT_UString const* s, unsigned n) {
    return n_HashWide<st_Same>(qcuz_Text(s), n);
}
unsigned CT_HashFunction::sn_HashUStringNoCasePCO(CT_UString const* s, unsigned n) {
    return n_HashWide<st_Upper>(qcuz_Text(s), n);
}
unsigned CT_HashFunction::sn_HashStringPPCO(CT_String const* const* s, unsigned n) {
    CT_UString wide = co_Wide(*s);
    return n_HashWide<st_Same>(wide.qcuz_Get(), n);
}
unsigned CT_HashFunction::sn_HashStringNoCasePPCO(CT_String const* const* s, unsigned n) {
    CT_UString wide = co_Wide(*s);
    return n_HashWide<st_Upper>(wide.qcuz_Get(), n);
}

unsigned CT_HashFunction::sn_HashCStringPPCO(void const* s, unsigned n) {
    CT_CString const* object = x_Load<CT_CString const*>(s);
    return sn_HashCStringPPCO(&object, n);
}
unsigned CT_HashFunction::sn_HashCStringNoCasePPCO(void const* s, unsigned n) {
    CT_CString const* object = x_Load<CT_CString const*>(s);
    return sn_HashCStringNoCasePPCO(&object, n);
}
unsigned CT_HashFunction::sn_HashUStringPPCO(void const* s, unsigned n) {
    CT_UString const* object = x_Load<CT_UString const*>(s);
    return sn_HashUStringPPCO(&object, n);
}
unsigned CT_HashFunction::sn_HashUStringNoCasePPCO(void const* s, unsigned n) {
    CT_UString const* object = x_Load<CT_UString const*>(s);
    return sn_HashUStringNoCasePPCO(&object, n);
}
unsigned CT_HashFunction::sn_HashStringPPCO(void const* s, unsigned n) {
    CT_String const* object = x_Load<CT_String const*>(s);
    return sn_HashStringPPCO(&object, n);
}
unsigned CT_HashFunction::sn_HashStringNoCasePPCO(void const* s, unsigned n) {
    CT_String const* object = x_Load<CT_String const*>(s);
    return sn_HashStringNoCasePPCO(&object, n);
}
