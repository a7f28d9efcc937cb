#include "Foundation/Basis/Character/HashFunction.h"

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/CharacterRules.h"
#include "Foundation/Basis/String/UString.h"

namespace {

// One character into the text hash. The top four bits, once set, are
// cleared and folded back in at bits 4 to 7.
inline std::uint32_t n4_Step(std::uint32_t h, std::uint32_t c) {
    h = (h << 4) + c;
    std::uint32_t g = h & 0xF0000000u;
    if (g != 0) h = (h & 0x0FFFFFFFu) ^ (g >> 24);
    return h;
}

// A narrow byte enters sign-extended: its value as a signed char, widened.
inline std::uint32_t n4_Narrow(char c) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
}

unsigned short const su_Empty = 0;

char const* qccz_Text(CT_CString const* s) { return s ? s->qccz_Get() : ""; }
unsigned short const* qcuz_Text(CT_UString const* s) { return s ? s->qcuz_Get() : &su_Empty; }
CT_UString co_Wide(CT_String const* s) { return s ? CT_UString(s) : CT_UString(); }

}  // namespace

unsigned CT_HashFunction::sn_HashPN4(void const* v, unsigned n) {
    return sn_HashPN4(static_cast<std::uint32_t const*>(v), n);
}

unsigned CT_HashFunction::sn_HashCaseQCZ(char const* text, unsigned n) {
    std::uint32_t h = 0;
    for (; *text; ++text) h = n4_Step(h, n4_Narrow(*text));
    return h % n + 1;
}

// The fold takes a signed char and gives one back; only a to z change.
unsigned CT_HashFunction::sn_HashNoCaseQCZ(char const* text, unsigned n) {
    std::uint32_t h = 0;
    for (; *text; ++text) h = n4_Step(h, n4_Narrow(CharacterRules::sx_ToUpper(*text)));
    return h % n + 1;
}

unsigned CT_HashFunction::sn_HashCasePQCZ(void const* text, unsigned n) {
    return sn_HashCaseQCZ(*static_cast<char const* const*>(text), n);
}
unsigned CT_HashFunction::sn_HashNoCasePQCZ(void const* text, unsigned n) {
    return sn_HashNoCaseQCZ(*static_cast<char const* const*>(text), n);
}

unsigned CT_HashFunction::sn_HashCaseQUZ(unsigned short const* text, unsigned n) {
    std::uint32_t h = 0;
    for (; *text; ++text) h = n4_Step(h, *text);
    return h % n + 1;
}

unsigned CT_HashFunction::sn_HashNoCaseQUZ(unsigned short const* text, unsigned n) {
    std::uint32_t h = 0;
    for (; *text; ++text) h = n4_Step(h, CharacterRules::sx_ToUpper(*text));
    return h % n + 1;
}

unsigned CT_HashFunction::sn_HashCasePQUZ(void const* text, unsigned n) {
    return sn_HashCaseQUZ(*static_cast<unsigned short const* const*>(text), n);
}
unsigned CT_HashFunction::sn_HashNoCasePQUZ(void const* text, unsigned n) {
    return sn_HashNoCaseQUZ(*static_cast<unsigned short const* const*>(text), n);
}
unsigned CT_HashFunction::sn_HashNoCasePQCUZ(void const* text, unsigned n) { return sn_HashNoCasePQUZ(text, n); }

unsigned CT_HashFunction::sn_HashCStringPPCO(CT_CString const* const* s, unsigned n) {
    return sn_HashCaseQCZ(qccz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashCStringNoCasePPCO(CT_CString const* const* s, unsigned n) {
    return sn_HashNoCaseQCZ(qccz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashUStringPPCO(CT_UString const* const* s, unsigned n) {
    return sn_HashCaseQUZ(qcuz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashUStringNoCasePPCO(CT_UString const* const* s, unsigned n) {
    return sn_HashNoCaseQUZ(qcuz_Text(*s), n);
}
unsigned CT_HashFunction::sn_HashUStringPCO(CT_UString const* s, unsigned n) { return sn_HashCaseQUZ(qcuz_Text(s), n); }
unsigned CT_HashFunction::sn_HashUStringNoCasePCO(CT_UString const* s, unsigned n) {
    return sn_HashNoCaseQUZ(qcuz_Text(s), n);
}
unsigned CT_HashFunction::sn_HashStringPPCO(CT_String const* const* s, unsigned n) {
    CT_UString wide = co_Wide(*s);
    return sn_HashCaseQUZ(wide.qcuz_Get(), n);
}
unsigned CT_HashFunction::sn_HashStringNoCasePPCO(CT_String const* const* s, unsigned n) {
    CT_UString wide = co_Wide(*s);
    return sn_HashNoCaseQUZ(wide.qcuz_Get(), n);
}

unsigned CT_HashFunction::sn_HashCStringPPCO(void const* s, unsigned n) {
    return sn_HashCStringPPCO(static_cast<CT_CString const* const*>(s), n);
}
unsigned CT_HashFunction::sn_HashCStringNoCasePPCO(void const* s, unsigned n) {
    return sn_HashCStringNoCasePPCO(static_cast<CT_CString const* const*>(s), n);
}
unsigned CT_HashFunction::sn_HashUStringPPCO(void const* s, unsigned n) {
    return sn_HashUStringPPCO(static_cast<CT_UString const* const*>(s), n);
}
unsigned CT_HashFunction::sn_HashUStringNoCasePPCO(void const* s, unsigned n) {
    return sn_HashUStringNoCasePPCO(static_cast<CT_UString const* const*>(s), n);
}
unsigned CT_HashFunction::sn_HashStringPPCO(void const* s, unsigned n) {
    return sn_HashStringPPCO(static_cast<CT_String const* const*>(s), n);
}
unsigned CT_HashFunction::sn_HashStringNoCasePPCO(void const* s, unsigned n) {
    return sn_HashStringNoCasePPCO(static_cast<CT_String const* const*>(s), n);
}
