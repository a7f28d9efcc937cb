// Formatting numbers by a locale: CT_FormatString::sb_FormatNumber (the
// locale's number settings read, then the number-format rules) beside ICU's
// number formatter (a formatter made once, as ICU wants it used) and plain
// snprintf (no locale at all: the floor).
#include <benchmark/benchmark.h>
#include <unicode/locid.h>
#include <unicode/numberformatter.h>

#include <cstdio>

#include "Foundation/Basis.h"

namespace {

unsigned n_Value(unsigned i) { return (i * 2654435761u) % 200000000u; }

void BM_FormatNumber_Basis(benchmark::State& state) {
    CT_CString out(1252);
    unsigned i = 0;
    for (auto _ : state) {
        CT_FormatString::sb_FormatNumber(&out, n_Value(i++), 1033, 2, 3);
        benchmark::DoNotOptimize(out.qccz_Get());
    }
}
BENCHMARK(BM_FormatNumber_Basis);

void BM_FormatNumber_Icu(benchmark::State& state) {
    UErrorCode error = U_ZERO_ERROR;
    icu::number::LocalizedNumberFormatter formatter =
        icu::number::NumberFormatter::withLocale(icu::Locale("en_US"))
            .precision(icu::number::Precision::fixedFraction(2))
            .grouping(UNUM_GROUPING_ON_ALIGNED);
    unsigned i = 0;
    for (auto _ : state) {
        icu::UnicodeString text =
            formatter.formatInt(static_cast<int64_t>(n_Value(i++)), error).toString(error);
        benchmark::DoNotOptimize(text.getBuffer());
    }
}
BENCHMARK(BM_FormatNumber_Icu);

void BM_FormatNumber_Snprintf(benchmark::State& state) {
    char text[32];
    unsigned i = 0;
    for (auto _ : state) {
        std::snprintf(text, sizeof text, "%u.00", n_Value(i++));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_FormatNumber_Snprintf);

}  // namespace
