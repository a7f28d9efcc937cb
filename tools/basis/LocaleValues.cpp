#include "tools/basis/LocaleValues.h"

#include <cstdio>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Locale.h"

st_LocaleValueType const aso_LocaleValueTypes[] = {
    {0x01, "ILANGUAGE", true},       {0x02, "SLANGUAGE", false},       {0x1001, "SENGLANGUAGE", false},
    {0x03, "SABBREVLANGNAME", false}, {0x04, "SNATIVELANGNAME", false}, {0x05, "ICOUNTRY", true},
    {0x06, "SCOUNTRY", false},       {0x1002, "SENGCOUNTRY", false},   {0x07, "SABBREVCTRYNAME", false},
    {0x08, "SNATIVECTRYNAME", false}, {0x09, "IDEFAULTLANGUAGE", true}, {0x0A, "IDEFAULTCOUNTRY", true},
    {0x0B, "IDEFAULTCODEPAGE", true}, {0x1004, "IDEFAULTANSICODEPAGE", true},
    {0x1011, "IDEFAULTMACCODEPAGE", false}, {0x0C, "SLIST", false}, {0x0D, "IMEASURE", true},
    {0x0E, "SDECIMAL", false},       {0x0F, "STHOUSAND", false},       {0x10, "SGROUPING", false},
    {0x11, "IDIGITS", true},         {0x12, "ILZERO", true},           {0x1010, "INEGNUMBER", true},
    {0x13, "SNATIVEDIGITS", false},  {0x14, "SCURRENCY", false},       {0x15, "SINTLSYMBOL", false},
    {0x16, "SMONDECIMALSEP", false}, {0x17, "SMONTHOUSANDSEP", false}, {0x18, "SMONGROUPING", false},
    {0x19, "ICURRDIGITS", true},     {0x1A, "IINTLCURRDIGITS", true},  {0x1B, "ICURRENCY", true},
    {0x1C, "INEGCURR", true},        {0x1D, "SDATE", false},           {0x1E, "STIME", false},
    {0x1F, "SSHORTDATE", false},     {0x20, "SLONGDATE", false},       {0x1003, "STIMEFORMAT", false},
    {0x1006, "SYEARMONTH", false},   {0x21, "IDATE", true},            {0x22, "ILDATE", true},
    {0x23, "ITIME", true},           {0x1005, "ITIMEMARKPOSN", true},  {0x24, "ICENTURY", true},
    {0x25, "ITLZERO", true},         {0x26, "IDAYLZERO", true},        {0x27, "IMONLZERO", true},
    {0x28, "S1159", false},          {0x29, "S2359", false},
    {0x2A, "SDAYNAME1", false},      {0x2B, "SDAYNAME2", false},       {0x2C, "SDAYNAME3", false},
    {0x2D, "SDAYNAME4", false},      {0x2E, "SDAYNAME5", false},       {0x2F, "SDAYNAME6", false},
    {0x30, "SDAYNAME7", false},      {0x31, "SABBREVDAYNAME1", false}, {0x32, "SABBREVDAYNAME2", false},
    {0x33, "SABBREVDAYNAME3", false}, {0x34, "SABBREVDAYNAME4", false}, {0x35, "SABBREVDAYNAME5", false},
    {0x36, "SABBREVDAYNAME6", false}, {0x37, "SABBREVDAYNAME7", false},
    {0x38, "SMONTHNAME1", false},    {0x39, "SMONTHNAME2", false},     {0x3A, "SMONTHNAME3", false},
    {0x3B, "SMONTHNAME4", false},    {0x3C, "SMONTHNAME5", false},     {0x3D, "SMONTHNAME6", false},
    {0x3E, "SMONTHNAME7", false},    {0x3F, "SMONTHNAME8", false},     {0x40, "SMONTHNAME9", false},
    {0x41, "SMONTHNAME10", false},   {0x42, "SMONTHNAME11", false},    {0x43, "SMONTHNAME12", false},
    {0x100E, "SMONTHNAME13", false},
    {0x44, "SABBREVMONTHNAME1", false}, {0x45, "SABBREVMONTHNAME2", false}, {0x46, "SABBREVMONTHNAME3", false},
    {0x47, "SABBREVMONTHNAME4", false}, {0x48, "SABBREVMONTHNAME5", false}, {0x49, "SABBREVMONTHNAME6", false},
    {0x4A, "SABBREVMONTHNAME7", false}, {0x4B, "SABBREVMONTHNAME8", false}, {0x4C, "SABBREVMONTHNAME9", false},
    {0x4D, "SABBREVMONTHNAME10", false}, {0x4E, "SABBREVMONTHNAME11", false}, {0x4F, "SABBREVMONTHNAME12", false},
    {0x100F, "SABBREVMONTHNAME13", false},
    {0x50, "SPOSITIVESIGN", false},  {0x51, "SNEGATIVESIGN", false},   {0x52, "IPOSSIGNPOSN", true},
    {0x53, "INEGSIGNPOSN", true},    {0x54, "IPOSSYMPRECEDES", true},  {0x55, "IPOSSEPBYSPACE", true},
    {0x56, "INEGSYMPRECEDES", true}, {0x57, "INEGSEPBYSPACE", true},   {0x1009, "ICALENDARTYPE", true},
    {0x100B, "IOPTIONALCALENDAR", true}, {0x100C, "IFIRSTDAYOFWEEK", true}, {0x100D, "IFIRSTWEEKOFYEAR", true},
};
unsigned const n_LocaleValueTypes = sizeof aso_LocaleValueTypes / sizeof aso_LocaleValueTypes[0];

std::string s_Visible(unsigned short const* text) {
    std::string out;
    for (unsigned short const* p = text; *p; ++p) {
        unsigned short c = *p;
        bool hidden = c < 0x20 || c == 0x7F || c == 0xA0 || (c >= 0x2000 && c <= 0x200F) || c == 0x202F ||
                      c == 0x061C || c == 0x2028 || c == 0x2029 || c == 0x3000;
        if (hidden) {
            char code[12];
            std::snprintf(code, sizeof code, "<U+%04X>", c);
            out += code;
            continue;
        }
        unsigned short one[2] = {c, 0};
        // A surrogate pair is converted as a pair.
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            unsigned short pair[3] = {c, p[1], 0};
            out += CT_CString(pair, ~0u, 65001).qccz_Get();
            ++p;
            continue;
        }
        out += CT_CString(one, ~0u, 65001).qccz_Get();
    }
    return out;
}

std::string s_LocaleValue(unsigned lcid, unsigned type) {
    unsigned short text[256];
    if (Platform::i_GetLocaleInfoW(lcid, type, text, 256) == 0) return "<none>";
    text[255] = 0;
    return s_Visible(text);
}
