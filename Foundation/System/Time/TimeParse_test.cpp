#include <gtest/gtest.h>

#include <cstring>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Locale.h"
#include "Foundation/Platform/TimeZone.h"
#include "Foundation/System/Calendar/CalendarDays.h"
#include "Foundation/System/Time/Time.h"

namespace {

constexpr unsigned sn_English = 1033, sn_German = 1031, sn_Arabic = 1025, sn_Japanese = 1041;

// Reads UTF-8 text by a picture; the local date read, or year 0 on false.
struct tm so_Read(char const* text, char const* picture, unsigned lcid = sn_English,
                  CT_Calendar::et_ID calendar = CT_Calendar::e_NoID) {
    CT_CString t(text, ~0u, 65001), p(picture, ~0u, 65001);
    CT_Time time;
    struct tm date;
    std::memset(&date, 0, sizeof date);
    if (time.b_Set(&t, &p, lcid, calendar, 1)) date = *CT_Time::spso_Abs2Date(time.n8_Get());
    return date;
}

#define EXPECT_DATE(date, y, m, d)         \
    do {                                   \
        struct tm got = (date);            \
        EXPECT_EQ(got.tm_year + 1900, y);  \
        EXPECT_EQ(got.tm_mon + 1, m);      \
        EXPECT_EQ(got.tm_mday, d);         \
    } while (0)

struct tm so_Today() {
    struct tm today;
    Platform::b_LocalTime(Platform::i8_Now(), &today);
    return today;
}

}  // namespace

TEST(TimeParse, NumbersAndTheTwoDigitYears) {
    EXPECT_DATE(so_Read("31.12.98", "dd.MM.yy"), 1998, 12, 31);
    EXPECT_DATE(so_Read("01.01.05", "dd.MM.yy"), 2005, 1, 1);
    // Two-digit years: 00 to 35 are 2000 to 2035, 36 to 69 are refused,
    // 70 to 99 are 1970 to 1999.
    EXPECT_DATE(so_Read("01.01.35", "dd.MM.yy"), 2035, 1, 1);
    EXPECT_DATE(so_Read("01.01.70", "dd.MM.yy"), 1970, 1, 1);
    EXPECT_DATE(so_Read("1.2.2024", "d.M.yyyy"), 2024, 2, 1);
    EXPECT_DATE(so_Read("29.02.2000", "dd.MM.yyyy"), 2000, 2, 29);
    // Refused years, and days out of range or not in the calendar (month 13
    // is no Gregorian month).
    for (char const* text : {"01.01.36", "01.01.50", "01.01.69", "32.01.98", "00.01.98", "30.02.98", "01.13.98",
                             "01.14.98"})
        EXPECT_EQ(so_Read(text, "dd.MM.yy").tm_year, 0) << text;
    EXPECT_EQ(so_Read("29.02.1900", "dd.MM.yyyy").tm_year, 0);
    // Digits of other scripts are digits.
    EXPECT_DATE(so_Read("\xd9\xa3\xd9\xa1.12.1998", "dd.MM.yyyy"), 1998, 12, 31);
}

TEST(TimeParse, TimesAndDesignators) {
    struct tm today = so_Today();
    struct tm read = so_Read("10:30", "HH:mm");
    EXPECT_EQ(read.tm_year, today.tm_year);
    EXPECT_EQ(read.tm_yday, today.tm_yday);
    EXPECT_EQ(read.tm_hour, 10);
    EXPECT_EQ(read.tm_min, 30);
    EXPECT_EQ(read.tm_sec, 0);
    EXPECT_EQ(so_Read("10:30 PM", "hh:mm tt").tm_hour, 22);
    EXPECT_EQ(so_Read("10:30 pm", "hh:mm tt").tm_hour, 22);  // without regard to case
    EXPECT_EQ(so_Read("10:30 AM", "hh:mm tt").tm_hour, 10);
    // No designator matches; h runs 0 to 11; hours, minutes and seconds past their range.
    for (char const* text : {"10:30 XM", "12:30 PM"}) EXPECT_EQ(so_Read(text, "hh:mm tt").tm_year, 0) << text;
    for (char const* text : {"24:00:00", "23:60:00", "23:59:60"}) EXPECT_EQ(so_Read(text, "HH:mm:ss").tm_year, 0) << text;
    read = so_Read("23:59:59", "HH:mm:ss");
    EXPECT_EQ(read.tm_hour * 3600 + read.tm_min * 60 + read.tm_sec, 86399);
}

TEST(TimeParse, NamesLiteralsAndQuotes) {
    EXPECT_DATE(so_Read("5 march 1999", "d MMMM yyyy"), 1999, 3, 5);
    EXPECT_DATE(so_Read("5 MARCH 1999", "d MMMM yyyy"), 1999, 3, 5);
    EXPECT_DATE(so_Read("5 Mar 1999", "d MMM yyyy"), 1999, 3, 5);
    EXPECT_EQ(so_Read("5 Marc 1999", "d MMMM yyyy").tm_year, 0);
    // A day name sets the weekday as read, even a wrong one.
    struct tm read = so_Read("Friday, 5 March 1999", "dddd, d MMMM yyyy");
    EXPECT_DATE(read, 1999, 3, 5);
    EXPECT_EQ(read.tm_wday, 5);
    EXPECT_EQ(so_Read("Fryday, 5 March 1999", "dddd, d MMMM yyyy").tm_year, 0);
    // Literals match as far as they agree; a mismatch is no error.
    EXPECT_DATE(so_Read("5 of March 1999", "d 'of' MMMM yyyy"), 1999, 3, 5);
    EXPECT_DATE(so_Read("5 March 1999", "d 'of' MMMM yyyy"), 1999, 3, 5);
    EXPECT_DATE(so_Read("5 o'clock March 1999", "d 'o''clock' MMMM yyyy"), 1999, 3, 5);
    // Numbers skip no white space: only literals do.
    EXPECT_EQ(so_Read("  1999-03-05", "yyyy-MM-dd").tm_year, 0);
    EXPECT_DATE(so_Read("  1999-03-05", " yyyy-MM-dd"), 1999, 3, 5);
    EXPECT_DATE(so_Read("1999 / 03 / 05", "yyyy/MM/dd"), 1999, 3, 5);
    // German names, and an unclosed quote running to the end.
    EXPECT_DATE(so_Read("5. MÄRZ 1999", "d. MMMM yyyy 'Uhr", sn_German), 1999, 3, 5);
    // Five letters of d or M still read one field of four.
    EXPECT_DATE(so_Read("5 March 1999", "d MMMMM yyyy"), 1999, 3, 5);
    // Nothing to read.
    CT_Time time;
    CT_CString text("1.1.2000", ~0u, 0);
    EXPECT_FALSE(time.b_Set(&text, nullptr, sn_English, CT_Calendar::e_NoID, 1));
    EXPECT_FALSE(time.b_Set(nullptr, &text, sn_English, CT_Calendar::e_NoID, 1));
}

TEST(TimeParse, YearsAcrossCalendars) {
    using namespace CalendarDays;
    // Hebrew by the calendar given: 1 Tishri 5787 (month 7) is 12 September 2026.
    st_GregorianDate g = so_AbsoluteToGregorian(si_HebrewToAbsolute({5787, 7, 1}));
    EXPECT_DATE(so_Read("01.07.5787", "dd.MM.yyyy", sn_English, CT_Calendar::e_Hebrew), g.i_Year, g.i_Month, g.i_Day);
    // A four-digit year near the present one stays Gregorian.
    EXPECT_DATE(so_Read("01.07.2026", "dd.MM.yyyy", sn_English, CT_Calendar::e_Hebrew), 2026, 7, 1);
    // Thai by the calendar given: 2541 is 1998.
    EXPECT_DATE(so_Read("17.05.2541", "dd.MM.yyyy", sn_English, CT_Calendar::e_Thai), 1998, 5, 17);
    // A Hijri locale reads Hijri years by its own calendar.
    g = so_AbsoluteToGregorian(si_HijriToAbsolute({1447, 9, 15}));
    EXPECT_DATE(so_Read("15.09.1447", "dd.MM.yyyy", sn_Arabic), g.i_Year, g.i_Month, g.i_Day);
    // An era name of the locale's optional calendar decides for it: Heisei 10 is 1998.
    if (CT_Calendar::seo_GetAlternateCalendar(sn_Japanese) == CT_Calendar::e_JapaneseType) {
        EXPECT_DATE(so_Read("\xe5\xb9\xb3\xe6\x88\x90 10.05.17", "gg yy.MM.dd", sn_Japanese), 1998, 5, 17);
        // Without a match the era is simply not read.
        EXPECT_DATE(so_Read("10.05.17", "ggyy.MM.dd", sn_Japanese), 2010, 5, 17);
    }
}

TEST(TimeParse, TypedDateAndTime) {
    unsigned saved = Platform::n_GetThreadLocale();
    ASSERT_TRUE(Platform::b_SetThreadLocale(sn_German));
    CT_UString mask;
    CT_Time::sv_GetInputMask(&mask);
    unsigned short shortDate[130];
    int length = Platform::i_GetLocaleInfoW(sn_German, Platform::e_LocaleSShortDate, shortDate, 130);
    ASSERT_GT(length, 1);
    CT_UString expected(shortDate, static_cast<unsigned>(length - 1));
    expected.v_Append("[[,] HH::mm[:ss]]", ~0u);
    EXPECT_EQ(mask.vi_Compare(&expected, 0, ~0u, 0), 0);

    // 24 December 1998 as the locale writes it short, then a time of one
    // and two digits: the time picture is H.mm.
    CT_Time time;
    time.v_Set(1998, 12, 24, 0, 0, 0);
    CT_UString typed;
    time.v_GetDate(&typed, sn_German, CT_Time::e_ShortDate);
    typed.v_Append(" 9.05", ~0u);
    ASSERT_TRUE(time.b_Set(&typed, CT_Calendar::e_NoID));
    struct tm read = *CT_Time::spso_Abs2Date(time.n8_Get());
    EXPECT_DATE(read, 1998, 12, 24);
    EXPECT_EQ(read.tm_hour, 9);
    EXPECT_EQ(read.tm_min, 5);
    // A date alone, with a trailing non-digit taken off.
    time.v_GetDate(&typed, sn_German, CT_Time::e_ShortDate);
    typed.v_Append(",", ~0u);
    ASSERT_TRUE(time.b_Set(&typed, CT_Calendar::e_NoID));
    EXPECT_EQ(CT_Time::spso_Abs2Date(time.n8_Get())->tm_hour, 0);
    typed.v_Set(static_cast<unsigned short const*>(nullptr), 0);
    EXPECT_FALSE(time.b_Set(&typed, CT_Calendar::e_NoID));
    Platform::b_SetThreadLocale(saved);
}

TEST(TimeFormat, PicturesAndLocales) {
    CT_Time time;
    time.v_Set(1998, 3, 5, 22, 7, 9);
    CT_UString wide;
    CT_UString picture("dddd, d MMMM yyyy", ~0u, 0);
    time.v_GetDate(&wide, &picture, sn_English, CT_Time::e_DateDefault);
    EXPECT_EQ(CT_CString(&wide, 65001).qccz_Get(), std::string("Thursday, 5 March 1998"));
    CT_CString narrow(0);
    CT_UString clock("hh:mm:ss tt", ~0u, 0);
    time.v_GetTime(&narrow, &clock, sn_English);
    EXPECT_EQ(narrow.qccz_Get(), std::string("10:07:09 PM"));
    CT_UString german("dd.MM.yyyy", ~0u, 0);
    time.v_GetDate(&narrow, &german, sn_German, CT_Time::e_DateDefault);
    EXPECT_EQ(narrow.qccz_Get(), std::string("05.03.1998"));
    // What was formatted reads back.
    CT_Time back;
    CT_UString longPicture("dddd, d MMMM yyyy", ~0u, 0);
    ASSERT_TRUE(back.b_Set(&wide, &longPicture, sn_English, CT_Calendar::e_NoID, 1));
    EXPECT_DATE(*CT_Time::spso_Abs2Date(back.n8_Get()), 1998, 3, 5);

    CT_CString line(0);
    char separator[] = " ";
    CT_Time::sv_Format(&line, 0, separator, CT_Time::e_TimeDefault);
    EXPECT_EQ(line.vn_GetLength(), 0u);
    CT_Time::sv_Format(&line, time.n_Get(), separator, CT_Time::e_TimeDefault);
    EXPECT_GT(line.vn_GetLength(), 10u);
}

TEST(Calendar, CalendarsOfLocales) {
    EXPECT_EQ(CT_Calendar::seo_GetCalendar(sn_Arabic), CT_Calendar::e_HijriType);
    EXPECT_EQ(CT_Calendar::seo_AlternateCalendar(sn_Arabic), CT_Calendar::e_HijriType);
    EXPECT_EQ(CT_Calendar::seo_AlternateCalendar(sn_English), CT_Calendar::e_NoType);
    // A Hebrew locale whose own settings are Gregorian offers Hebrew.
    EXPECT_EQ(CT_Calendar::seo_AlternateCalendar(1037), CT_Calendar::e_HebrewType);
    EXPECT_EQ(CT_Calendar::seo_AlternateCalendar(0x0400 | 13), CT_Calendar::e_HebrewType);
    CT_CString name(0);
    ASSERT_TRUE(CT_Calendar::sb_GetCalendarName(sn_English, &name));
    EXPECT_GT(name.vn_GetLength(), 0u);
    EXPECT_EQ(name.n_GetCodePage(), 1252u);
    EXPECT_FALSE(CT_Calendar::sb_GetAlternateCalendarName(sn_English, &name));
    // Saudi Arabia's alternate calendar is its own calendar: no name.
    EXPECT_FALSE(CT_Calendar::sb_GetAlternateCalendarName(sn_Arabic, &name));
}
