// `basis records resource list|get|set|delete`: the keyed resources of a
// record file, whole buffers under 32-bit keys.
#include <cstdio>
#include <cstring>

#include "tools/basis/Arguments.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsResource";

// A resource is read whole before the file is opened; its block must fit
// below the 4 GiB the file's offsets reach (checked exactly once open).
unsigned long long const kInputLimit = 0xFFFFFFFFull - (1u << 25);

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

int i_List(CT_RecordManager* records, CT_UString const& name) {
    unsigned count = records->n_GetResourceCount();
    std::printf("%10s %10s\n", "key", "bytes");
    CT_Buffer data;
    unsigned long long total = 0;
    for (unsigned k = 1; k <= count; ++k) {
        unsigned key = records->n_GetResourceKeyAt(k);
        records->v_GetResource(key, &data);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(records, "reading resource " + std::to_string(key) + " of " + s_Quoted(name));
        std::printf("%10u %10u\n", key, data.n_GetUsedSize());
        total += data.n_GetUsedSize();
    }
    std::printf("%s of at most %u, %s\n", s_Count(count, "resource").c_str(), records->n_GetResourceMaxCount(),
                s_Count(total, "byte").c_str());
    return i_EndStandardOutput(i_Close(records, e_ExitOk));
}

}  // namespace

int i_RecordsResource(std::vector<char const*> const& args, st_RecordsOptions const& options) {
    std::string action = args[0];
    CT_UString name = co_ArgumentName(args[1]);
    unsigned key = 0;
    std::string problem;
    if (action != "list" && !b_ReadNumber("the resource key", args[2], 0xFFFFFFFFull, &key, &problem))
        return i_ToolUsageError(problem);
    char const* output = options.qccz_Out ? options.qccz_Out : "-";
    if (action == "get")
        if (int checked = i_CheckOutput(output, {args[1]}, options.b_Force)) return checked;
    // set reads its input before the record file is touched, so that a
    // mistyped name changes nothing.
    CT_Buffer data(0, 1 << 16);
    if (action == "set")
        if (int read = i_ReadWholeInput(args.size() > 3 ? args[3] : "-", kInputLimit, &data, &problem))
            return i_ToolFail(read, problem);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    bool changes = action == "set" || action == "delete";
    if (int opened = changes ? i_OpenForWriting(&records, name, options) : i_OpenForReading(&records, name, options))
        return opened;
    if (action == "list") return i_List(&records, name);
    std::string which = "resource " + std::to_string(key) + " of " + s_Quoted(name);
    if (action != "set" && !records.b_ResourceExists(key)) return i_CloseAndFail(&records, e_ExitNo, "no " + which);
    if (action == "get") {
        if (int refused = i_RefuseTruncated(&records, name, options.b_Force, "get it")) return refused;
        records.v_GetResource(key, &data);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "reading " + which);
        int closed = i_Close(&records, e_ExitOk);
        if (closed != e_ExitOk) return closed;
        return i_WriteOutput(output, data.qcv_Get(), data.n_GetUsedSize());
    }
    if (action == "delete") {
        records.v_DeleteResource(key);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "deleting " + which);
        int closed = i_Close(&records, e_ExitOk);
        if (closed == e_ExitOk) std::printf("deleted resource %u of %s\n", key, s_Utf8(name).c_str());
        return i_EndStandardOutput(closed);
    }
    // set: a new key takes one of the file's resource slots, of which there
    // are as many as create gave it.
    bool exists = records.b_ResourceExists(key);
    if (!exists && records.n_GetResourceCount() >= records.n_GetResourceMaxCount())
        return i_CloseAndFail(&records, e_ExitNo,
                              s_Quoted(name) + " holds its most resources (" +
                                  std::to_string(records.n_GetResourceMaxCount()) + ") already");
    if (records.n_GetSize() + n8_Align(data.n_GetUsedSize() + 4ull, records.n_GetBlockSize()) > 0xFFFFFFFFull)
        return i_CloseAndFail(&records, e_ExitNo,
                              "the data would take " + s_Quoted(name) + " past the 4 GiB its offsets reach");
    if (exists)
        records.v_UpdateResource(key, &data);
    else
        records.v_AddResource(key, &data);
    if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "writing " + which);
    int closed = i_Close(&records, e_ExitOk);
    if (closed == e_ExitOk)
        std::printf("%s resource %u of %s: %s\n", exists ? "replaced" : "added", key, s_Utf8(name).c_str(),
                    s_Count(data.n_GetUsedSize(), "byte").c_str());
    return i_EndStandardOutput(closed);
}
