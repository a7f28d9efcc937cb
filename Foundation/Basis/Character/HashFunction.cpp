#include "Foundation/Basis/Character/HashFunction.h"

#include <cstring>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/CharacterRules.h"
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

// One character into the text hash: h * 16 + c, and when that sets any of
// the top four bits, they are cleared and folded back in at bits 4 to 7.
// Without a branch: the XOR of (h >> 24) & 0xF0 is 0 when the top bits are
// clear, and it never touches them.
inline std::uint32_t n4_Step(std::uint32_t h, std::uint32_t c) {
    h = (h << 4) + c;
    return (h & 0x0FFFFFFFu) ^ ((h >> 24) & 0xF0u);
}

// A narrow byte enters sign-extended: its value as a signed char, widened.
inline std::uint32_t n4_Narrow(char c) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
}

struct st_Same {
    static char sc_Fold(char c) { return c; }
    static unsigned short su_Fold(unsigned short u) { return u; }
};
struct st_Upper {
    static char sc_Fold(char c) { return CharacterRules::sx_ToUpper(c); }
    static unsigned short su_Fold(unsigned short u) { return CharacterRules::sx_ToUpper(u); }
};

// The loops live here, so that every public form runs them directly rather
// than through another exported (and so replaceable) function.
//
// While the characters are below 0x80, the first six cannot reach the top
// four bits (six of them sum to at most 0x7F * 0x111111 = 0x08777777), so
// they enter without the fold; from the first other character, or the
// seventh, every step folds. The result is that of folding every step.
template <class Fold>
unsigned n_HashNarrow(char const* text, unsigned n) {
    std::uint32_t h = 0;
    unsigned i = 0;
    for (char c; i < 6 && (c = Fold::sc_Fold(text[i])) > 0; ++i) h = (h << 4) + static_cast<std::uint32_t>(c);
    for (text += i; *text; ++text) h = n4_Step(h, n4_Narrow(Fold::sc_Fold(*text)));
    return h % n + 1;
}

template <class Fold>
unsigned n_HashWide(unsigned short const* text, unsigned n) {
    std::uint32_t h = 0;
    unsigned i = 0;
    for (unsigned short u; i < 6 && (u = Fold::su_Fold(text[i])) != 0 && u < 0x80; ++i) h = (h << 4) + u;
    for (text += i; *text; ++text) h = n4_Step(h, Fold::su_Fold(*text));
    return h % n + 1;
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
// The fold takes a signed char and gives one back; only a to z change.
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
