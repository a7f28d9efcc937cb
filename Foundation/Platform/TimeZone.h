// The runtime library's local time: its time zone, its daylight-saving
// rules and the conversions between calendar time (seconds since 1970 UTC)
// and a local or UTC struct tm. The runtimes differ: glibc reads the zone
// database named by TZ, the Windows runtime its own TZ syntax or else the
// system's zone. Calendar times are 64-bit here; callers narrow them.
#pragma once

#include <ctime>

#include "Foundation/Platform/Export.h"

namespace Platform {

// Seconds west of UTC of the zone's standard time (the runtime's timezone
// variable, after it has read the zone).
BASIS_API long i_GetTimeZoneOffset();
// Whether the zone has daylight-saving rules (the runtime's daylight flag).
BASIS_API int b_GetDaylight();
// The calendar time now.
BASIS_API long long i8_Now();
// mktime: normalises *date and returns its calendar time, or -1 (errno or
// the last error set) when the runtime cannot represent it.
BASIS_API long long i8_MakeTime(struct tm* date);
// The local and the UTC date of a calendar time; false when the runtime
// cannot represent it (*date untouched).
BASIS_API int b_LocalTime(long long time, struct tm* date);
BASIS_API int b_UtcTime(long long time, struct tm* date);
// Sets TZ for this process and makes the runtime read it again; null
// removes it. For tests and tools that show times in several zones.
BASIS_API void v_SetTimeZone(char const* zone);

// Milliseconds since the system started, wrapping after 49.7 days.
BASIS_API unsigned n_GetTickCount();

}  // namespace Platform
