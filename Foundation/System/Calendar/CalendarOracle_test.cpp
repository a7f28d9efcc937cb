// Every day from 1600 to 2400 through the Hijri and Hebrew arithmetic and
// back, compared with ICU's islamic-civil and hebrew calendars, which follow
// the same rules. Linux only: the Windows build has no ICU.
#if !defined(_WIN32)

#include <gtest/gtest.h>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>

#include "Foundation/System/Calendar/CalendarDays.h"

using namespace CalendarDays;

namespace {

std::unique_ptr<icu::Calendar> so_IcuCalendar(char const* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), icu::Locale(locale), status));
    if (U_FAILURE(status)) return nullptr;
    return calendar;
}

// ICU numbers Hebrew months from Tishri (0) to Elul (12), with 5 (Adar I)
// only in a leap year; here Nisan is 1, Tishri 7, Adar (Adar I in a leap
// year) 12 and Adar II 13.
int si_HebrewMonthFromIcu(int icuMonth, int year) {
    if (icuMonth <= 4) return icuMonth + 7;
    if (icuMonth == 5) return 12;
    if (icuMonth == 6) return sb_IsHebrewLeapYear(year) ? 13 : 12;
    return icuMonth - 6;
}

// ICU 72 starts the year 5807 one day late (2046-10-02 rather than
// 2046-10-01), and so, by the same fault, 5462, 5560 and 6054: its previous
// Elul gets a 30th day. The rules here give the true dates, so each of these
// years and the year before it are checked against fixed tables instead of
// ICU: the month starts of 5806 and 5807, and the new years around the
// others. Every new year in them is 163 days after the Passover that Gauss's
// formula gives for the Gregorian year before, a reckoning independent of
// both.
struct st_MonthStart {
    int i_Year;
    int i_Month;
    st_GregorianDate o_Start;
};
constexpr st_MonthStart sao_FixedMonthStarts[] = {
    {5806, 7, {2045, 9, 12}},  {5806, 8, {2045, 10, 12}}, {5806, 9, {2045, 11, 10}}, {5806, 10, {2045, 12, 10}},
    {5806, 11, {2046, 1, 8}},  {5806, 12, {2046, 2, 7}},  {5806, 13, {2046, 3, 9}},  {5806, 1, {2046, 4, 7}},
    {5806, 2, {2046, 5, 7}},   {5806, 3, {2046, 6, 5}},   {5806, 4, {2046, 7, 5}},   {5806, 5, {2046, 8, 3}},
    {5806, 6, {2046, 9, 2}},   {5807, 7, {2046, 10, 1}},  {5807, 8, {2046, 10, 31}}, {5807, 9, {2046, 11, 30}},
    {5807, 10, {2046, 12, 30}}, {5807, 11, {2047, 1, 28}}, {5807, 12, {2047, 2, 27}}, {5807, 1, {2047, 3, 28}},
    {5807, 2, {2047, 4, 27}},  {5807, 3, {2047, 5, 26}},  {5807, 4, {2047, 6, 25}},  {5807, 5, {2047, 7, 24}},
    {5807, 6, {2047, 8, 23}},  {5808, 7, {2047, 9, 21}},
    {5461, 7, {1700, 9, 14}},  {5462, 7, {1701, 10, 3}},  {5463, 7, {1702, 9, 23}},
    {5559, 7, {1798, 9, 11}},  {5560, 7, {1799, 9, 30}},  {5561, 7, {1800, 9, 20}},
    {6053, 7, {2292, 9, 13}},  {6054, 7, {2293, 10, 2}},  {6055, 7, {2294, 9, 22}},
};
constexpr int sai_IcuLateYears[] = {5462, 5560, 5807, 6054};

int sb_LeftToTable(int day) {
    for (int year : sai_IcuLateYears)
        if (day >= si_HebrewToAbsolute({year - 1, 7, 1}) && day < si_HebrewToAbsolute({year + 1, 7, 1})) return 1;
    return 0;
}

}  // namespace

TEST(CalendarOracle, HijriAndHebrewAgainstIcuFrom1600To2400) {
    std::unique_ptr<icu::Calendar> hijri = so_IcuCalendar("en@calendar=islamic-civil");
    std::unique_ptr<icu::Calendar> hebrew = so_IcuCalendar("en@calendar=hebrew");
    ASSERT_TRUE(hijri && hebrew);
    int const first = si_GregorianToAbsolute({1600, 1, 1});
    int const last = si_GregorianToAbsolute({2400, 12, 31});
    int const epoch1970 = si_GregorianToAbsolute({1970, 1, 1});
    int days = 0;
    for (int n = first; n <= last; ++n, ++days) {
        UErrorCode status = U_ZERO_ERROR;
        UDate when = (static_cast<double>(n) - epoch1970) * 86400000.0;

        st_HijriDate h = so_AbsoluteToHijri(n);
        ASSERT_EQ(si_HijriToAbsolute(h), n);
        ASSERT_EQ(si_GregorianToAbsolute(so_AbsoluteToGregorian(n)), n);
        hijri->setTime(when, status);
        ASSERT_EQ(h.i_Year, hijri->get(UCAL_EXTENDED_YEAR, status)) << n;
        ASSERT_EQ(h.i_Month, hijri->get(UCAL_MONTH, status) + 1) << n;
        ASSERT_EQ(h.i_Day, hijri->get(UCAL_DATE, status)) << n;

        st_HebrewDate e = so_AbsoluteToHebrew(n);
        ASSERT_EQ(si_HebrewToAbsolute(e), n);
        if (sb_LeftToTable(n)) continue;
        hebrew->setTime(when, status);
        ASSERT_EQ(e.i_Year, hebrew->get(UCAL_EXTENDED_YEAR, status)) << n;
        ASSERT_EQ(e.i_Month, si_HebrewMonthFromIcu(hebrew->get(UCAL_MONTH, status), e.i_Year)) << n;
        ASSERT_EQ(e.i_Day, hebrew->get(UCAL_DATE, status)) << n;
        ASSERT_TRUE(U_SUCCESS(status));
    }
    EXPECT_EQ(days, 292560);  // 801 years, 195 of them leap years

    // The years left to the table: each month start, and the last day of
    // the month before it.
    for (st_MonthStart const& entry : sao_FixedMonthStarts) {
        int start = si_GregorianToAbsolute(entry.o_Start);
        st_HebrewDate e = so_AbsoluteToHebrew(start);
        EXPECT_EQ(e.i_Year, entry.i_Year);
        EXPECT_EQ(e.i_Month, entry.i_Month);
        EXPECT_EQ(e.i_Day, 1);
        st_HebrewDate before = so_AbsoluteToHebrew(start - 1);
        EXPECT_EQ(before.i_Day, si_HebrewMonthDays(before.i_Year, before.i_Month));
    }
}

#endif
