#include "Foundation/Platform/TimeZone.h"

#include <windows.h>

#include <stdlib.h>
#include <time.h>

namespace Platform {

long i_GetTimeZoneOffset() {
    ::_tzset();
    return ::_timezone;
}

int b_GetDaylight() {
    ::_tzset();
    return ::_daylight != 0;
}

long long i8_Now() { return static_cast<long long>(::_time64(nullptr)); }

// The runtime reports its failures in errno only; the seam leaves a system
// error code as the last error as well.
long long i8_MakeTime(struct tm* date) {
    long long time = date ? static_cast<long long>(::_mktime64(date)) : -1;
    if (time == -1) ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
    return time;
}

// The runtime's results live in a per-thread area; copy them out at once.
int b_LocalTime(long long time, struct tm* date) {
    __time64_t t = time;
    struct tm* out = date ? ::_localtime64(&t) : nullptr;
    if (!out) {
        ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        return 0;
    }
    *date = *out;
    return 1;
}

int b_UtcTime(long long time, struct tm* date) {
    __time64_t t = time;
    struct tm* out = date ? ::_gmtime64(&t) : nullptr;
    if (!out) {
        ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        return 0;
    }
    *date = *out;
    return 1;
}

void v_SetTimeZone(char const* zone) {
    ::SetEnvironmentVariableA("TZ", zone);
    ::_putenv_s("TZ", zone ? zone : "");
    ::_tzset();
}

unsigned n_GetTickCount() { return ::GetTickCount(); }

}  // namespace Platform
