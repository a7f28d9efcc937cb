#include "Foundation/System/Time/Time.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Foundation/Platform/TimeZone.h"
#include "Foundation/System/Time/StopWatch.h"

namespace {

// Sets TZ for one test and puts the old value back.
class ZoneScope {
public:
    explicit ZoneScope(char const* zone) {
        char const* old = std::getenv("TZ");
        b_HadZone = old != nullptr;
        if (old) o_Old = old;
        Platform::v_SetTimeZone(zone);
    }
    ~ZoneScope() { Platform::v_SetTimeZone(b_HadZone ? o_Old.c_str() : nullptr); }

private:
    bool b_HadZone;
    std::string o_Old;
};

// Seconds from absolute time 0 to the calendar time 0 (1970-01-01 UTC).
constexpr unsigned long long sn8_Epoch1970 = 719162ULL * 86400;
constexpr unsigned sn_Winter = 1768478400;  // 2026-01-15 12:00 UTC
constexpr unsigned sn_Summer = 1784116800;  // 2026-07-15 12:00 UTC

struct st_Zone {
    char const* qccz_Name;
    int i_WinterShift;  // daylight-saving shift in force at sn_Winter
    int i_SummerShift;
};

// glibc reads the zone database; the Windows runtime knows only its own TZ
// syntax, with daylight-saving time of one hour on US dates, so Lord Howe's
// half hour in the southern summer is not expressible there.
#if defined(_WIN32)
constexpr st_Zone sao_Zones[] = {
    {"UTC0", 0, 0}, {"CET-1CEST", 0, 3600}, {"EST5EDT", 0, 3600}, {"JST-9", 0, 0},
};
#else
constexpr st_Zone sao_Zones[] = {
    {"UTC", 0, 0},        {"Europe/Berlin", 0, 3600}, {"America/New_York", 0, 3600},
    {"Asia/Tokyo", 0, 0}, {"Australia/Lord_Howe", 1800, 0},
};
#endif

// Year (from 1900), month (from 1), day, hour, minute and second, to compare at once.
using Fields = std::array<int, 6>;
Fields ai_Fields(struct tm const* date) {
    return {date->tm_year, date->tm_mon + 1, date->tm_mday, date->tm_hour, date->tm_min, date->tm_sec};
}

}  // namespace

TEST(Time, AbsoluteTimeUnderZones) {
    for (st_Zone const& zone : sao_Zones) {
        ZoneScope scope(zone.qccz_Name);
        for (int summer = 0; summer < 2; ++summer) {
            unsigned instant = summer ? sn_Summer : sn_Winter;
            int shift = summer ? zone.i_SummerShift : zone.i_WinterShift;
#if defined(_WIN32)
            // The emulated runtime's summer time need not follow its TZ
            // text: take the shift it reports for the instant.
            struct tm probe;
            ASSERT_TRUE(Platform::b_LocalTime(instant, &probe));
            shift = probe.tm_isdst > 0 ? 3600 : 0;
#endif
            // The absolute time is local time moved by the standard offset
            // only: it runs ahead of UTC by the daylight-saving shift.
            CT_Time time(instant);
            EXPECT_EQ(time.n8_Get(), sn8_Epoch1970 + instant + shift) << zone.qccz_Name << " " << summer;
            // And back, through the date of the absolute time and mktime.
            CT_Time back(time.n8_Get());
            EXPECT_EQ(back.n_Get(), instant) << zone.qccz_Name << " " << summer;
            struct tm local;
            ASSERT_TRUE(Platform::b_LocalTime(instant, &local));
            struct tm* date = CT_Time::spso_Abs2Date(time.n8_Get());
            EXPECT_EQ(date->tm_year, 126);
            EXPECT_EQ(date->tm_mon, local.tm_mon);
            EXPECT_EQ(date->tm_mday, local.tm_mday);
            EXPECT_EQ(date->tm_hour, local.tm_hour) << zone.qccz_Name;
            EXPECT_EQ(date->tm_min, local.tm_min) << zone.qccz_Name;
            EXPECT_EQ(date->tm_wday, local.tm_wday);
            EXPECT_EQ(date->tm_yday, local.tm_yday);
            EXPECT_EQ(date->tm_isdst, shift != 0);
            // The same point as a local SYSTEMTIME, both ways.
            SYSTEMTIME system;
            CT_Time::sv_Convert(&system, time.n8_Get());
            EXPECT_EQ(system.wHour, local.tm_hour);
            EXPECT_EQ(system.wMilliseconds, 0);
            EXPECT_EQ(CT_Time::sn8_Convert(&system), time.n8_Get());
            EXPECT_EQ(CT_Time::sn_Convert(&system), instant);
            SYSTEMTIME fromCalendar;
            CT_Time::sv_Convert(&fromCalendar, static_cast<i4_t>(instant));
            EXPECT_EQ(std::memcmp(&fromCalendar, &system, sizeof system), 0);
        }
        // The DST correction is 0 with these runtimes, whose mktime honours
        // a DST flag of 0.
        struct tm july;
        std::memset(&july, 0, sizeof july);
        july.tm_mon = 6;
        july.tm_mday = 1;
        EXPECT_EQ(CT_Time::n_GetDST(&july), 0u);
    }
}

TEST(Time, FixedPointsAndSettingParts) {
    ZoneScope scope(sao_Zones[3].qccz_Name);  // Tokyo, nine hours east, no summer time
    // Absolute time 0 is 0001-01-01 00:00 before the zone's shift: local
    // midnight of that day in Tokyo lies nine hours before it, wrapping.
    struct tm first;
    std::memset(&first, 0, sizeof first);
    first.tm_year = -1899;
    first.tm_mday = 1;
    unsigned long long absolute = CT_Time::sn8_Date2Abs(&first);
    EXPECT_EQ(absolute, 0ULL - 9 * 3600);
    struct tm* date = CT_Time::spso_Abs2Date(absolute);
    EXPECT_EQ(ai_Fields(date), (Fields{-1899, 1, 1, 0, 0, 0}));
    EXPECT_EQ(date->tm_wday, 1);  // a Monday
    EXPECT_EQ(ai_Fields(CT_Time::spso_Abs2Date(absolute + 86400 + 3661)), (Fields{-1899, 1, 2, 1, 1, 1}));
    EXPECT_EQ(CT_Time::sn8_Date2Abs(nullptr), 0u);

    CT_Time time;  // 1997-01-01 00:00 local
    EXPECT_EQ(time.n_Get(), 852076800u - 9 * 3600);
    time.v_SetTime(13, 45, 30);
    time.v_Set(5, 12, 31, ~0u, ~0u, ~0u);
    EXPECT_EQ(ai_Fields(CT_Time::spso_Abs2Date(time.n8_Get())), (Fields{105, 12, 31, 13, 45, 30}));
    EXPECT_EQ(CT_Time(time.n8_Get()).n_Get(), time.n_Get());
    time.v_SetDate(70, 1, 2);
    EXPECT_EQ(time.n_Get(), 86400u + 13 * 3600 + 45 * 60 + 30 - 9 * 3600);
    time.v_SetDate(1998, 2, 29);  // carried into March by mktime
    EXPECT_EQ(CT_Time::spso_Abs2Date(time.n8_Get())->tm_mon, 2);

    struct tm local;
    std::memset(&local, 0, sizeof local);
    local.tm_year = 126;
    local.tm_mday = 1;
    local.tm_hour = 9;
    local.tm_isdst = -1;
    time.v_Local2gmt(&local);
    EXPECT_EQ(local.tm_hour, 0);
    EXPECT_EQ(local.tm_mday, 1);
}

namespace {

class TickWatch : public CT_StopWatch {
public:
    explicit TickWatch(unsigned ticks) { n_Ticks = ticks; }
};

}  // namespace

TEST(StopWatch, DifferencesAndTheirParts) {
    TickWatch start(1000), end(1000 + 90061001u);
    EXPECT_EQ(start.n_MillisecondsBetween(&end), 90061001u);
    EXPECT_EQ(end.n_MillisecondsBetween(&start), 90061001u);
    unsigned ms, s, min, h, days;
    start.v_Delta(&ms, &s, &min, &h, &days, &end);
    EXPECT_EQ(ms, 1u);
    EXPECT_EQ(s, 1u);
    EXPECT_EQ(min, 1u);
    EXPECT_EQ(h, 1u);
    EXPECT_EQ(days, 1u);
    EXPECT_EQ(start.n_SecondsBetween(&end), 90061u);
    EXPECT_EQ(start.n_HoursBetween(&end), 25u);
    EXPECT_EQ(start.n_DaysBetween(&end), 1u);
    start.v_Delta(nullptr, nullptr, nullptr, nullptr, &days, &end);  // null parts are skipped
    // A watch set now is close to the tick counter now.
    CT_StopWatch now;
    EXPECT_LT(now.n_MillisecondsBetween(nullptr), 10000u);
}
