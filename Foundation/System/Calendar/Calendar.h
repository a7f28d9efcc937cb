// CT_Calendar: the calendars a locale may use beside the Gregorian one.
//
// The Hijri (arithmetical Islamic) and Hebrew calendars are converted
// exactly, through the absolute day number (CalendarDays.h); the Japanese,
// Taiwanese, Korean and Thai calendars differ from the Gregorian one only in
// their year numbering, which the era table gives as a year offset.
//
// Dates travel in a runtime struct tm whose tm_year is the full year (not
// years since 1900), tm_mon counts from 0 and tm_mday from 1.
//
// sacz_EnumInfo is one work area shared by every thread: the calendar-name
// lookups must not run on two threads at once.
#pragma once

#include <ctime>

#include "Foundation/Platform/Export.h"

class CT_CString;

class BASIS_API CT_Calendar {
public:
    // The platform's calendar identifiers; 301 to 303 are the Japanese eras
    // before the present one.
    enum et_ID {
        e_NoID = 0,
        e_Gregorian = 1,
        e_GregorianUS = 2,
        e_Japanese = 3,
        e_Taiwanese = 4,
        e_Korean = 5,
        e_Hijri = 6,
        e_Thai = 7,
        e_Hebrew = 8,
        e_Showa = 301,
        e_Taisho = 302,
        e_Meiji = 303,
    };
    // The calendar types: the same numbers without the earlier eras.
    enum et_Type {
        e_NoType = 0,
        e_GregorianType = 1,
        e_GregorianUSType = 2,
        e_JapaneseType = 3,
        e_TaiwaneseType = 4,
        e_KoreanType = 5,
        e_HijriType = 6,
        e_ThaiType = 7,
        e_HebrewType = 8,
    };
    struct et_EraInfo {
        et_ID eo_ID;
        et_Type eo_Type;
        int i_Offset;
        unsigned short const* qcuz_Era;
    };

    // Gregorian date to the calendar id: Hijri and Hebrew exactly, any other
    // id by the year offset of its first era-table entry (none: unchanged).
    static void sv_Gregorian2Alternate(struct tm* date, et_ID id);
    static void sv_Alternate2Gregorian(struct tm* date, et_ID id);

    // tm_yday from the day count of the date's year (from 0); tm_wday from
    // the absolute day when tm_wday is -1.
    static void sv_AddYearWeekday(struct tm* date);
    // Whether tm_mday fits tm_mon + 1 in the Gregorian year tm_year; month 13
    // never fits; the lower bound of tm_mday is not checked.
    static int sb_ValidateTM(struct tm* date);

    // The locale's calendar type (locale value 4105) and its optional
    // calendar (4107); 0 when unavailable or unknown here.
    static et_Type seo_GetCalendar(unsigned lcid);
    static et_Type seo_GetAlternateCalendar(unsigned lcid);
    // The calendar to offer besides the Gregorian one: the locale's own when
    // it is not Gregorian, else its optional one when that is not, else
    // Hebrew for a Hebrew-language locale, else 0.
    static et_Type seo_AlternateCalendar(unsigned lcid);
    // The name of the locale's calendar, or of its alternate calendar (false
    // when there is none or it is the locale's own), from the platform's
    // calendar enumeration, in the locale's ANSI code page.
    static int sb_GetCalendarName(unsigned lcid, CT_CString* out);
    static int sb_GetAlternateCalendarName(unsigned lcid, CT_CString* out);

    // The era table, without its end entry.
    static unsigned sn_GetIDCount();
    // Fields of entry i (from 0); past the table: 0, 0, 0 and null.
    static et_ID seo_GetCalID(unsigned i);
    static et_Type seo_GetCalType(unsigned i);
    static int si_GetCalOffset(unsigned i);
    static unsigned short const* sqcuz_GetCalEra(unsigned i);

    // Copies a calendar name into sacz_EnumInfo (at most 255 bytes and a
    // terminating zero; null copies an empty name).
    static void sv_SetEnumInfo(char const* name);

    static et_EraInfo const saeo_Eras[12];
    static char sacz_EnumInfo[256];

private:
    static int sb_GetCalendarName(unsigned lcid, CT_CString* out, et_Type type);
    static void sv_Gregorian2Hijri(struct tm* date);
    static void sv_Hijri2Gregorian(struct tm* date);
    static void sv_Gregorian2Hebrew(struct tm* date);
    static void sv_Hebrew2Gregorian(struct tm* date);
};
