// CT_LocaleInfo: the platform's locale services for the library: default
// locales, locale validity, locale values as text or numbers, and the
// default code page and character set of a locale, with fallback tables
// for when the platform cannot tell. All static.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_String;
class CT_UString;
class CT_StringOrdinalMap;

class BASIS_API CT_LocaleInfo {
public:
    // The platform's locale value identifiers (LOCALE_*); any other value of
    // the platform may be passed as well.
    enum et_Type : unsigned {
        e_ILanguage = 0x01,
        e_SLanguage = 0x02,
        e_ICountry = 0x05,
        e_SCountry = 0x06,
        e_IDefaultLanguage = 0x09,
        e_IDefaultCountry = 0x0A,
        e_IDefaultCodePage = 0x0B,
        e_SList = 0x0C,
        e_IMeasure = 0x0D,
        e_SDecimal = 0x0E,
        e_SThousand = 0x0F,
        e_SGrouping = 0x10,
        e_IDigits = 0x11,
        e_ILZero = 0x12,
        e_SCurrency = 0x14,
        e_ICurrDigits = 0x19,
        e_IIntlCurrDigits = 0x1A,
        e_ICurrency = 0x1B,
        e_INegCurr = 0x1C,
        e_SDate = 0x1D,
        e_STime = 0x1E,
        e_SShortDate = 0x1F,
        e_SLongDate = 0x20,
        e_IDate = 0x21,
        e_ILDate = 0x22,
        e_ITime = 0x23,
        e_ICentury = 0x24,
        e_ITLZero = 0x25,
        e_IDayLZero = 0x26,
        e_IMonLZero = 0x27,
        e_S1159 = 0x28,
        e_S2359 = 0x29,
        e_SDayName1 = 0x2A,
        e_SAbbrevDayName1 = 0x31,
        e_SMonthName1 = 0x38,
        e_SAbbrevMonthName1 = 0x44,
        e_IPosSignPosn = 0x52,
        e_INegSignPosn = 0x53,
        e_IPosSymPrecedes = 0x54,
        e_IPosSepBySpace = 0x55,
        e_INegSymPrecedes = 0x56,
        e_INegSepBySpace = 0x57,
        e_STimeFormat = 0x1003,
        e_IDefaultAnsiCodePage = 0x1004,
        e_ITimeMarkPosn = 0x1005,
        e_ICalendarType = 0x1009,
        e_IOptionalCalendar = 0x100B,
        e_IFirstDayOfWeek = 0x100C,
        e_IFirstWeekOfYear = 0x100D,
        e_SMonthName13 = 0x100E,
        e_SAbbrevMonthName13 = 0x100F,
        e_INegNumber = 0x1010,
    };

    static unsigned sn_GetSystemDefaultLCID();
    static unsigned sn_GetUserDefaultLCID();
    static unsigned sn_GetSystemDefaultLangID();
    static unsigned sn_GetUserDefaultLangID();

    // The platform's locale validity test: "supported" (2) or "installed" (1).
    static int sb_LocaleIsSupported(unsigned nLCID);
    static int sb_LocaleIsInstalled(unsigned nLCID);

    // nSortID · 65536 + the low 16 bits of nLangID.
    static unsigned sn_MakeLocaleID(unsigned nLangID, unsigned nSortID);
    // Bits 0 to 9; bits 10 to 15.
    static unsigned sn_GetPrimaryLangID(unsigned nLCID);
    static unsigned sn_GetSubLangID(unsigned nLCID);

    static int sb_IsValidCodePage(unsigned nCodePage);

    // The platform's narrow value into pcBuffer (nSize bytes with the zero);
    // false for an unsupported locale or a failure.
    static int sb_GetLocaleInfo(unsigned nLCID, et_Type eType, char* pcBuffer, unsigned nSize);
    // The value as a string, up to 128 characters (wide from the platform's
    // wide services); false for an unsupported locale or a failure.
    static int sb_GetLocaleInfo(unsigned nLCID, et_Type eType, CT_String* pcoOut);
    // A numeric value, for the numeric types only (others yield false): the
    // value's text (at most 64 bytes) read as a decimal number.
    static int sb_GetLocaleInfo(unsigned nLCID, et_Type eType, unsigned* pnValue);

    // The default ANSI code page and character set of a locale, and the
    // locale of a character set or code page, by the fallback tables where
    // the platform does not tell.
    static unsigned sn_GetDefaultANSICodePage(unsigned nLCID);
    static unsigned sn_GetDefaultCharset(unsigned nLCID);
    static unsigned sn_GetDefaultCharsetLocale(unsigned nCharset);
    static unsigned sn_GetDefaultCPLocale(unsigned nCodePage);

    // out := the distinct values of eType over the installed locales, in the
    // order met, each but the first preceded by cSeparator when it is not 0.
    // Keeps its collection in statics: two calls must not overlap.
    static void sv_CollectValues(et_Type eType, unsigned short cSeparator, CT_UString* pcoOut);

private:
    // Adds the value of seo_LocaleType for the locale named by hexId (the
    // platform's enumeration callback); always asks to continue.
    static int sb_CollectLocaleInfo(unsigned short const* hexId, void* context);
    static int sb_IsNumericType(unsigned nType);

    static CT_StringOrdinalMap* spco_Map;
    static et_Type seo_LocaleType;
};
