// 10,000 registry values set, then read, through CT_Registry (which opens
// and closes its key for every call), through the seam with one open key,
// and through SQLite prepared statements on the same schema with the same
// settings (write-ahead log, synchronous=NORMAL, one transaction a value).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Registry.h"

namespace {

constexpr unsigned cn_Values = 10000;

std::string s_Folder() {
    static std::string folder = [] {
        char name[] = "/tmp/bench-registry-XXXXXX";
        return std::string(::mkdtemp(name) ? name : "/tmp");
    }();
    return folder;
}

void v_UseFolder(std::string const& leaf) {
    std::string folder = s_Folder() + "/" + leaf;
    std::u16string wide(folder.begin(), folder.end());
    Platform::v_SetRegistryFolder(reinterpret_cast<unsigned short const*>(wide.c_str()));
}

std::u16string s_Name(unsigned i) {
    std::string name = "Value" + std::to_string(i);
    return std::u16string(name.begin(), name.end());
}

void BM_RegistryClass(benchmark::State& state) {
    v_UseFolder("class");
    CT_UString path(reinterpret_cast<unsigned short const*>(u"Software\\Bench"), ~0u);
    CT_Registry registry(HKEY_CURRENT_USER);
    registry.v_CreateKey(&path);
    registry.v_SetKey(&path);
    std::vector<CT_UString> names;
    for (unsigned i = 0; i < cn_Values; ++i) {
        std::u16string name = s_Name(i);
        names.emplace_back(reinterpret_cast<unsigned short const*>(name.c_str()), ~0u);
    }
    for (auto _ : state) {
        for (unsigned i = 0; i < cn_Values; ++i) registry.v_SetValue(&names[i], static_cast<unsigned long>(i));
        unsigned long sum = 0, value = 0;
        for (unsigned i = 0; i < cn_Values; ++i) {
            registry.v_GetValue(&names[i], &value);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    if (CT_ErrorManager::spco_Get()->b_IsSetError()) state.SkipWithError("registry error");
}

void BM_RegistrySeam(benchmark::State& state) {
    v_UseFolder("seam");
    HKEY key = nullptr;
    Platform::n_RegCreateKey(HKEY_CURRENT_USER, reinterpret_cast<unsigned short const*>(u"Software\\Bench"),
                             Platform::e_KeyAllAccess, &key);
    std::vector<std::u16string> names;
    for (unsigned i = 0; i < cn_Values; ++i) names.push_back(s_Name(i));
    for (auto _ : state) {
        unsigned failures = 0;
        for (unsigned i = 0; i < cn_Values; ++i)
            failures += Platform::n_RegSetValue(key, reinterpret_cast<unsigned short const*>(names[i].c_str()), 4, &i, 4);
        unsigned long sum = 0;
        for (unsigned i = 0; i < cn_Values; ++i) {
            unsigned value = 0, size = 4, type = 0;
            failures += Platform::n_RegQueryValue(key, reinterpret_cast<unsigned short const*>(names[i].c_str()), &type,
                                                  &value, &size);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
        if (failures) state.SkipWithError("registry error");
    }
    Platform::n_RegCloseKey(key);
}

// The same tables and indexes as the registry's Linux store.
void BM_SqlitePrepared(benchmark::State& state) {
    std::string file = s_Folder() + "/raw.db";
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL;PRAGMA synchronous=NORMAL;"
                 "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY,parent INTEGER NOT NULL,"
                 "name BLOB NOT NULL,fold BLOB NOT NULL,UNIQUE(parent,fold));"
                 "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL,name BLOB NOT NULL,fold BLOB NOT NULL,"
                 "type INTEGER NOT NULL,data BLOB NOT NULL,PRIMARY KEY(key,fold)) WITHOUT ROWID;"
                 "INSERT OR IGNORE INTO keys(id,parent,name,fold) VALUES(1,0,x'',x'');",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *set = nullptr, *get = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO vals(key,name,fold,type,data) VALUES(1,?1,?2,4,?3) "
                       "ON CONFLICT(key,fold) DO UPDATE SET type=excluded.type,data=excluded.data",
                       -1, &set, nullptr);
    sqlite3_prepare_v2(db, "SELECT type,data FROM vals WHERE key=1 AND fold=?1", -1, &get, nullptr);
    std::vector<std::u16string> names, folds;
    for (unsigned i = 0; i < cn_Values; ++i) {
        names.push_back(s_Name(i));
        std::u16string fold;
        for (char16_t c : names.back()) fold.push_back(static_cast<char16_t>((c >= 'a' && c <= 'z' ? c - 32 : c) << 8));
        folds.push_back(fold);
    }
    for (auto _ : state) {
        unsigned failures = 0;
        for (unsigned i = 0; i < cn_Values; ++i) {
            sqlite3_bind_blob(set, 1, names[i].data(), static_cast<int>(names[i].size() * 2), SQLITE_STATIC);
            sqlite3_bind_blob(set, 2, folds[i].data(), static_cast<int>(folds[i].size() * 2), SQLITE_STATIC);
            sqlite3_bind_blob(set, 3, &i, 4, SQLITE_STATIC);
            failures += sqlite3_step(set) != SQLITE_DONE;
            sqlite3_reset(set);
        }
        unsigned long sum = 0;
        for (unsigned i = 0; i < cn_Values; ++i) {
            sqlite3_bind_blob(get, 1, folds[i].data(), static_cast<int>(folds[i].size() * 2), SQLITE_STATIC);
            if (sqlite3_step(get) == SQLITE_ROW) {
                unsigned value = 0;
                if (sqlite3_column_bytes(get, 1) == 4) value = *static_cast<unsigned const*>(sqlite3_column_blob(get, 1));
                sum += value;
            } else {
                ++failures;
            }
            sqlite3_reset(get);
        }
        benchmark::DoNotOptimize(sum);
        if (failures) state.SkipWithError("sqlite error");
    }
    sqlite3_finalize(set);
    sqlite3_finalize(get);
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(BM_RegistryClass)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RegistrySeam)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SqlitePrepared)->Unit(benchmark::kMillisecond)->Iterations(3);
