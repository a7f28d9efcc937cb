// The system's locales: values by locale identifier (LCID) and value type,
// the default and thread locales, locale validity and enumeration, calendar
// information, and dates, times and numbers formatted by a Windows picture
// or number-format record.
//
// Windows: GetLocaleInfoW/A, GetDateFormatW/A, GetTimeFormatW/A,
// GetNumberFormatA, EnumSystemLocalesW, EnumCalendarInfoA, IsValidLocale,
// GetThreadLocale/SetThreadLocale, GetUserDefaultLCID and the others.
// Linux: ICU's locale data, the LCID mapped to an ICU locale by ICU's LCID
// functions; the names, separators and calendar settings come from ICU, and
// ICU's date patterns are translated into Windows pictures in one place
// (Posix/LocalePattern.cpp). The picture language and the number-format
// rules are carried out by the library (Posix/LocaleFormat.cpp), so both
// builds format alike. The default locales follow the process locale
// (LC_ALL, then LC_TIME or LC_CTYPE, then LANG; C and POSIX give 1033).
//
// Wide texts are UTF-16 units. A narrow text is in the locale's default
// ANSI code page. Text results follow the Windows rules: with room 0 the
// length needed (with the terminating zero) is returned and nothing is
// written; otherwise the characters written with the zero. A call that
// fails returns 0 and leaves a system error code as the thread's last
// error (Platform::n_GetLastError).
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// Locale value types used by the library (the Windows LOCALE_* values),
// plain unsigned constants so that they combine with the flags below.
inline constexpr unsigned e_LocaleILanguage = 0x01;
inline constexpr unsigned e_LocaleSLanguage = 0x02;
inline constexpr unsigned e_LocaleSEngLanguage = 0x1001;
inline constexpr unsigned e_LocaleSAbbrevLangName = 0x03;
inline constexpr unsigned e_LocaleSNativeLangName = 0x04;
inline constexpr unsigned e_LocaleICountry = 0x05;
inline constexpr unsigned e_LocaleSCountry = 0x06;
inline constexpr unsigned e_LocaleSEngCountry = 0x1002;
inline constexpr unsigned e_LocaleSAbbrevCtryName = 0x07;
inline constexpr unsigned e_LocaleSNativeCtryName = 0x08;
inline constexpr unsigned e_LocaleIDefaultLanguage = 0x09;
inline constexpr unsigned e_LocaleIDefaultCountry = 0x0A;
inline constexpr unsigned e_LocaleIDefaultCodePage = 0x0B;
inline constexpr unsigned e_LocaleIDefaultAnsiCodePage = 0x1004;
inline constexpr unsigned e_LocaleIDefaultMacCodePage = 0x1011;
inline constexpr unsigned e_LocaleSList = 0x0C;
inline constexpr unsigned e_LocaleIMeasure = 0x0D;
inline constexpr unsigned e_LocaleSDecimal = 0x0E;
inline constexpr unsigned e_LocaleSThousand = 0x0F;
inline constexpr unsigned e_LocaleSGrouping = 0x10;
inline constexpr unsigned e_LocaleIDigits = 0x11;
inline constexpr unsigned e_LocaleILZero = 0x12;
inline constexpr unsigned e_LocaleINegNumber = 0x1010;
inline constexpr unsigned e_LocaleSNativeDigits = 0x13;
inline constexpr unsigned e_LocaleSCurrency = 0x14;
inline constexpr unsigned e_LocaleSIntlSymbol = 0x15;
inline constexpr unsigned e_LocaleSMonDecimalSep = 0x16;
inline constexpr unsigned e_LocaleSMonThousandSep = 0x17;
inline constexpr unsigned e_LocaleSMonGrouping = 0x18;
inline constexpr unsigned e_LocaleICurrDigits = 0x19;
inline constexpr unsigned e_LocaleIIntlCurrDigits = 0x1A;
inline constexpr unsigned e_LocaleICurrency = 0x1B;
inline constexpr unsigned e_LocaleINegCurr = 0x1C;
inline constexpr unsigned e_LocaleSDate = 0x1D;
inline constexpr unsigned e_LocaleSTime = 0x1E;
inline constexpr unsigned e_LocaleSShortDate = 0x1F;
inline constexpr unsigned e_LocaleSLongDate = 0x20;
inline constexpr unsigned e_LocaleSTimeFormat = 0x1003;
inline constexpr unsigned e_LocaleIDate = 0x21;
inline constexpr unsigned e_LocaleILDate = 0x22;
inline constexpr unsigned e_LocaleITime = 0x23;
inline constexpr unsigned e_LocaleITimeMarkPosn = 0x1005;
inline constexpr unsigned e_LocaleICentury = 0x24;
inline constexpr unsigned e_LocaleITLZero = 0x25;
inline constexpr unsigned e_LocaleIDayLZero = 0x26;
inline constexpr unsigned e_LocaleIMonLZero = 0x27;
inline constexpr unsigned e_LocaleS1159 = 0x28;
inline constexpr unsigned e_LocaleS2359 = 0x29;
inline constexpr unsigned e_LocaleSDayName1 = 0x2A;           // Monday; 0x2B to 0x30 Tuesday to Sunday
inline constexpr unsigned e_LocaleSAbbrevDayName1 = 0x31;     // Mon; 0x32 to 0x37 Tue to Sun
inline constexpr unsigned e_LocaleSMonthName1 = 0x38;         // January; 0x39 to 0x43 February to December
inline constexpr unsigned e_LocaleSAbbrevMonthName1 = 0x44;   // Jan; 0x45 to 0x4F Feb to Dec
inline constexpr unsigned e_LocaleSPositiveSign = 0x50;
inline constexpr unsigned e_LocaleSNegativeSign = 0x51;
inline constexpr unsigned e_LocaleIPosSignPosn = 0x52;
inline constexpr unsigned e_LocaleINegSignPosn = 0x53;
inline constexpr unsigned e_LocaleIPosSymPrecedes = 0x54;
inline constexpr unsigned e_LocaleIPosSepBySpace = 0x55;
inline constexpr unsigned e_LocaleINegSymPrecedes = 0x56;
inline constexpr unsigned e_LocaleINegSepBySpace = 0x57;
inline constexpr unsigned e_LocaleICalendarType = 0x1009;
inline constexpr unsigned e_LocaleIOptionalCalendar = 0x100B;
inline constexpr unsigned e_LocaleIFirstDayOfWeek = 0x100C;
inline constexpr unsigned e_LocaleIFirstWeekOfYear = 0x100D;
inline constexpr unsigned e_LocaleSMonthName13 = 0x100E;
inline constexpr unsigned e_LocaleSAbbrevMonthName13 = 0x100F;
inline constexpr unsigned e_LocaleSYearMonth = 0x1006;
inline constexpr unsigned e_LocaleIDigitSubstitution = 0x1014;

// Flags of the value and formatting calls (the Windows values).
inline constexpr unsigned e_LocaleNoUserOverride = 0x80000000u;
inline constexpr unsigned e_LocaleReturnNumber = 0x20000000u;  // GetLocaleInfoW: the value as a 32-bit number
inline constexpr unsigned e_DateShortDate = 0x1;
inline constexpr unsigned e_DateLongDate = 0x2;
inline constexpr unsigned e_DateUseAltCalendar = 0x4;
inline constexpr unsigned e_DateYearMonth = 0x8;
inline constexpr unsigned e_TimeNoMinutesOrSeconds = 0x1;
inline constexpr unsigned e_TimeNoSeconds = 0x2;
inline constexpr unsigned e_TimeNoTimeMarker = 0x4;
inline constexpr unsigned e_TimeForce24HourFormat = 0x8;

// IsValidLocale's flags.
inline constexpr unsigned e_LocaleInstalled = 1, e_LocaleSupported = 2;

// Calendar identifiers (CAL_*) and the calendar-information kinds.
inline constexpr unsigned e_CalendarGregorian = 1;
inline constexpr unsigned e_CalendarGregorianUS = 2;
inline constexpr unsigned e_CalendarJapan = 3;
inline constexpr unsigned e_CalendarTaiwan = 4;
inline constexpr unsigned e_CalendarKorea = 5;
inline constexpr unsigned e_CalendarHijri = 6;
inline constexpr unsigned e_CalendarThai = 7;
inline constexpr unsigned e_CalendarHebrew = 8;
inline constexpr unsigned e_CalendarAll = 0xFFFFFFFFu;          // ENUM_ALL_CALENDARS
inline constexpr unsigned e_CalInfoCalendarId = 0x01;           // CAL_ICALINTVALUE
inline constexpr unsigned e_CalInfoCalendarName = 0x02;         // CAL_SCALNAME
inline constexpr unsigned e_CalInfoEraName = 0x04;              // CAL_SERASTRING

// A point in time as the Windows SYSTEMTIME lays it out.
struct st_SystemTime {
    unsigned short n_Year;
    unsigned short n_Month;      // 1 to 12 (13 where a calendar has it)
    unsigned short n_DayOfWeek;  // 0 Sunday to 6 Saturday
    unsigned short n_Day;
    unsigned short n_Hour;
    unsigned short n_Minute;
    unsigned short n_Second;
    unsigned short n_Milliseconds;
};

// The Windows NUMBERFMT record, narrow and wide.
struct st_NumberFormat {
    unsigned n_NumDigits;      // digits after the decimal separator
    unsigned n_LeadingZero;    // 1: "0.5", 0: ".5"
    unsigned n_Grouping;       // 0 to 9, or 32 for the Indian 3;2 grouping
    char const* qccz_DecimalSep;
    char const* qccz_ThousandSep;
    unsigned n_NegativeOrder;  // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
};
struct st_NumberFormatW {
    unsigned n_NumDigits;
    unsigned n_LeadingZero;
    unsigned n_Grouping;
    unsigned short const* qcuz_DecimalSep;
    unsigned short const* qcuz_ThousandSep;
    unsigned n_NegativeOrder;
};

// Default locales (GetUserDefaultLCID, GetSystemDefaultLCID and the
// language-id forms, the low 16 bits of those).
BASIS_API unsigned n_GetUserDefaultLCID();
BASIS_API unsigned n_GetSystemDefaultLCID();
BASIS_API unsigned n_GetUserDefaultLangID();
BASIS_API unsigned n_GetSystemDefaultLangID();

// The calling thread's locale (GetThreadLocale); at first the user default.
BASIS_API unsigned n_GetThreadLocale();
// Sets it (SetThreadLocale); false for an unsupported locale.
BASIS_API int b_SetThreadLocale(unsigned lcid);

// IsValidLocale with e_LocaleInstalled or e_LocaleSupported.
BASIS_API int b_IsValidLocale(unsigned lcid, unsigned flags);

// GetLocaleInfoW and GetLocaleInfoA. lcid 0 is the user default locale.
// With e_LocaleReturnNumber in type, the wide form writes the number as two
// UTF-16 units (its low and high halves) and returns 2.
BASIS_API int i_GetLocaleInfoW(unsigned lcid, unsigned type, unsigned short* buffer, int room);
BASIS_API int i_GetLocaleInfoA(unsigned lcid, unsigned type, char* buffer, int room);

// GetDateFormatW/A and GetTimeFormatW/A: time null is the present local
// time; picture null takes the locale's picture chosen by flags.
BASIS_API int i_GetDateFormatW(unsigned lcid, unsigned flags, st_SystemTime const* time, unsigned short const* picture,
                               unsigned short* buffer, int room);
BASIS_API int i_GetDateFormatA(unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture,
                               char* buffer, int room);
BASIS_API int i_GetTimeFormatW(unsigned lcid, unsigned flags, st_SystemTime const* time, unsigned short const* picture,
                               unsigned short* buffer, int room);
BASIS_API int i_GetTimeFormatA(unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture,
                               char* buffer, int room);

// GetNumberFormatA/W: value is a decimal text ("-1234.5"); format null
// takes the locale's own settings.
BASIS_API int i_GetNumberFormatA(unsigned lcid, unsigned flags, char const* value, st_NumberFormat const* format,
                                 char* buffer, int room);
BASIS_API int i_GetNumberFormatW(unsigned lcid, unsigned flags, unsigned short const* value,
                                 st_NumberFormatW const* format, unsigned short* buffer, int room);

// EnumSystemLocalesW over the installed locales (e_LocaleInstalled) or all
// supported ones: calls back with the identifier as eight hexadecimal
// digits, "00000409", until the callback returns 0.
using pf_EnumLocale = int (*)(unsigned short const* hexId, void* context);
BASIS_API int b_EnumSystemLocalesW(pf_EnumLocale callback, void* context, unsigned flags);

// EnumCalendarInfoA: calls back with each piece of calendar information of
// the given kind for the calendar (or every calendar of the locale with
// e_CalendarAll) until the callback returns 0. The text is in the locale's
// ANSI code page.
using pf_EnumCalendarInfo = int (*)(char const* text, void* context);
BASIS_API int b_EnumCalendarInfoA(pf_EnumCalendarInfo callback, void* context, unsigned lcid, unsigned calendar,
                                  unsigned kind);

}  // namespace Platform
