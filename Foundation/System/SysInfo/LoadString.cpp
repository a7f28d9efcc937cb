#include "Foundation/System/SysInfo/LoadString.h"

#include <cstdio>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Basis/String/WideFormat.h"
#include "Foundation/Platform/Resource.h"
#include "Foundation/System/String/StringConvert.h"
#include "Foundation/System/SysInfo/OS.h"

namespace {

// The resource text as wide characters: the wide loader on the NT family,
// else the narrow text converted with the ANSI code page.
unsigned n_LoadWide(unsigned short* out, unsigned capacity, HINSTANCE module, unsigned id) {
    if (capacity == 0) return 0;
    if (CT_OS::sb_GetIsWindowsNT()) return Platform::n_LoadStringW(module, id, out, capacity);
    char narrow[CT_LoadString::e_MaxLength + 1];
    unsigned length = Platform::n_LoadStringA(module, id, narrow, sizeof narrow);
    if (length == 0) {
        out[0] = 0;
        return 0;
    }
    unsigned short wide[CT_LoadString::e_MaxLength + 1];
    int units = CT_StringConvert::si_MultiToWide(wide, narrow, length, 0);
    unsigned n = units > 0 ? static_cast<unsigned>(units) : 0;
    if (n >= capacity) n = capacity - 1;
    for (unsigned i = 0; i < n; ++i) out[i] = wide[i];
    out[n] = 0;
    return n;
}

}  // namespace

void CT_LoadString::sv_LoadString(CT_String* out, HINSTANCE module, unsigned int id) {
    if (CT_OS::sb_GetIsWindowsNT()) {
        unsigned short wide[e_MaxLength + 1];
        unsigned length = Platform::n_LoadStringW(module, id, wide, e_MaxLength + 1);
        out->v_Set(static_cast<unsigned short const*>(wide), length);
    } else {
        char narrow[e_MaxLength + 1];
        unsigned length = Platform::n_LoadStringA(module, id, narrow, e_MaxLength + 1);
        out->v_Set(static_cast<char const*>(narrow), length, ~1u);
    }
}

void CT_LoadString::sv_LoadString(unsigned short* out, unsigned int capacity, HINSTANCE module, unsigned int id) {
    n_LoadWide(out, capacity, module, id);
}

void CT_LoadString::sv_LoadStringVaList(CT_String* out, HINSTANCE module, unsigned int id, va_list args) {
    if (CT_CString* narrowOut = static_cast<CT_CString*>(out->vpv_IsKindOf(CT_CString::spcco_GetType()))) {
        char format[e_MaxLength + 1];
        if (Platform::n_LoadStringA(module, id, format, sizeof format) == 0) {
            narrowOut->v_Set(format, 0, ~1u);
            return;
        }
        char text[e_MaxLength + 1];
        std::vsnprintf(text, e_MaxLength + 1, format, args);
        narrowOut->v_Set(text, ~0u, ~1u);
    } else if (CT_UString* wideOut = static_cast<CT_UString*>(out->vpv_IsKindOf(CT_UString::spcco_GetType()))) {
        unsigned short format[e_MaxLength + 1];
        if (n_LoadWide(format, e_MaxLength + 1, module, id) == 0) {
            wideOut->v_Set(format, 0);
            return;
        }
        unsigned short text[e_MaxLength + 1];
        WideFormat::sn_Format(text, e_MaxLength + 1, format, args);
        wideOut->v_Set(static_cast<unsigned short const*>(text), ~0u);
    }
}

void CT_LoadString::sv_LoadStringVA(CT_String* out, HINSTANCE module, unsigned int id, ...) {
    va_list args;
    va_start(args, id);
    sv_LoadStringVaList(out, module, id, args);
    va_end(args);
}

void CT_LoadString::sv_LoadStringVA(unsigned short* out, unsigned int capacity, HINSTANCE module, unsigned int id,
                                    ...) {
    if (capacity == 0) return;
    unsigned short format[e_MaxLength + 1];
    if (n_LoadWide(format, e_MaxLength + 1, module, id) == 0) {
        out[0] = 0;
        return;
    }
    unsigned short text[e_MaxLength + 1];
    va_list args;
    va_start(args, id);
    WideFormat::sn_Format(text, e_MaxLength + 1, format, args);
    va_end(args);
    unsigned n = 0;
    for (; text[n] && n + 1 < capacity; ++n) out[n] = text[n];
    out[n] = 0;
}
