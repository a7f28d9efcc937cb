// CT_CString and CT_UString against std::string and std::u16string:
// appending character by character and in short texts, finding a
// character and a text, and comparing.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Foundation/Basis.h"

namespace {

constexpr int kChars = 1 << 16;
char const kShort[] = "bilingua";  // 8 characters
char16_t const kShortWide[] = u"bilingua";
constexpr unsigned kShortLength = 8;

std::vector<unsigned short> WideUnits(char16_t const* text) {
    std::vector<unsigned short> units;
    while (*text) units.push_back(*text++);
    units.push_back(0);
    return units;
}

// A haystack of letters in which the needle appears only at the end.
std::string Haystack(std::string const& needle) {
    std::string text;
    unsigned state = 12345;
    while (text.size() < kChars - needle.size()) {
        state = state * 1103515245u + 12345u;
        text.push_back(static_cast<char>('a' + (state >> 16) % 20));  // a to t: never the needle's x, y, z
    }
    return text + needle;
}

std::u16string Widen(std::string const& text) { return std::u16string(text.begin(), text.end()); }

// Appending one character at a time.

void AppendChar_CT_CString(benchmark::State& state) {
    for (auto _ : state) {
        CT_CString s(1252);
        for (int i = 0; i < kChars; ++i) s.v_Append(static_cast<char>('a' + i % 26));
        benchmark::DoNotOptimize(s.qccz_Get());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

void AppendChar_std_string(benchmark::State& state) {
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kChars; ++i) s.push_back(static_cast<char>('a' + i % 26));
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

void AppendChar_CT_UString(benchmark::State& state) {
    for (auto _ : state) {
        CT_UString s;
        for (int i = 0; i < kChars; ++i) s.v_Append(static_cast<unsigned short>('a' + i % 26));
        benchmark::DoNotOptimize(s.qcuz_Get());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

void AppendChar_std_u16string(benchmark::State& state) {
    for (auto _ : state) {
        std::u16string s;
        for (int i = 0; i < kChars; ++i) s.push_back(static_cast<char16_t>('a' + i % 26));
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

// Appending short texts.

void AppendShort_CT_CString(benchmark::State& state) {
    for (auto _ : state) {
        CT_CString s(1252);
        for (int i = 0; i < kChars; i += kShortLength) s.v_Append(kShort, kShortLength);
        benchmark::DoNotOptimize(s.qccz_Get());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

void AppendShort_std_string(benchmark::State& state) {
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kChars; i += kShortLength) s.append(kShort, kShortLength);
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

void AppendShort_CT_UString(benchmark::State& state) {
    std::vector<unsigned short> text = WideUnits(kShortWide);
    for (auto _ : state) {
        CT_UString s;
        for (int i = 0; i < kChars; i += kShortLength) s.v_Append(text.data(), kShortLength);
        benchmark::DoNotOptimize(s.qcuz_Get());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

void AppendShort_std_u16string(benchmark::State& state) {
    for (auto _ : state) {
        std::u16string s;
        for (int i = 0; i < kChars; i += kShortLength) s.append(kShortWide, kShortLength);
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kChars);
}

// Finding a character that stands at the end of 64 Ki characters.

void FindChar_CT_CString(benchmark::State& state) {
    std::string text = Haystack("z");
    CT_CString s(text.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vn_Find('z', 0));
    state.SetItemsProcessed(state.iterations() * kChars);
}

void FindChar_std_string(benchmark::State& state) {
    std::string s = Haystack("z");
    for (auto _ : state) benchmark::DoNotOptimize(s.find('z'));
    state.SetItemsProcessed(state.iterations() * kChars);
}

void FindChar_CT_UString(benchmark::State& state) {
    std::string text = Haystack("z");
    CT_UString s(text.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vn_Find(static_cast<unsigned short>('z'), 0));
    state.SetItemsProcessed(state.iterations() * kChars);
}

void FindChar_std_u16string(benchmark::State& state) {
    std::u16string s = Widen(Haystack("z"));
    for (auto _ : state) benchmark::DoNotOptimize(s.find(u'z'));
    state.SetItemsProcessed(state.iterations() * kChars);
}

// Finding a text: the needle's first letter is common, the match is at the end.

std::string const kNeedle = "axyzaxyz";

void FindText_CT_CString(benchmark::State& state) {
    std::string text = Haystack(kNeedle);
    CT_CString s(text.c_str(), ~0u, 1252), needle(kNeedle.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vn_Find(&needle, 0));
    state.SetItemsProcessed(state.iterations() * kChars);
}

void FindText_std_string(benchmark::State& state) {
    std::string s = Haystack(kNeedle);
    for (auto _ : state) benchmark::DoNotOptimize(s.find(kNeedle));
    state.SetItemsProcessed(state.iterations() * kChars);
}

void FindText_CT_UString(benchmark::State& state) {
    std::string text = Haystack(kNeedle);
    CT_UString s(text.c_str(), ~0u, 1252), needle(kNeedle.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vn_Find(&needle, 0));
    state.SetItemsProcessed(state.iterations() * kChars);
}

void FindText_std_u16string(benchmark::State& state) {
    std::u16string s = Widen(Haystack(kNeedle)), needle = Widen(kNeedle);
    for (auto _ : state) benchmark::DoNotOptimize(s.find(needle));
    state.SetItemsProcessed(state.iterations() * kChars);
}

// Comparing two equal texts of the given length, to their ends.

std::string Text(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + i % 26));
    return text;
}

void Compare_CT_CString_Text(benchmark::State& state) {
    std::string text = Text(static_cast<std::size_t>(state.range(0)));
    CT_CString s(text.c_str(), ~0u, 1252);
    std::string other = text;
    for (auto _ : state) benchmark::DoNotOptimize(s.vi_Compare(other.c_str(), ~0u, 0));
}

void Compare_CT_CString_String(benchmark::State& state) {
    std::string text = Text(static_cast<std::size_t>(state.range(0)));
    CT_CString s(text.c_str(), ~0u, 1252), other(text.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vi_Compare(&other, 0, ~0u, 0));
}

void Compare_std_string(benchmark::State& state) {
    std::string s = Text(static_cast<std::size_t>(state.range(0)));
    std::string other = s;
    for (auto _ : state) benchmark::DoNotOptimize(s.compare(other));
}

void Compare_CT_UString_Text(benchmark::State& state) {
    std::string text = Text(static_cast<std::size_t>(state.range(0)));
    CT_UString s(text.c_str(), ~0u, 1252), other(text.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vi_Compare(other.qcuz_Get(), ~0u, 0));
}

void Compare_CT_UString_String(benchmark::State& state) {
    std::string text = Text(static_cast<std::size_t>(state.range(0)));
    CT_UString s(text.c_str(), ~0u, 1252), other(text.c_str(), ~0u, 1252);
    for (auto _ : state) benchmark::DoNotOptimize(s.vi_Compare(&other, 0, ~0u, 0));
}

void Compare_std_u16string(benchmark::State& state) {
    std::u16string s = Widen(Text(static_cast<std::size_t>(state.range(0))));
    std::u16string other = s;
    for (auto _ : state) benchmark::DoNotOptimize(s.compare(other));
}

}  // namespace

BENCHMARK(AppendChar_CT_CString);
BENCHMARK(AppendChar_std_string);
BENCHMARK(AppendChar_CT_UString);
BENCHMARK(AppendChar_std_u16string);
BENCHMARK(AppendShort_CT_CString);
BENCHMARK(AppendShort_std_string);
BENCHMARK(AppendShort_CT_UString);
BENCHMARK(AppendShort_std_u16string);
BENCHMARK(FindChar_CT_CString);
BENCHMARK(FindChar_std_string);
BENCHMARK(FindChar_CT_UString);
BENCHMARK(FindChar_std_u16string);
BENCHMARK(FindText_CT_CString);
BENCHMARK(FindText_std_string);
BENCHMARK(FindText_CT_UString);
BENCHMARK(FindText_std_u16string);
BENCHMARK(Compare_CT_CString_Text)->Arg(16)->Arg(1024);
BENCHMARK(Compare_CT_CString_String)->Arg(16)->Arg(1024);
BENCHMARK(Compare_std_string)->Arg(16)->Arg(1024);
BENCHMARK(Compare_CT_UString_Text)->Arg(16)->Arg(1024);
BENCHMARK(Compare_CT_UString_String)->Arg(16)->Arg(1024);
BENCHMARK(Compare_std_u16string)->Arg(16)->Arg(1024);
