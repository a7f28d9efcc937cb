// CT_StopWatch: elapsed milliseconds from the platform's tick counter. The
// count wraps after 49.7 days, like the counter it reads.
#pragma once

#include "Foundation/Platform/Export.h"

class BASIS_API CT_StopWatch {
public:
    CT_StopWatch() { v_Set(); }
    explicit CT_StopWatch(CT_StopWatch const* other) { v_Set(other); }

    // The tick count now; or the other watch's count (null: now).
    void v_Set();
    void v_Set(CT_StopWatch const* other);

    // The absolute difference of the two counts; with null, of this count
    // and the tick counter now.
    unsigned n_MillisecondsBetween(CT_StopWatch const* other) const;
    unsigned n_SecondsBetween(CT_StopWatch const* other) const { return n_MillisecondsBetween(other) / 1000; }
    unsigned n_MinutesBetween(CT_StopWatch const* other) const { return n_MillisecondsBetween(other) / 60000; }
    unsigned n_HoursBetween(CT_StopWatch const* other) const { return n_MillisecondsBetween(other) / 3600000; }
    unsigned n_DaysBetween(CT_StopWatch const* other) const { return n_MillisecondsBetween(other) / 86400000; }
    // The difference split into milliseconds (mod 1000), seconds (mod 60),
    // minutes (mod 60), hours (mod 24) and days; null outputs are skipped.
    void v_Delta(unsigned* ms, unsigned* s, unsigned* min, unsigned* h, unsigned* days, CT_StopWatch const* other) const;

protected:
    unsigned n_Ticks;
};
