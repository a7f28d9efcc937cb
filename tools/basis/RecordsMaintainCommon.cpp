#include <cstdio>
#include <cstring>

#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/RecordsFile.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsMaintainCommon";

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

}  // namespace

CT_UString co_ArgumentName(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    return name;
}

int i_ReadWholeInput(char const* argument, unsigned long long limit, CT_Buffer* data, std::string* failure) {
    if (std::strcmp(argument, "-") != 0) return i_ReadFile(co_ArgumentName(argument), limit, data, failure);
    data->v_SetUsedSize(0);
    static char chunk[1 << 16];
    Platform::v_SetStandardInputBinary();
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
        if (data->n_GetUsedSize() + static_cast<unsigned long long>(n) > limit) {
            *failure = "standard input holds more bytes than the record file has room for";
            return e_ExitNo;
        }
        data->v_Append(chunk, static_cast<unsigned>(n));
    }
    if (!std::ferror(stdin)) return e_ExitOk;
    *failure = "cannot read standard input";
    return e_ExitError;
}

int i_ReadFile(CT_UString const& name, unsigned long long limit, CT_Buffer* data, std::string* failure) {
    data->v_SetUsedSize(0);
    static char chunk[1 << 16];
    CT_WinFile file(&name, 4096);
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) {
        *failure = "reading " + s_Quoted(name) + ": " + s_TakeToolError();
        return e_ExitError;
    }
    int result = e_ExitOk;
    for (;;) {
        unsigned n = file.vn_Read(chunk, sizeof chunk);
        if (b_Failed(__LINE__)) {
            *failure = "reading " + s_Quoted(name) + ": " + s_TakeToolError();
            result = e_ExitError;
            break;
        }
        if (n == 0) break;
        if (data->n_GetUsedSize() + static_cast<unsigned long long>(n) > limit) {
            *failure = s_Quoted(name) + " is larger than the record file has room for";
            result = e_ExitNo;
            break;
        }
        data->v_Append(chunk, n);
    }
    file.vv_Close();
    CT_ErrorManager::spco_Get()->v_ClearError();
    return result;
}

bool b_WriteFile(CT_UString const& name, void const* data, unsigned size, bool replace, std::string* failure) {
    if (!replace && CT_FileSystem::sb_IsExistent(&name)) {
        *failure = s_Quoted(name) + " exists; pass --force to replace it";
        return false;
    }
    CT_WinFile out(&name, 4096);
    out.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) {
        *failure = "creating " + s_Quoted(name) + ": " + s_TakeToolError();
        return false;
    }
    if (size) out.vn_Write(data, size);
    std::string writing = b_Failed(__LINE__) ? s_TakeToolError() : std::string();
    out.vv_Close();
    if (writing.empty() && b_Failed(__LINE__)) writing = s_TakeToolError();
    CT_ErrorManager::spco_Get()->v_ClearError();
    if (!writing.empty()) *failure = "writing " + s_Quoted(name) + ": " + writing;
    return writing.empty();
}

bool b_IsInFile(CT_RecordManager const& records, unsigned number) {
    return static_cast<unsigned long long>(number) * records.n_GetBlockSize() < records.n_GetSize();
}

int i_OpenForWriting(CT_RecordManager* records, CT_UString const& name, st_RecordsOptions const& options) {
    int checked = i_CheckBeforeWriting(name, options.n_WaitSeconds, options.b_Force);
    if (checked != e_ExitOk) return checked;
    if (b_OpenRecords(records, CT_RecordManager::e_ModeReadWrite, options.n_WaitSeconds)) return e_ExitOk;
    return i_ToolFailWithError("opening " + s_Quoted(name));
}

int i_OpenForReading(CT_RecordManager* records, CT_UString const& name, st_RecordsOptions const& options) {
    if (b_OpenRecords(records, CT_RecordManager::e_ModeRead, options.n_WaitSeconds)) return e_ExitOk;
    return i_ToolFailWithError("opening " + s_Quoted(name));
}

int i_RefuseTruncated(CT_RecordManager* records, CT_UString const& name, bool force, char const* action) {
    CT_WinFile probe(&name, 4096);
    unsigned fileSize = probe.vn_GetSize(), end = records->n_GetSize();
    CT_ErrorManager::spco_Get()->v_ClearError();
    if (fileSize >= end) return e_ExitOk;
    std::string what = s_Quoted(name) + " has " + std::to_string(fileSize) + " bytes, fewer than its end offset " +
                       std::to_string(end) + ": what lies past its end reads as zeros";
    if (!force) return i_CloseAndFail(records, e_ExitNo, what + "; pass --force to " + action + " all the same");
    v_ToolWarn(what);
    return e_ExitOk;
}
