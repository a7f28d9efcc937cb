// Calendar conversions, 10^6 days a run, beside ICU's Calendar: Gregorian,
// Hijri (ICU's islamic-civil, the same arithmetic) and Hebrew dates to and
// from a day count. ICU's side is setTime and three field reads one way,
// clear, three field sets and getTime the other.
#include <benchmark/benchmark.h>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <vector>

#include "Foundation/System/Calendar/CalendarDays.h"

using namespace CalendarDays;

namespace {

constexpr int sn_Days = 1000000;
// From 1 January 1900, 10^6 consecutive days (to 4637).
int const sn_FirstDay = si_GregorianToAbsolute({1900, 1, 1});
int const sn_Epoch1970 = si_GregorianToAbsolute({1970, 1, 1});

std::unique_ptr<icu::Calendar> so_Icu(char const* locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(
        icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), icu::Locale(locale), status));
    return calendar;
}

template <class Date, Date (*FromDay)(int)> std::vector<Date> so_Dates() {
    std::vector<Date> dates(sn_Days);
    for (int i = 0; i < sn_Days; ++i) dates[i] = FromDay(sn_FirstDay + i);
    return dates;
}

template <class Date, Date (*FromDay)(int)> void BM_BasisFromDay(benchmark::State& state) {
    for (auto _ : state)
        for (int n = sn_FirstDay; n < sn_FirstDay + sn_Days; ++n) benchmark::DoNotOptimize(FromDay(n));
    state.SetItemsProcessed(state.iterations() * sn_Days);
}

template <class Date, Date (*FromDay)(int), int (*ToDay)(Date const&)> void BM_BasisToDay(benchmark::State& state) {
    std::vector<Date> dates = so_Dates<Date, FromDay>();
    for (auto _ : state)
        for (Date const& date : dates) benchmark::DoNotOptimize(ToDay(date));
    state.SetItemsProcessed(state.iterations() * sn_Days);
}

void v_IcuFromDay(benchmark::State& state, char const* locale) {
    std::unique_ptr<icu::Calendar> calendar = so_Icu(locale);
    for (auto _ : state)
        for (int n = sn_FirstDay; n < sn_FirstDay + sn_Days; ++n) {
            UErrorCode status = U_ZERO_ERROR;
            calendar->setTime((static_cast<double>(n) - sn_Epoch1970) * 86400000.0, status);
            benchmark::DoNotOptimize(calendar->get(UCAL_EXTENDED_YEAR, status));
            benchmark::DoNotOptimize(calendar->get(UCAL_MONTH, status));
            benchmark::DoNotOptimize(calendar->get(UCAL_DATE, status));
        }
    state.SetItemsProcessed(state.iterations() * sn_Days);
}

void v_IcuToDay(benchmark::State& state, char const* locale) {
    std::unique_ptr<icu::Calendar> calendar = so_Icu(locale);
    // The fields ICU itself gives for each day, set back one by one.
    std::vector<int> fields(3 * static_cast<std::size_t>(sn_Days));
    for (int i = 0; i < sn_Days; ++i) {
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime((static_cast<double>(sn_FirstDay + i) - sn_Epoch1970) * 86400000.0, status);
        fields[3 * i] = calendar->get(UCAL_EXTENDED_YEAR, status);
        fields[3 * i + 1] = calendar->get(UCAL_MONTH, status);
        fields[3 * i + 2] = calendar->get(UCAL_DATE, status);
    }
    for (auto _ : state)
        for (int i = 0; i < sn_Days; ++i) {
            UErrorCode status = U_ZERO_ERROR;
            calendar->clear();
            calendar->set(UCAL_EXTENDED_YEAR, fields[3 * i]);
            calendar->set(UCAL_MONTH, fields[3 * i + 1]);
            calendar->set(UCAL_DATE, fields[3 * i + 2]);
            benchmark::DoNotOptimize(calendar->getTime(status));
        }
    state.SetItemsProcessed(state.iterations() * sn_Days);
}

void BM_IcuGregorianFromDay(benchmark::State& state) { v_IcuFromDay(state, "en@calendar=gregorian"); }
void BM_IcuGregorianToDay(benchmark::State& state) { v_IcuToDay(state, "en@calendar=gregorian"); }
void BM_IcuHijriFromDay(benchmark::State& state) { v_IcuFromDay(state, "en@calendar=islamic-civil"); }
void BM_IcuHijriToDay(benchmark::State& state) { v_IcuToDay(state, "en@calendar=islamic-civil"); }
void BM_IcuHebrewFromDay(benchmark::State& state) { v_IcuFromDay(state, "en@calendar=hebrew"); }
void BM_IcuHebrewToDay(benchmark::State& state) { v_IcuToDay(state, "en@calendar=hebrew"); }

}  // namespace

BENCHMARK(BM_BasisFromDay<st_GregorianDate, so_AbsoluteToGregorian>)->Name("Gregorian/FromDay/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuGregorianFromDay)->Name("Gregorian/FromDay/icu")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasisToDay<st_GregorianDate, so_AbsoluteToGregorian, si_GregorianToAbsolute>)->Name("Gregorian/ToDay/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuGregorianToDay)->Name("Gregorian/ToDay/icu")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasisFromDay<st_HijriDate, so_AbsoluteToHijri>)->Name("Hijri/FromDay/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuHijriFromDay)->Name("Hijri/FromDay/icu")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasisToDay<st_HijriDate, so_AbsoluteToHijri, si_HijriToAbsolute>)->Name("Hijri/ToDay/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuHijriToDay)->Name("Hijri/ToDay/icu")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasisFromDay<st_HebrewDate, so_AbsoluteToHebrew>)->Name("Hebrew/FromDay/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuHebrewFromDay)->Name("Hebrew/FromDay/icu")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasisToDay<st_HebrewDate, so_AbsoluteToHebrew, si_HebrewToAbsolute>)->Name("Hebrew/ToDay/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuHebrewToDay)->Name("Hebrew/ToDay/icu")->Unit(benchmark::kMillisecond);
