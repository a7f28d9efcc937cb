// CT_CharProperties and CT_CharMappings against ICU: the general category
// (u_charType) and upper case (u_toupper) of every character of a text, once
// for a mixed text of the 16-bit range and once for a Latin text.
#include <benchmark/benchmark.h>
#include <unicode/uchar.h>

#include <cstdint>
#include <vector>

#include "Foundation/Basis.h"

namespace {

constexpr int kChars = 1 << 16;

// Ranges the mixed text draws from, with weights: mostly Latin, then the
// other alphabets, the East Asian scripts, punctuation and symbols.
struct Pool {
    unsigned short first, last;
    int weight;
};
Pool const kMixed[] = {
    {0x0020, 0x007E, 30}, {0x00C0, 0x017F, 10}, {0x0391, 0x03C9, 6}, {0x0410, 0x044F, 8}, {0x05D0, 0x05EA, 3},
    {0x0627, 0x064A, 3},  {0x0905, 0x0939, 3},  {0x0E01, 0x0E2E, 2}, {0x1E00, 0x1EF9, 3}, {0x2010, 0x2044, 4},
    {0x2190, 0x22FF, 2},  {0x3041, 0x3093, 6},  {0x30A1, 0x30F6, 5}, {0x4E00, 0x9FA5, 8}, {0xAC00, 0xD7A3, 4},
    {0xFF01, 0xFF5E, 3},
};
Pool const kLatin[] = {{0x0020, 0x007E, 85}, {0x00C0, 0x00FF, 15}};

template <std::size_t N>
std::vector<unsigned short> o_MakeText(Pool const (&pools)[N]) {
    int total = 0;
    for (Pool const& p : pools) total += p.weight;
    std::vector<unsigned short> text;
    text.reserve(kChars);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    while (text.size() < kChars) {
        int pick = static_cast<int>(next() % static_cast<std::uint32_t>(total));
        for (Pool const& p : pools) {
            if (pick < p.weight) {
                text.push_back(static_cast<unsigned short>(p.first + next() % (p.last - p.first + 1u)));
                break;
            }
            pick -= p.weight;
        }
    }
    return text;
}

std::vector<unsigned short> const& o_Text(benchmark::State const& state) {
    static std::vector<unsigned short> const mixed = o_MakeText(kMixed);
    static std::vector<unsigned short> const latin = o_MakeText(kLatin);
    return state.range(0) == 0 ? mixed : latin;
}

void Label(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "mixed BMP" : "Latin");
    state.SetItemsProcessed(state.iterations() * kChars);
}

void Category_CT_CharProperties(benchmark::State& state) {
    auto const& text = o_Text(state);
    for (auto _ : state) {
        unsigned sum = 0;
        for (unsigned short c : text) sum += CT_CharProperties::seo_GetUnicodeProperty(c);
        benchmark::DoNotOptimize(sum);
    }
    Label(state);
}

void Category_ICU_u_charType(benchmark::State& state) {
    auto const& text = o_Text(state);
    for (auto _ : state) {
        unsigned sum = 0;
        for (unsigned short c : text) sum += static_cast<unsigned>(u_charType(c));
        benchmark::DoNotOptimize(sum);
    }
    Label(state);
}

void ToUpper_CT_CharMappings(benchmark::State& state) {
    auto const& text = o_Text(state);
    for (auto _ : state) {
        unsigned sum = 0;
        for (unsigned short c : text) sum += CT_CharMappings::su_ToUpper(c);
        benchmark::DoNotOptimize(sum);
    }
    Label(state);
}

void ToUpper_ICU_u_toupper(benchmark::State& state) {
    auto const& text = o_Text(state);
    for (auto _ : state) {
        unsigned sum = 0;
        for (unsigned short c : text) sum += static_cast<unsigned>(u_toupper(c));
        benchmark::DoNotOptimize(sum);
    }
    Label(state);
}

void CharacterInformation_CT_CharProperties(benchmark::State& state) {
    auto const& text = o_Text(state);
    for (auto _ : state) {
        unsigned sum = 0;
        for (unsigned short c : text) sum += CT_CharProperties::sn2_GetCharacterInformation(c);
        benchmark::DoNotOptimize(sum);
    }
    Label(state);
}

}  // namespace

BENCHMARK(Category_CT_CharProperties)->Arg(0)->Arg(1);
BENCHMARK(Category_ICU_u_charType)->Arg(0)->Arg(1);
BENCHMARK(ToUpper_CT_CharMappings)->Arg(0)->Arg(1);
BENCHMARK(ToUpper_ICU_u_toupper)->Arg(0)->Arg(1);
BENCHMARK(CharacterInformation_CT_CharProperties)->Arg(0)->Arg(1);
