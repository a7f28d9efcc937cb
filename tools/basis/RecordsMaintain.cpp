// `basis records` delete, update, salvage and compact.
#include "tools/basis/RecordsMaintain.h"

#include <algorithm>
#include <cstdio>

#include "tools/basis/Progress.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsPlace.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsMaintain";

// The resource slots a salvaged or compacted file keeps at most: a
// damaged header may claim any count, and the new file's tables must
// stay far from the 32-bit offsets' end (create's own bound).
unsigned const kMaximumResources = 1u << 20;

bool b_Failed(unsigned line) { return b_RecordsFailed(qcz_Location, line); }

std::string s_Count(std::size_t count, char const* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

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
// records given, and the resources that read (the others are named on
// standard error when warn, else left to fail the build).
st_RecordContents so_ContentsOf(CT_RecordManager* records, std::vector<unsigned> const& numbers, bool skipUnreadable) {
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
                std::fprintf(stderr, "basis records: warning: resource %u cannot be read and is left out: %s\n", key,
                             s_TakeError().c_str());
                continue;
            }
        }
        contents.an_Resources.push_back(key);
    }
    std::string name = s_Utf8(*records->pcco_GetFile()->pcco_GetFullName());
    contents.pf_Record = [records, name](unsigned number, CT_Buffer* out, std::string* failure) {
        records->v_GetRecord(number, out);
        if (!b_Failed(__LINE__)) return true;
        *failure = "reading record " + std::to_string(number) + " of " + name + ": " + s_TakeError();
        return false;
    };
    contents.pf_Resource = [records, name](unsigned key, CT_Buffer* out, std::string* failure) {
        records->v_GetResource(key, out);
        if (!b_Failed(__LINE__)) return true;
        *failure = "reading resource " + std::to_string(key) + " of " + name + ": " + s_TakeError();
        return false;
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

int i_RecordsDelete(char const* argument, std::vector<char const*> const& numberTexts) {
    std::vector<unsigned> numbers;
    for (char const* text : numberTexts) {
        unsigned number = 0;
        std::string failure;
        if (!b_ParseArgumentNumber(text, "record number", &number, &failure)) return i_RecordsFail(failure);
        if (std::find(numbers.begin(), numbers.end(), number) != numbers.end())
            return i_RecordsFail("record " + std::to_string(number) + " is named twice");
        numbers.push_back(number);
    }
    CT_UString name = co_ArgumentName(argument);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeReadWrite)) return i_FailWithError("opening " + s_Utf8(name));
    // Every number is checked before the first record goes, so that a
    // mistyped number deletes nothing.
    CT_Buffer probe;
    for (unsigned number : numbers) {
        if (!b_IsInFile(records, number))
            return i_CloseAndFail(&records, "no record " + std::to_string(number) + " in " + s_Utf8(name) +
                                                ": its block would start at or past the end offset");
        records.v_GetRecord(number, &probe);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(&records, "no record " + std::to_string(number) + " in " + s_Utf8(name));
    }
    for (unsigned number : numbers) {
        records.v_DeleteRecord(number);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(&records, "deleting record " + std::to_string(number) + " of " + s_Utf8(name));
    }
    int result = i_Close(&records, e_RecordsOk);
    if (result == e_RecordsOk) std::printf("deleted %s from %s\n", s_Count(numbers.size(), "record").c_str(), s_Utf8(name).c_str());
    return result;
}

int i_RecordsUpdate(char const* argument, char const* numberText, char const* input) {
    unsigned number = 0;
    std::string failure;
    if (!b_ParseArgumentNumber(numberText, "record number", &number, &failure)) return i_RecordsFail(failure);
    if (input == nullptr) input = "-";
    CT_Buffer data(0, 1 << 16);
    if (!b_ReadWholeInput(input, &data, &failure)) return i_RecordsFail(failure);
    CT_UString name = co_ArgumentName(argument);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeReadWrite)) return i_FailWithError("opening " + s_Utf8(name));
    if (!b_IsInFile(records, number))
        return i_CloseAndFail(&records, "no record " + std::to_string(number) + " in " + s_Utf8(name) +
                                            ": its block would start at or past the end offset");
    unsigned length = data.n_GetUsedSize(), headerSize = records.n_GetRecordHeaderSize();
    // The record manager does not watch its 32-bit end offset; a body that
    // could carry it past 4 GiB is refused here.
    unsigned long long body = length > headerSize ? n8_Align(length - headerSize + 4ull, records.n_GetBlockSize()) : 0;
    if (records.n_GetSize() + body > 0xFFFFFFFFull)
        return i_CloseAndFail(&records, "the new data would take " + s_Utf8(name) + " past the 4 GiB its offsets reach");
    records.v_UpdateRecord(number, &data);
    if (b_Failed(__LINE__))
        return i_CloseAndFailWithError(&records, "updating record " + std::to_string(number) + " of " + s_Utf8(name));
    std::printf("updated record %u of %s: %s\n", number, s_Utf8(name).c_str(), s_Count(length, "byte").c_str());
    if (length < headerSize)
        std::fprintf(stderr,
                     "basis records: note: the record is shorter than the %u-byte record header; its length is not "
                     "stored and it reads back as %u bytes\n",
                     headerSize, headerSize);
    return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}

int i_RecordsSalvage(char const* argument, char const* output, bool force) {
    CT_UString name = co_ArgumentName(argument), outName = co_ArgumentName(output);
    if (!force && CT_FileSystem::sb_IsExistent(&outName))
        return i_RecordsFail(s_Quoted(outName) + " exists; pass --force to replace it");
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    // The input stays open for shared reading while the new file is made,
    // so that a new file that is the input itself is refused by the share
    // modes, whatever name reaches it.
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Utf8(name));
    std::vector<unsigned> found;
    if (!b_CollectRecords(records, true, &found)) return i_CloseAndFailWithError(&records, "scanning " + s_Utf8(name));
    st_RecordContents contents = so_ContentsOf(&records, found, true);
    std::vector<unsigned> numbers;
    std::string failure;
    if (!b_BuildRecordFile(outName, contents, false, &numbers, &failure)) return i_CloseAndFail(&records, failure);
    std::printf("%10s %10s\n", "record", "new number");
    for (std::size_t k = 0; k < found.size(); ++k) std::printf("%10u %10u\n", found[k], numbers[k]);
    std::printf("salvaged %s and %s from %s into %s\n", s_Count(found.size(), "record").c_str(),
                s_Count(contents.an_Resources.size(), "resource").c_str(), s_Utf8(name).c_str(),
                s_Utf8(outName).c_str());
    return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}

int i_RecordsCompact(char const* argument) {
    CT_UString name = co_ArgumentName(argument);
    // The compacted file is made beside the old one, then takes its name;
    // the old one stays under a second name until then.
    CT_UString fresh = co_WithSuffix(name, ".compacting"), old = co_WithSuffix(name, ".before-compact");
    for (CT_UString const* other : {&fresh, &old})
        if (CT_FileSystem::sb_IsExistent(other))
            return i_RecordsFail(s_Quoted(*other) + " exists: an earlier compact may have stopped half-way; "
                                 "move it away first");
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Utf8(name));
    unsigned before = file.vn_GetSize();
    // Records that the scan does not reach would be lost.
    int corrupt = records.b_IsCorrupt();
    if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "checking " + s_Utf8(name));
    if (corrupt)
        return i_CloseAndFail(&records, s_Utf8(name) + " is corrupt (see check): compacting it could lose records; "
                                        "salvage copies what can be found");
    std::vector<unsigned> found;
    if (!b_CollectRecords(records, false, &found)) return i_CloseAndFailWithError(&records, "scanning " + s_Utf8(name));
    st_RecordContents contents = so_ContentsOf(&records, found, false);
    std::vector<unsigned> numbers;
    std::string failure;
    if (!b_BuildRecordFile(fresh, contents, true, &numbers, &failure)) return i_CloseAndFail(&records, failure);
    int closed = i_Close(&records, e_RecordsOk);
    if (closed != e_RecordsOk) return closed;
    unsigned after = 0;
    {
        CT_WinFile made(&fresh, 4096);
        after = made.vn_GetSize();
        CT_ErrorManager::spco_Get()->v_ClearError();
    }
    CT_WinFile original(&name, 4096);
    original.vv_Rename(&old);
    if (b_Failed(__LINE__)) return i_FailWithError("moving " + s_Utf8(name) + " aside");
    CT_WinFile compacted(&fresh, 4096);
    compacted.vv_Rename(&name);
    if (b_Failed(__LINE__)) {
        std::string why = s_TakeError();
        CT_WinFile back(&old, 4096);
        back.vv_Rename(&name);
        return i_RecordsFail("giving the compacted file the name " + s_Utf8(name) + ": " + why +
                             (b_Failed(__LINE__) ? "; the old file is " + s_Utf8(old) + ": " + s_TakeError()
                                                 : "; the old file is back in its place"));
    }
    CT_WinFile leftover(&old, 4096);
    leftover.vv_Remove();
    if (b_Failed(__LINE__)) return i_FailWithError("removing the old file " + s_Utf8(old));
    std::printf("compacted %s: %s and %s under their numbers; %u bytes before, %u after\n", s_Utf8(name).c_str(),
                s_Count(found.size(), "record").c_str(), s_Count(contents.an_Resources.size(), "resource").c_str(),
                before, after);
    return std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed;
}

int i_RunRecordsMaintain(std::vector<char const*> const& args, char const* output, bool robust, bool force) {
    std::string action = args[0];
    if (action == "delete") return i_RecordsDelete(args[1], std::vector<char const*>(args.begin() + 2, args.end()));
    if (action == "update") return i_RecordsUpdate(args[1], args[2], args.size() > 3 ? args[3] : nullptr);
    if (action == "dump") return i_RecordsDump(args[1], args[2], robust, force);
    if (action == "restore") return i_RecordsRestore(args[1], args[2], force);
    if (action == "salvage") return i_RecordsSalvage(args[1], args[2], force);
    if (action == "compact") return i_RecordsCompact(args[1]);
    // resource <action> <file> ...: the positional arguments each takes,
    // its own name and the file's included, and the options that go with it.
    std::string which = args[1];
    std::size_t least = which == "list" ? 2 : which == "set" ? 3 : which == "get" || which == "delete" ? 3 : 0;
    std::size_t most = which == "set" ? 4 : least;
    std::vector<char const*> rest(args.begin() + 1, args.end());
    if (least == 0) {
        std::fprintf(stderr, "basis records: unknown resource action \"%s\" (list, get, set or delete)\n", args[1]);
        return e_RecordsUsage;
    }
    if (rest.size() < least || rest.size() > most) {
        std::fprintf(stderr, "basis records: resource %s takes %s\n", which.c_str(),
                     which == "list" ? "<file>" : which == "set" ? "<file> <key> [<input>]" : "<file> <key>");
        return e_RecordsUsage;
    }
    if ((output || force) && which != "get") {
        std::fprintf(stderr, "basis records: --out and --force go with resource get only\n");
        return e_RecordsUsage;
    }
    return i_RecordsResource(rest, output, force);
}
