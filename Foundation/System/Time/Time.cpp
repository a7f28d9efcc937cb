#include "Foundation/System/Time/Time.h"

#include <climits>
#include <cstring>

#include "Foundation/Platform/TimeZone.h"
#include "Foundation/System/Calendar/Calendar.h"
#include "Foundation/System/Calendar/CalendarDays.h"

struct tm CT_Time::so_Date;

namespace {

struct tm so_LocalDate(long long time) {
    struct tm date;
    std::memset(&date, 0, sizeof date);
    Platform::b_LocalTime(time, &date);  // unrepresentable: the zeroed date
    return date;
}

}  // namespace

CT_Time::CT_Time() : n_Time(0), n8_Abs(0) {
    struct tm date;
    std::memset(&date, 0, sizeof date);
    date.tm_year = 97;
    date.tm_mday = 1;
    date.tm_isdst = -1;
    n_Time = static_cast<unsigned>(Platform::i8_MakeTime(&date));
    n8_Abs = sn8_Date2Abs(&date);
}

CT_Time::CT_Time(unsigned time) { v_Set(time); }

CT_Time::CT_Time(unsigned long long absolute) : n_Time(0) { v_Set(absolute); }

void CT_Time::v_Set(unsigned time) {
    n_Time = time;
    n8_Abs = sn8_Convert(time);
}

void CT_Time::v_Set(unsigned long long absolute) {
    n8_Abs = absolute;
    n_Time = sn_Convert(absolute);
}

void CT_Time::v_SetTime() { v_Set(sn_GetTime()); }

void CT_Time::v_Set(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
    struct tm date = so_LocalDate(n_Time);
    if (year != ~0u) {
        if (year < 36)
            year += 2000;
        else if (year < 100)
            year += 1900;
        // Years past the int range are clamped; mktime then refuses them.
        date.tm_year = year > INT_MAX - 1900u ? INT_MAX : static_cast<int>(year) - 1900;
    }
    // The other parts are clamped to what an int holds; mktime carries any
    // overflow into the next part.
    auto clamp = [](unsigned value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); };
    if (month != ~0u) date.tm_mon = clamp(month) - 1;
    if (day != ~0u) date.tm_mday = clamp(day);
    if (hour != ~0u) date.tm_hour = clamp(hour);
    if (minute != ~0u) date.tm_min = clamp(minute);
    if (second != ~0u) date.tm_sec = clamp(second);
    date.tm_isdst = -1;
    long long time = Platform::i8_MakeTime(&date);
    // A date mktime cannot represent leaves the time as it was.
    if (time == -1) return;
    n_Time = static_cast<unsigned>(time);
    n8_Abs = sn8_Date2Abs(&date);
}

unsigned CT_Time::sn_GetTime() { return static_cast<unsigned>(Platform::i8_Now()); }

unsigned long long CT_Time::sn8_GetTime() { return sn8_Convert(sn_GetTime()); }

unsigned long long CT_Time::sn8_Convert(unsigned time) {
    struct tm date = so_LocalDate(time);
    return sn8_Date2Abs(&date);
}

namespace {

struct tm so_FromSystemTime(SYSTEMTIME const* local) {
    struct tm date;
    std::memset(&date, 0, sizeof date);
    if (!local) {
        date.tm_mday = 1;
        date.tm_year = 70;
        return date;
    }
    date.tm_year = local->wYear - 1900;
    date.tm_mon = local->wMonth - 1;
    date.tm_mday = local->wDay;
    date.tm_hour = local->wHour;
    date.tm_min = local->wMinute;
    date.tm_sec = local->wSecond;
    // The runtime decides whether daylight-saving time is in force at that
    // local time, as it does for every other local date here.
    date.tm_isdst = -1;
    return date;
}

void sv_ToSystemTime(SYSTEMTIME* out, struct tm const* date) {
    out->wYear = static_cast<unsigned short>(date->tm_year + 1900);
    out->wMonth = static_cast<unsigned short>(date->tm_mon + 1);
    out->wDayOfWeek = static_cast<unsigned short>(date->tm_wday);
    out->wDay = static_cast<unsigned short>(date->tm_mday);
    out->wHour = static_cast<unsigned short>(date->tm_hour);
    out->wMinute = static_cast<unsigned short>(date->tm_min);
    out->wSecond = static_cast<unsigned short>(date->tm_sec);
    out->wMilliseconds = 0;
}

}  // namespace

// A null SYSTEMTIME reads as 1 January 1970, 00:00 local.
unsigned long long CT_Time::sn8_Convert(SYSTEMTIME const* local) {
    struct tm date = so_FromSystemTime(local);
    return sn8_Date2Abs(&date);
}

unsigned CT_Time::sn_Convert(unsigned long long absolute) {
    struct tm date = *spso_Abs2Date(absolute);
    return static_cast<unsigned>(Platform::i8_MakeTime(&date));
}

unsigned CT_Time::sn_Convert(SYSTEMTIME const* local) {
    struct tm date = so_FromSystemTime(local);
    return static_cast<unsigned>(Platform::i8_MakeTime(&date));
}

void CT_Time::sv_Convert(SYSTEMTIME* out, i4_t time) {
    if (!out) return;  // nowhere to write
    struct tm date = so_LocalDate(time);
    sv_ToSystemTime(out, &date);
}

void CT_Time::sv_Convert(SYSTEMTIME* out, unsigned long long absolute) {
    if (!out) return;
    sv_ToSystemTime(out, spso_Abs2Date(absolute));
}

unsigned long long CT_Time::sn8_Date2Abs(struct tm* date) {
    if (!date) return 0;
    long long day = CalendarDays::si_GregorianToAbsolute(
        {date->tm_year > INT_MAX - 1900 ? INT_MAX : date->tm_year + 1900,
         date->tm_mon < INT_MAX ? date->tm_mon + 1 : INT_MAX, date->tm_mday});
    long long seconds = (day - 1) * 86400 + 3600LL * date->tm_hour + 60LL * date->tm_min + date->tm_sec +
                        static_cast<int>(n_GetDST(date)) + Platform::i_GetTimeZoneOffset();
    // Dates before year 1 wrap around, as unsigned arithmetic does.
    return static_cast<unsigned long long>(seconds);
}

struct tm* CT_Time::spso_Abs2Date(unsigned long long absolute) {
    // The DST correction depends on the date it corrects: find the date
    // without it, then again with the correction of that date.
    unsigned long long value = absolute - static_cast<unsigned long long>(static_cast<long long>(Platform::i_GetTimeZoneOffset()));
    for (int pass = 0; pass < 2; ++pass) {
        unsigned long long days = value / 86400;
        unsigned long long rest = value % 86400;
        // Days past the int range are clamped to it (far beyond any year
        // the runtime represents).
        int day = days >= static_cast<unsigned long long>(INT_MAX) ? INT_MAX : static_cast<int>(days) + 1;
        CalendarDays::st_GregorianDate g = CalendarDays::so_AbsoluteToGregorian(day);
        std::memset(&so_Date, 0, sizeof so_Date);
        so_Date.tm_year = g.i_Year;
        so_Date.tm_mon = g.i_Month - 1;
        so_Date.tm_mday = g.i_Day;
        so_Date.tm_hour = static_cast<int>(rest / 3600);
        so_Date.tm_min = static_cast<int>((rest - 3600 * so_Date.tm_hour) / 60);
        so_Date.tm_sec = static_cast<int>(rest % 60);
        so_Date.tm_wday = -1;
        CT_Calendar::sv_AddYearWeekday(&so_Date);
        so_Date.tm_year -= 1900;
        if (pass == 1) break;
        unsigned dst = n_GetDST(&so_Date);
        if (dst == 0) break;
        value -= static_cast<unsigned long long>(static_cast<long long>(static_cast<int>(dst)));
    }
    // The daylight-saving state in force at that local time, as mktime finds
    // it, so that mktime of the date gives back the calendar time the
    // absolute time came from.
    struct tm probe = so_Date;
    probe.tm_isdst = -1;
    so_Date.tm_isdst = Platform::i8_MakeTime(&probe) == -1 ? 0 : probe.tm_isdst > 0;
    return &so_Date;
}

// A date that is in daylight-saving time in 1980 (same month, day and time)
// gets mktime(1 March 1980, standard) - mktime(1 July 1980, standard) plus
// the 122 days between them: 0 with a runtime whose mktime honours a DST
// flag of 0 (glibc and the Windows runtime both do), so absolute times then
// carry no DST shift; the shift of the runtime's summer time otherwise. The
// same correction is added in sn8_Date2Abs and taken off in spso_Abs2Date.
unsigned CT_Time::n_GetDST(struct tm* date) {
    if (!date) return 0;
    struct tm probe;
    std::memset(&probe, 0, sizeof probe);
    probe.tm_year = 80;
    probe.tm_mon = date->tm_mon;
    probe.tm_mday = date->tm_mday;
    probe.tm_hour = date->tm_hour;
    probe.tm_min = date->tm_min;
    probe.tm_sec = date->tm_sec;
    probe.tm_isdst = -1;
    if (Platform::i8_MakeTime(&probe) == -1 || probe.tm_isdst <= 0) return 0;
    struct tm march;
    std::memset(&march, 0, sizeof march);
    march.tm_year = 80;
    march.tm_mon = 2;
    march.tm_mday = 1;
    struct tm july = march;
    july.tm_mon = 6;
    long long correction = Platform::i8_MakeTime(&march) - Platform::i8_MakeTime(&july) + 10540800;
    return static_cast<unsigned>(correction);
}

void CT_Time::v_Local2gmt(struct tm* date) {
    if (!date) return;
    long long time = Platform::i8_MakeTime(date);
    if (time != -1) Platform::b_UtcTime(time, date);  // unrepresentable: left as mktime normalised it
}

void CT_Time::v_Gmt2local(struct tm* date) {
    if (!date) return;
    long long time = Platform::i8_MakeTime(date);
    if (time != -1) Platform::b_LocalTime(time - Platform::i_GetTimeZoneOffset(), date);
}
