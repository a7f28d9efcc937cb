#include "Foundation/Basis/String/StringText.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/System/String/StringConvert.h"

namespace {

char const c_Empty = 0;
unsigned short const u_Empty = 0;

void* pv_Allocate(std::size_t size) {
    void* block = std::malloc(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

unsigned n_Count(int converted) { return converted > 0 ? static_cast<unsigned>(converted) : 0; }

}  // namespace

namespace StringText {

// An object of exactly the class answers vpv_IsA with the address that
// vpv_IsKindOf gives too, and more cheaply; objects of classes derived
// from it take the longer way.
CT_CString const* spcco_AsNarrow(CT_String const* source) {
    if (source == nullptr) return nullptr;
    CT_Type const* type = CT_CString::spcco_GetType();
    void* part = source->vpv_IsA(type);
    return static_cast<CT_CString const*>(part ? part : source->vpv_IsKindOf(type));
}

CT_UString const* spcco_AsWide(CT_String const* source) {
    if (source == nullptr) return nullptr;
    CT_Type const* type = CT_UString::spcco_GetType();
    void* part = source->vpv_IsA(type);
    return static_cast<CT_UString const*>(part ? part : source->vpv_IsKindOf(type));
}

unsigned sn_Length(char const* text) { return text ? static_cast<unsigned>(std::strlen(text)) : 0; }

unsigned sn_Length(unsigned short const* text) {
    if (text == nullptr) return 0;
    unsigned short const* end = text;
    while (*end) ++end;
    return static_cast<unsigned>(end - text);
}

namespace {

template <class T>
unsigned n_BoundedLength(T const* text, unsigned limit) {
    if (text == nullptr) return 0;
    unsigned length = 0;
    while (length < limit && text[length]) ++length;
    return length;
}

}  // namespace

unsigned sn_Length(char const* text, unsigned limit) { return n_BoundedLength(text, limit); }
unsigned sn_Length(unsigned short const* text, unsigned limit) { return n_BoundedLength(text, limit); }

unsigned sn_NarrowRoom(unsigned count, unsigned codePage) {
    if (codePage == 65000 || codePage == 65001) return count * 3 + 2;
    return count * 2;
}

unsigned sn_ToWide(unsigned short* target, char const* source, unsigned count, unsigned codePage) {
    target[0] = 0;
    if (count == 0) return 0;
    unsigned written = n_Count(CT_StringConvert::si_MultiToWide(target, source, count, codePage));
    if (written > count) written = count;
    target[written] = 0;
    return written;
}

unsigned sn_ToNarrow(char* target, unsigned short const* source, unsigned count, unsigned codePage) {
    target[0] = 0;
    if (count == 0) return 0;
    unsigned room = sn_NarrowRoom(count, codePage);
    unsigned written = n_Count(CT_StringConvert::si_WideToMulti(target, source, count, codePage));
    if (written > room) written = room;
    target[written] = 0;
    return written;
}

}  // namespace StringText

CT_NarrowText::CT_NarrowText(unsigned short const* text, unsigned count, unsigned codePage)
    : qccz_Text(&c_Empty), n_Length(0), pc_Owned(nullptr) {
    v_Convert(text, count, codePage);
}

CT_NarrowText::CT_NarrowText(CT_String const* source, unsigned from)
    : qccz_Text(&c_Empty), n_Length(0), pc_Owned(nullptr) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        if (from < length) {
            qccz_Text = narrow->qccz_Get() + from;
            n_Length = length - from;
        }
    } else if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        if (from < length) v_Convert(wide->qcuz_Get() + from, length - from, 0);
    }
}

CT_NarrowText::~CT_NarrowText() {
    if (pc_Owned) std::free(pc_Owned);
}

void CT_NarrowText::v_Convert(unsigned short const* text, unsigned count, unsigned codePage) {
    // A count whose converted room would pass the most a string holds is
    // not valid: it converts to the empty text.
    if (text == nullptr || count == 0 || count > CT_String::sn_MaximumLength(1) / 3) return;
    unsigned room = StringText::sn_NarrowRoom(count, codePage) + 1;
    char* target = ac_Local;
    if (room > sizeof ac_Local) target = pc_Owned = static_cast<char*>(pv_Allocate(room));
    n_Length = StringText::sn_ToNarrow(target, text, count, codePage);
    qccz_Text = target;
}

CT_WideText::CT_WideText(char const* text, unsigned count, unsigned codePage)
    : qcuz_Text(&u_Empty), n_Length(0), pu_Owned(nullptr) {
    v_Convert(text, count, codePage);
}

CT_WideText::CT_WideText(CT_String const* source, unsigned from, unsigned codePage)
    : qcuz_Text(&u_Empty), n_Length(0), pu_Owned(nullptr) {
    if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        if (from < length) {
            qcuz_Text = wide->qcuz_Get() + from;
            n_Length = length - from;
        }
    } else if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        if (codePage == e_SourceCodePage) codePage = narrow->n_GetCodePage();
        if (from < length) v_Convert(narrow->qccz_Get() + from, length - from, codePage);
    }
}

CT_WideText::~CT_WideText() {
    if (pu_Owned) std::free(pu_Owned);
}

void CT_WideText::v_Convert(char const* text, unsigned count, unsigned codePage) {
    // A count past the most a wide string holds converts to the empty text.
    if (text == nullptr || count == 0 || count > CT_String::sn_MaximumLength(2)) return;
    unsigned short* target = au_Local;
    if (count + 1 > sizeof au_Local / sizeof au_Local[0])
        target = pu_Owned = static_cast<unsigned short*>(pv_Allocate((static_cast<std::size_t>(count) + 1) * 2));
    n_Length = StringText::sn_ToWide(target, text, count, codePage);
    qcuz_Text = target;
}
