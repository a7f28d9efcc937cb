// `basis records` delete, update, salvage and compact.
#include "tools/basis/RecordsMaintain.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/Progress.h"
#include "tools/basis/RecordsFile.h"
#include "tools/basis/RecordsPlace.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsMaintain";

// An input is read whole before the record file is opened, so that a
// mistyped name changes nothing; it may take at most what a record's
// blocks can below the 4 GiB the file's offsets reach (checked exactly
// once the file is open).
unsigned long long const kInputLimit = 0xFFFFFFFFull - (1u << 25);

// The resource slots a salvaged or compacted file keeps at most: a
// damaged header may claim any count, and the new file's tables must
// stay far from the 32-bit offsets' end (create's own bound).
unsigned const kMaximumResources = 1u << 20;

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

// The numbers of the records one of the scans finds; false with the error
// set when the scan fails.
bool b_CollectRecords(CT_RecordManager const& records, bool robust, std::vector<unsigned>* numbers) {
    numbers->clear();
    CT_Buffer data;
    CT_Progress progress(robust ? "scanning block by block" : "scanning", records.n_GetSize(), "records");
    for (unsigned from = 0;;) {
        unsigned next = robust ? records.n_GetNextRecordRobust(from, &data) : records.n_GetNextRecord(from, &data);
        if (b_Failed(__LINE__)) return false;
        if (next == 0) break;
        numbers->push_back(next - 1);
        progress.v_Update(static_cast<unsigned long long>(next - 1) * records.n_GetBlockSize(),
                          static_cast<unsigned>(numbers->size()));
        from = next;
    }
    progress.v_Erase();
    return true;
}

// The contents of an open record file for the builder: its geometry, the
// records given, and its resources; those that do not read are named in a
// warning and left out when skipUnreadable, else left to fail the build.
st_RecordContents so_ContentsOf(CT_RecordManager* records, CT_UString const& file, std::vector<unsigned> const& numbers,
                                bool skipUnreadable) {
    st_RecordContents contents;
    contents.so_Geometry.n_HeaderSize = records->n_GetRecordHeaderSize();
    contents.so_Geometry.n_BlockSize = records->n_GetBlockSize();
    unsigned count = records->n_GetResourceCount();
    contents.so_Geometry.n_ResourceMax = std::max(std::min(records->n_GetResourceMaxCount(), kMaximumResources), count);
    contents.an_Records = numbers;
    CT_Buffer data;
    for (unsigned k = 1; k <= count; ++k) {
        unsigned key = records->n_GetResourceKeyAt(k);
        if (skipUnreadable) {
            records->v_GetResource(key, &data);
            if (b_Failed(__LINE__)) {
                v_ToolWarn("resource " + std::to_string(key) + " cannot be read and is left out: " + s_TakeToolError());
                continue;
            }
        }
        contents.an_Resources.push_back(key);
    }
    std::string name = s_Quoted(file);
    contents.pf_Record = [records, name](unsigned number, CT_Buffer* out, std::string* failure) {
        records->v_GetRecord(number, out);
        if (!b_Failed(__LINE__)) return int(e_ExitOk);
        *failure = "reading record " + std::to_string(number) + " of " + name + ": " + s_TakeToolError();
        return int(e_ExitError);
    };
    contents.pf_Resource = [records, name](unsigned key, CT_Buffer* out, std::string* failure) {
        records->v_GetResource(key, out);
        if (!b_Failed(__LINE__)) return int(e_ExitOk);
        *failure = "reading resource " + std::to_string(key) + " of " + name + ": " + s_TakeToolError();
        return int(e_ExitError);
    };
    return contents;
}

CT_UString co_WithSuffix(CT_UString const& name, char const* suffix) {
    CT_UString result(name);
    CT_UString tail(suffix, ~0u, 65001);
    result.v_Append(tail.qcuz_Get(), tail.vn_GetLength());
    return result;
}

}  // namespace


int i_RecordsDelete(char const* argument, std::vector<char const*> const& numberTexts, st_RecordsOptions const& options) {
    std::vector<unsigned> numbers;
    std::string problem;
    for (char const* text : numberTexts) {
        unsigned number = 0;
        if (!b_ReadNumber("the record number", text, 0xFFFFFFFFull, &number, &problem)) return i_ToolUsageError(problem);
        if (std::find(numbers.begin(), numbers.end(), number) != numbers.end())
            return i_ToolUsageError("record " + std::to_string(number) + " is named twice");
        numbers.push_back(number);
    }
    CT_UString name = co_ArgumentName(argument);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (int opened = i_OpenForWriting(&records, name, options)) return opened;
    // Every number is checked before the first record goes, so that a
    // mistyped number deletes nothing.
    CT_Buffer probe;
    for (unsigned number : numbers) {
        std::string none = "no record " + std::to_string(number) + " in " + s_Quoted(name);
        if (!b_IsInFile(records, number))
            return i_CloseAndFail(&records, e_ExitNo, none + ": its block would start at or past the end offset");
        records.v_GetRecord(number, &probe);
        if (b_Failed(__LINE__)) {
            if (CT_ErrorManager::spco_Get()->n_GetErrorCode() == CT_DatabaseError::e_InvalidReference)
                return i_CloseAndFail(&records, e_ExitNo, none + ": " + s_TakeToolError());
            return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " of " + s_Quoted(name));
        }
    }
    for (unsigned number : numbers) {
        records.v_DeleteRecord(number);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(&records, "deleting record " + std::to_string(number) + " of " + s_Quoted(name));
    }
    int result = i_Close(&records, e_ExitOk);
    if (result == e_ExitOk)
        std::printf("deleted %s from %s\n", s_Count(numbers.size(), "record").c_str(), s_Utf8(name).c_str());
    return i_EndStandardOutput(result);
}

int i_RecordsUpdate(char const* argument, char const* numberText, char const* input, st_RecordsOptions const& options) {
    unsigned number = 0;
    std::string problem;
    if (!b_ReadNumber("the record number", numberText, 0xFFFFFFFFull, &number, &problem)) return i_ToolUsageError(problem);
    if (input == nullptr) input = "-";
    CT_Buffer data(0, 1 << 16);
    if (int read = i_ReadWholeInput(input, kInputLimit, &data, &problem)) return i_ToolFail(read, problem);
    CT_UString name = co_ArgumentName(argument);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (int opened = i_OpenForWriting(&records, name, options)) return opened;
    std::string none = "no record " + std::to_string(number) + " in " + s_Quoted(name);
    if (!b_IsInFile(records, number))
        return i_CloseAndFail(&records, e_ExitNo, none + ": its block would start at or past the end offset");
    unsigned length = data.n_GetUsedSize(), headerSize = records.n_GetRecordHeaderSize();
    // The record manager does not watch its 32-bit end offset; a body that
    // could carry it past 4 GiB is refused here.
    unsigned long long body = length > headerSize ? n8_Align(length - headerSize + 4ull, records.n_GetBlockSize()) : 0;
    if (records.n_GetSize() + body > 0xFFFFFFFFull)
        return i_CloseAndFail(&records, e_ExitNo,
                              "the new data would take " + s_Quoted(name) + " past the 4 GiB its offsets reach");
    records.v_UpdateRecord(number, &data);
    if (b_Failed(__LINE__)) {
        if (CT_ErrorManager::spco_Get()->n_GetErrorCode() == CT_DatabaseError::e_InvalidReference)
            return i_CloseAndFail(&records, e_ExitNo, none + ": " + s_TakeToolError());
        return i_CloseAndFailWithError(&records, "updating record " + std::to_string(number) + " of " + s_Quoted(name));
    }
    int result = i_Close(&records, e_ExitOk);
    if (result != e_ExitOk) return result;
    std::printf("updated record %u of %s: %s\n", number, s_Utf8(name).c_str(), s_Count(length, "byte").c_str());
    if (length < headerSize)
        v_ToolWarn("the record is shorter than the " + std::to_string(headerSize) +
                   "-byte record header; its length is not stored and it reads back as " +
                   s_Count(headerSize, "byte"));
    return i_EndStandardOutput(e_ExitOk);
}

int i_RecordsSalvage(char const* argument, char const* output, st_RecordsOptions const& options) {
    CT_UString name = co_ArgumentName(argument), outName = co_ArgumentName(output);
    if (std::strcmp(output, "-") == 0) return i_ToolUsageError("salvage writes a record file, not standard output");
    if (int checked = i_CheckOutput(output, {argument}, options.b_Force)) return checked;
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (int opened = i_OpenForReading(&records, name, options)) return opened;
    // Salvage is for damaged files: a short one is copied all the same,
    // with the warning.
    i_RefuseTruncated(&records, name, true, "salvage it");
    std::vector<unsigned> found;
    if (!b_CollectRecords(records, true, &found)) return i_CloseAndFailWithError(&records, "scanning " + s_Quoted(name));
    st_RecordContents contents = so_ContentsOf(&records, name, found, true);
    std::vector<unsigned> numbers;
    std::string failure;
    if (int built = i_BuildRecordFile(outName, contents, false, &numbers, &failure))
        return i_CloseAndFail(&records, built, failure);
    std::printf("%10s %10s\n", "record", "new number");
    for (std::size_t k = 0; k < found.size(); ++k) std::printf("%10u %10u\n", found[k], numbers[k]);
    std::printf("salvaged %s and %s from %s into %s\n", s_Count(found.size(), "record").c_str(),
                s_Count(contents.an_Resources.size(), "resource").c_str(), s_Utf8(name).c_str(),
                s_Utf8(outName).c_str());
    return i_EndStandardOutput(i_Close(&records, e_ExitOk));
}

int i_RecordsCompact(char const* argument, st_RecordsOptions const& options) {
    CT_UString name = co_ArgumentName(argument);
    // The compacted file is made beside the old one, then takes its name;
    // the old one stays under a second name until then.
    CT_UString fresh = co_WithSuffix(name, ".compacting"), old = co_WithSuffix(name, ".before-compact");
    for (CT_UString const* other : {&fresh, &old})
        if (CT_FileSystem::sb_IsExistent(other))
            return i_ToolFail(e_ExitNo, s_Quoted(*other) +
                                            " exists: an earlier compact may have stopped half-way; move it away first");
    // A file that does not examine clean could lose records that the scan
    // does not reach.
    st_RecordFileExamination examination;
    if (int examined = i_ExamineRecordFile(name, options.n_WaitSeconds, &examination)) return examined;
    if (!examination.b_Opened) return i_ToolFail(e_ExitError, s_Quoted(name) + ": " + examination.s_Refusal);
    if (!examination.as_Problems.empty())
        return i_ToolFail(e_ExitNo, s_Quoted(name) + " is corrupt (" + examination.as_Problems.front() +
                                        "): compacting it could lose records; see basis records check, or salvage it");
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (int opened = i_OpenForReading(&records, name, options)) return opened;
    unsigned before = examination.n_FileSize;
    std::vector<unsigned> found;
    if (!b_CollectRecords(records, false, &found)) return i_CloseAndFailWithError(&records, "scanning " + s_Quoted(name));
    st_RecordContents contents = so_ContentsOf(&records, name, found, false);
    std::vector<unsigned> numbers;
    std::string failure;
    if (int built = i_BuildRecordFile(fresh, contents, true, &numbers, &failure))
        return i_CloseAndFail(&records, built, failure);
    int closed = i_Close(&records, e_ExitOk);
    if (closed != e_ExitOk) return closed;
    CT_WinFile made(&fresh, 4096);
    unsigned after = made.vn_GetSize();
    CT_ErrorManager::spco_Get()->v_ClearError();
    CT_WinFile original(&name, 4096);
    original.vv_Rename(&old);
    if (b_Failed(__LINE__)) return i_ToolFailWithError("moving " + s_Quoted(name) + " aside");
    made.vv_Rename(&name);
    if (b_Failed(__LINE__)) {
        std::string why = s_TakeToolError();
        CT_WinFile back(&old, 4096);
        back.vv_Rename(&name);
        return i_ToolFail(e_ExitError, "giving the compacted file the name " + s_Quoted(name) + ": " + why +
                                           (b_Failed(__LINE__) ? "; the old file is " + s_Quoted(old) + ": " + s_TakeToolError()
                                                               : "; the old file is back in its place"));
    }
    CT_WinFile leftover(&old, 4096);
    leftover.vv_Remove();
    if (b_Failed(__LINE__)) return i_ToolFailWithError("removing the old file " + s_Quoted(old));
    std::printf("compacted %s: %s and %s under their numbers; %s before, %u after\n", s_Utf8(name).c_str(),
                s_Count(found.size(), "record").c_str(), s_Count(contents.an_Resources.size(), "resource").c_str(),
                s_Count(before, "byte").c_str(), after);
    return i_EndStandardOutput(e_ExitOk);
}

int i_RunRecordsMaintain(std::vector<char const*> const& args, st_RecordsOptions const& options) {
    std::string action = args[0];
    if (action == "delete") return i_RecordsDelete(args[1], std::vector<char const*>(args.begin() + 2, args.end()), options);
    if (action == "update") return i_RecordsUpdate(args[1], args[2], args.size() > 3 ? args[3] : nullptr, options);
    if (action == "dump") return i_RecordsDump(args[1], args[2], options);
    if (action == "restore") return i_RecordsRestore(args[1], args[2], options);
    if (action == "salvage") return i_RecordsSalvage(args[1], args[2], options);
    if (action == "compact") return i_RecordsCompact(args[1], options);
    // resource <action> <file> ...: the positional arguments each takes
    // (its own name and the file's included) and the options that go
    // with it.
    std::string which = args[1];
    std::size_t least = which == "list" ? 2 : which == "set" || which == "get" || which == "delete" ? 3 : 0;
    std::size_t most = which == "set" ? 4 : least;
    std::vector<char const*> rest(args.begin() + 1, args.end());
    if (least == 0) return i_ToolUsageError("unknown resource action \"" + which + "\" (list, get, set or delete)");
    if (rest.size() < least || rest.size() > most)
        return i_ToolUsageError("resource " + which + " takes " +
                                (which == "list" ? "<file>" : which == "set" ? "<file> <key> [<input>]" : "<file> <key>"));
    if (std::strcmp(rest[1], "-") == 0)
        return i_ToolUsageError("a record file cannot be standard input or output (\"-\")");
    if (options.qccz_Out && which != "get") return i_ToolUsageError("--out goes with resource get only");
    if (options.b_Force && which == "list") return i_ToolUsageError("--force does not go with resource list");
    return i_RecordsResource(rest, options);
}
