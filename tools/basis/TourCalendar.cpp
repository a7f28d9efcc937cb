// The tour's calendar stop: one day in every calendar of the era table, the
// calendars locales offer, and dates read back by picture.
#include <cstdio>
#include <cstring>

#include "Foundation/Basis.h"
#include "Foundation/System/Calendar/CalendarDays.h"
#include "tools/basis/CalendarNames.h"
#include "tools/basis/Tour.h"

namespace {

void v_ShowRead(char const* text, char const* picture, unsigned lcid, CT_Calendar::et_ID calendar) {
    CT_UString wideText(text, ~0u, 65001), widePicture(picture, ~0u, 65001);
    CT_Time time;
    std::printf("  %-22s by %-20s locale %4u %-9s -> ", text, picture, lcid,
                calendar ? qccz_CalendarName(calendar) : "");
    if (!time.b_Set(&wideText, &widePicture, lcid, calendar, 1)) {
        std::printf("refused\n");
        return;
    }
    struct tm date = *CT_Time::spso_Abs2Date(time.n8_Get());
    std::printf("%04d-%02d-%02d %02d:%02d\n", date.tm_year + 1900, date.tm_mon + 1, date.tm_mday, date.tm_hour,
                date.tm_min);
}

}  // namespace

int i_TourCalendar() {
    v_TourHeading("Calendars and time");
    struct tm day;
    std::memset(&day, 0, sizeof day);
    day.tm_year = 2026;
    day.tm_mon = 11;
    day.tm_mday = 6;
    day.tm_wday = -1;
    CT_Calendar::sv_AddYearWeekday(&day);
    std::printf("Gregorian 2026-12-06 is absolute day %d (weekday %d, day %d of its year). In each calendar:\n",
                CalendarDays::si_GregorianToAbsolute({2026, 12, 6}), day.tm_wday, day.tm_yday + 1);
    for (unsigned i = 0; i < CT_Calendar::sn_GetIDCount(); ++i) {
        struct tm date = day;
        CT_Calendar::sv_Gregorian2Alternate(&date, CT_Calendar::seo_GetCalID(i));
        char const* month = qccz_AlternateMonth(CT_Calendar::seo_GetCalID(i), date.tm_year, date.tm_mon + 1);
        std::printf("  id %3d type %d offset %5d  %-12s %5d-%02d-%02d %s\n", CT_Calendar::seo_GetCalID(i),
                    CT_Calendar::seo_GetCalType(i), CT_Calendar::si_GetCalOffset(i),
                    s_CalendarUtf8(CT_Calendar::sqcuz_GetCalEra(i)).c_str(), date.tm_year, date.tm_mon + 1,
                    date.tm_mday, month ? month : "");
    }

    std::printf("\nThe calendar each locale uses, and the one it offers besides the Gregorian:\n");
    for (unsigned lcid : {1033u, 1037u, 1025u, 1041u, 1054u}) {
        CT_CString name(0), alternate(0);
        CT_Calendar::sb_GetCalendarName(lcid, &name);
        bool hasAlternate = CT_Calendar::sb_GetAlternateCalendarName(lcid, &alternate);
        CT_UString wideName(&name), wideAlternate(&alternate);
        std::printf("  %4u  calendar %d (%s)  alternate %d%s%s%s\n", lcid, CT_Calendar::seo_GetCalendar(lcid),
                    s_CalendarUtf8(wideName.qcuz_Get()).c_str(), CT_Calendar::seo_AlternateCalendar(lcid),
                    hasAlternate ? " (" : "", hasAlternate ? s_CalendarUtf8(wideAlternate.qcuz_Get()).c_str() : "",
                    hasAlternate ? ")" : "");
    }

    std::printf("\nReading what a user typed, by a picture (two-digit years: 00-35 are 2000-2035, 36-69 refused):\n");
    v_ShowRead("31.12.98", "dd.MM.yy", 1033, CT_Calendar::e_NoID);
    v_ShowRead("01.01.05", "dd.MM.yy", 1033, CT_Calendar::e_NoID);
    v_ShowRead("01.01.50", "dd.MM.yy", 1033, CT_Calendar::e_NoID);
    v_ShowRead("30.02.98", "dd.MM.yy", 1033, CT_Calendar::e_NoID);
    v_ShowRead("5 march 1999 10:30 PM", "d MMMM yyyy hh:mm tt", 1033, CT_Calendar::e_NoID);
    v_ShowRead("01.07.5787", "dd.MM.yyyy", 1033, CT_Calendar::e_Hebrew);
    v_ShowRead("15.09.1447", "dd.MM.yyyy", 1033, CT_Calendar::e_Hijri);
    v_ShowRead("17.05.2541", "dd.MM.yyyy", 1033, CT_Calendar::e_Thai);

    CT_StopWatch watch;
    unsigned ms = 0, s = 0, min = 0, h = 0, days = 0;
    watch.v_Delta(&ms, &s, &min, &h, &days, nullptr);
    std::printf("\nA stop watch just set: %u days %u:%02u:%02u.%03u elapsed\n", days, h, min, s, ms);
    return b_TourFailed("calendar tour") ? 1 : 0;
}
