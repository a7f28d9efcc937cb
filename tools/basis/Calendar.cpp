// `basis calendar`: converts a date between the Gregorian calendar and the
// others a locale may use, and lays out a month with the dates of a
// locale's alternate calendar beside the Gregorian ones.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Locale.h"
#include "tools/basis/CalendarNames.h"
#include "tools/basis/Commands.h"
#include "tools/basis/ToolErrors.h"

namespace {

enum : int { e_Ok = 0, e_Failed = 1, e_Usage = 2 };

int i_CalendarUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis calendar convert <yyyy-mm-dd> --to <calendar>\n"
                 "       basis calendar convert <yyyy-mm-dd> --from <calendar>\n"
                 "       basis calendar month <yyyy-mm> [--locale N]\n"
                 "\n"
                 "  calendar: gregorian, hebrew, hijri, japanese, taiwan, korean, thai\n"
                 "  (or its number). convert --to takes a Gregorian date to the calendar;\n"
                 "  --from reads the date in the calendar and gives the Gregorian one.\n"
                 "  Hebrew months count from Nisan (1); Tishri is 7, Adar II 13.\n"
                 "  month lays out a Gregorian month, the week starting as the locale\n"
                 "  says (default: the user's locale), with the day in the locale's\n"
                 "  alternate calendar beside each day when it has one.\n");
    return out == stdout ? e_Ok : e_Usage;
}

// One line naming the mistake and pointing at --help, status 2.
int i_UsageError(char const* what, char const* word) {
    return i_ToolUsageError(std::string(what) + " \"" + word + "\"");
}

// Reads "y-m-d" (or "y-m" with day 0 when wantDay is false): digits only,
// a year of 1 to 9999.
bool b_ReadDate(char const* text, bool wantDay, int* year, int* month, int* day) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    char const* p = text;
    while (count < 3) {
        if (*p < '0' || *p > '9') return false;
        long value = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9' && digits < 6) value = value * 10 + (*p++ - '0'), ++digits;
        parts[count++] = static_cast<int>(value);
        if (*p != '-') break;
        ++p;
    }
    if (*p != 0 || count != (wantDay ? 3 : 2)) return false;
    *year = parts[0];
    *month = parts[1];
    *day = parts[2];
    return *year >= 1 && *year <= 9999 && *month >= 1;
}

// Whether (y, m, d) is a date of the calendar.
bool b_IsDate(CT_Calendar::et_ID id, int y, int m, int d) {
    using namespace CalendarDays;
    if (d < 1 || m < 1) return false;
    if (id == CT_Calendar::e_Hijri) return m <= 12 && d <= si_HijriMonthDays(y, m);
    if (id == CT_Calendar::e_Hebrew) return m <= si_HebrewLastMonth(y) && d <= si_HebrewMonthDays(y, m);
    return m <= 12 && d <= si_GregorianMonthDays(y, m);
}

std::string s_Describe(CT_Calendar::et_ID id, struct tm const& date) {
    char text[160];
    std::snprintf(text, sizeof text, id == CT_Calendar::e_Gregorian ? "%04d-%02d-%02d %s" : "%d-%02d-%02d %s", date.tm_year,
                  date.tm_mon + 1, date.tm_mday, qccz_CalendarName(id));
    std::string out = text;
    if (char const* month = qccz_AlternateMonth(id, date.tm_year, date.tm_mon + 1)) {
        std::snprintf(text, sizeof text, " (%d %s %d)", date.tm_mday, month, date.tm_year);
        out += text;
    } else if (id != CT_Calendar::e_Gregorian) {
        for (unsigned i = 0; i < CT_Calendar::sn_GetIDCount(); ++i)
            if (CT_Calendar::seo_GetCalID(i) == id) out += " (" + s_CalendarUtf8(CT_Calendar::sqcuz_GetCalEra(i)) + " " + std::to_string(date.tm_year) + ")";
    }
    return out;
}

int i_Convert(int argc, char** argv) {
    if (argc != 3) return i_CalendarUsage(stderr);
    bool to = std::strcmp(argv[1], "--to") == 0;
    if (!to && std::strcmp(argv[1], "--from") != 0) return i_UsageError("unknown option", argv[1]);
    CT_Calendar::et_ID id = eo_CalendarByName(argv[2]);
    if (id == CT_Calendar::e_NoID) return i_UsageError("unknown calendar", argv[2]);
    int y, m, d;
    if (!b_ReadDate(argv[0], true, &y, &m, &d)) return i_UsageError("not a date yyyy-mm-dd", argv[0]);
    if (!b_IsDate(to ? CT_Calendar::e_Gregorian : id, y, m, d)) {
        std::fprintf(stderr, "basis calendar: %s is no date of the %s calendar\n", argv[0],
                     to ? "gregorian" : qccz_CalendarName(id));
        return e_Failed;
    }
    struct tm date;
    std::memset(&date, 0, sizeof date);
    date.tm_year = y;
    date.tm_mon = m - 1;
    date.tm_mday = d;
    date.tm_wday = -1;
    struct tm original = date;
    if (to) {
        if (id == CT_Calendar::e_Hijri && CalendarDays::si_GregorianToAbsolute({y, m, d}) <= 227014) {
            std::fprintf(stderr, "basis calendar: %s is before the Hijri calendar's first day (622-07-19)\n", argv[0]);
            return e_Failed;
        }
        if (id == CT_Calendar::e_Hebrew && CalendarDays::si_GregorianToAbsolute({y, m, d}) < CalendarDays::si_HebrewToAbsolute({1, 7, 1})) {
            std::fprintf(stderr, "basis calendar: %s is before the Hebrew calendar's first day\n", argv[0]);
            return e_Failed;
        }
        CT_Calendar::sv_Gregorian2Alternate(&date, id);
        std::printf("%s = %s\n", s_Describe(CT_Calendar::e_Gregorian, original).c_str(), s_Describe(id, date).c_str());
    } else {
        CT_Calendar::sv_Alternate2Gregorian(&date, id);
        if (date.tm_year < 1) {
            std::fprintf(stderr, "basis calendar: %s %s falls before the Gregorian year 1\n", argv[0], qccz_CalendarName(id));
            return e_Failed;
        }
        std::printf("%s = %s\n", s_Describe(id, original).c_str(), s_Describe(CT_Calendar::e_Gregorian, date).c_str());
    }
    return e_Ok;
}

// The first units of a wide text as UTF-8, padded with spaces to width
// units (names of any script; a wide character counts as one).
std::string s_Cell(unsigned short const* text, unsigned width) {
    unsigned short cut[16];
    unsigned n = 0;
    while (n < width && n < 15 && text[n]) cut[n] = text[n], ++n;
    cut[n] = 0;
    std::string out = s_CalendarUtf8(cut);
    out.append(width - n, ' ');
    return out;
}

std::string s_LocaleText(unsigned lcid, unsigned type) {
    unsigned short text[130];
    int n = Platform::i_GetLocaleInfoW(lcid, type, text, 130);
    if (n <= 0) text[0] = 0;
    return s_CalendarUtf8(text);
}

int i_Month(int argc, char** argv) {
    if (argc != 1 && argc != 3) return i_CalendarUsage(stderr);
    int y, m, d;
    if (!b_ReadDate(argv[0], false, &y, &m, &d) || m > 12) return i_UsageError("not a month yyyy-mm", argv[0]);
    unsigned lcid = Platform::n_GetUserDefaultLCID();
    if (argc == 3) {
        if (std::strcmp(argv[1], "--locale") != 0) return i_UsageError("unknown option", argv[1]);
        char* end = nullptr;
        unsigned long value = std::strtoul(argv[2], &end, 0);
        if (end == argv[2] || *end != 0 || value > 0xFFFFFFFFul || !Platform::b_IsValidLocale(static_cast<unsigned>(value), Platform::e_LocaleSupported))
            return i_UsageError("unknown locale", argv[2]);
        lcid = static_cast<unsigned>(value);
    }
    CT_Calendar::et_Type alternate = CT_Calendar::seo_AlternateCalendar(lcid);
    CT_Calendar::et_ID alternateID = static_cast<CT_Calendar::et_ID>(alternate);
    bool exact = alternate == CT_Calendar::e_HijriType || alternate == CT_Calendar::e_HebrewType;

    // The heading: the locale's month name and the year, then what the
    // alternate calendar calls the month's first and last day.
    std::string heading = s_LocaleText(lcid, Platform::e_LocaleSMonthName1 + m - 1) + " " + std::to_string(y);
    std::printf("%s\n", heading.c_str());
    int days = CalendarDays::si_GregorianMonthDays(y, m);
    if (alternate != CT_Calendar::e_NoType) {
        struct tm first, last;
        std::memset(&first, 0, sizeof first);
        first.tm_year = y;
        first.tm_mon = m - 1;
        first.tm_mday = 1;
        last = first;
        last.tm_mday = days;
        CT_Calendar::sv_Gregorian2Alternate(&first, alternateID);
        CT_Calendar::sv_Gregorian2Alternate(&last, alternateID);
        std::printf("%s to %s\n", s_Describe(alternateID, first).c_str(), s_Describe(alternateID, last).c_str());
    }

    // Locale value 0x100C: 0 is Monday to 6 Sunday. Day names: 0x31 is
    // Monday's abbreviation, to 0x37 Sunday's.
    unsigned short value[8];
    unsigned firstDay = 0;
    if (Platform::i_GetLocaleInfoW(lcid, Platform::e_LocaleIFirstDayOfWeek, value, 8) > 1) firstDay = value[0] - '0';
    if (firstDay > 6) firstDay = 0;
    unsigned const cell = exact ? 5 : 2;  // " 6/26" or " 6", a space between
    std::string line;
    for (unsigned i = 0; i < 7; ++i) {
        unsigned short name[130];
        if (Platform::i_GetLocaleInfoW(lcid, Platform::e_LocaleSAbbrevDayName1 + (firstDay + i) % 7, name, 130) <= 0) name[0] = 0;
        line += s_Cell(name, cell) + (i < 6 ? " " : "");
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());

    // Column of the first day: its weekday (0 Sunday) as a Monday-based
    // number, less the first day of the week.
    int weekday = CalendarDays::si_Weekday(CalendarDays::si_GregorianToAbsolute({y, m, 1}));
    unsigned column = (static_cast<unsigned>(weekday + 6) % 7 + 7 - firstDay) % 7;
    line.assign(column * (cell + 1), ' ');
    for (int day = 1; day <= days; ++day) {
        char text[32];
        if (exact) {
            struct tm date;
            std::memset(&date, 0, sizeof date);
            date.tm_year = y;
            date.tm_mon = m - 1;
            date.tm_mday = day;
            CT_Calendar::sv_Gregorian2Alternate(&date, alternateID);
            std::snprintf(text, sizeof text, "%2d/%-2d", day, date.tm_mday);
        } else {
            std::snprintf(text, sizeof text, "%2d", day);
        }
        line += text;
        if (++column == 7 || day == days) {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            std::printf("%s\n", line.c_str());
            line.clear();
            column = 0;
        } else {
            line += ' ';
        }
    }
    return e_Ok;
}

}  // namespace

int i_RunCalendar(int argc, char** argv) {
    if (argc < 1) return i_CalendarUsage(stderr);
    if (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0) return i_CalendarUsage(stdout);
    if (std::strcmp(argv[0], "convert") == 0) return i_Convert(argc - 1, argv + 1);
    if (std::strcmp(argv[0], "month") == 0) return i_Month(argc - 1, argv + 1);
    return i_UsageError("unknown subcommand", argv[0]);
}
