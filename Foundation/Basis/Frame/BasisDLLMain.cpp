#include "Foundation/Basis/Frame/BasisDLLMain.h"

#include "Foundation/Basis/Frame/StartUp.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Platform/Module.h"

// sco_ModuleName is defined with the other static objects, in their order.
HINSTANCE CT_BasisDLLMain::sh_Instance = nullptr;
unsigned CT_BasisDLLMain::sn_Version = 0;
unsigned CT_BasisDLLMain::sn_Build = 0;
CT_ModuleVersion* CT_BasisDLLMain::spco_Version = nullptr;

CT_CString const* CT_BasisDLLMain::spcco_GetModuleName() { return &sco_ModuleName; }

void CT_BasisDLLMain::sv_SetModuleName(char const* path) {
    sco_ModuleName.v_Set(path, ~0u, sco_ModuleName.n_GetCodePage());
    sn_Build = 64;
    sn_Version = 0;
}

CT_UString const* CT_BasisDLLMain::spcco_GetProductVersion() {
    // The product version lives in the module-version object, which the
    // library never creates.
    return nullptr;
}

int CT_BasisDLLMain::si_Entry(HINSTANCE instance, unsigned reason, void*) {
    if (reason != e_ProcessAttach) return 1;
    char path[1024];
    Platform::n_GetModuleFileName(instance, path, sizeof path);
    sv_SetModuleName(path);
    sv_SetInstance(instance);
    StartUp::sv_HandOverInstance(instance);
    return 1;
}
