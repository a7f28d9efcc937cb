// The running system: its version record, processor, computer name and
// system metrics.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

struct st_OsVersion {
    unsigned n_PlatformId;  // 0 Win32s, 1 Windows 95 family, 2 NT family
    unsigned n_Major;
    unsigned n_Minor;
    unsigned n_Build;
    char ac_ServicePack[128];
};

// Fills the record; false (last error set) on failure. Linux answers as
// the NT family with the running kernel's version (major.minor, the patch
// level as build) and its release text as the service-pack text.
BASIS_API int b_GetOsVersion(st_OsVersion* version);

struct st_Processor {
    unsigned n_Architecture;  // 0 Intel x86, 9 x86-64, ... (Windows numbering)
    unsigned n_Level;         // family on the NT family
    unsigned n_Type;          // 386, 486, 586 on the other families
    unsigned n_Count;         // processors the system reports
};
BASIS_API void v_GetProcessor(st_Processor* processor);

// The computer name, cut to size - 1 characters; 0 (last error set) on
// failure.
BASIS_API unsigned n_GetComputerNameW(unsigned short* buffer, unsigned size);

// GetSystemMetrics by index; without a display, the neutral values.
BASIS_API int i_GetSystemMetric(int index);

}  // namespace Platform
