#include "Foundation/System/SysInfo/OS.h"

#include <cstring>

#include "Foundation/Platform/SysInfo.h"

CT_OS::et_OS CT_OS::seo_Version = CT_OS::e_Unknown;
int CT_OS::sb_IsWindows32s = 0;
int CT_OS::sb_IsWindows95 = 0;
int CT_OS::sb_IsWindowsNT = 0;
int CT_OS::sb_IsWindows95OSR2 = 0;
unsigned CT_OS::sn_OsVersionMajor = 0;
unsigned CT_OS::sn_OsVersionMinor = 0;
unsigned CT_OS::sn_OsBuildNo = 0;
char CT_OS::sqcz_OsVersionString[128];

void CT_OS::sv_Init() {
    Platform::st_OsVersion version;
    if (!Platform::b_GetOsVersion(&version)) version.n_PlatformId = 2;  // assume the NT family
    sn_OsVersionMajor = version.n_Major;
    sn_OsVersionMinor = version.n_Minor;
    sn_OsBuildNo = version.n_Build;
    sb_IsWindows32s = sb_IsWindows95 = sb_IsWindowsNT = 0;
    switch (version.n_PlatformId) {
        case 0:
            seo_Version = e_Win32s;
            sb_IsWindows32s = 1;
            sn_OsBuildNo &= 0xFFFF;
            break;
        case 1:
            seo_Version = e_Windows95;
            sb_IsWindows95 = 1;
            sn_OsBuildNo &= 0xFFFF;
            break;
        default:
            seo_Version = e_WindowsNT;
            sb_IsWindowsNT = 1;
            break;
    }
    std::strncpy(sqcz_OsVersionString, version.ac_ServicePack, sizeof sqcz_OsVersionString - 1);
    sqcz_OsVersionString[sizeof sqcz_OsVersionString - 1] = 0;
}
