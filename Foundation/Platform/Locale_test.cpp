// The locale seam on both systems: the Windows functions under Wine and the
// ICU stand-in on Linux must agree on everything tested here.
#include "Foundation/Platform/Locale.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Foundation/Platform/SystemError.h"

namespace {

using Platform::st_SystemTime;

std::vector<unsigned short> W(char16_t const* text) {
    std::vector<unsigned short> out;
    for (; *text; ++text) out.push_back(static_cast<unsigned short>(*text));
    out.push_back(0);
    return out;
}

std::u16string Value(unsigned lcid, unsigned type) {
    unsigned short text[256];
    int n = Platform::i_GetLocaleInfoW(lcid, type, text, 256);
    return n > 0 ? std::u16string(reinterpret_cast<char16_t const*>(text), static_cast<size_t>(n - 1)) : u"<fails>";
}

std::u16string Date(unsigned lcid, st_SystemTime const& time, char16_t const* picture, unsigned flags = 0) {
    unsigned short text[256];
    int n = Platform::i_GetDateFormatW(lcid, flags, &time, picture ? W(picture).data() : nullptr, text, 256);
    return n > 0 ? std::u16string(reinterpret_cast<char16_t const*>(text), static_cast<size_t>(n - 1)) : u"<fails>";
}

std::u16string Time(unsigned lcid, st_SystemTime const& time, char16_t const* picture, unsigned flags = 0) {
    unsigned short text[256];
    int n = Platform::i_GetTimeFormatW(lcid, flags, &time, picture ? W(picture).data() : nullptr, text, 256);
    return n > 0 ? std::u16string(reinterpret_cast<char16_t const*>(text), static_cast<size_t>(n - 1)) : u"<fails>";
}

std::string Number(char const* value, unsigned digits, unsigned leadingZero, unsigned grouping, unsigned order) {
    Platform::st_NumberFormat format{digits, leadingZero, grouping, ".", ",", order};
    char text[128];
    int n = Platform::i_GetNumberFormatA(1033, 0, value, &format, text, sizeof text);
    return n > 0 ? std::string(text) : "<fails>";
}

st_SystemTime const so_Sunday{2026, 12, 3 /* ignored */, 6, 13, 5, 9, 0};
st_SystemTime const so_Morning{1999, 3, 0, 5, 0, 7, 30, 0};

}  // namespace

TEST(LocaleSeam, ValuesAndNumbers) {
    EXPECT_EQ(u"January", Value(1033, Platform::e_LocaleSMonthName1));
    EXPECT_EQ(u"Sunday", Value(1033, Platform::e_LocaleSDayName1 + 6));
    EXPECT_EQ(u"Mon", Value(1033, Platform::e_LocaleSAbbrevDayName1));
    EXPECT_EQ(u"AM", Value(1033, Platform::e_LocaleS1159));
    EXPECT_EQ(u"1252", Value(1033, Platform::e_LocaleIDefaultAnsiCodePage));
    EXPECT_EQ(u"932", Value(1041, Platform::e_LocaleIDefaultAnsiCodePage));
    EXPECT_EQ(u"1", Value(1033, Platform::e_LocaleICalendarType));
    EXPECT_EQ(u"7", Value(1054, Platform::e_LocaleICalendarType));
    EXPECT_EQ(u",", Value(1031, Platform::e_LocaleSDecimal));
    EXPECT_EQ(u"M/d/yyyy", Value(1033, Platform::e_LocaleSShortDate));
    EXPECT_EQ(u"dddd, MMMM d, yyyy", Value(1033, Platform::e_LocaleSLongDate));
    EXPECT_EQ(u"h:mm:ss tt", Value(1033, Platform::e_LocaleSTimeFormat));
    EXPECT_EQ(u"6", Value(1033, Platform::e_LocaleIFirstDayOfWeek));  // Sunday
    EXPECT_EQ(u"0", Value(1031, Platform::e_LocaleIFirstDayOfWeek));  // Monday
    // The number form of a value, and the narrow form in the locale's page.
    unsigned short number[2] = {0, 0};
    EXPECT_EQ(2, Platform::i_GetLocaleInfoW(1041, Platform::e_LocaleIDefaultAnsiCodePage |
                                                      Platform::e_LocaleReturnNumber, number, 2));
    EXPECT_EQ(932u, number[0] + 65536u * number[1]);
    char narrow[64];
    ASSERT_GT(Platform::i_GetLocaleInfoA(1049, Platform::e_LocaleSMonthName1, narrow, sizeof narrow), 0);
    EXPECT_EQ('\xFF', narrow[0]);  // январь in code page 1251: FF ED ...
}

TEST(LocaleSeam, BufferRulesAndRefusals) {
    unsigned short text[4];
    // Room 0 asks for the length with the zero; too little room fails.
    EXPECT_EQ(8, Platform::i_GetLocaleInfoW(1033, Platform::e_LocaleSMonthName1, nullptr, 0));
    EXPECT_EQ(0, Platform::i_GetLocaleInfoW(1033, Platform::e_LocaleSMonthName1, text, 4));
    EXPECT_NE(0u, Platform::n_GetLastError());
    EXPECT_EQ(0, Platform::i_GetLocaleInfoW(0x7E7E, Platform::e_LocaleSMonthName1, text, 4));
    EXPECT_FALSE(Platform::b_IsValidLocale(0x7E7E, Platform::e_LocaleSupported));
    EXPECT_TRUE(Platform::b_IsValidLocale(1033, Platform::e_LocaleInstalled));
    // Dates the calendar does not have, times past the day, and a picture
    // together with a picture flag are refused.
    st_SystemTime bad = so_Sunday;
    bad.n_Day = 31;
    bad.n_Month = 2;
    EXPECT_EQ(u"<fails>", Date(1033, bad, u"d"));
    bad = so_Sunday;
    bad.n_Hour = 24;
    EXPECT_EQ(u"<fails>", Time(1033, bad, u"H"));
    EXPECT_EQ(u"<fails>", Date(1033, so_Sunday, u"d", Platform::e_DateShortDate));
    EXPECT_EQ(u"<fails>", Date(1033, so_Sunday, nullptr, Platform::e_DateShortDate | Platform::e_DateLongDate));
    EXPECT_EQ("<fails>", Number("12a", 2, 1, 3, 1));
    EXPECT_EQ("<fails>", Number("--1", 2, 1, 3, 1));
}

TEST(LocaleSeam, DatePictures) {
    EXPECT_EQ(u"12/6/2026", Date(1033, so_Sunday, nullptr, Platform::e_DateShortDate));
    EXPECT_EQ(u"Sunday, December 6, 2026", Date(1033, so_Sunday, nullptr, Platform::e_DateLongDate));
    // The day of the week comes from the date, not from the record.
    EXPECT_EQ(u"Sun Sunday 6 06 12 12 Dec December 26 2026",
              Date(1033, so_Sunday, u"ddd dddd d dd M MM MMM MMMM yy yyyy"));
    EXPECT_EQ(u"5 3 99 1999 05 03", Date(1033, so_Morning, u"d M yy yyyy dd MM"));
#ifndef _WIN32
    // y is the year's last digit, as Windows documents it; Wine writes two
    // (a known difference of the parity check).
    EXPECT_EQ(u"9 6", Date(1033, so_Morning, u"y") + u" " + Date(1033, so_Sunday, u"y"));
#endif
    // Quotes: literal text, two quotes for one; other characters copied.
    EXPECT_EQ(u"day 6 of Dec, it's 2026!", Date(1033, so_Sunday, u"'day' d 'of' MMM, 'it''s' yyyy!"));
    EXPECT_EQ(u"2026-12-06 h:m", Date(1033, so_Sunday, u"yyyy-MM-dd h:m"));
    // A month name after a day number takes its genitive form.
    EXPECT_EQ(u"6 декабря", Date(1049, so_Sunday, u"d MMMM"));
#ifndef _WIN32
    // Without a day the name stays nominative; Wine answers with the
    // genitive here after the call above (its dump, made without one, agrees).
    EXPECT_EQ(u"декабрь 2026", Date(1049, so_Sunday, u"MMMM yyyy"));
#endif
    EXPECT_EQ(u"6. Dezember 2026", Date(1031, so_Sunday, u"d. MMMM yyyy"));
}

TEST(LocaleSeam, TimePicturesAndFlags) {
    EXPECT_EQ(u"1:05:09 PM", Time(1033, so_Sunday, nullptr));
    EXPECT_EQ(u"12:07:30 AM", Time(1033, so_Morning, nullptr));
    EXPECT_EQ(u"13:05:09", Time(1031, so_Sunday, nullptr));
    EXPECT_EQ(u"01 1 13 13 5 05 9 09 P PM", Time(1033, so_Sunday, u"hh h HH H m mm s ss t tt"));
    EXPECT_EQ(u"1:05 PM", Time(1033, so_Sunday, nullptr, Platform::e_TimeNoSeconds));
    EXPECT_EQ(u"1 PM", Time(1033, so_Sunday, nullptr, Platform::e_TimeNoMinutesOrSeconds));
    EXPECT_EQ(u"1:05:09", Time(1033, so_Sunday, nullptr, Platform::e_TimeNoTimeMarker));
    EXPECT_EQ(u"13:05:09 PM", Time(1033, so_Sunday, nullptr, Platform::e_TimeForce24HourFormat));
    EXPECT_EQ(u"at 13h05", Time(1033, so_Sunday, u"'at' HH'h'mm"));
}

TEST(LocaleSeam, NumberFormatRecord) {
    EXPECT_EQ("1,234,567.89", Number("1234567.891", 2, 1, 3, 1));
    EXPECT_EQ("1234567.9", Number("1234567.891", 1, 1, 0, 1));
    EXPECT_EQ("12,34,567", Number("1234567", 0, 1, 32, 1));
#ifndef _WIN32
    // Rounding that carries into a new group gets its separator; Wine groups
    // before it rounds (a known difference of the parity check).
    EXPECT_EQ("1,000.00", Number("999.995", 2, 1, 3, 1));
#endif
    EXPECT_EQ("0.50", Number("0.5", 2, 1, 3, 1));
    EXPECT_EQ(".50", Number("0.5", 2, 0, 3, 1));
    EXPECT_EQ("(1.5)", Number("-1.5", 1, 1, 3, 0));
    EXPECT_EQ("-1.5", Number("-1.5", 1, 1, 3, 1));
    EXPECT_EQ("- 1.5", Number("-1.5", 1, 1, 3, 2));
    EXPECT_EQ("1.5-", Number("-1.5", 1, 1, 3, 3));
    EXPECT_EQ("1.5 -", Number("-1.5", 1, 1, 3, 4));
    EXPECT_EQ("12", Number("12", 0, 1, 3, 1));
}

TEST(LocaleSeam, LocalesAndCalendars) {
    std::vector<std::u16string> ids;
    Platform::b_EnumSystemLocalesW(
        [](unsigned short const* id, void* context) {
            static_cast<std::vector<std::u16string>*>(context)->push_back(reinterpret_cast<char16_t const*>(id));
            return 1;
        },
        &ids, Platform::e_LocaleInstalled);
    EXPECT_GT(ids.size(), 20u);
    bool english = false;
    for (std::u16string const& id : ids) {
        EXPECT_EQ(8u, id.size());
        english = english || id == u"00000409";
    }
    EXPECT_TRUE(english);

    std::vector<std::string> names;
    auto collect = [](char const* text, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(text);
        return 1;
    };
    EXPECT_TRUE(Platform::b_EnumCalendarInfoA(collect, &names, 1041, Platform::e_CalendarAll,
                                              Platform::e_CalInfoCalendarId));
    bool japanese = false;
    for (std::string const& name : names) japanese = japanese || name == "3";
    EXPECT_TRUE(japanese);
}

// Threads that ask for locales no one has asked for yet, all at once: each
// gets whole values (the stand-in reads a locale once and shares it).
TEST(LocaleSeam, ConcurrentFirstUseOfLocales) {
    unsigned const lcids[] = {1043, 1053, 1045, 1029};
    std::vector<std::u16string> results(8);
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 8; ++t) {
        threads.emplace_back([t, &lcids, &results] {
            std::u16string text;
            for (int round = 0; round < 20; ++round)
                text = Date(lcids[t % 4], so_Sunday, u"dddd d MMMM yyyy") + Value(lcids[t % 4], 0x0E);
            results[t] = text;
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (unsigned t = 0; t < 4; ++t) {
        EXPECT_EQ(results[t], results[t + 4]);
        EXPECT_EQ(Date(lcids[t], so_Sunday, u"dddd d MMMM yyyy") + Value(lcids[t], 0x0E), results[t]);
    }
    EXPECT_EQ(u"zondag 6 december 2026,", results[0]);
}
