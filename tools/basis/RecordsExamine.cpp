// `basis records` list, check and header: the actions that only look at
// a record file, through the record manager's scans and, for what its
// interface keeps to itself, through the file's header and tables.
#include <cstdio>
#include <string>
#include <vector>

#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/Progress.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsFile.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsExamine";

// The bytes of a record that list shows.
unsigned const kPreviewBytes = 24;
// Problems that check lists one by one; a damaged table gives one for
// every entry.
std::size_t const kShownProblems = 20;

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

// Where a file made with this geometry has its data area; the tables
// before it are the header, the 128 free-list slots and R resource slots.
unsigned n_DataStart(CT_RecordManager const& records) {
    unsigned long long tables = CT_RecordManager::e_HeaderSize + 8ull * (CT_RecordManager::e_FreeListCapacity +
                                                                         0ull + records.n_GetResourceMaxCount());
    unsigned long long start = n8_Align(tables, records.n_GetBlockSize());
    return start > 0xFFFFFFFFull ? 0 : static_cast<unsigned>(start);
}

// The first bytes of a record: as text when they are printable ASCII,
// else in hexadecimal.
std::string s_Preview(CT_Buffer const& data) {
    unsigned size = data.n_GetUsedSize();
    if (size == 0) return "(empty)";
    auto const* bytes = static_cast<unsigned char const*>(data.qcv_Get());
    unsigned shown = size < kPreviewBytes ? size : kPreviewBytes;
    bool text = true;
    for (unsigned k = 0; k < shown && text; ++k)
        text = (bytes[k] >= 0x20 && bytes[k] < 0x7F) || bytes[k] == '\t' || bytes[k] == '\n' || bytes[k] == '\r';
    std::string preview;
    if (text) {
        preview = "\"";
        for (unsigned k = 0; k < shown; ++k) {
            char c = static_cast<char>(bytes[k]);
            if (c == '\t') preview += "\\t";
            else if (c == '\n') preview += "\\n";
            else if (c == '\r') preview += "\\r";
            else if (c == '"' || c == '\\') preview += std::string("\\") + c;
            else preview += c;
        }
        preview += "\"";
    } else {
        if (shown > kPreviewBytes / 2) shown = kPreviewBytes / 2;
        char hex[4];
        for (unsigned k = 0; k < shown; ++k) {
            std::snprintf(hex, sizeof hex, "%s%02x", k ? " " : "", bytes[k]);
            preview += hex;
        }
    }
    if (shown < size) preview += " ...";
    return preview;
}

// Runs a scan over the records, calling visit for each (number and data);
// false with the error reported when the scan fails.
template <typename Visit>
bool b_Scan(CT_RecordManager const& records, bool robust, CT_Progress* progress, Visit visit) {
    unsigned start = n_DataStart(records), blockSize = records.n_GetBlockSize();
    CT_Buffer data;
    unsigned found = 0;
    for (unsigned from = 0;;) {
        unsigned next = robust ? records.n_GetNextRecordRobust(from, &data) : records.n_GetNextRecord(from, &data);
        if (b_Failed(__LINE__)) return false;
        if (next == 0) return true;
        visit(next - 1, data);
        unsigned long long at = static_cast<unsigned long long>(next - 1) * blockSize;
        progress->v_Update(at > start ? at - start : 0, ++found);
        from = next;
    }
}

// The signature: its text runs quoted, other bytes in hexadecimal and
// the zero bytes that end it counted.
std::string s_Signature(unsigned char const* bytes, unsigned size) {
    unsigned last = size;
    while (last > 0 && bytes[last - 1] == 0) --last;
    std::string shown;
    bool quoted = false;
    for (unsigned k = 0; k < last; ++k) {
        bool printable = bytes[k] >= 0x20 && bytes[k] < 0x7F && bytes[k] != '"';
        if (printable != quoted) {
            shown += quoted ? "\"" : (shown.empty() ? "\"" : " \"");
            quoted = printable;
        }
        if (printable) {
            shown += static_cast<char>(bytes[k]);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%s%02X", shown.empty() ? "" : " ", bytes[k]);
            shown += hex;
        }
    }
    if (quoted) shown += "\"";
    if (last < size) shown += (shown.empty() ? "" : ", then ") + std::to_string(size - last) + " zero bytes";
    return shown;
}

}  // namespace

int i_RecordsList(char const* argument, st_RecordsOptions const& options) {
    bool robust = options.b_Robust;
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead, options.n_WaitSeconds))
        return i_ToolFailWithError("opening " + s_Quoted(name));
    unsigned start = n_DataStart(records), end = records.n_GetSize();
    // A file shorter than its end offset reads as zeros past its end: said
    // before anything is listed, and the listing refused without --force.
    unsigned fileSize = file.vn_GetSize();
    CT_ErrorManager::spco_Get()->v_ClearError();
    if (fileSize < end) {
        std::string what = s_Quoted(name) + " has " + std::to_string(fileSize) +
                           " bytes, fewer than its end offset " + std::to_string(end) +
                           ": records past its end read as zeros";
        if (!options.b_Force)
            return i_CloseAndFail(&records, e_ExitNo, what + "; pass --force to list it all the same");
        v_ToolWarn(what);
    }
    // When the listing itself goes to the terminal it shows the progress;
    // a bar drawn between its lines would only be wiped and drawn again.
    unsigned long long work = end > start && !Platform::b_IsStandardOutputTerminal() ? end - start : 0;
    CT_Progress progress(robust ? "scanning block by block" : "scanning", work, "records");
    unsigned count = 0;
    unsigned long long bytes = 0;
    std::printf("%10s %10s  %s\n", "record", "bytes", "first bytes");
    bool scanned = b_Scan(records, robust, &progress, [&](unsigned number, CT_Buffer const& data) {
        std::printf("%10u %10u  %s\n", number, data.n_GetUsedSize(), s_Preview(data).c_str());
        ++count;
        bytes += data.n_GetUsedSize();
    });
    progress.v_Erase();
    if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Quoted(name));
    std::printf("%s, %s (%s)\n", s_Count(count, "record").c_str(), s_Count(bytes, "byte").c_str(),
                robust ? "found block by block" : "found by the scan");
    return i_EndStandardOutput(i_Close(&records, e_ExitOk));
}

int i_RecordsHeader(char const* argument, st_RecordsOptions const& options) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_RecordFileReader reader(&name);
    std::string tooShort;
    if (!b_OpenWaiting(options.n_WaitSeconds, [&] { return reader.b_Open(&tooShort) || !tooShort.empty(); }))
        return i_ToolFailWithError("opening " + s_Quoted(name));
    if (!tooShort.empty()) return i_ToolFail(e_ExitError, s_Quoted(name) + ": " + tooShort);
    st_RecordFileHeader const& header = reader.so_GetHeader();
    std::printf("file                    %s (%s)\n", s_Utf8(name).c_str(), s_Count(reader.n_GetFileSize(), "byte").c_str());
    std::printf("signature               %s\n", s_Signature(header.auc_Signature, 32).c_str());
    std::printf("magic number            0x%08X\n", header.n_Magic);
    std::printf("format version          %u\n", header.n_Version);
    std::printf("block size              %u\n", header.n_BlockSize);
    std::printf("record header size      %u\n", header.n_RecordHeaderSize);
    std::printf("free-list capacity      %u\n", header.n_FreeCapacity);
    std::printf("free-list count         %u\n", header.n_FreeCount);
    std::printf("resource maximum        %u\n", header.n_ResourceMax);
    std::printf("resource count          %u\n", header.n_ResourceCount);
    std::printf("modification counter    %u\n", header.n_Modification);
    std::printf("resource-table counter  %u\n", header.n_ResourceTable);
    std::printf("free-list counter       %u\n", header.n_FreeList);
    std::printf("record count            %u\n", header.n_RecordCount);
    std::printf("end offset              %u\n", header.n_End);
    if (header.n_Magic != CT_RecordManager::e_Magic) {
        char magic[16];
        std::snprintf(magic, sizeof magic, "0x%08X", unsigned(CT_RecordManager::e_Magic));
        return i_ToolFail(e_ExitError, s_Quoted(name) + " is not a record file: its magic number is not " + magic);
    }
    return i_EndStandardOutput(e_ExitOk);
}

int i_RecordsCheck(char const* argument, st_RecordsOptions const& options) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    st_RecordFileExamination x;
    int examined = i_ExamineRecordFile(name, options.n_WaitSeconds, &x);
    // A file that cannot be examined is not called corrupt: it was not checked.
    if (examined != e_ExitOk)
        return i_ToolFail(examined, "cannot check " + s_Quoted(name) + " (see above)");
    st_RecordFileHeader const& header = x.so_Header;
    unsigned end = header.n_End, blockSize = header.n_BlockSize, dataStart = x.n_DataStart;
    std::printf("file           %s (%s)\n", s_Utf8(name).c_str(), s_Count(x.n_FileSize, "byte").c_str());
    std::printf("block size     %u bytes\n", blockSize);
    std::printf("record header  %u bytes (a record's fixed part: %llu bytes)\n", header.n_RecordHeaderSize,
                blockSize ? n8_Align(header.n_RecordHeaderSize + 8ull, blockSize) : 0ull);
    std::printf("end offset     %u: %s, of which %u in the data area (from offset %u)\n", end,
                s_Count(blockSize ? end / blockSize : 0, "block").c_str(),
                blockSize && end > dataStart ? (end - dataStart) / blockSize : 0, dataStart);
    if (x.b_Opened)
        std::printf("records        %u stored, %u found by the scan, %u found block by block\n", header.n_RecordCount,
                    x.n_Found, x.n_FoundRobust);
    else
        std::printf("records        %u stored; not scanned: the record manager refuses the file\n", header.n_RecordCount);
    std::printf("free space     %s in %s", s_Count(x.so_Space.n8_Bytes, "byte").c_str(),
                s_Count(x.so_Space.n_Entries, "free-list entry", "free-list entries").c_str());
    if (x.so_Space.n_ChainBlocks) std::printf(" and %s", s_Count(x.so_Space.n_ChainBlocks, "chained block").c_str());
    std::printf("\nresources      %u of %u", header.n_ResourceCount, header.n_ResourceMax);
    for (std::size_t k = 0; k < x.ao_Resources.size(); ++k)
        std::printf("%s%u", k ? ", " : ": keys ", x.ao_Resources[k].n_Key);
    std::printf("\n");
    std::vector<std::string> const& problems = x.as_Problems;
    for (std::size_t k = 0; k < problems.size() && k < kShownProblems; ++k)
        std::printf("problem        %s\n", problems[k].c_str());
    if (problems.size() > kShownProblems)
        std::printf("problem        ... and %zu more\n", problems.size() - kShownProblems);
    // More found than stored need not be damage: once a scan meets a size
    // word it does not trust (a body over 64 KiB) it steps block by block,
    // and record data that starts a block with a live marker and a
    // plausible body offset reads as a record.
    if (x.b_Opened && x.n_Found > header.n_RecordCount && !problems.empty())
        std::printf("note           more records found than stored: a record's data may look like a record\n"
                    "               where a scan steps block by block; \"list\" shows what was found\n");
    std::printf("result         %s\n", problems.empty() ? "consistent" : "CORRUPT");
    int result = i_EndStandardOutput(e_ExitOk);
    if (result != e_ExitOk || problems.empty()) return result;
    return i_ToolFail(e_ExitNo, s_Quoted(name) + " is corrupt: " + s_Count(problems.size(), "problem") + " (see above)");
}
