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

// Locale value types used by the library (the Windows LOCALE_* values).
enum : unsigned {
    e_LocaleILanguage = 0x01,
    e_LocaleSLanguage = 0x02,
    e_LocaleSEngLanguage = 0x1001,
    e_LocaleSAbbrevLangName = 0x03,
    e_LocaleSNativeLangName = 0x04,
    e_LocaleICountry = 0x05,
    e_LocaleSCountry = 0x06,
    e_LocaleSEngCountry = 0x1002,
    e_LocaleSAbbrevCtryName = 0x07,
    e_LocaleSNativeCtryName = 0x08,
    e_LocaleIDefaultLanguage = 0x09,
    e_LocaleIDefaultCountry = 0x0A,
    e_LocaleIDefaultCodePage = 0x0B,
    e_LocaleIDefaultAnsiCodePage = 0x1004,
    e_LocaleIDefaultMacCodePage = 0x1011,
    e_LocaleSList = 0x0C,
    e_LocaleIMeasure = 0x0D,
    e_LocaleSDecimal = 0x0E,
    e_LocaleSThousand = 0x0F,
    e_LocaleSGrouping = 0x10,
    e_LocaleIDigits = 0x11,
    e_LocaleILZero = 0x12,
    e_LocaleINegNumber = 0x1010,
    e_LocaleSNativeDigits = 0x13,
    e_LocaleSCurrency = 0x14,
    e_LocaleSIntlSymbol = 0x15,
    e_LocaleSMonDecimalSep = 0x16,
    e_LocaleSMonThousandSep = 0x17,
    e_LocaleSMonGrouping = 0x18,
    e_LocaleICurrDigits = 0x19,
    e_LocaleIIntlCurrDigits = 0x1A,
    e_LocaleICurrency = 0x1B,
    e_LocaleINegCurr = 0x1C,
    e_LocaleSDate = 0x1D,
    e_LocaleSTime = 0x1E,
    e_LocaleSShortDate = 0x1F,
    e_LocaleSLongDate = 0x20,
    e_LocaleSTimeFormat = 0x1003,
    e_LocaleIDate = 0x21,
    e_LocaleILDate = 0x22,
    e_LocaleITime = 0x23,
    e_LocaleITimeMarkPosn = 0x1005,
    e_LocaleICentury = 0x24,
    e_LocaleITLZero = 0x25,
    e_LocaleIDayLZero = 0x26,
    e_LocaleIMonLZero = 0x27,
    e_LocaleS1159 = 0x28,
    e_LocaleS2359 = 0x29,
    e_LocaleSDayName1 = 0x2A,           // Monday; 0x2B to 0x30 Tuesday to Sunday
    e_LocaleSAbbrevDayName1 = 0x31,     // Mon; 0x32 to 0x37 Tue to Sun
    e_LocaleSMonthName1 = 0x38,         // January; 0x39 to 0x43 February to December
    e_LocaleSAbbrevMonthName1 = 0x44,   // Jan; 0x45 to 0x4F Feb to Dec
    e_LocaleSPositiveSign = 0x50,
    e_LocaleSNegativeSign = 0x51,
    e_LocaleIPosSignPosn = 0x52,
    e_LocaleINegSignPosn = 0x53,
    e_LocaleIPosSymPrecedes = 0x54,
    e_LocaleIPosSepBySpace = 0x55,
    e_LocaleINegSymPrecedes = 0x56,
    e_LocaleINegSepBySpace = 0x57,
    e_LocaleICalendarType = 0x1009,
    e_LocaleIOptionalCalendar = 0x100B,
    e_LocaleIFirstDayOfWeek = 0x100C,
    e_LocaleIFirstWeekOfYear = 0x100D,
    e_LocaleSMonthName13 = 0x100E,
    e_LocaleSAbbrevMonthName13 = 0x100F,
    e_LocaleSYearMonth = 0x1006,
    e_LocaleIDigitSubstitution = 0x1014,
};

// Flags of the value and formatting calls (the Windows values).
enum : unsigned {
    e_LocaleNoUserOverride = 0x80000000u,
    e_LocaleReturnNumber = 0x20000000u,  // GetLocaleInfoW: the value as a 32-bit number
    e_DateShortDate = 0x1,
    e_DateLongDate = 0x2,
    e_DateUseAltCalendar = 0x4,
    e_DateYearMonth = 0x8,
    e_TimeNoMinutesOrSeconds = 0x1,
    e_TimeNoSeconds = 0x2,
    e_TimeNoTimeMarker = 0x4,
    e_TimeForce24HourFormat = 0x8,
};

// IsValidLocale's flags.
enum : unsigned { e_LocaleInstalled = 1, e_LocaleSupported = 2 };

// Calendar identifiers (CAL_*) and the calendar-information kinds.
enum : unsigned {
    e_CalendarGregorian = 1,
    e_CalendarGregorianUS = 2,
    e_CalendarJapan = 3,
    e_CalendarTaiwan = 4,
    e_CalendarKorea = 5,
    e_CalendarHijri = 6,
    e_CalendarThai = 7,
    e_CalendarHebrew = 8,
    e_CalendarAll = 0xFFFFFFFFu,          // ENUM_ALL_CALENDARS
    e_CalInfoCalendarId = 0x01,           // CAL_ICALINTVALUE
    e_CalInfoCalendarName = 0x02,         // CAL_SCALNAME
    e_CalInfoEraName = 0x04,              // CAL_SERASTRING
};

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
