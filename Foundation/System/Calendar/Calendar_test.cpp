#include "Foundation/System/Calendar/Calendar.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <thread>
#include <vector>

#include "Foundation/System/Calendar/CalendarDays.h"

using namespace CalendarDays;

namespace {

struct tm so_Tm(int year, int month, int day) {
    struct tm date;
    std::memset(&date, 0, sizeof date);
    date.tm_year = year;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_wday = -1;
    return date;
}

// Year, month (from 1) and day of a date, to compare at once.
using Ymd = std::array<int, 3>;
Ymd ai_Ymd(struct tm const& date) { return {date.tm_year, date.tm_mon + 1, date.tm_mday}; }
template <class Date>
Ymd ai_Ymd(Date const& date) {
    return {date.i_Year, date.i_Month, date.i_Day};
}

}  // namespace

TEST(CalendarDays, GregorianDaysAndLeapYears) {
    EXPECT_EQ(si_GregorianToAbsolute({1, 1, 1}), 1);
    EXPECT_EQ(si_Weekday(1), 1);  // a Monday
    EXPECT_EQ(si_GregorianToAbsolute({1970, 1, 1}), 719163);
    EXPECT_EQ(si_Weekday(si_GregorianToAbsolute({2026, 12, 7})), 1);
    EXPECT_TRUE(sb_IsGregorianLeapYear(2000));
    EXPECT_FALSE(sb_IsGregorianLeapYear(1900));
    EXPECT_TRUE(sb_IsGregorianLeapYear(2024));
    EXPECT_EQ(si_GregorianMonthDays(2000, 2), 29);
    EXPECT_EQ(si_GregorianMonthDays(1900, 2), 28);
    // Every day of four centuries, with their month ends, round-trips and
    // follows the day before.
    st_GregorianDate previous = so_AbsoluteToGregorian(si_GregorianToAbsolute({1899, 12, 31}));
    for (int n = si_GregorianToAbsolute({1900, 1, 1}); n <= si_GregorianToAbsolute({2300, 12, 31}); ++n) {
        st_GregorianDate d = so_AbsoluteToGregorian(n);
        ASSERT_EQ(si_GregorianToAbsolute(d), n);
        ASSERT_GE(d.i_Day, 1);
        ASSERT_LE(d.i_Day, si_GregorianMonthDays(d.i_Year, d.i_Month));
        if (d.i_Day > 1) {
            ASSERT_EQ(d.i_Day, previous.i_Day + 1);
        }
        previous = d;
    }
}

TEST(CalendarDays, HijriEpochAndYears) {
    EXPECT_EQ(si_HijriToAbsolute({1, 1, 1}), 227015);
    EXPECT_EQ(ai_Ymd(so_AbsoluteToGregorian(227015)), (Ymd{622, 7, 19}));
    EXPECT_EQ(ai_Ymd(so_AbsoluteToHijri(227014)), (Ymd{0, 0, 0}));
    // A leap year ends with a 30-day Dhu al-Hijja and has 355 days.
    EXPECT_TRUE(sb_IsHijriLeapYear(2));
    EXPECT_FALSE(sb_IsHijriLeapYear(1));
    EXPECT_EQ(si_HijriToAbsolute({3, 1, 1}) - si_HijriToAbsolute({2, 1, 1}), 355);
    EXPECT_EQ(si_HijriMonthDays(2, 12), 30);
    EXPECT_EQ(si_HijriMonthDays(1, 12), 29);
    // 1 Ramadan 1447 was 18 February 2026.
    EXPECT_EQ(si_HijriToAbsolute({1447, 9, 1}), si_GregorianToAbsolute({2026, 2, 18}));
}

TEST(CalendarDays, HebrewYearsAndMonths) {
    // 1 Tishri 5758 was 2 October 1997; 5757 had thirteen months.
    EXPECT_EQ(ai_Ymd(so_AbsoluteToHebrew(si_GregorianToAbsolute({1997, 10, 2}))), (Ymd{5758, 7, 1}));
    EXPECT_EQ(si_HebrewLastMonth(5757), 13);
    EXPECT_EQ(si_HebrewLastMonth(5758), 12);
    // Year lengths are 353-355 or 383-385 days, and the year's months add up
    // to them.
    for (int y = 5700; y < 5900; ++y) {
        int days = si_HebrewYearDays(y);
        ASSERT_TRUE((days >= 353 && days <= 355) || (days >= 383 && days <= 385)) << y;
        int sum = 0;
        for (int m = 1; m <= si_HebrewLastMonth(y); ++m) sum += si_HebrewMonthDays(y, m);
        ASSERT_EQ(sum, days) << y;
        // The new year never falls on Sunday, Wednesday or Friday.
        int weekday = si_Weekday(si_HebrewToAbsolute({y, 7, 1}));
        ASSERT_TRUE(weekday != 0 && weekday != 3 && weekday != 5) << y;
    }
}

TEST(CalendarDays, HostileArgumentsAreClamped) {
    // Nothing overflows or hangs; the answers stay inside the clamped years.
    for (int n : {INT_MIN, -2000000000, -1, 0, 1, 2000000000, INT_MAX}) {
        st_GregorianDate g = so_AbsoluteToGregorian(n);
        EXPECT_LE(g.i_Year, sn_YearLimit);
        EXPECT_GE(g.i_Year, -sn_YearLimit);
        st_HijriDate h = so_AbsoluteToHijri(n);
        EXPECT_LE(h.i_Year, sn_YearLimit);
        st_HebrewDate e = so_AbsoluteToHebrew(n);
        EXPECT_GE(e.i_Year, 1);
        EXPECT_LE(e.i_Year, sn_YearLimit);
    }
    for (int v : {INT_MIN, -1, 0, 13, INT_MAX}) {
        (void)si_GregorianToAbsolute({v, v, v});
        (void)si_HijriToAbsolute({v, v, v});
        (void)si_HebrewToAbsolute({v, v, v});
        // The same through struct tm, in every calendar.
        for (CT_Calendar::et_ID id : {CT_Calendar::e_Gregorian, CT_Calendar::e_Hijri, CT_Calendar::e_Hebrew,
                                      CT_Calendar::e_Korean}) {
            struct tm date = so_Tm(v, 1, v);
            date.tm_mon = v;
            CT_Calendar::sv_Gregorian2Alternate(&date, id);
            CT_Calendar::sv_Alternate2Gregorian(&date, id);
            CT_Calendar::sv_AddYearWeekday(&date);
            EXPECT_GE(date.tm_wday, 0);
            EXPECT_LE(date.tm_wday, 6);
            date.tm_mon = v;
            (void)CT_Calendar::sb_ValidateTM(&date);
        }
    }
}

TEST(Calendar, ConversionsInStructTm) {
    // The era offsets: Japanese 1998 is Heisei 10, Thai 1998 is 2541.
    struct tm date = so_Tm(1998, 5, 17);
    CT_Calendar::sv_Gregorian2Alternate(&date, CT_Calendar::e_Japanese);
    EXPECT_EQ(date.tm_year, 10);
    CT_Calendar::sv_Alternate2Gregorian(&date, CT_Calendar::e_Japanese);
    EXPECT_EQ(date.tm_year, 1998);
    CT_Calendar::sv_Gregorian2Alternate(&date, CT_Calendar::e_Thai);
    EXPECT_EQ(date.tm_year, 2541);
    CT_Calendar::sv_Alternate2Gregorian(&date, CT_Calendar::e_Thai);
    CT_Calendar::sv_Gregorian2Alternate(&date, static_cast<CT_Calendar::et_ID>(99));  // unknown: unchanged
    EXPECT_EQ(date.tm_year, 1998);

    // Hebrew: the new year 5758, a Thursday, 178 days before 1 Nisan.
    date = so_Tm(1997, 10, 2);
    CT_Calendar::sv_Gregorian2Alternate(&date, CT_Calendar::e_Hebrew);
    EXPECT_EQ(ai_Ymd(date), (Ymd{5758, 7, 1}));
    EXPECT_EQ(date.tm_wday, 4);
    EXPECT_EQ(date.tm_yday, 1 - (si_HebrewToAbsolute({5758, 1, 1}) - si_HebrewToAbsolute({5758, 7, 1})));
    CT_Calendar::sv_Alternate2Gregorian(&date, CT_Calendar::e_Hebrew);
    EXPECT_EQ(ai_Ymd(date), (Ymd{1997, 10, 2}));
    EXPECT_EQ(date.tm_yday, 274);

    // Hijri: 7 December 2026 is 26 Jumada II 1448, day 174 of its year.
    date = so_Tm(2026, 12, 7);
    CT_Calendar::sv_Gregorian2Alternate(&date, CT_Calendar::e_Hijri);
    EXPECT_EQ(ai_Ymd(date), (Ymd{1448, 6, 26}));
    EXPECT_EQ(date.tm_yday, 30 + 29 + 30 + 29 + 30 + 26);
    EXPECT_EQ(date.tm_wday, 1);
    CT_Calendar::sv_Alternate2Gregorian(&date, CT_Calendar::e_Hijri);
    EXPECT_EQ(ai_Ymd(date), (Ymd{2026, 12, 7}));

    // sv_AddYearWeekday keeps a weekday already set.
    date = so_Tm(2000, 12, 31);
    date.tm_wday = 3;
    CT_Calendar::sv_AddYearWeekday(&date);
    EXPECT_EQ(date.tm_yday, 365);
    EXPECT_EQ(date.tm_wday, 3);
}

TEST(Calendar, ValidationAndEraTable) {
    // year, month, day, valid (the lower bound of the day is not checked)
    int const dates[][4] = {{2000, 2, 29, 1}, {1900, 2, 29, 0}, {1998, 4, 31, 0}, {1998, 13, 1, 0}, {1998, 1, -5, 1}};
    for (auto const& d : dates) {
        struct tm date = so_Tm(d[0], d[1], d[2]);
        EXPECT_EQ(CT_Calendar::sb_ValidateTM(&date) != 0, d[3] != 0) << d[0] << "-" << d[1] << "-" << d[2];
    }
    EXPECT_FALSE(CT_Calendar::sb_ValidateTM(nullptr));

    // Past the era table: no calendar, no era name.
    ASSERT_EQ(CT_Calendar::sn_GetIDCount(), 11u);
    EXPECT_EQ(CT_Calendar::seo_GetCalID(11), CT_Calendar::e_NoID);
    EXPECT_EQ(CT_Calendar::sqcuz_GetCalEra(11), nullptr);

    char longName[400];
    std::memset(longName, 'x', sizeof longName - 1);
    longName[sizeof longName - 1] = 0;
    CT_Calendar::sv_SetEnumInfo(longName);
    EXPECT_EQ(std::strlen(CT_Calendar::sacz_EnumInfo), 255u);
    CT_Calendar::sv_SetEnumInfo(nullptr);
    EXPECT_EQ(CT_Calendar::sacz_EnumInfo[0], 0);
}

// The conversions keep no shared state but their constant bounds, set up
// once: several threads may convert at once.
TEST(CalendarThreads, ConversionsOnSeveralThreads) {
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &failures] {
            int first = si_GregorianToAbsolute({1900 + 50 * t, 1, 1});
            for (int n = first; n < first + 20000; ++n) {
                st_GregorianDate g = so_AbsoluteToGregorian(n);
                struct tm date = so_Tm(g.i_Year, g.i_Month, g.i_Day);
                CT_Calendar::sv_Gregorian2Alternate(&date, t % 2 ? CT_Calendar::e_Hebrew : CT_Calendar::e_Hijri);
                CT_Calendar::sv_Alternate2Gregorian(&date, t % 2 ? CT_Calendar::e_Hebrew : CT_Calendar::e_Hijri);
                if (date.tm_year != g.i_Year || date.tm_mon + 1 != g.i_Month || date.tm_mday != g.i_Day) ++failures[t];
            }
        });
    for (std::thread& thread : threads) thread.join();
    for (int count : failures) EXPECT_EQ(count, 0);
}
