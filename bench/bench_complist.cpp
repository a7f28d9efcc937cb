// The compressed word list beside the containers a user would otherwise
// pick for a word-to-number index: std::set<std::string> (a sorted set; the
// number would ride along), std::unordered_map<std::string, unsigned> and a
// marisa trie (a static, succinct trie).
//
// Words: 300,000 distinct made-up words (syllables of English-like onsets,
// vowels and codas, 1 to 4 syllables) from a fixed seed, so runs compare.
// Misses are words from the same generator that are not in the list.
//
// Build times are for 10,000, 100,000 and 300,000 words, in sorted order
// (shared beginnings land next to each other at the end of the image, so
// insertions shift little) and in shuffled order (every insertion shifts
// about half the image). Memory: the list's image in bytes per word; for
// the std containers the heap bytes they hold (usable sizes of their
// allocations, counted by this program's operator new).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <marisa.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Foundation/Basis/Lexicon/CompList.h"

// Heap bytes in use, for the std containers' footprint.
static std::atomic<long long> sn_HeapBytes{0};

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    sn_HeapBytes += static_cast<long long>(malloc_usable_size(block));
    return block;
}
void operator delete(void* block) noexcept {
    if (!block) return;
    sn_HeapBytes -= static_cast<long long>(malloc_usable_size(block));
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

std::vector<std::string> Generate(std::size_t count, unsigned seed, std::unordered_set<std::string> const* avoid) {
    static char const* const onsets[] = {"", "b", "c", "d", "f", "g", "h", "j", "k", "l", "m", "n", "p", "r", "s",
                                         "t", "v", "w", "bl", "br", "ch", "cl", "cr", "dr", "fl", "fr", "gl", "gr",
                                         "pl", "pr", "sc", "sh", "sk", "sl", "sm", "sn", "sp", "st", "str", "th", "tr",
                                         "wh"};
    static char const* const vowels[] = {"a", "e", "i", "o", "u", "y", "ai", "ea", "ee", "oo", "ou", "ie", "io"};
    static char const* const codas[] = {"", "", "", "n", "r", "s", "t", "l", "m", "nd", "ng", "nt", "st", "ck",
                                        "rt", "ss", "ll", "ght", "sh", "ch", "ed", "er", "ing", "ly", "tion"};
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> syllables(1, 4);
    std::unordered_set<std::string> seen;
    std::vector<std::string> words;
    while (words.size() < count) {
        std::string word;
        for (int n = syllables(rng); n > 0; --n) {
            word += onsets[rng() % (sizeof onsets / sizeof *onsets)];
            word += vowels[rng() % (sizeof vowels / sizeof *vowels)];
            word += codas[rng() % (sizeof codas / sizeof *codas)];
        }
        if ((avoid && avoid->count(word)) || !seen.insert(word).second) continue;
        words.push_back(word);
    }
    return words;
}

struct st_Words {
    std::vector<std::string> ao_Shuffled;  // generation order
    std::vector<std::string> ao_Sorted;
    std::vector<std::string> ao_Misses;
};

st_Words const& Words() {
    static st_Words const words = [] {
        st_Words w;
        w.ao_Shuffled = Generate(300000, 20261206, nullptr);
        w.ao_Sorted = w.ao_Shuffled;
        std::sort(w.ao_Sorted.begin(), w.ao_Sorted.end());
        std::unordered_set<std::string> all(w.ao_Shuffled.begin(), w.ao_Shuffled.end());
        w.ao_Misses = Generate(100000, 7, &all);
        return w;
    }();
    return words;
}

std::vector<std::string> Prefix(std::vector<std::string> const& all, std::size_t n, bool sorted) {
    std::vector<std::string> part(all.begin(), all.begin() + static_cast<long>(n));
    if (sorted) std::sort(part.begin(), part.end());
    return part;
}

CT_CompList BuildList(std::vector<std::string> const& words) {
    // Long offsets: an index of this size has links far longer than 64 KiB.
    CT_CompList list(CT_CompList::e_Byte, 4, 0, 1, 1 << 16, 0);
    unsigned handle = 0;
    for (auto const& word : words) list.b_Add(word.c_str(), handle++);
    return list;
}

// --- Build -----------------------------------------------------------------

void BM_Build_CompList(benchmark::State& state) {
    auto words = Prefix(Words().ao_Shuffled, static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        CT_CompList list = BuildList(words);
        benchmark::DoNotOptimize(list.n_GetEnd());
        state.counters["bytes/word"] = double(list.n_GetEnd()) / double(words.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(words.size()));
}
BENCHMARK(BM_Build_CompList)->ArgNames({"words", "sorted"})
    ->Args({10000, 1})->Args({100000, 1})->Args({300000, 1})
    ->Args({10000, 0})->Args({100000, 0})->Args({300000, 0})
    ->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Build_StdSet(benchmark::State& state) {
    auto words = Prefix(Words().ao_Shuffled, static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        long long before = sn_HeapBytes;
        std::set<std::string> set(words.begin(), words.end());
        state.counters["bytes/word"] = double(sn_HeapBytes - before) / double(words.size());
        benchmark::DoNotOptimize(set.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(words.size()));
}
BENCHMARK(BM_Build_StdSet)->ArgNames({"words", "sorted"})
    ->Args({10000, 1})->Args({100000, 1})->Args({300000, 1})->Args({300000, 0})
    ->Unit(benchmark::kMillisecond);

void BM_Build_UnorderedMap(benchmark::State& state) {
    auto words = Prefix(Words().ao_Shuffled, static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        long long before = sn_HeapBytes;
        std::unordered_map<std::string, unsigned> map;
        unsigned handle = 0;
        for (auto const& word : words) map.emplace(word, handle++);
        state.counters["bytes/word"] = double(sn_HeapBytes - before) / double(words.size());
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(words.size()));
}
BENCHMARK(BM_Build_UnorderedMap)->ArgNames({"words", "sorted"})
    ->Args({10000, 1})->Args({100000, 1})->Args({300000, 1})->Args({300000, 0})
    ->Unit(benchmark::kMillisecond);

void BM_Build_Marisa(benchmark::State& state) {
    auto words = Prefix(Words().ao_Shuffled, static_cast<std::size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        marisa::Keyset keys;
        for (auto const& word : words) keys.push_back(word.c_str(), word.size());
        marisa::Trie trie;
        trie.build(keys);
        state.counters["bytes/word"] = double(trie.io_size()) / double(words.size());
        benchmark::DoNotOptimize(trie.num_keys());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(words.size()));
}
BENCHMARK(BM_Build_Marisa)->ArgNames({"words", "sorted"})
    ->Args({10000, 1})->Args({100000, 1})->Args({300000, 1})->Args({300000, 0})
    ->Unit(benchmark::kMillisecond);

// --- Lookups (300,000 words; hits walk the words in shuffled order) ---------

std::vector<std::string> const& Probes(bool hits) { return hits ? Words().ao_Shuffled : Words().ao_Misses; }

void BM_Lookup_CompList(benchmark::State& state) {
    static CT_CompList const list = BuildList(Words().ao_Sorted);
    auto const& probes = Probes(state.range(0) != 0);
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += list.n_Search(probes[i].c_str(), nullptr) != CT_CompList::e_NotFound;
        if (++i == probes.size()) i = 0;
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lookup_CompList)->ArgName("hit")->Arg(1)->Arg(0);

void BM_Lookup_StdSet(benchmark::State& state) {
    static std::set<std::string> const set(Words().ao_Sorted.begin(), Words().ao_Sorted.end());
    auto const& probes = Probes(state.range(0) != 0);
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += set.count(probes[i]);
        if (++i == probes.size()) i = 0;
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lookup_StdSet)->ArgName("hit")->Arg(1)->Arg(0);

void BM_Lookup_UnorderedMap(benchmark::State& state) {
    static std::unordered_map<std::string, unsigned> const map = [] {
        std::unordered_map<std::string, unsigned> m;
        unsigned handle = 0;
        for (auto const& word : Words().ao_Sorted) m.emplace(word, handle++);
        return m;
    }();
    auto const& probes = Probes(state.range(0) != 0);
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += map.count(probes[i]);
        if (++i == probes.size()) i = 0;
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lookup_UnorderedMap)->ArgName("hit")->Arg(1)->Arg(0);

void BM_Lookup_Marisa(benchmark::State& state) {
    static marisa::Trie const* trie = [] {
        marisa::Keyset keys;
        for (auto const& word : Words().ao_Sorted) keys.push_back(word.c_str(), word.size());
        auto* t = new marisa::Trie;
        t->build(keys);
        return t;
    }();
    auto const& probes = Probes(state.range(0) != 0);
    marisa::Agent agent;
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        agent.set_query(probes[i].c_str(), probes[i].size());
        found += trie->lookup(agent);
        if (++i == probes.size()) i = 0;
    }
    benchmark::DoNotOptimize(found);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lookup_Marisa)->ArgName("hit")->Arg(1)->Arg(0);

}  // namespace
