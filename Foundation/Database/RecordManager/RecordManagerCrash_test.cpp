// A writer killed at a random moment, twenty times, four runs to a file:
// what of its work can the next opener find?
//
// The child adds records in a loop and, after each n_AddRecord has
// returned, appends {sequence number, record number} to a side log (one
// unbuffered write each); every few records it flushes and logs that too.
// The parent kills it after a random few milliseconds and checks the file
// against the log before the next child goes on writing into the same file.
// The last run on each file also deletes, oldest records first.
//
// What a kill leaves: every byte the child had written is in the file,
// since a write or a store into a shared mapping is in the system's cache
// once it is done. The header on disk, though, is written only by v_Flush
// and v_Close. A record added since the last flush at the end of the file
// lies at or past the stored end offset, where the scans, which stop at the
// end offset, cannot see it, and the next writer takes its blocks again. A
// record added since the last flush into a block that was free at the flush
// lies below it: it is found and the stored record count lags, unless its
// body went to the end of the file, past the stored end offset, where
// reading it fails. So the checks are:
//  - every record live by the log is intact in the raw file (marker, body
//    link, header and body bytes);
//  - every record live by the log that lies below the stored end offset,
//    body included, and every record that an earlier check found, is found
//    by n_GetNextRecordRobust and n_GetNextRecord with the contents
//    written; records logged before the last logged flush all lie below
//    the stored end offset; no other live record is found;
//  - nothing else is found but the record of an add that the kill cut off
//    between its return and its log entry;
//  - b_IsCorrupt agrees with the count of records found against the stored
//    count.
// The figures (records past the end offset, lagging counts) are printed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
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
// Every fourth run starts the file afresh: a longer chain would only make the
// checks, which read the whole file, slower.
unsigned const cn_RunsPerFile = 4;
// The sequence numbers of run r start at r << 20; a child ends by itself
// (a failure) before it reaches the next run's numbers.
unsigned const cn_RunShift = 20;

// Side log entries: {sequence, record} after an add; {sequence, 0} after a
// flush that followed the add of that sequence; {cn_DeleteBegins, record}
// and {cn_DeleteEnded, record} around a delete; {cn_ChildFailed, line}.
unsigned const cn_DeleteBegins = 0xFFFFFFF0u;
unsigned const cn_DeleteEnded = 0xFFFFFFF1u;
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
    unsigned n_FlushEvery;   // 0: never
    unsigned n_DeleteEvery;  // 0: never; else after every n-th add the oldest record
    unsigned n_Seed;
    std::string s_Data;
    std::string s_Log;
};

std::string s_Job(st_Job const& job) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%u %u %u %u %u %u ", job.n_Run, job.b_Create, job.b_Map,
                  job.n_FlushEvery, job.n_DeleteEvery, job.n_Seed);
    return numbers + job.s_Data + "|" + job.s_Log;
}

st_Job so_ParseJob(char const* text) {
    st_Job job = {};
    int used = 0;
    std::sscanf(text, "%u %u %u %u %u %u %n", &job.n_Run, &job.b_Create, &job.b_Map, &job.n_FlushEvery,
                &job.n_DeleteEvery, &job.n_Seed, &used);
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
    // What to delete, oldest first: the records the file held at the
    // start, then this run's own.
    std::deque<unsigned> live;
    if (job.n_DeleteEvery != 0)
        for (unsigned next = records.n_GetNextRecord(0, nullptr); next != 0; next = records.n_GetNextRecord(next, nullptr))
            live.push_back(next - 1);
    if (errors->b_IsSetError()) return failed(__LINE__);
    Platform::b_SignalPeer(channel);  // the kill may come from now on
    for (unsigned i = 0; i < (1u << cn_RunShift); ++i) {
        unsigned sequence = (job.n_Run << cn_RunShift) | i;
        std::string data = s_RecordData(job.n_Seed, sequence);
        CT_Buffer buffer(data.data(), static_cast<unsigned>(data.size()), 32);
        unsigned number = records.n_AddRecord(&buffer);
        if (errors->b_IsSetError() || number == 0) return failed(__LINE__);
        log.v_Put(sequence, number);
        live.push_back(number);
        if (job.n_DeleteEvery != 0 && (i + 1) % job.n_DeleteEvery == 0 && live.size() > 1) {
            log.v_Put(cn_DeleteBegins, live.front());
            records.v_DeleteRecord(live.front());
            if (errors->b_IsSetError()) return failed(__LINE__);
            log.v_Put(cn_DeleteEnded, live.front());
            live.pop_front();
        }
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
    unsigned n_Added = 0;             // adds logged
    unsigned n_Deleted = 0;           // deletes logged
    unsigned n_Flushed = 0;           // adds logged before the run's last logged flush
    unsigned n_Found = 0;             // live by the log, found by the scan, contents checked
    unsigned n_PastEnd = 0;           // live by the log, at or past the stored end offset
    unsigned n_BodyPastEnd = 0;       // live by the log, fixed part below it, body past it
    unsigned n_RawIntact = 0;         // live by the log and intact in the raw file
    unsigned n_Rechecked = 0;         // found again in later runs, contents checked
    unsigned n_CutOff = 0;            // found, added but not logged before the kill
    unsigned n_LaggingCounts = 0;     // stored record count below the records found
    unsigned n_CorruptReported = 0;   // b_IsCorrupt true
};

// What the side log says of one run.
struct st_RunLog {
    std::vector<st_Logged> ao_Added;       // in order
    std::size_t n_FlushedCount = 0;        // adds before the last logged flush
    std::map<unsigned, unsigned> co_Live;  // record number -> sequence: found before or added, not deleted
    unsigned n_Deleting = 0;               // a record whose delete began and did not end
    unsigned n_Deleted = 0;
    unsigned n_FailedLine = 0;
};

// Whole entries only (a kill cannot split an entry in practice, but the
// check must not trust that).
st_RunLog so_ReadLog(std::string const& bytes, std::map<unsigned, unsigned> const& foundBefore) {
    st_RunLog log;
    log.co_Live = foundBefore;
    for (std::size_t at = 0; at + 8 <= bytes.size(); at += 8) {
        unsigned first = n_Word(bytes, at), second = n_Word(bytes, at + 4);
        if (first == cn_ChildFailed) {
            log.n_FailedLine = second;
        } else if (first == cn_DeleteBegins) {
            log.n_Deleting = second;
        } else if (first == cn_DeleteEnded) {
            log.co_Live.erase(second);
            log.n_Deleting = 0;
            ++log.n_Deleted;
        } else if (second == 0) {
            log.n_FlushedCount = log.ao_Added.size();
        } else {
            log.ao_Added.push_back({first, second});
            log.co_Live[second] = first;
        }
    }
    return log;
}

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
        // The last run on a file deletes too, oldest records first, so that
        // adds take blocks below the stored end offset again. It is the last
        // because a writer after it would read the free list as the last
        // flush left it, which may name blocks that live records took since.
        bool deletes = run % cn_RunsPerFile == cn_RunsPerFile - 1;
        unsigned flushEvery = an_FlushEvery[random() % 5];
        st_Job job = {run, create, run % 2, flushEvery, deletes ? 3u : 0u, seed, dataFile.s_Narrow(),
                      logFile.s_Narrow()};
        std::string text = s_Job(job);
        void* child = Platform::h_StartChild(&i_ChildBody, text.c_str(), pcc_ChildArguments);
        if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
        ASSERT_TRUE(Platform::b_WaitForPeer(child));
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 18000));
        bool killed = Platform::b_KillChild(child) != 0;

        st_RunLog log = so_ReadLog(logFile.s_Read(), committed);
        ASSERT_EQ(log.n_FailedLine, 0u) << "the child failed at line " << log.n_FailedLine;
        ASSERT_TRUE(killed) << "the child ended by itself";
        ++figures.n_Kills;
        figures.n_Added += static_cast<unsigned>(log.ao_Added.size());
        figures.n_Deleted += log.n_Deleted;
        figures.n_Flushed += static_cast<unsigned>(log.n_FlushedCount);

        // The raw file first: the mapped mode-2 open below truncates it to
        // the stored end offset when it closes.
        std::string raw = dataFile.s_Read();
        ASSERT_GE(raw.size(), 256u);
        unsigned storedEnd = n_Word(raw, 80);
        for (auto const& [number, sequence] : log.co_Live) {
            if (number == log.n_Deleting) continue;
            bool intact = b_RawIntact(raw, number, s_RecordData(seed, sequence));
            EXPECT_TRUE(intact) << "record " << number << " (sequence " << sequence << ") is not intact in the file";
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
        // Where size words can be trusted, as here, the scan that skips by
        // them reads the same records.
        unsigned scanned = 0;
        for (unsigned next = reader.n_GetNextRecord(0, &buffer); next != 0; next = reader.n_GetNextRecord(next, &buffer)) {
            EXPECT_EQ(found.count(next - 1), 1u) << "n_GetNextRecord finds record " << next - 1 << " alone";
            ++scanned;
        }
        EXPECT_EQ(scanned, found.size()) << "the two scans disagree";
        unsigned stored = reader.n_GetRecordCount();
        int corrupt = reader.b_IsCorrupt();
        EXPECT_EQ(corrupt != 0, found.size() != stored) << "found " << found.size() << ", stored count " << stored;
        if (found.size() > stored) ++figures.n_LaggingCounts;
        if (corrupt) ++figures.n_CorruptReported;
        reader.v_Close(1);

        // Records live by the log (earlier finds among them): found exactly
        // when they lie below the stored end, body included, and unchanged.
        // A record whose fixed part went into a freed block below the end
        // and whose body went to the end of the file is cut off by it: its
        // marker is there, but reading it fails.
        for (std::size_t i = 0; i < log.n_FlushedCount; ++i)
            EXPECT_LT(static_cast<unsigned long long>(log.ao_Added[i].n_Record) * cn_BlockSize, storedEnd)
                << "record " << log.ao_Added[i].n_Record << " was added before a flush";
        std::map<unsigned, unsigned> nowCommitted;
        for (auto const& [number, sequence] : log.co_Live) {
            bool belowEnd = static_cast<unsigned long long>(number) * cn_BlockSize < storedEnd;
            bool earlier = sequence >> cn_RunShift != run;
            auto hit = found.find(number);
            std::size_t dataSize = s_RecordData(seed, sequence).size();
            unsigned body = n_Word(raw, static_cast<std::size_t>(number) * cn_BlockSize + 4);
            if (belowEnd && dataSize > cn_HeaderSize && body + 4ull + (dataSize - cn_HeaderSize) > storedEnd) {
                ++figures.n_BodyPastEnd;
                EXPECT_FALSE(earlier) << "record " << number << " found before has its body past the end offset";
                EXPECT_TRUE(hit == found.end()) << "record " << number << " found with its body past the end offset";
                continue;
            }
            if (!belowEnd) {
                ++figures.n_PastEnd;
                EXPECT_FALSE(earlier) << "record " << number << " found before lies past the end offset";
                EXPECT_TRUE(hit == found.end()) << "record " << number << " found past the end offset";
                continue;
            }
            if (hit == found.end()) {
                EXPECT_EQ(number, log.n_Deleting) << "record " << number << " (sequence " << sequence
                                                  << ") below the end offset " << storedEnd << " not found";
                continue;
            }
            EXPECT_TRUE(b_ReadBackMatches(hit->second, s_RecordData(seed, sequence))) << "record " << number;
            ++(earlier ? figures.n_Rechecked : figures.n_Found);
            nowCommitted[number] = sequence;
            found.erase(hit);
        }
        // The kill may fall between an add and its log entry: that record
        // is found when it went into a block below the end offset.
        unsigned cutOff = log.ao_Added.empty() ? run << cn_RunShift : log.ao_Added.back().n_Sequence + 1;
        for (auto const& [number, data] : found) {
            if (found.size() == 1 && b_ReadBackMatches(data, s_RecordData(seed, cutOff))) {
                ++figures.n_CutOff;
                nowCommitted[number] = cutOff;
                continue;
            }
            ADD_FAILURE() << "record " << number << " found that no one logged (" << data.size() << " bytes)";
        }
        committed.swap(nowCommitted);

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
    std::printf("record manager crash: seed %u, %u kills in %u runs; %u adds and %u deletes logged, %u adds before "
                "a flush; this run's live records: %u found and verified, %u past the stored end offset, %u with "
                "only the body past it; %u live "
                "records intact in the raw file; %u cut-off adds found, %u earlier records re-verified; stored count lagging after %u kills, "
                "b_IsCorrupt true after %u; %.2f s\n",
                seed, figures.n_Kills, cn_Runs, figures.n_Added, figures.n_Deleted, figures.n_Flushed, figures.n_Found,
                figures.n_PastEnd, figures.n_BodyPastEnd, figures.n_RawIntact, figures.n_CutOff, figures.n_Rechecked,
                figures.n_LaggingCounts, figures.n_CorruptReported, seconds);
}

// Runs only in a program started by h_StartChild where the system cannot
// copy a running process; never returns there.
TEST(RecordManagerCrashChild, RunsTheJobOfAnotherProcess) {
    char const* value = std::getenv(Platform::pcc_ChildVariable);
    if (value == nullptr) GTEST_SKIP() << "only the helper of another process";
    Platform::v_RunChild(&i_ChildBody, value);
}
