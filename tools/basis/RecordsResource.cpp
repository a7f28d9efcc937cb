// `basis records resource list|get|set|delete`: the keyed resources of a
// record file, whole buffers under 32-bit keys.
#include <cstdio>
#include <cstring>

#include "tools/basis/Records.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsResource";

bool b_Failed(unsigned line) { return b_RecordsFailed(qcz_Location, line); }

int i_List(CT_RecordManager* records, CT_UString const& name) {
    unsigned count = records->n_GetResourceCount();
    std::printf("%10s %10s\n", "key", "bytes");
    CT_Buffer data;
    unsigned long long total = 0;
    for (unsigned k = 1; k <= count; ++k) {
        unsigned key = records->n_GetResourceKeyAt(k);
        records->v_GetResource(key, &data);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(records, "reading resource " + std::to_string(key) + " of " + s_Utf8(name));
        std::printf("%10u %10u\n", key, data.n_GetUsedSize());
        total += data.n_GetUsedSize();
    }
    std::printf("%u resource%s of at most %u, %llu bytes\n", count, count == 1 ? "" : "s",
                records->n_GetResourceMaxCount(), total);
    return i_Close(records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}

}  // namespace

int i_RecordsResource(std::vector<char const*> const& args, char const* output, bool force) {
    std::string action = args[0];
    CT_UString name = co_ArgumentName(args[1]);
    unsigned key = 0;
    std::string failure;
    if (action != "list" && !b_ParseArgumentNumber(args[2], "resource key", &key, &failure))
        return i_RecordsFail(failure);
    // set reads its input before the record file is touched, so that a
    // mistyped name changes nothing.
    CT_Buffer data(0, 1 << 16);
    if (action == "set" && !b_ReadWholeInput(args.size() > 3 ? args[3] : "-", &data, &failure))
        return i_RecordsFail(failure);
    bool changes = action == "set" || action == "delete";
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, changes ? CT_RecordManager::e_ModeReadWrite : CT_RecordManager::e_ModeRead))
        return i_FailWithError("opening " + s_Utf8(name));
    if (action == "list") return i_List(&records, name);
    std::string which = "resource " + std::to_string(key) + " of " + s_Utf8(name);
    if (action != "set" && !records.b_ResourceExists(key)) return i_CloseAndFail(&records, "no " + which);
    if (action == "get") {
        records.v_GetResource(key, &data);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "reading " + which);
        int closed = i_Close(&records, e_RecordsOk);
        if (closed != e_RecordsOk) return closed;
        return b_WriteOutput(output, data.qcv_Get(), data.n_GetUsedSize(), force, &failure) ? e_RecordsOk
                                                                                             : i_RecordsFail(failure);
    }
    if (action == "delete") {
        records.v_DeleteResource(key);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "deleting " + which);
        std::printf("deleted %s\n", which.c_str());
        return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
    }
    // set: a new key takes one of the file's resource slots, of which there
    // are as many as create gave it.
    bool exists = records.b_ResourceExists(key);
    if (!exists && records.n_GetResourceCount() >= records.n_GetResourceMaxCount())
        return i_CloseAndFail(&records, s_Utf8(name) + " holds its most resources (" +
                                            std::to_string(records.n_GetResourceMaxCount()) + ") already");
    if (records.n_GetSize() + n8_Align(data.n_GetUsedSize() + 4ull, records.n_GetBlockSize()) > 0xFFFFFFFFull)
        return i_CloseAndFail(&records, "the data would take " + s_Utf8(name) + " past the 4 GiB its offsets reach");
    if (exists)
        records.v_UpdateResource(key, &data);
    else
        records.v_AddResource(key, &data);
    if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "writing " + which);
    std::printf("%s %s: %u byte%s\n", exists ? "replaced" : "added", which.c_str(), data.n_GetUsedSize(),
                data.n_GetUsedSize() == 1 ? "" : "s");
    return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}
