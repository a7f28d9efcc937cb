// The library's module data (its instance handle, the path of its file and
// its version numbers) and the work its entry function does when a process
// attaches it.
#pragma once

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

class CT_CString;
class CT_UString;
class CT_ModuleVersion;

class BASIS_API CT_BasisDLLMain {
public:
    static HINSTANCE sh_GetInstance() { return sh_Instance; }
    static void sv_SetInstance(HINSTANCE instance) { sh_Instance = instance; }
    static CT_CString const* spcco_GetModuleName();
    // Sets the path (narrow, whole length) and, with it, the build number
    // 64 and the version number 0.
    static void sv_SetModuleName(char const* path);
    static unsigned sn_GetVersion() { return sn_Version; }
    static unsigned sn_GetBuild() { return sn_Build; }
    // The library never reads its own version resource: both stay null.
    static CT_ModuleVersion const* spcco_GetVersion() { return spco_Version; }
    static CT_UString const* spcco_GetProductVersion();

    // The entry function's work, the same on every platform: DllMain on
    // Windows calls it; on Linux the last of the static objects does, with
    // reason 1 (process attach). Returns 1.
    static int si_Entry(HINSTANCE instance, unsigned reason, void* reserved);
    enum { e_ProcessDetach = 0, e_ProcessAttach = 1, e_ThreadAttach = 2, e_ThreadDetach = 3 };

    static HINSTANCE sh_Instance;
    static CT_CString sco_ModuleName;
    static unsigned sn_Version;
    static unsigned sn_Build;
    static CT_ModuleVersion* spco_Version;
};
