#include "Foundation/Platform/TimeZone.h"

#include <errno.h>
#include <stdlib.h>
#include <time.h>

namespace Platform {

long i_GetTimeZoneOffset() {
    ::tzset();
    return ::timezone;
}

int b_GetDaylight() {
    ::tzset();
    return ::daylight != 0;
}

long long i8_Now() { return static_cast<long long>(::time(nullptr)); }

long long i8_MakeTime(struct tm* date) {
    if (!date) {
        errno = EINVAL;
        return -1;
    }
    return static_cast<long long>(::mktime(date));  // errno EOVERFLOW on failure
}

int b_LocalTime(long long time, struct tm* date) {
    time_t t = static_cast<time_t>(time);
    struct tm out;
    if (!date || !::localtime_r(&t, &out)) return 0;
    *date = out;
    return 1;
}

int b_UtcTime(long long time, struct tm* date) {
    time_t t = static_cast<time_t>(time);
    struct tm out;
    if (!date || !::gmtime_r(&t, &out)) return 0;
    *date = out;
    return 1;
}

void v_SetTimeZone(char const* zone) {
    if (zone)
        ::setenv("TZ", zone, 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

unsigned n_GetTickCount() {
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<unsigned>(static_cast<unsigned long long>(now.tv_sec) * 1000u + now.tv_nsec / 1000000);
}

}  // namespace Platform
