// `basis records list --json` and `header --json`: the same findings as
// the text forms, as one JSON object on standard output for programs.
// Messages and failures still go to standard error as text.
#include <cstdio>
#include <string>

#include "tools/basis/Json.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsFile.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsJson";

bool b_Failed(unsigned line) { return b_RecordsFailed(qcz_Location, line); }

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

int i_RecordsListJson(char const* argument, bool robust) {
    CT_UString name = co_ArgumentName(argument);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Utf8(name));
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
            return i_CloseAndFailWithError(&records, "scanning " + s_Utf8(name));
        }
        if (next == 0) break;
        std::printf("%s\n  {\"number\": %u, \"bytes\": %u}", count ? "," : "", next - 1, data.n_GetUsedSize());
        ++count;
        bytes += data.n_GetUsedSize();
        from = next;
    }
    std::printf("%s], \"count\": %u, \"bytes\": %llu}\n", count ? "\n" : "", count, bytes);
    return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}

int i_RecordsHeaderJson(char const* argument) {
    CT_UString name = co_ArgumentName(argument);
    CT_RecordFileReader reader(&name);
    std::string problem;
    if (!reader.b_Open(&problem))
        return problem.empty() ? i_FailWithError("opening " + s_Utf8(name)) : i_RecordsFail(s_Utf8(name) + ": " + problem);
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
    if (!magic) return i_RecordsFail(s_Utf8(name) + " is not a record file: its magic number is wrong");
    return std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed;
}
