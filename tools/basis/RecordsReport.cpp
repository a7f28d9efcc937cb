#include "tools/basis/Records.h"

#include <cstdio>

#include "Foundation/Database/RecordManager/DatabaseError.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsReport";

}  // namespace

std::string s_Utf8(unsigned short const* text) { return CT_CString(text, ~0u, 65001).qccz_Get(); }
std::string s_Utf8(CT_UString const& text) { return s_Utf8(text.qcuz_Get()); }

int i_RecordsFail(std::string const& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "basis records: %s\n", message.c_str());
    return e_RecordsFailed;
}

bool b_RecordsFailed(char const* location, unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(location, line);
    return true;
}

std::string s_TakeError() {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    std::string text = s_Utf8(errors->qcuz_GetErrorMessage());
    for (unsigned k = 1; k <= errors->n_GetLocationCount(); ++k)
        text += std::string("\n  at ") + errors->qccz_GetLocationFileAt(k) + ":" +
                std::to_string(errors->n_GetLocationLineAt(k));
    errors->v_ClearError();
    return text;
}

int i_FailWithError(std::string const& doing) { return i_RecordsFail(doing + ": " + s_TakeError()); }

int i_CloseAndFail(CT_RecordManager* records, std::string const& failure) {
    records->v_Close(1);
    std::string closing = CT_ErrorManager::spco_Get()->b_IsSetError() ? "\nclosing failed too: " + s_TakeError() : "";
    return i_RecordsFail(failure + closing);
}

int i_CloseAndFailWithError(CT_RecordManager* records, std::string const& doing) {
    return i_CloseAndFail(records, doing + ": " + s_TakeError());
}

int i_Close(CT_RecordManager* records, int result) {
    records->v_Close(1);
    if (b_RecordsFailed(qcz_Location, __LINE__))
        return i_FailWithError("closing " + s_Utf8(*records->pcco_GetFile()->pcco_GetFullName()));
    return result;
}

// A file too short for a header is refused before the record manager
// maps it: mapping an empty file fails with a message about arguments.
bool b_OpenRecords(CT_RecordManager* records, CT_RecordManager::et_OpenMode mode) {
    CT_WinFile const* file = records->pcco_GetFile();
    bool exists = CT_FileSystem::sb_IsExistent(file->pcco_GetFullName());
    unsigned size = exists ? file->vn_GetSize() : 0;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (exists && !errors->b_IsSetError() && size < CT_RecordManager::e_HeaderSize) {
        static unsigned short const au_Format[] = {'%', 's', 0};
        CT_UString message(("a file of " + std::to_string(size) + " bytes, too short for a record file").c_str(), ~0u,
                           65001);
        errors->v_SetError(CT_DatabaseError::e_InvalidFormat, au_Format, message.qcuz_Get());
    }
    if (!errors->b_IsSetError()) records->v_Open(mode, 1);
    return !b_RecordsFailed(qcz_Location, __LINE__);
}

bool b_ParseNumber(char const* text, unsigned* value) {
    if (*text < '0' || *text > '9') return false;
    unsigned long long number = 0;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return false;
        number = number * 10 + unsigned(*text - '0');
        if (number > 0xFFFFFFFFull) return false;
    }
    *value = static_cast<unsigned>(number);
    return true;
}

unsigned long long n8_Align(unsigned long long n, unsigned block) { return n == 0 ? 0 : ((n - 1) / block + 1) * block; }
