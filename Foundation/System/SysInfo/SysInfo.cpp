#include "Foundation/System/SysInfo/SysInfo.h"

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/String/String.h"
#include "Foundation/Platform/SysInfo.h"
#include "Foundation/System/SysInfo/OS.h"

namespace {
char const sac_Location[] = "Foundation/System/SysInfo/SysInfo";
}

unsigned CT_SysInfo::sn_GetNumCPU() {
    Platform::st_Processor processor;
    Platform::v_GetProcessor(&processor);
    return processor.n_Count ? processor.n_Count : 1;
}

void CT_SysInfo::sv_GetComputerName(CT_String* name) {
    unsigned short text[16];
    if (Platform::n_GetComputerNameW(text, 16) == 0 && text[0] == 0) {
        CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
        errors->v_SetSystemErrorName("GetComputerName");
        errors->v_AddLocation(sac_Location, __LINE__);
        name->v_Set(static_cast<unsigned short const*>(text), 0);
        return;
    }
    name->v_Set(static_cast<unsigned short const*>(text), ~0u);
}

CT_SysInfo::et_Processor CT_SysInfo::seo_GetProcessor() {
    Platform::st_Processor processor;
    Platform::v_GetProcessor(&processor);
    if (processor.n_Architecture != 0) return e_NotIntel;
    if (CT_OS::sb_GetIsWindowsNT()) {
        switch (processor.n_Level) {
            case 3: return e_386;
            case 4: return e_486;
            case 5: return e_Pentium;
            case 6: return e_PentiumPro;
            default: return e_OtherIntel;
        }
    }
    switch (processor.n_Type) {
        case 386: return e_386;
        case 486: return e_486;
        case 586: return e_Pentium;
        default: return e_OtherIntel;
    }
}

int CT_SysInfo::sb_GetDBCSEnabled() { return Platform::i_GetSystemMetric(42) != 0; }
int CT_SysInfo::sb_GetMidEastEnabled() { return Platform::i_GetSystemMetric(74) != 0; }
int CT_SysInfo::sb_GetNetworkAttached() { return Platform::i_GetSystemMetric(63) != 0; }
int CT_SysInfo::sb_GetSlowMachine() { return Platform::i_GetSystemMetric(73) != 0; }
int CT_SysInfo::sb_GetKanjiWindow() { return Platform::i_GetSystemMetric(18) > 0; }
