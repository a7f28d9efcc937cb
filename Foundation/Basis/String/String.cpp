#include "Foundation/Basis/String/String.h"

#include <cstdio>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Basis/String/WideFormat.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_String)

namespace {
constexpr unsigned n_All = ~0u;
constexpr unsigned n_OwnCodePage = ~1u;

unsigned n_LengthOf(CT_String const* source) { return source ? source->vn_GetLength() : 0; }
}  // namespace

CT_String::CT_String() { BASIS_TYPE_CONSTRUCT(CT_String); }

CT_String::CT_String(CT_Buffer const* buffer) : co_Buffer(buffer) { BASIS_TYPE_CONSTRUCT(CT_String); }

CT_String::CT_String(CT_Type*) { BASIS_TYPE_CONSTRUCT(CT_String); }

CT_String::~CT_String() { (void)BASIS_TYPE_DESTRUCT(CT_String); }

// The base class's own operations: nothing, and 0.
CT_String* CT_String::vpco_Create() const { return nullptr; }
void CT_String::vv_SetSize(unsigned, int) {}
void CT_String::vv_SetMinSize(unsigned, int) {}
void CT_String::vv_Replace(unsigned short, unsigned, unsigned) {}
void CT_String::vv_Replace(char, unsigned, unsigned) {}
char CT_String::vc_GetAt(unsigned) const { return 0; }
unsigned short CT_String::vu_GetAt(unsigned) const { return 0; }
void CT_String::vv_SetAt(unsigned short, unsigned) {}
void CT_String::vv_SetAt(char, unsigned) {}
void CT_String::vv_ToLower() {}
void CT_String::vv_ToUpper() {}
void CT_String::vv_Remove(unsigned, unsigned) {}
unsigned CT_String::vn_Find(unsigned short, unsigned) const { return 0; }
unsigned CT_String::vn_Find(char, unsigned) const { return 0; }
unsigned CT_String::vn_Find(CT_String const*, unsigned) const { return 0; }
void CT_String::vv_Update() {}
int CT_String::vb_Match(CT_String const*) const { return 0; }
void CT_String::vv_Strip(CT_String const*) {}
void CT_String::vv_StripRight() {}
void CT_String::vv_StripLeft() {}
int CT_String::vi_Compare(CT_String const*, unsigned, unsigned, unsigned) const { return 0; }
int CT_String::vi_Compare(unsigned short const*, unsigned, unsigned) const { return 0; }
int CT_String::vi_Compare(char const*, unsigned, unsigned) const { return 0; }
void CT_String::vv_Translate(CT_String const*, CT_String const*) {}
void CT_String::vv_SetLength(unsigned) {}
unsigned CT_String::vn_GetLength() const { return 0; }
unsigned CT_String::vn_GetMaximumLength() const { return 0; }
void CT_String::vv_SetGrowth(unsigned) {}
unsigned CT_String::vn_GetGrowth() const { return 0; }
void CT_String::vv_Format(CT_String const*, va_list) {}
void CT_String::vv_Format(CT_String const*, ...) {}
void CT_String::vv_Init(CT_Buffer const*) {}
void CT_String::vv_Init(unsigned short const*, unsigned) {}
void CT_String::vv_Init(char const*, unsigned, unsigned) {}
void CT_String::vv_Init(CT_String const*) {}
void CT_String::vv_Init(unsigned) {}
void CT_String::vv_Init() {}
void CT_String::vv_StringReplace(CT_String const*, unsigned, unsigned, unsigned) {}
void CT_String::vv_StringReplace(unsigned short const*, unsigned, unsigned) {}
void CT_String::vv_StringReplace(char const*, unsigned, unsigned, unsigned) {}
void CT_String::vv_StringInsert(CT_String const*, unsigned, unsigned, unsigned) {}
void CT_String::vv_StringInsert(unsigned short const*, unsigned, unsigned) {}
void CT_String::vv_StringInsert(char const*, unsigned, unsigned, unsigned) {}

void CT_String::v_Set(char const* text, unsigned count, unsigned codePage) {
    if (codePage == n_OwnCodePage) {
        CT_CString const* narrow = StringText::spcco_AsNarrow(this);
        codePage = narrow ? narrow->n_GetCodePage() : 0;
    }
    vv_Init(text, count, codePage);
}

void CT_String::v_Set(unsigned length, int reuse) {
    if (reuse && length <= vn_GetMaximumLength()) vv_SetLength(0);
    else vv_Init(length);
}

void CT_String::v_Replace(CT_String const* source, unsigned from, unsigned count, unsigned at) {
    if (count == n_All) {
        unsigned length = n_LengthOf(source);
        count = from < length ? length - from : 0;
    }
    vv_StringReplace(source, from, count, at);
}

void CT_String::v_Replace(char const* text, unsigned count, unsigned at) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringReplace(text, count, at, n_All);
}

void CT_String::v_Replace(unsigned short const* text, unsigned count, unsigned at) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringReplace(text, count, at);
}

void CT_String::v_Insert(char const* text, unsigned count, unsigned at) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringInsert(text, count, at, n_All);
}

void CT_String::v_Insert(unsigned short const* text, unsigned count, unsigned at) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringInsert(text, count, at);
}

void CT_String::v_Insert(CT_String const* source, unsigned count, unsigned at) {
    if (count == n_All) count = n_LengthOf(source);
    vv_StringInsert(source, 0, count, at);
}

void CT_String::v_Append(char c) { vv_StringInsert(&c, 1, vn_GetLength(), n_All); }

void CT_String::v_Append(unsigned short c) { vv_StringInsert(&c, 1, vn_GetLength()); }

void CT_String::v_Append(char const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    if (count == 0) return;
    vv_StringInsert(text, count, vn_GetLength(), n_All);
}

void CT_String::v_Append(unsigned short const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    if (count == 0) return;
    vv_StringInsert(text, count, vn_GetLength());
}

void CT_String::v_Append(CT_String const* source, unsigned count) {
    unsigned length = n_LengthOf(source);
    if (count > length) count = length;
    vv_StringInsert(source, 0, count, vn_GetLength());
}

void CT_String::v_Format(char const* format, ...) {
    va_list args;
    va_start(args, format);
    v_Format(format, args);
    va_end(args);
}

void CT_String::v_Format(char const* format, va_list argList) {
    char text[e_FormatArea];
    text[0] = 0;
    if (format) {
        va_list args;
        va_copy(args, argList);
        // A result that does not fit keeps its first 2047 characters; an
        // encoding failure leaves the work area empty.
        if (std::vsnprintf(text, sizeof text, format, args) < 0) text[0] = 0;
        va_end(args);
    }
    v_Set(text, n_All, n_OwnCodePage);
}

void CT_String::v_Format(unsigned short const* format, ...) {
    va_list args;
    va_start(args, format);
    v_Format(format, args);
    va_end(args);
}

void CT_String::v_Format(unsigned short const* format, va_list argList) {
    unsigned short text[e_FormatArea];
    WideFormat::sn_Format(text, e_FormatArea, format, argList);
    vv_Init(text, n_All);
}
