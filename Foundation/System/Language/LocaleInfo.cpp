#include "Foundation/System/Language/LocaleInfo.h"

#include <climits>

#include "Foundation/Basis/Lexicon/StringMap.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/CodePage.h"
#include "Foundation/Platform/Locale.h"
#include "Foundation/System/SysInfo/OS.h"

CT_StringOrdinalMap* CT_LocaleInfo::spco_Map = nullptr;
CT_LocaleInfo::et_Type CT_LocaleInfo::seo_LocaleType = CT_LocaleInfo::e_ILanguage;

namespace {

// The leading decimal digits of a text as a number (0 when there are none);
// digits past what 32 bits hold wrap, as the runtime's reading does not
// promise better and nothing here reads outside the text.
unsigned n_Decimal(char const* text) {
    unsigned value = 0;
    while (*text == ' ') ++text;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<unsigned>(*text - '0');
    return value;
}

int i_Room(unsigned size) { return size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size); }

// The platform's locale services have wide forms on the NT family; the
// Linux stand-in has them always.
int b_HasWideLocaleServices() {
#ifdef _WIN32
    return CT_OS::sb_GetIsWindowsNT();
#else
    return 1;
#endif
}

}  // namespace

unsigned CT_LocaleInfo::sn_GetSystemDefaultLCID() { return Platform::n_GetSystemDefaultLCID(); }
unsigned CT_LocaleInfo::sn_GetUserDefaultLCID() { return Platform::n_GetUserDefaultLCID(); }
unsigned CT_LocaleInfo::sn_GetSystemDefaultLangID() { return Platform::n_GetSystemDefaultLangID(); }
unsigned CT_LocaleInfo::sn_GetUserDefaultLangID() { return Platform::n_GetUserDefaultLangID(); }

int CT_LocaleInfo::sb_LocaleIsSupported(unsigned nLCID) {
    return Platform::b_IsValidLocale(nLCID, Platform::e_LocaleSupported);
}
int CT_LocaleInfo::sb_LocaleIsInstalled(unsigned nLCID) {
    return Platform::b_IsValidLocale(nLCID, Platform::e_LocaleInstalled);
}

unsigned CT_LocaleInfo::sn_MakeLocaleID(unsigned nLangID, unsigned nSortID) {
    return nSortID * 65536u + (nLangID & 0xFFFF);
}
unsigned CT_LocaleInfo::sn_GetPrimaryLangID(unsigned nLCID) { return nLCID & 0x3FF; }
unsigned CT_LocaleInfo::sn_GetSubLangID(unsigned nLCID) { return nLCID >> 10 & 63; }

int CT_LocaleInfo::sb_IsValidCodePage(unsigned nCodePage) { return Platform::b_IsValidCodePage(nCodePage); }

int CT_LocaleInfo::sb_GetLocaleInfo(unsigned nLCID, et_Type eType, char* pcBuffer, unsigned nSize) {
    if (!sb_LocaleIsSupported(nLCID)) return 0;
    // A size with no buffer is not valid: ask for nothing then.
    if (!pcBuffer) nSize = 0;
    return Platform::i_GetLocaleInfoA(nLCID, eType, pcBuffer, i_Room(nSize)) != 0;
}

int CT_LocaleInfo::sb_GetLocaleInfo(unsigned nLCID, et_Type eType, CT_String* pcoOut) {
    if (!pcoOut || !sb_LocaleIsSupported(nLCID)) return 0;
    if (b_HasWideLocaleServices()) {
        unsigned short text[129];
        int n = Platform::i_GetLocaleInfoW(nLCID, eType, text, 128);
        if (n == 0) return 0;
        text[128] = 0;
        pcoOut->v_Set(text, ~0u);
        return 1;
    }
    char text[129];
    int n = Platform::i_GetLocaleInfoA(nLCID, eType, text, 128);
    if (n == 0) return 0;
    text[128] = 0;
    pcoOut->v_Set(text, ~0u, sn_GetDefaultANSICodePage(nLCID));
    return 1;
}

int CT_LocaleInfo::sb_IsNumericType(unsigned nType) {
    switch (nType) {
    case 1: case 5: case 9: case 10: case 11: case 13: case 17: case 18: case 25: case 26: case 27: case 28:
    case 33: case 34: case 35: case 36: case 37: case 38: case 39:
    case 82: case 83: case 84: case 85: case 86: case 87:
    case 4100: case 4101: case 4105: case 4107: case 4108: case 4109: case 4112:
        return 1;
    default:
        return 0;
    }
}

int CT_LocaleInfo::sb_GetLocaleInfo(unsigned nLCID, et_Type eType, unsigned* pnValue) {
    if (!pnValue || !sb_IsNumericType(eType)) return 0;
    char text[65] = {0};
    if (!sb_GetLocaleInfo(nLCID, eType, text, 64)) return 0;
    text[64] = 0;
    *pnValue = n_Decimal(text);
    return 1;
}

unsigned CT_LocaleInfo::sn_GetDefaultANSICodePage(unsigned nLCID) {
    char text[9] = {0};
    if (Platform::i_GetLocaleInfoA(nLCID, e_IDefaultAnsiCodePage, text, 8) != 0) {
        text[8] = 0;
        return n_Decimal(text);
    }
    unsigned primary = nLCID & 0x3FF, sub = nLCID >> 10 & 63;
    switch (primary) {
    case 1: case 41: return 1256;
    case 2: case 25: case 34: case 35: return 1251;
    case 4: return sub == 1 || sub == 3 ? 950 : 936;
    case 5: case 14: case 21: case 24: case 26: case 27: case 36: case 56: return 1250;
    case 8: return 1253;
    case 13: return 1255;
    case 17: return 932;
    case 18: return sub == 2 ? 1361 : 949;
    case 30: return 874;
    case 31: return 1254;
    case 37: case 38: case 39: return 1257;
    default: return 1252;
    }
}

unsigned CT_LocaleInfo::sn_GetDefaultCharset(unsigned nLCID) {
    switch (sn_GetDefaultANSICodePage(nLCID)) {
    case 874: return 222;
    case 932: return 128;
    case 936: return 134;
    case 949: return 129;
    case 950: return 136;
    case 1250: return 238;
    case 1251: return 204;
    case 1252: return 0;
    case 1253: return 161;
    case 1254: return 162;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1361: return 130;
    default: return 1;
    }
}

unsigned CT_LocaleInfo::sn_GetDefaultCharsetLocale(unsigned nCharset) {
    switch (nCharset) {
    case 0: return 1033;
    case 128: return 1041;
    case 129: return 1042;
    case 130: return 2061;
    case 134: return 2052;
    case 136: return 1028;
    case 161: return 1032;
    case 162: return 1055;
    case 177: return 1037;
    case 178: return 1025;
    case 186: return 1063;
    case 204: return 1049;
    case 222: return 1054;
    case 238: return 1029;
    default: return sn_GetSystemDefaultLangID();
    }
}

unsigned CT_LocaleInfo::sn_GetDefaultCPLocale(unsigned nCodePage) {
    switch (nCodePage) {
    case 874: return 1054;
    case 932: return 1041;
    case 936: return 2052;
    case 949: return 1042;
    case 950: return 1028;
    case 1250: return 1029;
    case 1251: return 1049;
    case 1252: return 1033;
    case 1253: return 1032;
    case 1254: return 1055;
    case 1255: return 1037;
    case 1256: return 1025;
    case 1257: return 1063;
    case 1361: return 2061;
    default: return sn_GetSystemDefaultLangID();
    }
}

int CT_LocaleInfo::sb_CollectLocaleInfo(unsigned short const* hexId, void*) {
    unsigned lcid = 0;
    for (unsigned i = 0; hexId && hexId[i] && i < 8; ++i) {
        unsigned short c = hexId[i];
        unsigned digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10
                       : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 16;
        if (digit == 16) return 1;  // not an identifier: skipped
        lcid = lcid * 16 + digit;
    }
    CT_UString value;
    if (spco_Map && sb_GetLocaleInfo(lcid, seo_LocaleType, &value) && spco_Map->n_Get(&value) == 0)
        spco_Map->v_Insert(&value);
    return 1;
}

void CT_LocaleInfo::sv_CollectValues(et_Type eType, unsigned short cSeparator, CT_UString* pcoOut) {
    if (!pcoOut) return;
    pcoOut->vv_SetLength(0);
    if (!b_HasWideLocaleServices()) return;
    CT_StringOrdinalMap collection(8);
    spco_Map = &collection;
    seo_LocaleType = eType;
    Platform::b_EnumSystemLocalesW(&sb_CollectLocaleInfo, nullptr, Platform::e_LocaleInstalled);
    spco_Map = nullptr;
    for (unsigned i = 1; i <= collection.n_GetCount(); ++i) {
        if (i > 1 && cSeparator) pcoOut->v_Append(cSeparator);
        pcoOut->v_Append(collection.pcco_Get(i), ~0u);
    }
}
