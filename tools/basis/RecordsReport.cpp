#include <cstdio>

#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/Records.h"
#include "tools/basis/ToolText.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsReport";

}  // namespace

std::string s_Utf8(unsigned short const* text) { return s_Utf8FromWide(text); }
std::string s_Utf8(CT_UString const& text) { return s_Utf8FromWide(text.qcuz_Get()); }

std::string s_Quoted(CT_UString const& name) {
    std::string text(1, '"');
    text += s_Utf8(name);
    text += '"';
    return text;
}

int i_CloseAndFail(CT_RecordManager* records, int code, std::string const& failure) {
    records->v_Close(1);
    std::string closing = CT_ErrorManager::spco_Get()->b_IsSetError() ? "; closing failed too: " + s_TakeToolError() : "";
    return i_ToolFail(code, failure + closing);
}

int i_CloseAndFailWithError(CT_RecordManager* records, std::string const& doing) {
    return i_CloseAndFail(records, e_ExitError, doing + ": " + s_TakeToolError());
}

int i_Close(CT_RecordManager* records, int result) {
    records->v_Close(1);
    if (b_ToolFailed(qcz_Location, __LINE__))
        return i_ToolFailWithError("closing " + s_Utf8(*records->pcco_GetFile()->pcco_GetFullName()));
    return result;
}

// A file too short for a header is refused before the record manager
// maps it: mapping an empty file fails with a message about arguments.
bool b_OpenRecords(CT_RecordManager* records, CT_RecordManager::et_OpenMode mode, unsigned waitSeconds) {
    CT_WinFile const* file = records->pcco_GetFile();
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    bool exists = CT_FileSystem::sb_IsExistent(file->pcco_GetFullName());
    unsigned size = exists ? file->vn_GetSize() : 0;
    if (exists && !errors->b_IsSetError() && size < CT_RecordManager::e_HeaderSize) {
        static unsigned short const au_Format[] = {'%', 's', 0};
        CT_UString message(("a file of " + std::to_string(size) + " bytes, too short for a record file").c_str(), ~0u,
                           65001);
        errors->v_SetError(CT_DatabaseError::e_InvalidFormat, au_Format, message.qcuz_Get());
    }
    if (errors->b_IsSetError()) return !b_ToolFailed(qcz_Location, __LINE__);
    b_OpenWaiting(waitSeconds, [&] {
        records->v_Open(mode, 1);
        return !errors->b_IsSetError();
    });
    return !b_ToolFailed(qcz_Location, __LINE__);
}

unsigned long long n8_Align(unsigned long long n, unsigned block) { return n == 0 ? 0 : ((n - 1) / block + 1) * block; }
