// `basis records` list, check and header: the actions that only look at
// a record file, through the record manager's scans and, for what its
// interface keeps to itself, through the file's header and tables.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/basis/Arguments.h"
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

bool b_Failed(unsigned line) { return b_RecordsFailed(qcz_Location, line); }

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

std::string s_NotRecordFile(CT_UString const& name) {
    char magic[16];
    std::snprintf(magic, sizeof magic, "0x%08X", unsigned(CT_RecordManager::e_Magic));
    return s_Utf8(name) + " is not a record file: its magic number is not " + magic;
}

// Opens the file raw for header and check; a short file is a failure of
// its own, and so is a wrong magic number when the tables are to be read
// (their sizes would be anybody's guess).
int i_OpenRaw(CT_RecordFileReader* reader, CT_UString const& name, bool needMagic) {
    std::string problem;
    if (reader->b_Open(&problem)) {
        bool magic = reader->so_GetHeader().n_Magic == CT_RecordManager::e_Magic;
        return magic || !needMagic ? e_RecordsOk : i_RecordsFail(s_NotRecordFile(name));
    }
    return problem.empty() ? i_FailWithError("opening " + s_Utf8(name)) : i_RecordsFail(s_Utf8(name) + ": " + problem);
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

int i_RecordsList(char const* argument, bool robust) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Utf8(name));
    unsigned start = n_DataStart(records), end = records.n_GetSize();
    CT_Progress progress(robust ? "scanning block by block" : "scanning", end > start ? end - start : 0, "records");
    unsigned count = 0;
    unsigned long long bytes = 0;
    std::printf("%10s %10s  %s\n", "record", "bytes", "first bytes");
    bool scanned = b_Scan(records, robust, &progress, [&](unsigned number, CT_Buffer const& data) {
        progress.v_Erase();
        std::printf("%10u %10u  %s\n", number, data.n_GetUsedSize(), s_Preview(data).c_str());
        ++count;
        bytes += data.n_GetUsedSize();
    });
    progress.v_Erase();
    if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Utf8(name));
    std::printf("%u record%s, %llu bytes (%s)\n", count, count == 1 ? "" : "s", bytes,
                robust ? "found block by block" : "found by the scan");
    return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}

int i_RecordsHeader(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_RecordFileReader reader(&name);
    int opened = i_OpenRaw(&reader, name, false);
    if (opened != e_RecordsOk) return opened;
    st_RecordFileHeader const& header = reader.so_GetHeader();
    std::printf("file                    %s (%u bytes)\n", s_Utf8(name).c_str(), reader.n_GetFileSize());
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
    if (header.n_Magic != CT_RecordManager::e_Magic) return i_RecordsFail(s_NotRecordFile(name));
    return std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed;
}

int i_RecordsCheck(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    // The tables as stored, before the record manager reads them.
    st_FreeSpace space;
    std::vector<CT_RecordManager::st_Resource> resources;
    std::vector<std::string> problems;
    unsigned fileSize = 0, dataStart = 0;
    {
        CT_RecordFileReader reader(&name);
        int opened = i_OpenRaw(&reader, name, true);
        if (opened != e_RecordsOk) return opened;
        if (!reader.b_ReadFreeSpace(&space, &problems) || !reader.b_ReadResources(&resources, &problems))
            return i_FailWithError("reading the tables of " + s_Utf8(name));
        fileSize = reader.n_GetFileSize();
        dataStart = reader.n_GetDataStart();
        st_RecordFileHeader const& header = reader.so_GetHeader();
        if (header.n_BlockSize != 0 && header.n_End % header.n_BlockSize != 0)
            problems.push_back("the end offset " + std::to_string(header.n_End) + " is not a multiple of the block size");
        if (dataStart == 0 || header.n_End < dataStart)
            problems.push_back("the end offset " + std::to_string(header.n_End) + " lies before the data area");
        if (fileSize < header.n_End)
            problems.push_back("the file has " + std::to_string(fileSize) + " bytes, fewer than its end offset " +
                               std::to_string(header.n_End));
    }
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Utf8(name));
    int corrupt = records.b_IsCorrupt();
    if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "checking " + s_Utf8(name));
    unsigned end = records.n_GetSize(), blockSize = records.n_GetBlockSize();
    unsigned found = 0, foundRobust = 0;
    {
        CT_Progress progress("scanning", end > dataStart ? end - dataStart : 0, "records");
        bool scanned = b_Scan(records, false, &progress, [&](unsigned, CT_Buffer const&) { ++found; });
        progress.v_Erase();
        if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Utf8(name));
    }
    {
        CT_Progress progress("scanning block by block", end > dataStart ? end - dataStart : 0, "records");
        bool scanned = b_Scan(records, true, &progress, [&](unsigned, CT_Buffer const&) { ++foundRobust; });
        progress.v_Erase();
        if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Utf8(name));
    }
    std::printf("file           %s (%u bytes)\n", s_Utf8(name).c_str(), fileSize);
    std::printf("block size     %u bytes\n", blockSize);
    std::printf("record header  %u bytes (a record's fixed part: %llu bytes)\n", records.n_GetRecordHeaderSize(),
                n8_Align(records.n_GetRecordHeaderSize() + 8ull, blockSize));
    std::printf("end offset     %u: %u blocks, of which %u in the data area (from offset %u)\n", end,
                blockSize ? end / blockSize : 0, blockSize && end > dataStart ? (end - dataStart) / blockSize : 0,
                dataStart);
    std::printf("records        %u stored, %u found by the scan, %u found block by block\n",
                records.n_GetRecordCount(), found, foundRobust);
    std::printf("free space     %llu bytes in %u free-list entr%s", space.n8_Bytes, space.n_Entries,
                space.n_Entries == 1 ? "y" : "ies");
    if (space.n_ChainBlocks)
        std::printf(" and %u chained block%s", space.n_ChainBlocks, space.n_ChainBlocks == 1 ? "" : "s");
    std::printf("\nresources      %u of %u", records.n_GetResourceCount(), records.n_GetResourceMaxCount());
    for (std::size_t k = 0; k < resources.size(); ++k) std::printf("%s%u", k ? ", " : ": keys ", resources[k].n_Key);
    std::printf("\n");
    if (corrupt)
        problems.insert(problems.begin(), "the stored record count " + std::to_string(records.n_GetRecordCount()) +
                                              " differs from the records found");
    for (std::size_t k = 0; k < problems.size() && k < kShownProblems; ++k)
        std::printf("problem        %s\n", problems[k].c_str());
    if (problems.size() > kShownProblems)
        std::printf("problem        ... and %zu more\n", problems.size() - kShownProblems);
    // More found than stored need not be damage: once a scan meets a size
    // word it does not trust (a body over 64 KiB) it steps block by block,
    // and record data that starts a block with a live marker and a
    // plausible body offset reads as a record.
    if (corrupt && found > records.n_GetRecordCount())
        std::printf("note           more records found than stored: a record's data may look like a record\n"
                    "               where a scan steps block by block; \"list\" shows what was found\n");
    std::printf("result         %s\n", problems.empty() ? "consistent" : "CORRUPT");
    int result = i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
    if (result != e_RecordsOk || problems.empty()) return result;
    return i_RecordsFail(s_Utf8(name) + " is corrupt: " + std::to_string(problems.size()) +
                         (problems.size() == 1 ? " problem" : " problems") + " (see above)");
}
