// The day arithmetic of the three exact calendars: a date of the Gregorian,
// the arithmetical Islamic (Hijri) or the Hebrew calendar to and from the
// absolute day number. Day 1 is Monday, 1 January of year 1 of the
// proleptic Gregorian calendar; the day number modulo 7 is the day of the
// week with 0 for Sunday.
//
// Months count from 1. Hebrew months run from Nisan (1) to Adar (12) and, in
// a leap year, Adar II (13); the Hebrew year begins with Tishri (7).
//
// Any int is accepted. Years are clamped to +-sn_YearLimit and the sums are
// taken in 64 bits, so no argument overflows; a day number that would leave
// the int range is clamped to it. Inside those bounds the results are the
// calendars' own.
#pragma once

#include "Foundation/Platform/Export.h"

namespace CalendarDays {

// Far beyond any date a user types, and small enough that every day number
// of such a year fits in an int.
inline constexpr int sn_YearLimit = 5000000;

struct st_GregorianDate {
    int i_Year;
    int i_Month;
    int i_Day;
};
struct st_HijriDate {
    int i_Year;
    int i_Month;
    int i_Day;
};
struct st_HebrewDate {
    int i_Year;
    int i_Month;
    int i_Day;
};

BASIS_API int sb_IsGregorianLeapYear(int year);
BASIS_API int si_GregorianMonthDays(int year, int month);
BASIS_API int si_GregorianToAbsolute(st_GregorianDate const& date);
BASIS_API st_GregorianDate so_AbsoluteToGregorian(int day);

BASIS_API int sb_IsHijriLeapYear(int year);
BASIS_API int si_HijriMonthDays(int year, int month);
BASIS_API int si_HijriToAbsolute(st_HijriDate const& date);
// Days up to the epoch (227014, the day before 1 Muharram 1) give (0, 0, 0).
BASIS_API st_HijriDate so_AbsoluteToHijri(int day);

BASIS_API int sb_IsHebrewLeapYear(int year);
BASIS_API int si_HebrewLastMonth(int year);
// Days from the Sunday before the epoch to 1 Tishri of year.
BASIS_API long long si8_HebrewElapsedDays(int year);
BASIS_API int si_HebrewYearDays(int year);
BASIS_API int si_HebrewMonthDays(int year, int month);
BASIS_API int si_HebrewToAbsolute(st_HebrewDate const& date);
BASIS_API st_HebrewDate so_AbsoluteToHebrew(int day);

// The day of the week (0 Sunday) of a day number, for any int.
inline int si_Weekday(int day) { return ((day % 7) + 7) % 7; }

}  // namespace CalendarDays
