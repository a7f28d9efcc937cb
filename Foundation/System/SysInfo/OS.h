// CT_OS: which operating-system family and version the library runs on,
// read once at start-up. Every other class asks it whether to use the wide
// (NT family) or the narrow form of a system call. Linux answers as the NT
// family, with the running kernel's version.
#pragma once

#include "Foundation/Platform/Export.h"

class BASIS_API CT_OS {
public:
    enum et_OS { e_Unknown = 0, e_Win32s = 1, e_Windows95 = 2, e_WindowsNT = 4 };

    static et_OS seo_GetVersion() { return seo_Version; }
    static int sb_GetIsWindowsNT() { return sb_IsWindowsNT; }
    static int sb_GetIsWindows95() { return sb_IsWindows95; }
    static int sb_GetIsWindows95OSR2() { return sb_IsWindows95OSR2; }
    static int sb_GetIsWindows32s() { return sb_IsWindows32s; }
    static unsigned sn_GetOsVersionMajor() { return sn_OsVersionMajor; }
    static unsigned sn_GetOsVersionMinor() { return sn_OsVersionMinor; }
    static unsigned sn_GetOsVersionBuild() { return sn_OsBuildNo; }
    static char const* sqccz_GetOsVersionString() { return sqcz_OsVersionString; }

    static void sv_Init();

    static et_OS seo_Version;
    static int sb_IsWindows32s;
    static int sb_IsWindows95;
    static int sb_IsWindowsNT;
    static int sb_IsWindows95OSR2;
    static unsigned sn_OsVersionMajor;
    static unsigned sn_OsVersionMinor;
    static unsigned sn_OsBuildNo;
    static char sqcz_OsVersionString[128];
};
