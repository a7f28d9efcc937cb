// CT_Time: a point in time held twice, as the runtime library's calendar
// time (seconds since 1970, 32 bits) and as the absolute time (64 bits:
// seconds since 1 January of year 1 of the proleptic Gregorian calendar).
//
// The absolute time of a local date and time is
//   (Gregorian absolute day - 1) * 86400 + the time of day
//   + the DST correction (n_GetDST) + the zone's standard offset west,
// that is, the local time moved to UTC by the standard offset only.
//
// spso_Abs2Date returns one static struct tm shared by every thread; it and
// everything that uses it (the constructor and v_Set from an absolute time,
// the SYSTEMTIME conversions, formatting) must not run on two threads at
// once.
#pragma once

#include <ctime>

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/SystemTime.h"
#include "Foundation/Platform/Types.h"
#include "Foundation/System/Calendar/Calendar.h"

class CT_String;

class BASIS_API CT_Time {
public:
    // The platform's date and time formatting flags, passed through.
    enum et_DateFlags : unsigned { e_DateDefault = 0, e_ShortDate = 1, e_LongDate = 2, e_UseAltCalendar = 4, e_YearMonth = 8 };
    enum et_TimeFlags : unsigned {
        e_TimeDefault = 0,
        e_NoMinutesOrSeconds = 1,
        e_NoSeconds = 2,
        e_NoTimeMarker = 4,
        e_Force24HourFormat = 8,
    };

    // 1 January 1997, 00:00:00 local time.
    CT_Time();
    explicit CT_Time(unsigned time);
    explicit CT_Time(unsigned long long absolute);

    // From a calendar time; the absolute time from its local date.
    void v_Set(unsigned time);
    // From an absolute time; the calendar time is mktime of its date.
    void v_Set(unsigned long long absolute);
    // Now.
    void v_SetTime();
    // Changes the given parts of the held local date and time; 0xFFFFFFFF
    // leaves a part. A year below 36 means 2000 + year, 36 to 99 1900 + year.
    void v_Set(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second);
    void v_SetDate(unsigned year, unsigned month, unsigned day) { v_Set(year, month, day, ~0u, ~0u, ~0u); }
    void v_SetTime(unsigned hour, unsigned minute, unsigned second) { v_Set(~0u, ~0u, ~0u, hour, minute, second); }

    unsigned n_Get() const { return n_Time; }
    unsigned long long n8_Get() const { return n8_Abs; }

    static unsigned sn_GetTime();
    static unsigned long long sn8_GetTime();

    // To absolute time: of a calendar time, of a local SYSTEMTIME.
    static unsigned long long sn8_Convert(unsigned time);
    static unsigned long long sn8_Convert(SYSTEMTIME const* local);
    // To calendar time (mktime).
    static unsigned sn_Convert(unsigned long long absolute);
    static unsigned sn_Convert(SYSTEMTIME const* local);
    // To a local SYSTEMTIME with milliseconds 0: from calendar time, from
    // absolute time.
    static void sv_Convert(SYSTEMTIME* out, i4_t time);
    static void sv_Convert(SYSTEMTIME* out, unsigned long long absolute);

    // The absolute time of a local struct tm (tm_year from 1900); 0 for null.
    static unsigned long long sn8_Date2Abs(struct tm* date);
    // The local date of an absolute time, in the one static struct tm.
    static struct tm* spso_Abs2Date(unsigned long long absolute);
    // The DST correction in seconds (see Time.cpp).
    static unsigned n_GetDST(struct tm* date);

    // The date or time in the locale's format (lcid 0: the thread locale),
    // or following a picture. A wide output on a system with wide services
    // is formatted wide; otherwise narrow, in the locale's ANSI code page.
    // A platform failure is reported through the error manager.
    void v_GetDate(CT_String* out, unsigned lcid, et_DateFlags flags) const;
    void v_GetDate(CT_String* out, CT_String const* picture, unsigned lcid, et_DateFlags flags) const;
    void v_GetTime(CT_String* out, unsigned lcid, et_TimeFlags flags) const;
    void v_GetTime(CT_String* out, CT_String const* picture, unsigned lcid) const;

    // Reads a date and time by a picture (TimeParse.cpp); false when the
    // text does not fit it. calendar 0: by the locale's alternate calendar
    // if it has one; bDST: keep the daylight-saving state of the date.
    int b_Set(CT_String const* text, CT_String const* picture, unsigned lcid, CT_Calendar::et_ID calendar, int bDST);
    // Reads a date typed in the thread locale's short date format,
    // optionally followed by a space and a time.
    int b_Set(CT_String const* text, CT_Calendar::et_ID calendar);

    // Calendar time 0: empty; else the thread locale's date and, when
    // separator is given, the separator and the time with the flags.
    static void sv_Format(CT_String* out, unsigned time, char* separator, et_TimeFlags flags);
    // The thread locale's short date picture and "[[,] HH::mm[:ss]]".
    static void sv_GetInputMask(CT_String* out);

    // A local struct tm replaced by the UTC one, and the reverse.
    void v_Local2gmt(struct tm* date);
    void v_Gmt2local(struct tm* date);

private:
    unsigned n_Time;
    unsigned long long n8_Abs;

    static struct tm so_Date;
};
