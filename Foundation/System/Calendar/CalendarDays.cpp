#include "Foundation/System/Calendar/CalendarDays.h"

#include <climits>

namespace CalendarDays {

namespace {

int si_ClampYear(long long year) {
    return year < -sn_YearLimit ? -sn_YearLimit : year > sn_YearLimit ? sn_YearLimit : static_cast<int>(year);
}

int si_ClampDay(long long day) {
    return day < INT_MIN ? INT_MIN : day > INT_MAX ? INT_MAX : static_cast<int>(day);
}

int si_ClampMonth(int month, int last) { return month < 1 ? 1 : month > last ? last : month; }

// Days of months 1 to m - 1 of a common and of a leap year.
constexpr int saai_DaysBefore[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

long long si8_GregorianAbsolute(int year, int month, long long day) {
    long long y = si_ClampYear(year) - 1LL;
    return day + saai_DaysBefore[sb_IsGregorianLeapYear(si_ClampYear(year))][si_ClampMonth(month, 12)] + 365 * y + y / 4 -
           y / 100 + y / 400;
}

long long si8_HijriAbsolute(int year, int month, long long day) {
    long long y = si_ClampYear(year);
    long long m = si_ClampMonth(month, 12);
    return day + 29 * m + m / 2 + 354 * y + (11 * y + 3) / 30 + 226631;
}

constexpr long long sn8_HijriEpoch = 227014;
constexpr long long sn8_HebrewEpoch = 1373429;

// What the Hebrew month arithmetic needs of one year.
struct st_HebrewYear {
    long long i8_Elapsed;
    int i_Days;
    int b_Leap;
    int i_Last;
};

st_HebrewYear so_HebrewYear(int year) {
    st_HebrewYear info;
    info.i8_Elapsed = si8_HebrewElapsedDays(year);
    info.i_Days = static_cast<int>(si8_HebrewElapsedDays(si_ClampYear(year + 1LL)) - info.i8_Elapsed);
    info.b_Leap = sb_IsHebrewLeapYear(year);
    info.i_Last = info.b_Leap ? 13 : 12;
    return info;
}

int si_HebrewMonthDays(st_HebrewYear const& info, int month) {
    switch (month) {
    case 2:
    case 4:
    case 6:
    case 10:
    case 13:
        return 29;
    case 8:
        return info.i_Days % 10 == 5 ? 30 : 29;
    case 9:
        return info.i_Days % 10 == 3 ? 29 : 30;
    case 12:
        return info.b_Leap ? 30 : 29;
    default:
        return 30;
    }
}

long long si8_HebrewAbsolute(st_HebrewYear const& info, int month, long long day) {
    // Month 13 stays addressable in a common year (its days follow Adar), as
    // the sums below run over the month numbers and not the year's months.
    int m = si_ClampMonth(month, 13);
    long long days = day;
    if (m < 7) {
        for (int i = 7; i <= info.i_Last; ++i) days += si_HebrewMonthDays(info, i);
        for (int i = 1; i < m; ++i) days += si_HebrewMonthDays(info, i);
    } else {
        for (int i = 7; i < m; ++i) days += si_HebrewMonthDays(info, i);
    }
    return days + info.i8_Elapsed - sn8_HebrewEpoch;
}

}  // namespace

int sb_IsGregorianLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int si_GregorianMonthDays(int year, int month) {
    static constexpr int sai_Days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int m = si_ClampMonth(month, 12);
    return m == 2 && sb_IsGregorianLeapYear(year) ? 29 : sai_Days[m];
}

int si_GregorianToAbsolute(st_GregorianDate const& date) {
    return si_ClampDay(si8_GregorianAbsolute(date.i_Year, date.i_Month, date.i_Day));
}

st_GregorianDate so_AbsoluteToGregorian(int day) {
    // Days outside the years +-sn_YearLimit are clamped to their first and
    // last day, so the year search below always ends.
    static long long const sn8_First = si8_GregorianAbsolute(-sn_YearLimit, 1, 1);
    static long long const sn8_Last = si8_GregorianAbsolute(sn_YearLimit, 12, 31);
    long long n = day < sn8_First ? sn8_First : day > sn8_Last ? sn8_Last : day;
    // The search starts below the year and raises it. 400 years hold 146097
    // days, so n * 400 / 146097 - 1 lies at most two years below the year
    // (a closer start than n / 366 - 1, with the same result); for days
    // before year 1 the quotient lies above the year (the years count down
    // there), so start lower.
    long long y = n > 0 ? n * 400 / 146097 - 1 : n / 365 - 2;
    if (y < -sn_YearLimit) y = -sn_YearLimit;
    while (y < sn_YearLimit && n >= si8_GregorianAbsolute(static_cast<int>(y + 1), 1, 1)) ++y;
    st_GregorianDate date;
    date.i_Year = static_cast<int>(y);
    // The month whose days hold n: the table of days before each month,
    // from the day's place in its year.
    int yearDay = static_cast<int>(n - si8_GregorianAbsolute(date.i_Year, 1, 1));
    int const* before = saai_DaysBefore[sb_IsGregorianLeapYear(date.i_Year)];
    date.i_Month = yearDay / 32 + 1;  // at or below the month
    while (date.i_Month < 12 && yearDay >= before[date.i_Month + 1]) ++date.i_Month;
    date.i_Day = yearDay - before[date.i_Month] + 1;
    return date;
}

int sb_IsHijriLeapYear(int year) {
    long long r = (11LL * year + 14) % 30;
    return r < 11;
}

int si_HijriMonthDays(int year, int month) {
    return (month % 2 == 1 || (month == 12 && sb_IsHijriLeapYear(year))) ? 30 : 29;
}

int si_HijriToAbsolute(st_HijriDate const& date) {
    return si_ClampDay(si8_HijriAbsolute(date.i_Year, date.i_Month, date.i_Day));
}

st_HijriDate so_AbsoluteToHijri(int day) {
    st_HijriDate date = {0, 0, 0};
    if (day <= sn8_HijriEpoch) return date;
    static long long const sn8_Last = si8_HijriAbsolute(sn_YearLimit, 12, 29);
    long long n = day > sn8_Last ? sn8_Last : day;  // clamped to the last year, as in the Gregorian search
    long long y = (n - sn8_HijriEpoch) / 355 - 1;
    while (y < sn_YearLimit && n >= si8_HijriAbsolute(static_cast<int>(y + 1), 1, 1)) ++y;
    date.i_Year = static_cast<int>(y);
    date.i_Month = 1;
    while (date.i_Month < 12 && n > si8_HijriAbsolute(date.i_Year, date.i_Month, si_HijriMonthDays(date.i_Year, date.i_Month)))
        ++date.i_Month;
    date.i_Day = static_cast<int>(n - si8_HijriAbsolute(date.i_Year, date.i_Month, 1) + 1);
    return date;
}

int sb_IsHebrewLeapYear(int year) {
    long long r = (7LL * year + 1) % 19;
    return r < 7;
}

int si_HebrewLastMonth(int year) { return sb_IsHebrewLeapYear(year) ? 13 : 12; }

long long si8_HebrewElapsedDays(int year) {
    long long y = si_ClampYear(year) - 1LL;
    long long months = 235 * (y / 19) + 12 * (y % 19) + (7 * (y % 19) + 1) / 19;
    long long parts = 204 + 793 * (months % 1080);
    long long hours = 5 + 12 * months + 793 * (months / 1080) + parts / 1080;
    long long day = 1 + 29 * months + hours / 24;
    long long dayParts = 1080 * (hours % 24) + parts % 1080;
    if (dayParts >= 19440 || (day % 7 == 2 && dayParts >= 9924 && !sb_IsHebrewLeapYear(year)) ||
        (day % 7 == 1 && dayParts >= 16789 && sb_IsHebrewLeapYear(year - 1)))
        ++day;
    long long weekday = day % 7;
    if (weekday == 0 || weekday == 3 || weekday == 5) ++day;
    return day;
}

int si_HebrewYearDays(int year) { return so_HebrewYear(year).i_Days; }

int si_HebrewMonthDays(int year, int month) { return si_HebrewMonthDays(so_HebrewYear(year), month); }

int si_HebrewToAbsolute(st_HebrewDate const& date) {
    return si_ClampDay(si8_HebrewAbsolute(so_HebrewYear(date.i_Year), date.i_Month, date.i_Day));
}

st_HebrewDate so_AbsoluteToHebrew(int day) {
    // Clamped to the days from 1 Tishri of year 1 to the start of the last
    // year, so the year search ends.
    static long long const sn8_First = si8_HebrewElapsedDays(1) - sn8_HebrewEpoch + 1;
    static long long const sn8_Last = si8_HebrewElapsedDays(sn_YearLimit) - sn8_HebrewEpoch + 1;
    long long n = day < sn8_First ? sn8_First : day > sn8_Last ? sn8_Last : day;
    // Day numbers count from the Gregorian epoch, 1373429 days after the
    // Hebrew one. The mean Hebrew year is 35975351 / 98496 days, and a new
    // year lies less than 25 days from its mean place (the leap months
    // keep it there, the postponements move it by two days at most), so
    // the quotient below is at most two years below the year: a closer
    // start than (n + 1373429) / 366 - 1, with the same result. The search
    // raises it.
    long long y = (n + sn8_HebrewEpoch - 25) * 98496 / 35975351;
    if (y < 1) y = 1;
    long long elapsed = si8_HebrewElapsedDays(static_cast<int>(y));
    long long next = si8_HebrewElapsedDays(static_cast<int>(y + 1));
    while (y < sn_YearLimit && n >= next - sn8_HebrewEpoch + 1) {
        ++y;
        elapsed = next;
        next = si8_HebrewElapsedDays(static_cast<int>(y + 1));
    }
    st_HebrewYear info;
    info.i8_Elapsed = elapsed;
    info.i_Days = static_cast<int>(next - info.i8_Elapsed);
    info.b_Leap = sb_IsHebrewLeapYear(static_cast<int>(y));
    info.i_Last = info.b_Leap ? 13 : 12;
    // The months in the year's order, Tishri to the last month and Nisan
    // to Elul: the first whose end is not before n.
    st_HebrewDate date;
    date.i_Year = static_cast<int>(y);
    long long left = n - (info.i8_Elapsed - sn8_HebrewEpoch + 1);  // days after 1 Tishri
    date.i_Month = 7;
    for (int i = 0; i < 13; ++i) {
        int length = si_HebrewMonthDays(info, date.i_Month);
        if (left < length || (date.i_Month == 6)) break;
        left -= length;
        date.i_Month = date.i_Month == info.i_Last ? 1 : date.i_Month + 1;
    }
    date.i_Day = static_cast<int>(left + 1);
    return date;
}

}  // namespace CalendarDays
