// CT_VoidHashTable against std::unordered_map, and against
// absl::flat_hash_map as the limit (open addressing, no item of its own per
// key): inserting, finding present and absent keys, and iterating, with
// 32-bit keys and with text keys, at 10^3, 10^5 and 10^6 items. All start
// empty and grow by their own rules.
//
// Integer keys: random distinct 32-bit values; the library table uses its
// integer callbacks (sn_HashInteger, si_CompareInteger), the standard map
// std::hash<std::uint32_t>. Text keys: "w" followed by a random 9-digit
// number, held in one vector; the library table stores char const*
// pointers with sn_HashCasePQCZ and si_CompareCasePQCZ, the standard map
// std::string_view (also pointing into the vector) and, for reference,
// std::string (copying the text); absl::flat_hash_map std::string_view.
//
// Single runs on a shared machine vary by a quarter and more, and the first
// benchmark to fill a million items pays for the heap's fresh pages. For
// figures to compare, run every case several times, interleaved, and take
// each case's fastest run:
//   bench_hash --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "Foundation/Basis.h"

namespace {

typedef std::uint32_t u4;

// Keys to insert and keys that are never inserted, both shuffled.
struct st_IntKeys {
    std::vector<u4> an4_Present;
    std::vector<u4> an4_Absent;
};

st_IntKeys const& so_IntKeys(std::size_t count) {
    static std::unordered_map<std::size_t, st_IntKeys> cache;
    auto found = cache.find(count);
    if (found != cache.end()) return found->second;
    std::mt19937 random(static_cast<unsigned>(count));
    std::unordered_set<u4> used;
    st_IntKeys keys;
    while (keys.an4_Present.size() < count) {
        u4 key = random();
        if (used.insert(key).second) keys.an4_Present.push_back(key);
    }
    while (keys.an4_Absent.size() < count) {
        u4 key = random();
        if (used.insert(key).second) keys.an4_Absent.push_back(key);
    }
    return cache.emplace(count, std::move(keys)).first->second;
}

struct st_TextKeys {
    std::vector<std::string> ao_Texts;  // present then absent
    std::vector<char const*> aqccz_Present;
    std::vector<char const*> aqccz_Absent;
};

st_TextKeys const& so_TextKeys(std::size_t count) {
    static std::unordered_map<std::size_t, st_TextKeys> cache;
    auto found = cache.find(count);
    if (found != cache.end()) return found->second;
    std::mt19937 random(static_cast<unsigned>(count) + 1);
    std::unordered_set<std::string> used;
    st_TextKeys& keys = cache[count];
    keys.ao_Texts.reserve(2 * count);
    while (keys.ao_Texts.size() < 2 * count) {
        char text[16];
        std::snprintf(text, sizeof text, "w%09u", static_cast<unsigned>(random() % 1000000000u));
        if (used.insert(text).second) keys.ao_Texts.push_back(text);
    }
    for (std::size_t i = 0; i < count; ++i) keys.aqccz_Present.push_back(keys.ao_Texts[i].c_str());
    for (std::size_t i = count; i < 2 * count; ++i) keys.aqccz_Absent.push_back(keys.ao_Texts[i].c_str());
    return keys;
}

CT_VoidHashTable co_IntTable() {
    return CT_VoidHashTable(sizeof(u4), sizeof(u4), &CT_VoidHashTable::sn_HashInteger,
                            &CT_VoidHashTable::si_CompareInteger, 13);
}

CT_VoidHashTable co_TextTable() {
    return CT_VoidHashTable(sizeof(u4), sizeof(char const*), &CT_HashFunction::sn_HashCasePQCZ,
                            &CT_Compare::si_CompareCasePQCZ, 13);
}

// ---- 32-bit keys --------------------------------------------------------

void Int_Insert_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        CT_VoidHashTable table = co_IntTable();
        for (u4 key : keys.an4_Present) table.b_Insert(&key, &key);
        benchmark::DoNotOptimize(table.n_GetCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Int_Insert_Map(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Map map;
        for (u4 key : keys.an4_Present) map[key] = key;
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Int_FindHit_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    CT_VoidHashTable table = co_IntTable();
    for (u4 key : keys.an4_Present) table.b_Insert(&key, &key);
    for (auto _ : state) {
        u4 sum = 0;
        for (u4 key : keys.an4_Present) {
            u4 data;
            table.b_Get(&key, &data);
            sum += data;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Int_FindHit_Map(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    Map map;
    for (u4 key : keys.an4_Present) map[key] = key;
    for (auto _ : state) {
        u4 sum = 0;
        for (u4 key : keys.an4_Present) sum += map.find(key)->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Int_FindMiss_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    CT_VoidHashTable table = co_IntTable();
    for (u4 key : keys.an4_Present) table.b_Insert(&key, &key);
    for (auto _ : state) {
        int found = 0;
        for (u4 key : keys.an4_Absent) found += table.b_Get(&key, nullptr);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Int_FindMiss_Map(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    Map map;
    for (u4 key : keys.an4_Present) map[key] = key;
    for (auto _ : state) {
        int found = 0;
        for (u4 key : keys.an4_Absent) found += map.find(key) != map.end();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Int_Iterate_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    CT_VoidHashTable table = co_IntTable();
    for (u4 key : keys.an4_Present) table.b_Insert(&key, &key);
    for (auto _ : state) {
        u4 sum = 0;
        CT_VoidHashIterator it(&table);
        while (it.b_Next()) {
            u4 data;
            it.v_Get(&data);
            sum += data;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Int_Iterate_Map(benchmark::State& state) {
    auto const& keys = so_IntKeys(static_cast<std::size_t>(state.range(0)));
    Map map;
    for (u4 key : keys.an4_Present) map[key] = key;
    for (auto _ : state) {
        u4 sum = 0;
        for (auto const& item : map) sum += item.second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// ---- text keys ----------------------------------------------------------

void Text_Insert_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        CT_VoidHashTable table = co_TextTable();
        u4 i = 0;
        for (char const* key : keys.aqccz_Present) {
            table.b_Insert(&key, &i);
            ++i;
        }
        benchmark::DoNotOptimize(table.n_GetCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Text_Insert_Map(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Map map;
        u4 i = 0;
        for (char const* key : keys.aqccz_Present) map[key] = i++;
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Text_FindHit_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    CT_VoidHashTable table = co_TextTable();
    u4 i = 0;
    for (char const* key : keys.aqccz_Present) {
        table.b_Insert(&key, &i);
        ++i;
    }
    for (auto _ : state) {
        u4 sum = 0;
        for (char const* key : keys.aqccz_Present) {
            u4 data;
            table.b_Get(&key, &data);
            sum += data;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Text_FindHit_Map(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    Map map;
    u4 i = 0;
    for (char const* key : keys.aqccz_Present) map[key] = i++;
    for (auto _ : state) {
        u4 sum = 0;
        for (char const* key : keys.aqccz_Present) sum += map.find(key)->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Text_FindMiss_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    CT_VoidHashTable table = co_TextTable();
    u4 i = 0;
    for (char const* key : keys.aqccz_Present) {
        table.b_Insert(&key, &i);
        ++i;
    }
    for (auto _ : state) {
        int found = 0;
        for (char const* key : keys.aqccz_Absent) found += table.b_Get(&key, nullptr);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Text_FindMiss_Map(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    Map map;
    u4 i = 0;
    for (char const* key : keys.aqccz_Present) map[key] = i++;
    for (auto _ : state) {
        int found = 0;
        for (char const* key : keys.aqccz_Absent) found += map.find(key) != map.end();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Text_Iterate_CT_VoidHashTable(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    CT_VoidHashTable table = co_TextTable();
    u4 i = 0;
    for (char const* key : keys.aqccz_Present) {
        table.b_Insert(&key, &i);
        ++i;
    }
    for (auto _ : state) {
        u4 sum = 0;
        CT_VoidHashIterator it(&table);
        while (it.b_Next()) {
            u4 data;
            it.v_Get(&data);
            sum += data;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

template <class Map>
void Text_Iterate_Map(benchmark::State& state) {
    auto const& keys = so_TextKeys(static_cast<std::size_t>(state.range(0)));
    Map map;
    u4 i = 0;
    for (char const* key : keys.aqccz_Present) map[key] = i++;
    for (auto _ : state) {
        u4 sum = 0;
        for (auto const& item : map) sum += item.second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

using IntStd = std::unordered_map<u4, u4>;
using IntAbsl = absl::flat_hash_map<u4, u4>;
using ViewStd = std::unordered_map<std::string_view, u4>;
using StringStd = std::unordered_map<std::string, u4>;
using ViewAbsl = absl::flat_hash_map<std::string_view, u4>;

#define BASIS_SIZES ->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond)

BENCHMARK(Int_Insert_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_Insert_Map, IntStd)->Name("Int_Insert_std_unordered_map") BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_Insert_Map, IntAbsl)->Name("Int_Insert_absl_flat_hash_map") BASIS_SIZES;
BENCHMARK(Int_FindHit_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_FindHit_Map, IntStd)->Name("Int_FindHit_std_unordered_map") BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_FindHit_Map, IntAbsl)->Name("Int_FindHit_absl_flat_hash_map") BASIS_SIZES;
BENCHMARK(Int_FindMiss_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_FindMiss_Map, IntStd)->Name("Int_FindMiss_std_unordered_map") BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_FindMiss_Map, IntAbsl)->Name("Int_FindMiss_absl_flat_hash_map") BASIS_SIZES;
BENCHMARK(Int_Iterate_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_Iterate_Map, IntStd)->Name("Int_Iterate_std_unordered_map") BASIS_SIZES;
BENCHMARK_TEMPLATE(Int_Iterate_Map, IntAbsl)->Name("Int_Iterate_absl_flat_hash_map") BASIS_SIZES;
BENCHMARK(Text_Insert_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_Insert_Map, ViewStd)->Name("Text_Insert_std_unordered_map_string_view") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_Insert_Map, StringStd)->Name("Text_Insert_std_unordered_map_string") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_Insert_Map, ViewAbsl)->Name("Text_Insert_absl_flat_hash_map_string_view") BASIS_SIZES;
BENCHMARK(Text_FindHit_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_FindHit_Map, ViewStd)->Name("Text_FindHit_std_unordered_map_string_view") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_FindHit_Map, StringStd)->Name("Text_FindHit_std_unordered_map_string") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_FindHit_Map, ViewAbsl)->Name("Text_FindHit_absl_flat_hash_map_string_view") BASIS_SIZES;
BENCHMARK(Text_FindMiss_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_FindMiss_Map, ViewStd)->Name("Text_FindMiss_std_unordered_map_string_view") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_FindMiss_Map, StringStd)->Name("Text_FindMiss_std_unordered_map_string") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_FindMiss_Map, ViewAbsl)->Name("Text_FindMiss_absl_flat_hash_map_string_view") BASIS_SIZES;
BENCHMARK(Text_Iterate_CT_VoidHashTable) BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_Iterate_Map, ViewStd)->Name("Text_Iterate_std_unordered_map_string_view") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_Iterate_Map, StringStd)->Name("Text_Iterate_std_unordered_map_string") BASIS_SIZES;
BENCHMARK_TEMPLATE(Text_Iterate_Map, ViewAbsl)->Name("Text_Iterate_absl_flat_hash_map_string_view") BASIS_SIZES;

}  // namespace
