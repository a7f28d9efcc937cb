// The record manager beside two embedded stores a user would otherwise
// pick for numbered blobs: an SQL database (one table of an integer
// primary key and a blob) and a memory-mapped B-tree with integer keys.
//
// For records of 100 and of 2,000 bytes, in this order on one file per
// store: add 100,000 records to a new file, read them all in random order,
// update 10% of them in place (same length, new content), delete 10% and
// add as many again, scan all. Every operation counts as one item (the
// delete-and-add step counts 20,000), so items_per_second is operations
// per second. file_bytes is the size of the data after the step: the
// record manager's end offset (a mapped file is cut back to it at close),
// the other stores' files on disk.
//
// Settings, each the store's fastest without giving up its file format:
// - Record manager: record header 16 bytes, block size 32 (a record's
//   fixed part is one block); mapped (the file grows in mebibytes and is
//   cut back at close) and unmapped, both open for reading and writing.
//   It has neither transactions nor a journal, and never syncs.
// - SQL store: PRAGMA synchronous=OFF and journal_mode=MEMORY (the
//   rollback journal is kept in memory: atomic transactions, like the
//   others no durability across a crash), default page cache, no mmap.
//   Each step runs in one transaction, the reads too, so no step pays a
//   lock or a commit per statement; statements are prepared once.
// - B-tree store: MDB_NOSYNC, MDB_NOSUBDIR, one database with
//   MDB_INTEGERKEY (32-bit keys, a counter), one transaction per step.
// Every read copies the record into a buffer the caller owns.
//
// Rates are per CPU second of this process (user and system time): a
// shared, loaded machine disturbs them less than wall time, and the page
// faults of a mapped file and the system calls of the others are counted
// alike. Writing back to the disk happens later, in the kernel, for all.
//
// The add step times the whole way from no file to a closed file of
// 100,000 records; the other steps work on that file, open from their
// set-up. Files are made in the temporary directory and removed at exit.
#include <benchmark/benchmark.h>
#include <lmdb.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Platform/Debug.h"

namespace {

constexpr unsigned kRecords = 100000;
constexpr unsigned kChanged = kRecords / 10;
constexpr unsigned kRecordHeader = 16;
constexpr unsigned kBlockSize = 32;

std::string s_TempPath(std::string const& name) {
    char directory[260];
    Platform::n_GetTempPath(directory, sizeof directory);
    return std::string(directory) + name;
}

unsigned long long n_FileBytes(std::string const& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? static_cast<unsigned long long>(status.st_size) : 0;
}

// One store: the operations the steps need, on records numbered by the
// store. Begin/Commit bracket one step (a transaction where the store
// has them).
class Store {
public:
    virtual ~Store() = default;
    virtual void v_Create() = 0;  // a new, empty file, open
    virtual void v_Open() = 0;
    virtual void v_Close() = 0;
    virtual void v_Remove() = 0;
    virtual void v_Begin(bool write) = 0;
    virtual void v_Commit() = 0;
    virtual unsigned n_Add(unsigned char const* data, unsigned length) = 0;
    virtual unsigned n_Get(unsigned id) = 0;  // the length read
    virtual void v_Update(unsigned id, unsigned char const* data, unsigned length) = 0;
    virtual void v_Delete(unsigned id) = 0;
    virtual unsigned n_Scan() = 0;  // the records seen
    virtual unsigned long long n_Size() = 0;
    bool b_Failed = false;  // set by a store that sees an error
};

class RecordStore : public Store {
public:
    RecordStore(char const* name, bool mapped) : s_Path(s_TempPath(name)), b_Mapped(mapped) {
        co_Name.v_Set(s_Path.c_str(), ~0u, 0);
        CT_WinFile file(&co_Name, 16384);
        po_Records.reset(new CT_RecordManager(&file));
    }
    void v_Create() override {
        po_Records->v_Create(kRecordHeader, kBlockSize, 16);
        // Creating always maps; the unmapped store goes on unmapped.
        if (!b_Mapped) {
            po_Records->v_Close(0);
            v_Open();
        }
        v_Check();
    }
    void v_Open() override {
        po_Records->v_Open(CT_RecordManager::e_ModeReadWrite, b_Mapped);
        v_Check();
    }
    void v_Close() override {
        po_Records->v_Close(1);
        v_Check();
    }
    void v_Remove() override { std::remove(s_Path.c_str()); }
    void v_Begin(bool) override {}
    void v_Commit() override {}
    unsigned n_Add(unsigned char const* data, unsigned length) override {
        co_Write.v_Set(data, length, 32);
        unsigned id = po_Records->n_AddRecord(&co_Write);
        v_Check();
        return id;
    }
    unsigned n_Get(unsigned id) override {
        po_Records->v_GetRecord(id, &co_Read);
        v_Check();
        return co_Read.n_GetUsedSize();
    }
    void v_Update(unsigned id, unsigned char const* data, unsigned length) override {
        co_Write.v_Set(data, length, 32);
        po_Records->v_UpdateRecord(id, &co_Write);
        v_Check();
    }
    void v_Delete(unsigned id) override {
        po_Records->v_DeleteRecord(id);
        v_Check();
    }
    unsigned n_Scan() override {
        unsigned count = 0;
        for (unsigned next = po_Records->n_GetNextRecord(0, &co_Read); next != 0;
             next = po_Records->n_GetNextRecord(next, &co_Read))
            ++count;
        v_Check();
        return count;
    }
    unsigned long long n_Size() override { return po_Records->n_GetSize(); }

private:
    void v_Check() {
        CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
        if (!errors->b_IsSetError()) return;
        b_Failed = true;
        errors->v_ClearError();
    }

    std::string s_Path;
    bool b_Mapped;
    CT_UString co_Name;
    std::unique_ptr<CT_RecordManager> po_Records;
    CT_Buffer co_Write, co_Read;
};

class SqlStore : public Store {
public:
    explicit SqlStore(char const* name) : s_Path(s_TempPath(name)) {}
    void v_Create() override {
        v_Remove();
        v_Open();
        v_Exec("CREATE TABLE records(id INTEGER PRIMARY KEY, data BLOB)");
        v_Prepare();
    }
    void v_Open() override {
        if (sqlite3_open(s_Path.c_str(), &p_Db) != SQLITE_OK) b_Failed = true;
        v_Exec("PRAGMA synchronous=OFF");
        v_Exec("PRAGMA journal_mode=MEMORY");
        v_Prepare();
    }
    void v_Close() override {
        for (sqlite3_stmt** statement : {&p_Insert, &p_Select, &p_Update, &p_Delete}) {
            sqlite3_finalize(*statement);
            *statement = nullptr;
        }
        sqlite3_close(p_Db);
        p_Db = nullptr;
    }
    void v_Remove() override { std::remove(s_Path.c_str()); }
    void v_Begin(bool) override { v_Exec("BEGIN"); }
    void v_Commit() override { v_Exec("COMMIT"); }
    unsigned n_Add(unsigned char const* data, unsigned length) override {
        sqlite3_bind_blob(p_Insert, 1, data, static_cast<int>(length), SQLITE_STATIC);
        v_Step(p_Insert, SQLITE_DONE);
        return static_cast<unsigned>(sqlite3_last_insert_rowid(p_Db));
    }
    unsigned n_Get(unsigned id) override {
        sqlite3_bind_int64(p_Select, 1, id);
        unsigned length = 0;
        if (sqlite3_step(p_Select) == SQLITE_ROW) {
            length = static_cast<unsigned>(sqlite3_column_bytes(p_Select, 0));
            ao_Read.assign(static_cast<unsigned char const*>(sqlite3_column_blob(p_Select, 0)),
                           static_cast<unsigned char const*>(sqlite3_column_blob(p_Select, 0)) + length);
        }
        sqlite3_reset(p_Select);
        return length;
    }
    void v_Update(unsigned id, unsigned char const* data, unsigned length) override {
        sqlite3_bind_blob(p_Update, 1, data, static_cast<int>(length), SQLITE_STATIC);
        sqlite3_bind_int64(p_Update, 2, id);
        v_Step(p_Update, SQLITE_DONE);
    }
    void v_Delete(unsigned id) override {
        sqlite3_bind_int64(p_Delete, 1, id);
        v_Step(p_Delete, SQLITE_DONE);
    }
    unsigned n_Scan() override {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(p_Db, "SELECT id, data FROM records", -1, &statement, nullptr);
        unsigned count = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            unsigned length = static_cast<unsigned>(sqlite3_column_bytes(statement, 1));
            auto data = static_cast<unsigned char const*>(sqlite3_column_blob(statement, 1));
            ao_Read.assign(data, data + length);
            ++count;
        }
        sqlite3_finalize(statement);
        return count;
    }
    unsigned long long n_Size() override { return n_FileBytes(s_Path); }

private:
    void v_Exec(char const* sql) {
        if (sqlite3_exec(p_Db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) b_Failed = true;
    }
    void v_Step(sqlite3_stmt* statement, int expected) {
        if (sqlite3_step(statement) != expected) b_Failed = true;
        sqlite3_reset(statement);
    }
    void v_Prepare() {
        if (p_Insert) return;
        sqlite3_prepare_v2(p_Db, "INSERT INTO records(data) VALUES(?)", -1, &p_Insert, nullptr);
        sqlite3_prepare_v2(p_Db, "SELECT data FROM records WHERE id=?", -1, &p_Select, nullptr);
        sqlite3_prepare_v2(p_Db, "UPDATE records SET data=? WHERE id=?", -1, &p_Update, nullptr);
        sqlite3_prepare_v2(p_Db, "DELETE FROM records WHERE id=?", -1, &p_Delete, nullptr);
        // Before the table exists the statements cannot be prepared.
        if (!p_Insert || !p_Select || !p_Update || !p_Delete) {
            for (sqlite3_stmt** statement : {&p_Insert, &p_Select, &p_Update, &p_Delete}) {
                sqlite3_finalize(*statement);
                *statement = nullptr;
            }
        }
    }

    std::string s_Path;
    sqlite3* p_Db = nullptr;
    sqlite3_stmt *p_Insert = nullptr, *p_Select = nullptr, *p_Update = nullptr, *p_Delete = nullptr;
    std::vector<unsigned char> ao_Read;
};

class TreeStore : public Store {
public:
    explicit TreeStore(char const* name) : s_Path(s_TempPath(name)) {}
    void v_Create() override {
        v_Remove();
        v_Open();
    }
    void v_Open() override {
        b_Failed |= mdb_env_create(&p_Env) != 0;
        b_Failed |= mdb_env_set_mapsize(p_Env, std::size_t(4) << 30) != 0;
        b_Failed |= mdb_env_open(p_Env, s_Path.c_str(), MDB_NOSUBDIR | MDB_NOSYNC, 0644) != 0;
        MDB_txn* txn = nullptr;
        b_Failed |= mdb_txn_begin(p_Env, nullptr, 0, &txn) != 0;
        b_Failed |= mdb_dbi_open(txn, nullptr, MDB_INTEGERKEY | MDB_CREATE, &n_Dbi) != 0;
        b_Failed |= mdb_txn_commit(txn) != 0;
        if (n_NextKey == 0) n_NextKey = n_LastKey() + 1;
    }
    void v_Close() override {
        mdb_env_close(p_Env);
        p_Env = nullptr;
    }
    void v_Remove() override {
        std::remove(s_Path.c_str());
        std::remove((s_Path + "-lock").c_str());
        n_NextKey = 0;
    }
    void v_Begin(bool write) override { b_Failed |= mdb_txn_begin(p_Env, nullptr, write ? 0 : MDB_RDONLY, &p_Txn) != 0; }
    void v_Commit() override {
        b_Failed |= mdb_txn_commit(p_Txn) != 0;
        p_Txn = nullptr;
    }
    unsigned n_Add(unsigned char const* data, unsigned length) override {
        unsigned key = n_NextKey++;
        v_Put(key, data, length);
        return key;
    }
    unsigned n_Get(unsigned id) override {
        MDB_val key{sizeof id, &id}, value;
        if (mdb_get(p_Txn, n_Dbi, &key, &value) != 0) return 0;
        auto data = static_cast<unsigned char const*>(value.mv_data);
        ao_Read.assign(data, data + value.mv_size);
        return static_cast<unsigned>(value.mv_size);
    }
    void v_Update(unsigned id, unsigned char const* data, unsigned length) override { v_Put(id, data, length); }
    void v_Delete(unsigned id) override {
        MDB_val key{sizeof id, &id};
        b_Failed |= mdb_del(p_Txn, n_Dbi, &key, nullptr) != 0;
    }
    unsigned n_Scan() override {
        MDB_cursor* cursor = nullptr;
        b_Failed |= mdb_cursor_open(p_Txn, n_Dbi, &cursor) != 0;
        MDB_val key, value;
        unsigned count = 0;
        for (int op = MDB_FIRST; mdb_cursor_get(cursor, &key, &value, static_cast<MDB_cursor_op>(op)) == 0;
             op = MDB_NEXT) {
            auto data = static_cast<unsigned char const*>(value.mv_data);
            ao_Read.assign(data, data + value.mv_size);
            ++count;
        }
        mdb_cursor_close(cursor);
        return count;
    }
    unsigned long long n_Size() override { return n_FileBytes(s_Path); }

private:
    void v_Put(unsigned id, unsigned char const* data, unsigned length) {
        MDB_val key{sizeof id, &id}, value{length, const_cast<unsigned char*>(data)};
        b_Failed |= mdb_put(p_Txn, n_Dbi, &key, &value, 0) != 0;
    }
    unsigned n_LastKey() {
        MDB_txn* txn = nullptr;
        MDB_cursor* cursor = nullptr;
        MDB_val key, value;
        unsigned last = 0;
        if (mdb_txn_begin(p_Env, nullptr, MDB_RDONLY, &txn) != 0) return 0;
        if (mdb_cursor_open(txn, n_Dbi, &cursor) == 0 && mdb_cursor_get(cursor, &key, &value, MDB_LAST) == 0)
            std::memcpy(&last, key.mv_data, sizeof last);
        mdb_cursor_close(cursor);
        mdb_txn_abort(txn);
        return last;
    }

    std::string s_Path;
    MDB_env* p_Env = nullptr;
    MDB_txn* p_Txn = nullptr;
    MDB_dbi n_Dbi = 0;
    unsigned n_NextKey = 0;
    std::vector<unsigned char> ao_Read;
};

enum et_Kind { e_RecordsMapped, e_RecordsUnmapped, e_Sql, e_Tree, e_KindCount };
char const* const aqcz_Kind[] = {"RM_Mapped", "RM_Unmapped", "SQLite", "LMDB"};
unsigned const an_Sizes[] = {100, 2000};

// A store with its file and the numbers of its live records, kept from
// step to step. A step run alone (a filter) builds the file untimed.
struct st_Bench {
    std::unique_ptr<Store> po_Store;
    unsigned n_Length = 0;
    std::vector<unsigned> an_Ids;
    bool b_Open = false;
    std::vector<unsigned char> ac_Record;
    std::mt19937 o_Random{7};

    // Each record differs in its first bytes and in its last.
    unsigned char const* pc_Record(unsigned stamp) {
        std::memcpy(ac_Record.data(), &stamp, sizeof stamp);
        std::memcpy(ac_Record.data() + n_Length - sizeof stamp, &stamp, sizeof stamp);
        return ac_Record.data();
    }
    void v_Build() {
        po_Store->v_Create();
        po_Store->v_Begin(true);
        an_Ids.clear();
        for (unsigned i = 0; i < kRecords; ++i) an_Ids.push_back(po_Store->n_Add(pc_Record(i), n_Length));
        po_Store->v_Commit();
        po_Store->v_Close();
    }
    void v_Ready() {
        if (an_Ids.empty()) v_Build();
        if (!b_Open) po_Store->v_Open();
        b_Open = true;
    }
    std::vector<unsigned> an_Positions(unsigned count) {
        std::vector<unsigned> positions(an_Ids.size());
        std::iota(positions.begin(), positions.end(), 0u);
        std::shuffle(positions.begin(), positions.end(), o_Random);
        positions.resize(count);
        return positions;
    }
    ~st_Bench() {
        if (!po_Store) return;  // a store no step used
        if (b_Open) po_Store->v_Close();
        po_Store->v_Remove();
    }
};

st_Bench& so_Bench(et_Kind kind, unsigned length) {
    static st_Bench benches[e_KindCount][2];
    st_Bench& bench = benches[kind][length == an_Sizes[0] ? 0 : 1];
    if (!bench.po_Store) {
        std::string name = std::string("bench_records_") + aqcz_Kind[kind] + "_" + std::to_string(length);
        switch (kind) {
            case e_RecordsMapped: bench.po_Store.reset(new RecordStore(name.c_str(), true)); break;
            case e_RecordsUnmapped: bench.po_Store.reset(new RecordStore(name.c_str(), false)); break;
            case e_Sql: bench.po_Store.reset(new SqlStore(name.c_str())); break;
            default: bench.po_Store.reset(new TreeStore(name.c_str())); break;
        }
        bench.n_Length = length;
        bench.ac_Record.resize(length);
        for (unsigned i = 0; i < length; ++i) bench.ac_Record[i] = static_cast<unsigned char>('a' + i % 26);
    }
    return bench;
}

void v_Report(benchmark::State& state, st_Bench& bench, unsigned long long items) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
    state.counters["file_bytes"] = static_cast<double>(bench.po_Store->n_Size());
    if (bench.po_Store->b_Failed) state.SkipWithError("the store reported an error");
}

void Add(benchmark::State& state, et_Kind kind, unsigned length) {
    st_Bench& bench = so_Bench(kind, length);
    if (bench.b_Open) bench.po_Store->v_Close();
    bench.b_Open = false;
    for (auto _ : state) {
        bench.po_Store->v_Remove();
        bench.v_Build();
    }
    bench.v_Ready();
    v_Report(state, bench, kRecords);
}

void Read(benchmark::State& state, et_Kind kind, unsigned length) {
    st_Bench& bench = so_Bench(kind, length);
    bench.v_Ready();
    std::vector<unsigned> order = bench.an_Positions(kRecords);
    for (auto _ : state) {
        bench.po_Store->v_Begin(false);
        for (unsigned position : order)
            if (bench.po_Store->n_Get(bench.an_Ids[position]) != length) bench.po_Store->b_Failed = true;
        bench.po_Store->v_Commit();
    }
    v_Report(state, bench, kRecords);
}

void Update(benchmark::State& state, et_Kind kind, unsigned length) {
    st_Bench& bench = so_Bench(kind, length);
    bench.v_Ready();
    std::vector<unsigned> chosen = bench.an_Positions(kChanged);
    unsigned stamp = kRecords;
    for (auto _ : state) {
        bench.po_Store->v_Begin(true);
        for (unsigned position : chosen)
            bench.po_Store->v_Update(bench.an_Ids[position], bench.pc_Record(++stamp), length);
        bench.po_Store->v_Commit();
    }
    v_Report(state, bench, kChanged);
}

void DeleteAdd(benchmark::State& state, et_Kind kind, unsigned length) {
    st_Bench& bench = so_Bench(kind, length);
    bench.v_Ready();
    unsigned stamp = 2 * kRecords;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<unsigned> chosen = bench.an_Positions(kChanged);
        state.ResumeTiming();
        bench.po_Store->v_Begin(true);
        for (unsigned position : chosen) bench.po_Store->v_Delete(bench.an_Ids[position]);
        for (unsigned position : chosen) bench.an_Ids[position] = bench.po_Store->n_Add(bench.pc_Record(++stamp), length);
        bench.po_Store->v_Commit();
    }
    v_Report(state, bench, 2 * kChanged);
}

void Scan(benchmark::State& state, et_Kind kind, unsigned length) {
    st_Bench& bench = so_Bench(kind, length);
    bench.v_Ready();
    for (auto _ : state) {
        bench.po_Store->v_Begin(false);
        if (bench.po_Store->n_Scan() != kRecords) bench.po_Store->b_Failed = true;
        bench.po_Store->v_Commit();
    }
    v_Report(state, bench, kRecords);
}

// Registered store by store, step by step, so each step finds the file
// that the steps before it left.
int i_Register() {
    using Step = void (*)(benchmark::State&, et_Kind, unsigned);
    struct {
        char const* name;
        Step step;
        bool once;  // steps that change the file's shape run one iteration
    } const steps[] = {{"Add", Add, true}, {"Read", Read, false}, {"Update", Update, false},
                       {"DeleteAdd", DeleteAdd, true}, {"Scan", Scan, false}};
    for (unsigned length : an_Sizes)
        for (int kind = 0; kind < e_KindCount; ++kind)
            for (auto const& step : steps) {
                std::string name = std::string(step.name) + "/" + std::to_string(length) + "B/" + aqcz_Kind[kind];
                auto* benchmark = benchmark::RegisterBenchmark(
                    name.c_str(), [step, kind, length](benchmark::State& state) {
                        step.step(state, static_cast<et_Kind>(kind), length);
                    });
                benchmark->Unit(benchmark::kMillisecond);
                if (step.once) benchmark->Iterations(1);
            }
    return 0;
}

int const si_Registered = i_Register();

}  // namespace
