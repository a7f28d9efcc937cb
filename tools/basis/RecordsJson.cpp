// `basis records list --json` and `header --json`: the same findings as
// the text forms, as one JSON object on standard output for programs.
// Messages and failures still go to standard error as text.
#include <cstdio>
#include <string>

#include "tools/basis/Json.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/RecordsFile.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsJson";

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

std::string s_Hex(unsigned char const* bytes, unsigned size) {
    std::string text;
    char hex[3];
    for (unsigned k = 0; k < size; ++k) {
        std::snprintf(hex, sizeof hex, "%02x", bytes[k]);
        text += hex;
    }
    return text;
}

}  // namespace

int i_RecordsListJson(char const* argument, st_RecordsOptions const& options) {
    bool robust = options.b_Robust;
    CT_UString name = co_ArgumentName(argument);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (int opened = i_OpenForReading(&records, name, options)) return opened;
    if (int refused = i_RefuseTruncated(&records, name, options.b_Force, "list it")) return refused;
    // The records go out as they are found, so that a large file is not
    // held in memory; a scan that fails leaves the object unfinished, and
    // the status says so.
    std::printf("{\"file\": %s, \"scan\": \"%s\", \"records\": [", s_JsonString(s_Utf8(name)).c_str(),
                robust ? "block by block" : "by size words");
    CT_Buffer data;
    unsigned count = 0;
    unsigned long long bytes = 0;
    for (unsigned from = 0;;) {
        unsigned next = robust ? records.n_GetNextRecordRobust(from, &data) : records.n_GetNextRecord(from, &data);
        if (b_Failed(__LINE__)) {
            std::printf("\n");
            return i_CloseAndFailWithError(&records, "scanning " + s_Quoted(name));
        }
        if (next == 0) break;
        std::printf("%s\n  {\"number\": %u, \"bytes\": %u}", count ? "," : "", next - 1, data.n_GetUsedSize());
        ++count;
        bytes += data.n_GetUsedSize();
        from = next;
    }
    std::printf("%s], \"count\": %u, \"bytes\": %llu}\n", count ? "\n" : "", count, bytes);
    return i_EndStandardOutput(i_Close(&records, e_ExitOk));
}

int i_RecordsHeaderJson(char const* argument, st_RecordsOptions const& options) {
    CT_UString name = co_ArgumentName(argument);
    CT_RecordFileReader reader(&name);
    std::string problem;
    if (!b_OpenWaiting(options.n_WaitSeconds, [&] { return reader.b_Open(&problem) || !problem.empty(); }))
        return i_ToolFailWithError("opening " + s_Quoted(name));
    if (!problem.empty()) return i_ToolFail(e_ExitError, s_Quoted(name) + ": " + problem);
    st_RecordFileHeader const& h = reader.so_GetHeader();
    bool magic = h.n_Magic == CT_RecordManager::e_Magic;
    std::printf("{\"file\": %s, \"file_size\": %u, \"signature_hex\": \"%s\", \"magic\": %u, \"magic_ok\": %s,\n"
                " \"format_version\": %u, \"block_size\": %u, \"record_header_size\": %u,\n"
                " \"free_list_capacity\": %u, \"free_list_count\": %u, \"resource_maximum\": %u, \"resource_count\": %u,\n"
                " \"modification_counter\": %u, \"resource_table_counter\": %u, \"free_list_counter\": %u,\n"
                " \"record_count\": %u, \"end_offset\": %u}\n",
                s_JsonString(s_Utf8(name)).c_str(), reader.n_GetFileSize(), s_Hex(h.auc_Signature, 32).c_str(),
                h.n_Magic, magic ? "true" : "false", h.n_Version, h.n_BlockSize, h.n_RecordHeaderSize,
                h.n_FreeCapacity, h.n_FreeCount, h.n_ResourceMax, h.n_ResourceCount, h.n_Modification,
                h.n_ResourceTable, h.n_FreeList, h.n_RecordCount, h.n_End);
    // As the text form: the fields are shown, and a wrong magic number
    // still fails.
    if (!magic) return i_ToolFail(e_ExitError, s_Quoted(name) + " is not a record file: its magic number is wrong");
    return i_EndStandardOutput(e_ExitOk);
}

int i_RecordsCheckJson(char const* argument, st_RecordsOptions const& options) {
    CT_UString name = co_ArgumentName(argument);
    st_RecordFileExamination x;
    // A file that cannot be examined gives no object: it was not checked.
    if (int examined = i_ExamineRecordFile(name, options.n_WaitSeconds, &x))
        return i_ToolFail(examined, "cannot check " + s_Quoted(name) + " (see above)");
    st_RecordFileHeader const& h = x.so_Header;
    std::string resources, problems;
    for (std::size_t k = 0; k < x.ao_Resources.size(); ++k)
        resources += (k ? ", " : "") + std::to_string(x.ao_Resources[k].n_Key);
    for (std::size_t k = 0; k < x.as_Problems.size(); ++k)
        problems += std::string(k ? ",\n  " : "\n  ") + s_JsonString(x.as_Problems[k]);
    std::printf("{\"file\": %s, \"file_size\": %u, \"block_size\": %u, \"record_header_size\": %u,\n"
                " \"end_offset\": %u, \"data_start\": %u, \"records_stored\": %u, \"scanned\": %s,\n"
                " \"records_found\": %u, \"records_found_block_by_block\": %u,\n"
                " \"free_bytes\": %llu, \"free_list_entries\": %u, \"chained_free_blocks\": %u,\n"
                " \"resource_count\": %u, \"resource_maximum\": %u, \"resource_keys\": [%s],\n"
                " \"problems\": [%s], \"consistent\": %s}\n",
                s_JsonString(s_Utf8(name)).c_str(), x.n_FileSize, h.n_BlockSize, h.n_RecordHeaderSize, h.n_End,
                x.n_DataStart, h.n_RecordCount, x.b_Opened ? "true" : "false", x.n_Found, x.n_FoundRobust,
                x.so_Space.n8_Bytes, x.so_Space.n_Entries, x.so_Space.n_ChainBlocks, h.n_ResourceCount,
                h.n_ResourceMax, resources.c_str(), problems.empty() ? "" : (problems + "\n").c_str(),
                x.as_Problems.empty() ? "true" : "false");
    // The status is the text form's: 1 for a corrupt file.
    int result = i_EndStandardOutput(e_ExitOk);
    if (result != e_ExitOk || x.as_Problems.empty()) return result;
    return i_ToolFail(e_ExitNo, s_Quoted(name) + " is corrupt: " + s_Count(x.as_Problems.size(), "problem"));
}
