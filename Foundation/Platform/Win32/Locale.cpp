#include "Foundation/Platform/Locale.h"

#include <windows.h>

namespace Platform {

static_assert(sizeof(wchar_t) == sizeof(unsigned short), "UTF-16 units are wchar_t here");
static_assert(sizeof(st_SystemTime) == sizeof(SYSTEMTIME), "st_SystemTime lays out as SYSTEMTIME");

namespace {

SYSTEMTIME const* pcso_Time(st_SystemTime const* time) { return reinterpret_cast<SYSTEMTIME const*>(time); }
wchar_t const* qcwz(unsigned short const* text) { return reinterpret_cast<wchar_t const*>(text); }
wchar_t* qwz(unsigned short* text) { return reinterpret_cast<wchar_t*>(text); }

// The enumeration callbacks of the system take no context; the caller's
// callback and context wait for them in the enumerating thread's slots.
thread_local pf_EnumLocale spf_EnumLocale = nullptr;
thread_local pf_EnumCalendarInfo spf_EnumCalendar = nullptr;
thread_local void* spv_EnumContext = nullptr;

BOOL CALLBACK b_OnLocale(LPWSTR hexId) {
    return spf_EnumLocale(reinterpret_cast<unsigned short const*>(hexId), spv_EnumContext) ? TRUE : FALSE;
}

BOOL CALLBACK b_OnCalendarInfo(LPSTR text) { return spf_EnumCalendar(text, spv_EnumContext) ? TRUE : FALSE; }

}  // namespace

unsigned n_GetUserDefaultLCID() { return ::GetUserDefaultLCID(); }
unsigned n_GetSystemDefaultLCID() { return ::GetSystemDefaultLCID(); }
unsigned n_GetUserDefaultLangID() { return ::GetUserDefaultLangID(); }
unsigned n_GetSystemDefaultLangID() { return ::GetSystemDefaultLangID(); }
unsigned n_GetThreadLocale() { return ::GetThreadLocale(); }
int b_SetThreadLocale(unsigned lcid) { return ::SetThreadLocale(lcid) != 0; }
int b_IsValidLocale(unsigned lcid, unsigned flags) { return ::IsValidLocale(lcid, flags) != 0; }

int i_GetLocaleInfoW(unsigned lcid, unsigned type, unsigned short* buffer, int room) {
    return ::GetLocaleInfoW(lcid, type, qwz(buffer), room);
}

int i_GetLocaleInfoA(unsigned lcid, unsigned type, char* buffer, int room) {
    return ::GetLocaleInfoA(lcid, type, buffer, room);
}

int i_GetDateFormatW(unsigned lcid, unsigned flags, st_SystemTime const* time, unsigned short const* picture,
                     unsigned short* buffer, int room) {
    return ::GetDateFormatW(lcid, flags, pcso_Time(time), qcwz(picture), qwz(buffer), room);
}

int i_GetDateFormatA(unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture, char* buffer,
                     int room) {
    return ::GetDateFormatA(lcid, flags, pcso_Time(time), picture, buffer, room);
}

int i_GetTimeFormatW(unsigned lcid, unsigned flags, st_SystemTime const* time, unsigned short const* picture,
                     unsigned short* buffer, int room) {
    return ::GetTimeFormatW(lcid, flags, pcso_Time(time), qcwz(picture), qwz(buffer), room);
}

int i_GetTimeFormatA(unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture, char* buffer,
                     int room) {
    return ::GetTimeFormatA(lcid, flags, pcso_Time(time), picture, buffer, room);
}

int i_GetNumberFormatA(unsigned lcid, unsigned flags, char const* value, st_NumberFormat const* format, char* buffer,
                       int room) {
    if (!format) return ::GetNumberFormatA(lcid, flags, value, nullptr, buffer, room);
    NUMBERFMTA record{};
    record.NumDigits = format->n_NumDigits;
    record.LeadingZero = format->n_LeadingZero;
    record.Grouping = format->n_Grouping;
    record.lpDecimalSep = const_cast<char*>(format->qccz_DecimalSep);
    record.lpThousandSep = const_cast<char*>(format->qccz_ThousandSep);
    record.NegativeOrder = format->n_NegativeOrder;
    return ::GetNumberFormatA(lcid, flags, value, &record, buffer, room);
}

int i_GetNumberFormatW(unsigned lcid, unsigned flags, unsigned short const* value, st_NumberFormatW const* format,
                       unsigned short* buffer, int room) {
    if (!format) return ::GetNumberFormatW(lcid, flags, qcwz(value), nullptr, qwz(buffer), room);
    NUMBERFMTW record{};
    record.NumDigits = format->n_NumDigits;
    record.LeadingZero = format->n_LeadingZero;
    record.Grouping = format->n_Grouping;
    record.lpDecimalSep = const_cast<wchar_t*>(qcwz(format->qcuz_DecimalSep));
    record.lpThousandSep = const_cast<wchar_t*>(qcwz(format->qcuz_ThousandSep));
    record.NegativeOrder = format->n_NegativeOrder;
    return ::GetNumberFormatW(lcid, flags, qcwz(value), &record, qwz(buffer), room);
}

int b_EnumSystemLocalesW(pf_EnumLocale callback, void* context, unsigned flags) {
    if (!callback) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    pf_EnumLocale outer = spf_EnumLocale;
    void* outerContext = spv_EnumContext;
    spf_EnumLocale = callback;
    spv_EnumContext = context;
    BOOL done = ::EnumSystemLocalesW(b_OnLocale, flags == e_LocaleInstalled ? LCID_INSTALLED : LCID_SUPPORTED);
    spf_EnumLocale = outer;
    spv_EnumContext = outerContext;
    return done != 0;
}

int b_EnumCalendarInfoA(pf_EnumCalendarInfo callback, void* context, unsigned lcid, unsigned calendar,
                        unsigned kind) {
    if (!callback) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    pf_EnumCalendarInfo outer = spf_EnumCalendar;
    void* outerContext = spv_EnumContext;
    spf_EnumCalendar = callback;
    spv_EnumContext = context;
    BOOL done = ::EnumCalendarInfoA(b_OnCalendarInfo, lcid, calendar, kind);
    spf_EnumCalendar = outer;
    spv_EnumContext = outerContext;
    return done != 0;
}

}  // namespace Platform
