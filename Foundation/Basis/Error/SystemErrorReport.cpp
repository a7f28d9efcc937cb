#include "Foundation/Basis/Error/SystemErrorReport.h"

#include "Foundation/Basis/Error/ErrorManager.h"

void v_ReportSystemError(char const* location, unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors == nullptr) return;
    if (!errors->b_IsSetError()) errors->v_SetSystemError();
    errors->v_AddLocation(location, line);
}
