#include "Foundation/Platform/Locale.h"

#include <unicode/uloc.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

#include "Foundation/Platform/CodePage.h"
#include "Foundation/Platform/Posix/LocaleData.h"

namespace Platform {

namespace {

// 0 until the thread sets its own: then the user default.
thread_local unsigned stn_ThreadLocale = 0;

// The flags a value type may carry beside the type itself.
unsigned const cn_UseCpAcp = 0x40000000u;
unsigned const cn_TypeFlags = e_LocaleNoUserOverride | cn_UseCpAcp | e_LocaleReturnNumber;

int i_Fail(int code) {
    errno = code;
    return 0;
}

st_LocaleData const* pcso_Data(unsigned lcid) {
    st_LocaleData const* data = pcso_GetLocaleData(lcid);
    if (!data) errno = EINVAL;
    return data;
}

// A text result by the Windows rules: room 0 asks for the length needed
// (with the zero); too little room fails and writes nothing.
int i_CopyOut(std::u16string const& text, unsigned short* buffer, int room) {
    int needed = static_cast<int>(text.size()) + 1;
    if (room == 0) return needed;
    if (room < 0 || !buffer) return i_Fail(EINVAL);
    if (room < needed) return i_Fail(E2BIG);
    for (size_t i = 0; i < text.size(); ++i) buffer[i] = text[i];
    buffer[text.size()] = 0;
    return needed;
}

int i_CopyOut(unsigned codePage, std::u16string const& text, char* buffer, int room) {
    std::string narrow(text.size() * 4 + 1, '\0');
    int written = text.empty() ? 0
                               : i_WideToMulti(codePage, reinterpret_cast<unsigned short const*>(text.data()),
                                               static_cast<unsigned>(text.size()), &narrow[0],
                                               static_cast<unsigned>(narrow.size()), nullptr, nullptr);
    if (!text.empty() && written == 0) return 0;
    int needed = written + 1;
    if (room == 0) return needed;
    if (room < 0 || !buffer) return i_Fail(EINVAL);
    if (room < needed) return i_Fail(E2BIG);
    for (int i = 0; i < written; ++i) buffer[i] = narrow[static_cast<size_t>(i)];
    buffer[written] = 0;
    return needed;
}

std::u16string s_Wide(unsigned short const* text) {
    std::u16string out;
    if (text)
        while (*text) out.push_back(static_cast<char16_t>(*text++));
    return out;
}

std::u16string s_WideOf(unsigned codePage, char const* text) {
    std::u16string out;
    if (!text || !*text) return out;
    std::string narrow(text);
    out.resize(narrow.size() + 1);
    int n = i_MultiToWide(codePage, narrow.data(), static_cast<unsigned>(narrow.size()),
                          reinterpret_cast<unsigned short*>(&out[0]), static_cast<unsigned>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return out;
}

st_SystemTime so_Now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    st_SystemTime time{};
    time.n_Year = static_cast<unsigned short>(local.tm_year + 1900);
    time.n_Month = static_cast<unsigned short>(local.tm_mon + 1);
    time.n_DayOfWeek = static_cast<unsigned short>(local.tm_wday);
    time.n_Day = static_cast<unsigned short>(local.tm_mday);
    time.n_Hour = static_cast<unsigned short>(local.tm_hour);
    time.n_Minute = static_cast<unsigned short>(local.tm_min);
    time.n_Second = static_cast<unsigned short>(local.tm_sec > 59 ? 59 : local.tm_sec);
    return time;
}

using pf_Formatter = bool (*)(st_LocaleData const&, unsigned, st_SystemTime const&, std::u16string const*,
                              std::u16string*);

int i_FormatW(pf_Formatter format, unsigned lcid, unsigned flags, st_SystemTime const* time,
              unsigned short const* picture, unsigned short* buffer, int room) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    st_SystemTime now = time ? *time : so_Now();
    std::u16string pictureText = s_Wide(picture), out;
    if (!format(*data, flags & ~e_LocaleNoUserOverride, now, picture ? &pictureText : nullptr, &out))
        return i_Fail(EINVAL);
    return i_CopyOut(out, buffer, room);
}

int i_FormatA(pf_Formatter format, unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture,
              char* buffer, int room) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    st_SystemTime now = time ? *time : so_Now();
    std::u16string pictureText = s_WideOf(data->n_AnsiCodePage, picture), out;
    if (!format(*data, flags & ~e_LocaleNoUserOverride, now, picture ? &pictureText : nullptr, &out))
        return i_Fail(EINVAL);
    return i_CopyOut(data->n_AnsiCodePage, out, buffer, room);
}

}  // namespace

unsigned n_GetUserDefaultLCID() { return n_GetProcessLcid(); }
unsigned n_GetSystemDefaultLCID() { return n_GetProcessLcid(); }
unsigned n_GetUserDefaultLangID() { return n_GetProcessLcid() & 0xFFFF; }
unsigned n_GetSystemDefaultLangID() { return n_GetProcessLcid() & 0xFFFF; }

unsigned n_GetThreadLocale() { return stn_ThreadLocale ? stn_ThreadLocale : n_GetProcessLcid(); }

int b_SetThreadLocale(unsigned lcid) {
    if (!b_HasLocaleData(lcid)) return i_Fail(EINVAL);
    stn_ThreadLocale = lcid;
    return 1;
}

int b_IsValidLocale(unsigned lcid, unsigned flags) {
    // Every locale ICU has data for is installed as well as supported.
    if (flags != e_LocaleInstalled && flags != e_LocaleSupported) return i_Fail(EINVAL);
    return b_HasLocaleData(lcid) ? 1 : 0;
}

int i_GetLocaleInfoW(unsigned lcid, unsigned type, unsigned short* buffer, int room) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    auto found = data->co_Values.find(type & ~cn_TypeFlags);
    if (found == data->co_Values.end()) return i_Fail(EINVAL);
    if (type & e_LocaleReturnNumber) {
        // The value as a 32-bit number in two units; only numeric values.
        unsigned value = 0;
        if (found->second.empty()) return i_Fail(EINVAL);
        for (char16_t c : found->second) {
            if (c < u'0' || c > u'9') return i_Fail(EINVAL);
            value = value * 10 + (c - u'0');
        }
        if (room == 0) return 2;
        if (room < 2 || !buffer) return i_Fail(E2BIG);
        buffer[0] = static_cast<unsigned short>(value & 0xFFFF);
        buffer[1] = static_cast<unsigned short>(value >> 16);
        return 2;
    }
    return i_CopyOut(found->second, buffer, room);
}

int i_GetLocaleInfoA(unsigned lcid, unsigned type, char* buffer, int room) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    if (type & e_LocaleReturnNumber) return i_Fail(EINVAL);
    auto found = data->co_Values.find(type & ~cn_TypeFlags);
    if (found == data->co_Values.end()) return i_Fail(EINVAL);
    return i_CopyOut((type & cn_UseCpAcp) ? n_GetAnsiCodePage() : data->n_AnsiCodePage, found->second, buffer, room);
}

int i_GetDateFormatW(unsigned lcid, unsigned flags, st_SystemTime const* time, unsigned short const* picture,
                     unsigned short* buffer, int room) {
    return i_FormatW(b_FormatDate, lcid, flags, time, picture, buffer, room);
}

int i_GetDateFormatA(unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture, char* buffer,
                     int room) {
    return i_FormatA(b_FormatDate, lcid, flags, time, picture, buffer, room);
}

int i_GetTimeFormatW(unsigned lcid, unsigned flags, st_SystemTime const* time, unsigned short const* picture,
                     unsigned short* buffer, int room) {
    return i_FormatW(b_FormatTime, lcid, flags, time, picture, buffer, room);
}

int i_GetTimeFormatA(unsigned lcid, unsigned flags, st_SystemTime const* time, char const* picture, char* buffer,
                     int room) {
    return i_FormatA(b_FormatTime, lcid, flags, time, picture, buffer, room);
}

int i_GetNumberFormatA(unsigned lcid, unsigned flags, char const* value, st_NumberFormat const* format, char* buffer,
                       int room) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    if ((flags & ~e_LocaleNoUserOverride) || !value || (format && (!format->qccz_DecimalSep || !format->qccz_ThousandSep)))
        return i_Fail(EINVAL);
    std::u16string wideValue = s_WideOf(data->n_AnsiCodePage, value), out;
    std::u16string decimal, thousand;
    st_NumberFormatW wideFormat{};
    if (format) {
        decimal = s_WideOf(data->n_AnsiCodePage, format->qccz_DecimalSep);
        thousand = s_WideOf(data->n_AnsiCodePage, format->qccz_ThousandSep);
        wideFormat = {format->n_NumDigits,
                      format->n_LeadingZero,
                      format->n_Grouping,
                      reinterpret_cast<unsigned short const*>(decimal.c_str()),
                      reinterpret_cast<unsigned short const*>(thousand.c_str()),
                      format->n_NegativeOrder};
    }
    if (!b_FormatNumber(*data, wideValue, format ? &wideFormat : nullptr, &out)) return i_Fail(EINVAL);
    return i_CopyOut(data->n_AnsiCodePage, out, buffer, room);
}

int i_GetNumberFormatW(unsigned lcid, unsigned flags, unsigned short const* value, st_NumberFormatW const* format,
                       unsigned short* buffer, int room) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    if ((flags & ~e_LocaleNoUserOverride) || !value) return i_Fail(EINVAL);
    std::u16string out;
    if (!b_FormatNumber(*data, s_Wide(value), format, &out)) return i_Fail(EINVAL);
    return i_CopyOut(out, buffer, room);
}

int b_EnumSystemLocalesW(pf_EnumLocale callback, void* context, unsigned flags) {
    if (!callback || (flags != e_LocaleInstalled && flags != e_LocaleSupported)) return i_Fail(EINVAL);
    unsigned count = n_GetLcidCount();
    for (unsigned i = 0; i < count; ++i) {
        char hex[12];
        std::snprintf(hex, sizeof hex, "%08X", n_GetLcidAt(i));
        unsigned short text[12];
        for (unsigned k = 0; k < 12; ++k) text[k] = static_cast<unsigned char>(hex[k]);
        if (!callback(text, context)) break;
    }
    return 1;
}

int b_EnumCalendarInfoA(pf_EnumCalendarInfo callback, void* context, unsigned lcid, unsigned calendar,
                        unsigned kind) {
    st_LocaleData const* data = pcso_Data(lcid);
    if (!data) return 0;
    if (!callback || (kind != e_CalInfoCalendarId && kind != e_CalInfoCalendarName && kind != e_CalInfoEraName))
        return i_Fail(EINVAL);
    for (size_t i = 0; i < data->co_Calendars.size(); ++i) {
        unsigned id = data->co_Calendars[i];
        // The locale's own calendar answers for the US-English Gregorian one too.
        if (calendar != e_CalendarAll && calendar != id && !(calendar == 2 && id == 1)) continue;
        std::string keyword = data->co_CalendarKeywords[i];
        std::u16string text;
        if (kind == e_CalInfoCalendarId) {
            char number[12];
            std::snprintf(number, sizeof number, "%u", id);
            for (char const* p = number; *p; ++p) text.push_back(static_cast<unsigned char>(*p));
        } else {
            // The calendar's name (or the present era's) in the locale's language.
            std::string name = "und@calendar=" + keyword;
            UChar display[128];
            UErrorCode error = U_ZERO_ERROR;
            int32_t n = uloc_getDisplayKeywordValue(name.c_str(), "calendar", data->s_IcuName.c_str(), display, 128,
                                                    &error);
            if (kind == e_CalInfoEraName) text = data->s_Era;
            else if (U_SUCCESS(error)) text.assign(reinterpret_cast<char16_t const*>(display), static_cast<size_t>(n));
        }
        char narrow[256];
        int written = i_CopyOut(data->n_AnsiCodePage, text, narrow, sizeof narrow);
        if (written == 0) continue;
        if (!callback(narrow, context)) break;
    }
    return 1;
}

}  // namespace Platform
