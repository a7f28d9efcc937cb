#include "Foundation/Platform/SysInfo.h"

#include <windows.h>

#include <cstring>

namespace Platform {

int b_GetOsVersion(st_OsVersion* version) {
    std::memset(version, 0, sizeof *version);
    OSVERSIONINFOA record;
    std::memset(&record, 0, sizeof record);
    record.dwOSVersionInfoSize = sizeof record;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&record)) return 0;
#pragma GCC diagnostic pop
    version->n_PlatformId = record.dwPlatformId;
    version->n_Major = record.dwMajorVersion;
    version->n_Minor = record.dwMinorVersion;
    version->n_Build = record.dwBuildNumber;
    std::memcpy(version->ac_ServicePack, record.szCSDVersion, sizeof version->ac_ServicePack);
    version->ac_ServicePack[sizeof version->ac_ServicePack - 1] = 0;
    return 1;
}

void v_GetProcessor(st_Processor* processor) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    processor->n_Architecture = info.wProcessorArchitecture;
    processor->n_Level = info.wProcessorLevel;
    processor->n_Type = info.dwProcessorType;
    processor->n_Count = info.dwNumberOfProcessors ? info.dwNumberOfProcessors : 1;
}

unsigned n_GetComputerNameW(unsigned short* buffer, unsigned size) {
    if (size == 0) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &length)) {
        buffer[0] = 0;
        return 0;
    }
    if (length >= size) length = size - 1;
    for (DWORD i = 0; i < length; ++i) buffer[i] = name[i];
    buffer[length] = 0;
    return length;
}

int i_GetSystemMetric(int index) { return ::GetSystemMetrics(index); }

}  // namespace Platform
