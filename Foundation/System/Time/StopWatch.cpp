#include "Foundation/System/Time/StopWatch.h"

#include "Foundation/Platform/TimeZone.h"

void CT_StopWatch::v_Set() { n_Ticks = Platform::n_GetTickCount(); }

void CT_StopWatch::v_Set(CT_StopWatch const* other) {
    if (other)
        n_Ticks = other->n_Ticks;
    else
        v_Set();
}

unsigned CT_StopWatch::n_MillisecondsBetween(CT_StopWatch const* other) const {
    unsigned then = other ? other->n_Ticks : Platform::n_GetTickCount();
    return then > n_Ticks ? then - n_Ticks : n_Ticks - then;
}

void CT_StopWatch::v_Delta(unsigned* ms, unsigned* s, unsigned* min, unsigned* h, unsigned* days,
                           CT_StopWatch const* other) const {
    unsigned delta = n_MillisecondsBetween(other);
    if (ms) *ms = delta % 1000;
    if (s) *s = delta / 1000 % 60;
    if (min) *min = delta / 60000 % 60;
    if (h) *h = delta / 3600000 % 24;
    if (days) *days = delta / 86400000;
}
