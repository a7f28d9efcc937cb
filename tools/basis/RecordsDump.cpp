// `basis records dump` and `restore`: a record file's records and
// resources as plain files in a folder, one file each, and a new record
// file made from such a folder that gives every record its number back.
//
// The folder holds record-<number>.bin, resource-<key>.bin and
// manifest.txt (RecordsManifest.h), which is written last: a dump that
// stopped half-way has none.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/basis/Arguments.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/RecordsMaintain.h"
#include "tools/basis/RecordsManifest.h"
#include "tools/basis/RecordsPlace.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsDump";
// A manifest has a line of some 25 bytes per record; the most records a
// file can hold (one per 8-byte block below 4 GiB) would need about
// 13 GiB of it, which no real dump reaches: reading stops at 256 MiB and
// a larger manifest is refused.
unsigned const kMaximumManifest = 1u << 28;

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

CT_UString co_InFolder(CT_UString const& folder, std::string const& file) {
    CT_UString path(folder);
    path.v_Append(static_cast<unsigned short>('/'));
    CT_UString tail(file.c_str(), ~0u, 65001);
    path.v_Append(tail.qcuz_Get(), tail.vn_GetLength());
    return path;
}

std::string s_RecordFile(unsigned number) { return "record-" + std::to_string(number) + ".bin"; }
std::string s_ResourceFile(unsigned key) { return "resource-" + std::to_string(key) + ".bin"; }

// Reads a file of the dump and checks its length against the manifest's
// (a file longer than that is not read further). An exit code.
int i_ReadPart(CT_UString const& folder, std::string const& file, unsigned size, CT_Buffer* data,
               std::string* failure) {
    int read = i_ReadFile(co_InFolder(folder, file), size + 1ull, data, failure);
    if (read == e_ExitOk && data->n_GetUsedSize() == size) return e_ExitOk;
    if (read == e_ExitError) return read;
    *failure = file + " has " + (read == e_ExitOk ? std::to_string(data->n_GetUsedSize()) : "more") +
               " bytes where the manifest says " + std::to_string(size);
    return e_ExitError;
}

}  // namespace

int i_RecordsDump(char const* argument, char const* folderArgument, st_RecordsOptions const& options) {
    bool robust = options.b_Robust, force = options.b_Force;
    CT_UString name = co_ArgumentName(argument), folder = co_ArgumentName(folderArgument);
    CT_UString manifestName = co_InFolder(folder, "manifest.txt");
    if (CT_FileSystem::sb_IsExistent(&manifestName) && !force)
        return i_ToolFail(e_ExitNo, s_Quoted(folder) + " holds a dump already; pass --force to replace it");
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (int opened = i_OpenForReading(&records, name, options)) return opened;
    if (int refused = i_RefuseTruncated(&records, name, force, "dump it")) return refused;
    if (!robust) {
        // Records that the scan does not reach would be missing.
        int corrupt = records.b_IsCorrupt();
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "checking " + s_Quoted(name));
        if (corrupt)
            return i_CloseAndFail(&records, e_ExitNo,
                                  s_Quoted(name) + " is corrupt (see basis records check): dump --robust takes every "
                                                   "record found block by block");
    }
    if (!CT_FileSystem::sb_IsExistent(&folder) && !CT_FileSystem::sb_MakePath(&folder))
        return i_CloseAndFail(&records, e_ExitError, "cannot make the folder " + s_Quoted(folder));
    std::string manifest = std::string(kManifestFirstLine) + "\nblock-size " + std::to_string(records.n_GetBlockSize()) +
                           "\nrecord-header-size " + std::to_string(records.n_GetRecordHeaderSize()) +
                           "\nresource-maximum " + std::to_string(records.n_GetResourceMaxCount()) + "\n";
    CT_Buffer data;
    std::string failure;
    unsigned count = 0;
    for (unsigned from = 0;;) {
        unsigned next = robust ? records.n_GetNextRecordRobust(from, &data) : records.n_GetNextRecord(from, &data);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "scanning " + s_Quoted(name));
        if (next == 0) break;
        from = next;
        if (!b_WriteFile(co_InFolder(folder, s_RecordFile(next - 1)), data.qcv_Get(), data.n_GetUsedSize(), force,
                         &failure))
            return i_CloseAndFail(&records, e_ExitError, failure);
        manifest += "record " + std::to_string(next - 1) + " " + std::to_string(data.n_GetUsedSize()) + "\n";
        ++count;
    }
    unsigned resources = records.n_GetResourceCount();
    for (unsigned k = 1; k <= resources; ++k) {
        unsigned key = records.n_GetResourceKeyAt(k);
        records.v_GetResource(key, &data);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(&records, "reading resource " + std::to_string(key) + " of " + s_Quoted(name));
        if (!b_WriteFile(co_InFolder(folder, s_ResourceFile(key)), data.qcv_Get(), data.n_GetUsedSize(), force,
                         &failure))
            return i_CloseAndFail(&records, e_ExitError, failure);
        manifest += "resource " + std::to_string(key) + " " + std::to_string(data.n_GetUsedSize()) + "\n";
    }
    if (!b_WriteFile(manifestName, manifest.data(), static_cast<unsigned>(manifest.size()), true, &failure))
        return i_CloseAndFail(&records, e_ExitError, failure);
    int closed = i_Close(&records, e_ExitOk);
    if (closed == e_ExitOk)
        std::printf("dumped %s and %s of %s into %s\n", s_Count(count, "record").c_str(),
                    s_Count(resources, "resource").c_str(), s_Utf8(name).c_str(), s_Utf8(folder).c_str());
    return i_EndStandardOutput(closed);
}

int i_RecordsRestore(char const* argument, char const* folderArgument, st_RecordsOptions const& options) {
    CT_UString name = co_ArgumentName(argument), folder = co_ArgumentName(folderArgument);
    CT_UString manifestName = co_InFolder(folder, "manifest.txt");
    std::string failure;
    CT_Buffer text;
    if (int read = i_ReadFile(manifestName, kMaximumManifest, &text, &failure)) return i_ToolFail(read, failure);
    st_Manifest manifest;
    std::string bytes(static_cast<char const*>(text.qcv_Get()), text.n_GetUsedSize());
    if (!b_ParseManifest(bytes, s_Utf8(manifestName), &manifest, &failure)) return i_ToolFail(e_ExitError, failure);
    if (CT_FileSystem::sb_IsExistent(&name)) {
        if (!options.b_Force) return i_ToolFail(e_ExitNo, s_Quoted(name) + " exists; pass --force to replace it");
        // Replacing it must not destroy what is about to be read.
        std::vector<CT_UString> inputs{manifestName};
        for (unsigned number : manifest.an_Records) inputs.push_back(co_InFolder(folder, s_RecordFile(number)));
        for (unsigned key : manifest.an_Resources) inputs.push_back(co_InFolder(folder, s_ResourceFile(key)));
        for (CT_UString const& input : inputs)
            if (b_IsSameFile(name, input))
                return i_ToolFail(e_ExitNo, "the output " + s_Quoted(name) + " is the input " + s_Quoted(input) +
                                                "; refusing to overwrite it");
    }
    st_RecordContents contents;
    contents.so_Geometry = manifest.so_Geometry;
    contents.an_Records = manifest.an_Records;
    contents.an_Resources = manifest.an_Resources;
    // The lengths by number and key (both lists rise), for the checks as
    // each part is read.
    contents.pf_Record = [&](unsigned number, CT_Buffer* data, std::string* why) {
        auto k = std::lower_bound(manifest.an_Records.begin(), manifest.an_Records.end(), number) -
                 manifest.an_Records.begin();
        return i_ReadPart(folder, s_RecordFile(number), manifest.an_RecordSizes[k], data, why);
    };
    contents.pf_Resource = [&](unsigned key, CT_Buffer* data, std::string* why) {
        auto k = std::lower_bound(manifest.an_Resources.begin(), manifest.an_Resources.end(), key) -
                 manifest.an_Resources.begin();
        return i_ReadPart(folder, s_ResourceFile(key), manifest.an_ResourceSizes[k], data, why);
    };
    std::vector<unsigned> numbers;
    if (int built = i_BuildRecordFile(name, contents, true, &numbers, &failure)) return i_ToolFail(built, failure);
    std::printf("restored %s and %s into %s under their numbers\n", s_Count(numbers.size(), "record").c_str(),
                s_Count(contents.an_Resources.size(), "resource").c_str(), s_Utf8(name).c_str());
    return i_EndStandardOutput(e_ExitOk);
}
