// CT_SysInfo: processor, processor count, computer name, system metrics.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_String;

class BASIS_API CT_SysInfo {
public:
    enum et_Processor {
        e_386 = 0,
        e_486 = 1,
        e_Pentium = 2,
        e_PentiumPro = 3,
        e_OtherIntel = 4,
        e_NotIntel = 5,
    };

    // At least 1.
    static unsigned sn_GetNumCPU();
    // At most 15 characters; on failure the system error is reported and
    // the string emptied.
    static void sv_GetComputerName(CT_String* name);
    static et_Processor seo_GetProcessor();
    static int sb_GetDBCSEnabled();
    static int sb_GetMidEastEnabled();
    static int sb_GetNetworkAttached();
    static int sb_GetSlowMachine();
    static int sb_GetKanjiWindow();
};
