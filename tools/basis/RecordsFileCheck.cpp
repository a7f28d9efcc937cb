// Examining a record file read-only, for check and before any action that
// writes: the header and tables as stored, the scans of the record
// manager, and each record's body against the file's true size.
#include <cstdio>

#include "tools/basis/OutputFile.h"
#include "tools/basis/Progress.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsFile.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsFileCheck";

// Problems named when a write is refused; check lists up to its own limit.
std::size_t const kNamedProblems = 3;

std::string s_NotRecordFile(CT_UString const& name) {
    char magic[16];
    std::snprintf(magic, sizeof magic, "0x%08X", unsigned(CT_RecordManager::e_Magic));
    return s_Quoted(name) + " is not a record file: its magic number is not " + magic;
}

}  // namespace

int i_ExamineRecordFile(CT_UString const& name, unsigned waitSeconds, st_RecordFileExamination* examination) {
    st_RecordFileExamination& x = *examination;
    std::vector<std::string>& problems = x.as_Problems;
    CT_RecordFileReader reader(&name);
    std::string tooShort;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!b_OpenWaiting(waitSeconds, [&] { return reader.b_Open(&tooShort) || !tooShort.empty(); }))
        return i_ToolFailWithError("opening " + s_Quoted(name));
    if (!tooShort.empty()) return i_ToolFail(e_ExitError, s_Quoted(name) + ": " + tooShort);
    x.so_Header = reader.so_GetHeader();
    if (x.so_Header.n_Magic != CT_RecordManager::e_Magic) return i_ToolFail(e_ExitError, s_NotRecordFile(name));
    if (!reader.b_ReadFreeSpace(&x.so_Space, &problems) || !reader.b_ReadResources(&x.ao_Resources, &problems))
        return i_ToolFailWithError("reading the tables of " + s_Quoted(name));
    x.n_FileSize = reader.n_GetFileSize();
    x.n_DataStart = reader.n_GetDataStart();
    st_RecordFileHeader const& header = x.so_Header;
    if (header.n_BlockSize == 0)
        problems.push_back("the block size is 0");
    else if (header.n_End % header.n_BlockSize != 0)
        problems.push_back("the end offset " + std::to_string(header.n_End) + " is not a multiple of the block size");
    if (header.n_BlockSize != 0 && header.n_RecordHeaderSize + 8ull > header.n_BlockSize)
        problems.push_back("a record header of " + std::to_string(header.n_RecordHeaderSize) +
                           " bytes does not fit in a block of " + std::to_string(header.n_BlockSize) + " bytes");
    if (x.n_DataStart == 0 || header.n_End < x.n_DataStart)
        problems.push_back("the end offset " + std::to_string(header.n_End) + " lies before the data area");
    if (x.n_FileSize < header.n_End)
        problems.push_back("the file has " + std::to_string(x.n_FileSize) + " bytes, fewer than its end offset " +
                           std::to_string(header.n_End) + ": records near the end would read back as zeros");

    // The record manager's own reading of the file; when it refuses, what
    // was found above is still reported.
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead, waitSeconds)) {
        if (b_IsInUseError()) return i_ToolFailWithError("opening " + s_Quoted(name));
        x.s_Refusal = s_TakeToolError();
        problems.push_back("the record manager refuses the file: " + x.s_Refusal);
        return e_ExitOk;
    }
    x.b_Opened = true;
    // A reading that fails on a file already found damaged is one more
    // sign of the damage; on a file that looked sound it is a failure to
    // check, not a verdict.
    auto failedReading = [&](char const* doing) -> int {
        if (problems.empty()) {
            std::string what = doing;
            what += ' ';
            what += s_Quoted(name);
            return i_CloseAndFailWithError(&records, what);
        }
        problems.push_back(std::string("the record manager fails ") + doing + " it: " + s_TakeToolError());
        records.v_Close(1);
        errors->v_ClearError();
        return e_ExitOk;
    };
    int corrupt = records.b_IsCorrupt();
    if (b_ToolFailed(qcz_Location, __LINE__)) return failedReading("checking");
    unsigned end = records.n_GetSize(), start = x.n_DataStart;
    for (int robust = 0; robust < 2; ++robust) {
        CT_Progress progress(robust ? "scanning block by block" : "scanning", end > start ? end - start : 0, "records");
        CT_Buffer data;
        unsigned& found = robust ? x.n_FoundRobust : x.n_Found;
        for (unsigned from = 0;;) {
            unsigned next = robust ? records.n_GetNextRecordRobust(from, &data) : records.n_GetNextRecord(from, &data);
            if (b_ToolFailed(qcz_Location, __LINE__)) {
                progress.v_Erase();
                return failedReading("scanning");
            }
            if (next == 0) break;
            ++found;
            unsigned number = next - 1;
            // The bodies are checked once, on the scan that finds the most.
            if (robust && !reader.b_CheckBody(number, number * records.n_GetBlockSize(), &problems)) {
                progress.v_Erase();
                return i_CloseAndFailWithError(&records, "reading " + s_Quoted(name));
            }
            unsigned long long at = static_cast<unsigned long long>(number) * records.n_GetBlockSize();
            progress.v_Update(at > start ? at - start : 0, found);
            from = next;
        }
        progress.v_Erase();
    }
    if (corrupt)
        problems.insert(problems.begin(), "the stored record count " + std::to_string(records.n_GetRecordCount()) +
                                              " differs from the records found");
    records.v_Close(1);
    if (b_ToolFailed(qcz_Location, __LINE__)) return i_ToolFailWithError("closing " + s_Quoted(name));
    errors->v_ClearError();
    return e_ExitOk;
}

int i_CheckBeforeWriting(CT_UString const& name, unsigned waitSeconds, bool force) {
    st_RecordFileExamination examination;
    int examined = i_ExamineRecordFile(name, waitSeconds, &examination);
    if (examined != e_ExitOk) return examined;
    if (!examination.b_Opened) return i_ToolFail(e_ExitError, s_Quoted(name) + ": " + examination.s_Refusal);
    std::vector<std::string> const& problems = examination.as_Problems;
    if (problems.empty()) return e_ExitOk;
    std::string named;
    for (std::size_t k = 0; k < problems.size() && k < kNamedProblems; ++k) named += "; " + problems[k];
    if (problems.size() > kNamedProblems) named += "; ...";
    if (force) {
        v_ToolWarn(s_Quoted(name) + " is corrupt (" + s_Count(problems.size(), "problem") + named +
                   "); writing all the same, as --force asks");
        return e_ExitOk;
    }
    return i_ToolFail(e_ExitNo, s_Quoted(name) + " is corrupt (" + s_Count(problems.size(), "problem") + named +
                                    "); it is left as it was: see basis records check, or pass --force");
}
