// The tour's error stop: an error raised deep inside, passed outward with
// its locations, read at the top and shown as the message window would.
#include <cstdio>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Resource.h"
#include "Foundation/Platform/SystemError.h"
#include "tools/basis/Tour.h"

namespace {

std::string s_Narrow(unsigned short const* text) {
    CT_CString narrow(text, ~0u, 65001);
    return narrow.qccz_Get();
}

int i_PrintBox(unsigned short const* text, unsigned short const* caption, unsigned) {
    std::printf("  +-- %s\n", s_Narrow(caption).c_str());
    std::string body = s_Narrow(text);
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        std::printf("  | %s\n", body.substr(start, end - start).c_str());
        start = end + 1;
    }
    return 1;  // the OK button
}

// A pretend reader three calls deep, following the library's convention.
void v_ReadRecord(CT_ErrorManager* errors) {
    if (!errors->b_IsSetError()) errors->v_SetError(60021, nullptr, 60021);
    errors->v_AddLocation("Foundation/Database/RecordManager/RecordManager", 412);
}
void v_LoadDictionary(CT_ErrorManager* errors) {
    v_ReadRecord(errors);
    if (errors->b_IsSetError()) errors->v_AddLocation("Foundation/Basis/Lexicon/BiLingualWordList", 88);
}

}  // namespace

int i_TourErrors() {
    v_TourHeading("Errors");
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_LoadDictionary(errors);
    errors->v_AddLocation("tools/basis/TourErrors", 50);
    std::printf("An error raised three calls deep, read at the top:\n  code %u, message \"%s\", %u locations\n",
                errors->n_GetErrorCode(), s_Narrow(errors->qcuz_GetErrorMessage()).c_str(),
                errors->n_GetLocationCount());
    std::printf("The message window's text (the box itself replaced by this printout):\n");
    Platform::pf_MessageBoxHook previous = Platform::pf_SetMessageBoxHook(&i_PrintBox);
    errors->i_ErrorLocationWindow(60000, nullptr, 0);
    errors->v_ClearError();

    Platform::v_SetLastError(2);
    errors->v_SetSystemErrorName("CreateFile");
    std::printf("A failed system call: \"%s\"\n", s_Narrow(errors->qcuz_GetErrorMessage()).c_str());
    errors->v_ClearError();
    Platform::pf_SetMessageBoxHook(previous);
    std::printf("Pools after clearing: %u of 20 records and %u of 100 locations free\n", errors->n_GetFreeRecords(),
                errors->n_GetFreeLocations());
    return errors->b_IsSetError() ? 1 : 0;
}
