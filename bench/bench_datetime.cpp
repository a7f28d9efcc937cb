// 10^5 dates and times formatted by a picture and read back, beside ICU's
// SimpleDateFormat (format, and parse with a ParsePosition).
#include <benchmark/benchmark.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Platform/TimeZone.h"

namespace {

constexpr int sn_Count = 100000;
constexpr unsigned sn_English = 1033;
// Calendar times from 1990 on, about 3.6 hours apart.
constexpr unsigned sn_Start = 631152000;
constexpr unsigned sn_Step = 12979;

void v_Utc() { Platform::v_SetTimeZone("UTC"); }

void BM_BasisFormat(benchmark::State& state) {
    v_Utc();
    std::vector<CT_Time> times;
    for (int i = 0; i < sn_Count; ++i) times.emplace_back(sn_Start + static_cast<unsigned>(i) * sn_Step);
    CT_UString date("dd.MM.yyyy", ~0u, 0), clock("HH:mm:ss", ~0u, 0), out, part;
    for (auto _ : state)
        for (CT_Time const& time : times) {
            time.v_GetDate(&out, &date, sn_English, CT_Time::e_DateDefault);
            time.v_GetTime(&part, &clock, sn_English);
            benchmark::DoNotOptimize(out.n_GetLength() + part.n_GetLength());
        }
    state.SetItemsProcessed(state.iterations() * sn_Count);
}

void BM_IcuFormat(benchmark::State& state) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString("dd.MM.yyyy HH:mm:ss"), icu::Locale("en_US"), status);
    format.setTimeZone(*icu::TimeZone::getGMT());
    icu::UnicodeString out;
    for (auto _ : state)
        for (int i = 0; i < sn_Count; ++i) {
            out.remove();
            format.format((sn_Start + static_cast<double>(i) * sn_Step) * 1000.0, out);
            benchmark::DoNotOptimize(out.length());
        }
    state.SetItemsProcessed(state.iterations() * sn_Count);
}

std::vector<CT_UString> so_Texts() {
    std::vector<CT_UString> texts;
    CT_UString picture("dd.MM.yyyy HH:mm:ss", ~0u, 0), text, clock;
    CT_UString date("dd.MM.yyyy", ~0u, 0), time("HH:mm:ss", ~0u, 0);
    for (int i = 0; i < sn_Count; ++i) {
        CT_Time point(sn_Start + static_cast<unsigned>(i) * sn_Step);
        point.v_GetDate(&text, &date, sn_English, CT_Time::e_DateDefault);
        point.v_GetTime(&clock, &time, sn_English);
        text.v_Append(static_cast<unsigned short>(' '));
        text.v_Append(&clock, ~0u);
        texts.push_back(text);
    }
    return texts;
}

void BM_BasisParse(benchmark::State& state) {
    v_Utc();
    std::vector<CT_UString> texts = so_Texts();
    CT_UString picture("dd.MM.yyyy HH:mm:ss", ~0u, 0);
    CT_Time time;
    for (auto _ : state)
        for (CT_UString const& text : texts) benchmark::DoNotOptimize(time.b_Set(&text, &picture, sn_English, CT_Calendar::e_NoID, 0));
    state.SetItemsProcessed(state.iterations() * sn_Count);
}

void BM_IcuParse(benchmark::State& state) {
    v_Utc();
    std::vector<CT_UString> basisTexts = so_Texts();
    std::vector<icu::UnicodeString> texts;
    for (CT_UString const& text : basisTexts)
        texts.emplace_back(reinterpret_cast<char16_t const*>(text.qcuz_Get()), static_cast<int32_t>(text.n_GetLength()));
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString("dd.MM.yyyy HH:mm:ss"), icu::Locale("en_US"), status);
    format.setTimeZone(*icu::TimeZone::getGMT());
    for (auto _ : state)
        for (icu::UnicodeString const& text : texts) {
            icu::ParsePosition position(0);
            benchmark::DoNotOptimize(format.parse(text, position));
        }
    state.SetItemsProcessed(state.iterations() * sn_Count);
}

}  // namespace

BENCHMARK(BM_BasisFormat)->Name("Format/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuFormat)->Name("Format/icu")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BasisParse)->Name("Parse/basis")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuParse)->Name("Parse/icu")->Unit(benchmark::kMillisecond);
