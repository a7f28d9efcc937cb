// A writer killed at a random moment, twenty times over one file: what of
// its work can the next opener find?
//
// The child adds records in a loop and, after each n_AddRecord has
// returned, appends {sequence number, record number} to a side log (one
// unbuffered write each); every few records it flushes and logs that too.
// The parent kills it after a random few milliseconds and checks the file
// against the log before the next child goes on writing into the same file.
//
// What a kill leaves: every byte the child had written is in the file,
// since a write or a store into a shared mapping is in the system's cache
// once it is done. The header on disk, though, is written only by v_Flush
// and v_Close. Records only ever grow the file at its end here, so every
// record added since the last flush lies at or past the stored end offset,
// and the scans, which stop at the end offset, cannot see it; the next
// writer takes its blocks again. So the checks are:
//  - every logged record is intact in the raw file (marker, body link,
//    header and body bytes);
//  - every logged record below the stored end offset, and every record that
//    an earlier check found, is found by n_GetNextRecordRobust with the
//    contents written; records logged before the last logged flush are all
//    below the stored end offset;
//  - nothing else is found, and b_IsCorrupt agrees with the count of records
//    the scan finds against the stored count.
// The figures (records past the end offset among them) are printed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Platform/Process.h"

using FileTesting::TemporaryFile;

namespace {

// One block per fixed part (align(H + 8) = B), so that every block start in
// the data area is a word that its record wrote.
unsigned const cn_HeaderSize = 24;
unsigned const cn_BlockSize = 64;
unsigned const cn_ResourceMax = 4;
unsigned const cn_Runs = 20;
// Every fifth run starts the file afresh: a longer chain would only make the
// checks, which read the whole file, slower.
unsigned const cn_RunsPerFile = 5;
// The sequence numbers of run r start at r << 20; a child ends by itself
// (a failure) before it reaches the next run's numbers.
unsigned const cn_RunShift = 20;

// Side log entries: {sequence, record} after an add; {sequence, 0} after a
// flush that followed the add of that sequence; {cn_ChildFailed, line}.
unsigned const cn_ChildFailed = 0xFFFFFFFFu;

std::uint64_t n8_Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The data of record `sequence`: a quarter fit into the record header (no
// body, some of them empty), the rest have a body of up to six blocks.
std::string s_RecordData(unsigned seed, unsigned sequence) {
    std::uint64_t state = n8_Mix((static_cast<std::uint64_t>(seed) << 32) | sequence);
    unsigned length = state % 4 == 0 ? static_cast<unsigned>(state >> 8) % (cn_HeaderSize + 1)
                                     : cn_HeaderSize + 1 + static_cast<unsigned>(state >> 8) % (6 * cn_BlockSize);
    std::string data(length, '\0');
    for (unsigned i = 0; i < length; ++i) {
        if (i % 8 == 0) state = n8_Mix(state);
        data[i] = static_cast<char>(state >> (8 * (i % 8)));
    }
    return data;
}

unsigned n_Word(std::string const& bytes, std::size_t offset) {
    std::uint32_t word = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

// ---- the child -----------------------------------------------------------

struct st_Job {
    unsigned n_Run;
    unsigned b_Create;
    unsigned b_Map;
    unsigned n_FlushEvery;  // 0: never
    unsigned n_Seed;
    std::string s_Data;
    std::string s_Log;
};

std::string s_Job(st_Job const& job) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%u %u %u %u %u ", job.n_Run, job.b_Create, job.b_Map, job.n_FlushEvery,
                  job.n_Seed);
    return numbers + job.s_Data + "|" + job.s_Log;
}

st_Job so_ParseJob(char const* text) {
    st_Job job = {};
    int used = 0;
    std::sscanf(text, "%u %u %u %u %u %n", &job.n_Run, &job.b_Create, &job.b_Map, &job.n_FlushEvery, &job.n_Seed,
                &used);
    std::string names(text + used);
    std::size_t bar = names.find('|');
    job.s_Data = names.substr(0, bar);
    job.s_Log = names.substr(bar + 1);
    return job;
}

// A program that cannot copy itself starts a fresh instance running only
// this helper test.
char const pcc_ChildArguments[] = "--gtest_filter=RecordManagerCrashChild.RunsTheJobOfAnotherProcess";

class C_SideLog {
public:
    explicit C_SideLog(std::string const& name) : co_Name(name.c_str(), ~0u, 0), co_File(&co_Name, 1024) {
        co_File.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareRead, 1, 0);
    }
    // Unmapped and unbuffered: once the call returns, the entry is the
    // system's, whatever happens to this process.
    void v_Put(unsigned first, unsigned second) {
        unsigned entry[2] = {first, second};
        co_File.vn_Write(entry, sizeof entry);
    }

private:
    CT_UString co_Name;
    CT_WinFile co_File;
};

int i_ChildBody(char const* text, void* channel) {
    st_Job job = so_ParseJob(text);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    C_SideLog log(job.s_Log);
    CT_UString name(job.s_Data.c_str(), ~0u, 0);
    CT_WinFile file(&name, 1024);
    CT_RecordManager records(&file);
    // The parent waits for the signal whatever happens: a child that ended
    // without it would leave the parent waiting for good where it is a copy
    // holding the pipe's other end itself.
    auto failed = [&](unsigned line) {
        log.v_Put(cn_ChildFailed, line);
        Platform::b_SignalPeer(channel);
        return 1;
    };
    if (errors->b_IsSetError()) return failed(__LINE__);
    if (job.b_Create) records.v_Create(cn_HeaderSize, cn_BlockSize, cn_ResourceMax);
    else records.v_Open(CT_RecordManager::e_ModeReadWrite, static_cast<int>(job.b_Map));
    if (errors->b_IsSetError()) return failed(__LINE__);
    Platform::b_SignalPeer(channel);
    for (unsigned i = 0; i < (1u << cn_RunShift); ++i) {
        unsigned sequence = (job.n_Run << cn_RunShift) | i;
        std::string data = s_RecordData(job.n_Seed, sequence);
        CT_Buffer buffer(data.data(), static_cast<unsigned>(data.size()), 32);
        unsigned number = records.n_AddRecord(&buffer);
        if (errors->b_IsSetError() || number == 0) return failed(__LINE__);
        log.v_Put(sequence, number);
        if (job.n_FlushEvery != 0 && (i + 1) % job.n_FlushEvery == 0) {
            records.v_Flush();
            if (errors->b_IsSetError()) return failed(__LINE__);
            log.v_Put(sequence, 0);
        }
    }
    return 2;  // never killed
}

// ---- the parent's checks --------------------------------------------------

struct st_Logged {
    unsigned n_Sequence;
    unsigned n_Record;
};

struct st_Figures {
    unsigned n_Kills = 0;
    unsigned n_Logged = 0;
    unsigned n_Flushed = 0;           // logged before the run's last logged flush
    unsigned n_FoundLogged = 0;       // logged, found by the scan, contents checked
    unsigned n_PastEnd = 0;           // logged, at or past the stored end offset
    unsigned n_RawIntact = 0;         // logged and intact in the raw file
    unsigned n_Rechecked = 0;         // found again in later runs, contents checked
    unsigned n_LaggingHeaders = 0;    // stored record count below the records found
    unsigned n_CorruptReported = 0;   // b_IsCorrupt true
};

// Whether `data` is what v_GetRecord gave for it. A record without a body
// does not store its length: it reads back empty, or as its H header bytes
// of which the first L are its own.
bool b_ReadBackMatches(std::string const& got, std::string const& data) {
    if (data.size() > cn_HeaderSize) return got == data;
    return got.empty() || (got.size() == cn_HeaderSize && got.compare(0, data.size(), data) == 0);
}

// Whether the raw file holds record `number` as written.
bool b_RawIntact(std::string const& raw, unsigned number, std::string const& data) {
    std::size_t fixed = static_cast<std::size_t>(number) * cn_BlockSize;
    std::size_t inHeader = data.size() < cn_HeaderSize ? data.size() : cn_HeaderSize;
    // Unmapped, the file ends with the last byte written, which may lie
    // inside the last block.
    if (fixed + 8 + inHeader > raw.size() || n_Word(raw, fixed) != CT_RecordManager::e_LiveRecord) return false;
    if (raw.compare(fixed + 8, inHeader, data, 0, inHeader) != 0) return false;
    unsigned body = n_Word(raw, fixed + 4);
    if (data.size() <= cn_HeaderSize) return body == 0;
    std::size_t bodyLength = data.size() - cn_HeaderSize;
    return body != 0 && n_Word(raw, body) == bodyLength + 4 && body + 4 + bodyLength <= raw.size() &&
           raw.compare(body + 4, bodyLength, data, cn_HeaderSize, bodyLength) == 0;
}

class RecordManagerCrash : public ::testing::Test {
protected:
    void TearDown() override { errors->v_ClearError(); }
    std::string s_Message() const { return CT_CString(errors->qcuz_GetErrorMessage(), ~0u, 0).qccz_Get(); }

    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
};

}  // namespace

TEST_F(RecordManagerCrash, KilledWriterLeavesEveryRecordItAddedInTheFile) {
    auto started = std::chrono::steady_clock::now();
    unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    TemporaryFile dataFile;
    TemporaryFile logFile;
    CT_WinFile file(dataFile.pcco_Name(), 1024);
    std::map<unsigned, unsigned> committed;  // record number -> sequence, found by a check
    st_Figures figures;
    static unsigned const an_FlushEvery[] = {0, 1, 5, 25, 100};

    for (unsigned run = 0; run < cn_Runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        // Mapped and unmapped writers alternate; a run goes on with the file
        // that the killed one before it left, or creates it anew over that.
        bool create = run % cn_RunsPerFile == 0;
        if (create) committed.clear();
        st_Job job = {run, create, run % 2, an_FlushEvery[random() % 5], seed, dataFile.s_Narrow(),
                      logFile.s_Narrow()};
        std::string text = s_Job(job);
        void* child = Platform::h_StartChild(&i_ChildBody, text.c_str(), pcc_ChildArguments);
        if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
        ASSERT_TRUE(Platform::b_WaitForPeer(child));
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 18000));
        bool killed = Platform::b_KillChild(child) != 0;

        // The log: whole entries only (a kill cannot split an entry in
        // practice, but the check must not trust that).
        std::string logBytes = logFile.s_Read();
        std::vector<st_Logged> logged;
        std::size_t flushedCount = 0;
        for (std::size_t at = 0; at + 8 <= logBytes.size(); at += 8) {
            unsigned first = n_Word(logBytes, at), second = n_Word(logBytes, at + 4);
            ASSERT_NE(first, cn_ChildFailed) << "the child failed at line " << second;
            if (second == 0) flushedCount = logged.size();
            else logged.push_back({first, second});
        }
        ASSERT_TRUE(killed) << "the child ended by itself";
        ++figures.n_Kills;
        figures.n_Logged += static_cast<unsigned>(logged.size());
        figures.n_Flushed += static_cast<unsigned>(flushedCount);

        // The raw file first: the mapped mode-2 open below truncates it to
        // the stored end offset when it closes.
        std::string raw = dataFile.s_Read();
        ASSERT_GE(raw.size(), 256u);
        unsigned storedEnd = n_Word(raw, 80);
        for (st_Logged const& entry : logged) {
            bool intact = b_RawIntact(raw, entry.n_Record, s_RecordData(seed, entry.n_Sequence));
            EXPECT_TRUE(intact) << "record " << entry.n_Record << " (sequence " << entry.n_Sequence
                                << ") is not intact in the file: marker " << std::hex
                                << n_Word(raw, entry.n_Record * cn_BlockSize) << " body "
                                << n_Word(raw, entry.n_Record * cn_BlockSize + 4) << " length word "
                                << n_Word(raw, n_Word(raw, entry.n_Record * cn_BlockSize + 4)) << std::dec << " size "
                                << s_RecordData(seed, entry.n_Sequence).size() << " file " << raw.size()
                                << " end " << storedEnd << " index " << (&entry - logged.data()) << "/"
                                << logged.size();
            figures.n_RawIntact += intact;
        }

        // A reader, mapped or not, scans block by block.
        CT_RecordManager reader(&file);
        reader.v_Open(CT_RecordManager::e_ModeRead, static_cast<int>(run / 2 % 2));
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(reader.n_GetSize(), storedEnd);
        std::map<unsigned, std::string> found;  // record number -> what the scan read
        CT_Buffer buffer;
        for (unsigned next = reader.n_GetNextRecordRobust(0, &buffer); next != 0;
             next = reader.n_GetNextRecordRobust(next, &buffer))
            found[next - 1].assign(static_cast<char const*>(buffer.qcv_Get()), buffer.n_GetUsedSize());
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        unsigned scanned = 0;
        for (unsigned next = reader.n_GetNextRecord(0, nullptr); next != 0; next = reader.n_GetNextRecord(next, nullptr)) {
            EXPECT_EQ(found.count(next - 1), 1u) << "n_GetNextRecord finds record " << next - 1 << " alone";
            ++scanned;
        }
        unsigned stored = reader.n_GetRecordCount();
        int corrupt = reader.b_IsCorrupt();
        EXPECT_EQ(scanned, found.size()) << "the two scans disagree";
        EXPECT_EQ(corrupt != 0, scanned != stored) << "found " << scanned << ", stored count " << stored;
        if (found.size() > stored) ++figures.n_LaggingHeaders;
        if (corrupt) ++figures.n_CorruptReported;

        // Earlier finds are still there, unchanged.
        for (auto const& [number, sequence] : committed) {
            auto hit = found.find(number);
            if (hit == found.end()) {
                ADD_FAILURE() << "record " << number << " (sequence " << sequence << ") found before is gone";
                continue;
            }
            EXPECT_TRUE(b_ReadBackMatches(hit->second, s_RecordData(seed, sequence))) << "record " << number;
            ++figures.n_Rechecked;
            found.erase(hit);
        }
        // This run's records: found exactly when below the stored end.
        for (std::size_t i = 0; i < logged.size(); ++i) {
            st_Logged const& entry = logged[i];
            bool belowEnd = static_cast<unsigned long long>(entry.n_Record) * cn_BlockSize < storedEnd;
            EXPECT_TRUE(belowEnd || i >= flushedCount) << "record " << entry.n_Record << " was flushed";
            auto hit = found.find(entry.n_Record);
            if (!belowEnd) {
                ++figures.n_PastEnd;
                EXPECT_TRUE(hit == found.end()) << "record " << entry.n_Record << " found past the end offset";
                continue;
            }
            if (hit == found.end()) {
                ADD_FAILURE() << "record " << entry.n_Record << " (sequence " << entry.n_Sequence
                              << ") below the end offset " << storedEnd << " not found";
                continue;
            }
            EXPECT_TRUE(b_ReadBackMatches(hit->second, s_RecordData(seed, entry.n_Sequence)))
                << "record " << entry.n_Record;
            ++figures.n_FoundLogged;
            committed[entry.n_Record] = entry.n_Sequence;
            found.erase(hit);
        }
        for (auto const& [number, data] : found)
            ADD_FAILURE() << "record " << number << " found that no one logged (" << data.size() << " bytes)";
        reader.v_Close(1);

        // And it opens for writing, mapped or not.
        CT_RecordManager writer(&file);
        writer.v_Open(CT_RecordManager::e_ModeReadWrite, static_cast<int>((run + 1) / 2 % 2));
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(writer.n_GetRecordCount(), stored);
        writer.v_Close(1);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        if (HasFailure()) break;
    }

    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("record manager crash: seed %u, %u runs, %u kills, %u records logged, %u flushed before the kill, "
                "%u found and verified, %u past the stored end offset (%u of all logged intact in the raw file), "
                "%u earlier records re-verified, %u in the file at the end, %u lagging headers, "
                "%u corrupt reports, %.2f s\n",
                seed, cn_Runs, figures.n_Kills, figures.n_Logged, figures.n_Flushed, figures.n_FoundLogged,
                figures.n_PastEnd, figures.n_RawIntact, figures.n_Rechecked,
                static_cast<unsigned>(committed.size()), figures.n_LaggingHeaders, figures.n_CorruptReported, seconds);
    RecordProperty("kills", static_cast<int>(figures.n_Kills));
    RecordProperty("logged", static_cast<int>(figures.n_Logged));
    RecordProperty("found", static_cast<int>(figures.n_FoundLogged));
    RecordProperty("past_end", static_cast<int>(figures.n_PastEnd));
    RecordProperty("lagging_headers", static_cast<int>(figures.n_LaggingHeaders));
}

// Runs only in a program started by h_StartChild where the system cannot
// copy a running process; never returns there.
TEST(RecordManagerCrashChild, RunsTheJobOfAnotherProcess) {
    char const* value = std::getenv(Platform::pcc_ChildVariable);
    if (value == nullptr) GTEST_SKIP() << "only the helper of another process";
    Platform::v_RunChild(&i_ChildBody, value);
}
