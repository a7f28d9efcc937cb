// `basis locale`: the locales the system has and the values the library
// reads of them, and the dump both builds write for the locale parity check.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Locale.h"
#include "tools/basis/Commands.h"
#include "tools/basis/ToolErrors.h"
#include "tools/basis/LocaleValues.h"

namespace {

enum : int { e_Ok = 0, e_Failed = 1, e_Usage = 2 };

int i_LocaleUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis locale list            every installed locale: LCID, code, name, ANSI code page,\n"
                 "                                    calendar type\n"
                 "       basis locale show N          every value the library reads of locale N (decimal, or\n"
                 "                                    hexadecimal with 0x)\n"
                 "       basis locale dump [N...]     the parity dump: values, number settings and formatted\n"
                 "                                    dates, times and numbers (default: the 20 compared locales)\n");
    return out == stdout ? e_Ok : e_Usage;
}

bool b_ReadLcid(char const* text, unsigned* lcid) {
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 0);
    if (end == text || *end != 0 || value == 0 || value > 0xFFFFFFFFul) return false;
    *lcid = static_cast<unsigned>(value);
    return true;
}

int b_CollectLcid(unsigned short const* hexId, void* context) {
    unsigned lcid = 0;
    for (unsigned short const* p = hexId; *p; ++p)
        lcid = lcid * 16 + (*p <= '9' ? *p - '0' : (*p | 0x20) - 'a' + 10);
    static_cast<std::vector<unsigned>*>(context)->push_back(lcid);
    return 1;
}

std::string s_Narrow(CT_String const& text) {
    CT_UString wide(&text);
    return s_Visible(wide.qcuz_Get());
}

int i_List() {
    std::vector<unsigned> lcids;
    Platform::b_EnumSystemLocalesW(&b_CollectLcid, &lcids, Platform::e_LocaleInstalled);
    std::printf("%-6s %-7s %-44s %5s %s\n", "LCID", "code", "name", "ANSI", "calendar");
    for (unsigned lcid : lcids) {
        CT_Language::et_Primary primary;
        CT_Language::et_Sub sub;
        CT_Language::sv_GetLanguages(lcid, &primary, &sub);
        CT_CString code, name;
        CT_Language::sv_MakeLanguageCode(&code, primary, sub);
        CT_Language::sv_MakeLanguageString(&name, primary, sub);
        unsigned calendar = 0;
        CT_LocaleInfo::sb_GetLocaleInfo(lcid, CT_LocaleInfo::e_ICalendarType, &calendar);
        std::printf("%-6u %-7s %-44s %5u %u\n", lcid, code.qccz_Get(), name.qccz_Get(),
                    CT_LocaleInfo::sn_GetDefaultANSICodePage(lcid), calendar);
    }
    std::printf("%zu locales\n", lcids.size());
    return e_Ok;
}

int i_Show(unsigned lcid) {
    if (!CT_LocaleInfo::sb_LocaleIsSupported(lcid)) {
        std::fprintf(stderr, "basis locale: %u (0x%04X) is not a supported locale\n", lcid, lcid);
        return e_Failed;
    }
    CT_Language::et_Primary primary;
    CT_Language::et_Sub sub;
    CT_Language::sv_GetLanguages(lcid, &primary, &sub);
    CT_CString code, name;
    CT_Language::sv_MakeLanguageCode(&code, primary, sub);
    CT_Language::sv_MakeLanguageString(&name, primary, sub);
    std::printf("locale %u (0x%04X): %s, %s\n", lcid, lcid, code.qccz_Get(), name.qccz_Get());
    std::printf("  %-22s %u\n", "default ANSI code page", CT_LocaleInfo::sn_GetDefaultANSICodePage(lcid));
    std::printf("  %-22s %u\n", "default charset", CT_LocaleInfo::sn_GetDefaultCharset(lcid));
    std::printf("  %-22s %s\n", "far-east language", CT_Language::sb_IsFarEastLanguage(primary, sub) ? "yes" : "no");
    for (unsigned i = 0; i < n_LocaleValueTypes; ++i) {
        st_LocaleValueType const& type = aso_LocaleValueTypes[i];
        std::printf("  %-22s %s\n", type.qccz_Name, s_LocaleValue(lcid, type.n_Type).c_str());
    }
    std::string calendars;
    Platform::b_EnumCalendarInfoA(
        [](char const* name, void* context) {
            std::string* list = static_cast<std::string*>(context);
            *list += (list->empty() ? "" : "; ") + std::string(name);
            return 1;
        },
        &calendars, lcid, Platform::e_CalendarAll, Platform::e_CalInfoCalendarName);
    CT_CString calendarNames(calendars.c_str(), ~0u, CT_LocaleInfo::sn_GetDefaultANSICodePage(lcid));
    std::printf("  %-22s %s\n", "calendars", s_Narrow(calendarNames).c_str());
    CT_CString number;
    CT_FormatString::sb_FormatNumber(&number, static_cast<unsigned>(-1234567), lcid, 2, 3);
    std::printf("  %-22s %s\n", "-1234567, 2 digits", s_Narrow(number).c_str());
    return e_Ok;
}

// The fixed dates, times, pictures and numbers of the parity dump.
Platform::st_SystemTime const aso_Dates[] = {
    {2026, 12, 0, 6, 9, 5, 7, 0},
    {1999, 3, 0, 5, 13, 45, 30, 0},
    {2000, 2, 0, 29, 0, 0, 0, 0},
    {2035, 1, 0, 1, 23, 59, 59, 0},
};
char const* const aqccz_DatePictures[] = {
    "dddd, d MMMM yyyy", "ddd dd MMM yy", "d/M/y", "yyyy-MM-dd", "'Day' d 'of' MMMM", "MMMM yyyy", "d MMMM", "gg yyyy",
};
char const* const aqccz_TimePictures[] = {"hh:mm:ss tt", "H:m:s", "HH'h'mm", "h t"};
unsigned const an_TimeFlags[] = {0, Platform::e_TimeNoSeconds, Platform::e_TimeNoTimeMarker,
                                 Platform::e_TimeForce24HourFormat, Platform::e_TimeNoMinutesOrSeconds};
char const* const aqccz_Numbers[] = {"1234567.891", "-1234567.891", "0.5", "-0.5", "-0.001", "999.995", "12"};

std::vector<unsigned short> ao_Wide(char const* text) {
    std::vector<unsigned short> out;
    for (char const* p = text; *p; ++p) out.push_back(static_cast<unsigned char>(*p));
    out.push_back(0);
    return out;
}

std::string s_Result(int written, unsigned short const* text) {
    return written == 0 ? "<fails>" : s_Visible(text);
}

void v_Dump(unsigned lcid) {
    for (unsigned i = 0; i < n_LocaleValueTypes; ++i) {
        st_LocaleValueType const& type = aso_LocaleValueTypes[i];
        std::printf("%u\tvalue %s\t%s\n", lcid, type.qccz_Name, s_LocaleValue(lcid, type.n_Type).c_str());
    }
    unsigned short text[256];
    for (unsigned d = 0; d < sizeof aso_Dates / sizeof aso_Dates[0]; ++d) {
        Platform::st_SystemTime const& date = aso_Dates[d];
        char when[32];
        std::snprintf(when, sizeof when, "%04u-%02u-%02u", date.n_Year, date.n_Month, date.n_Day);
        for (unsigned flags : {Platform::e_DateShortDate, Platform::e_DateLongDate, Platform::e_DateYearMonth}) {
            int n = Platform::i_GetDateFormatW(lcid, flags, &date, nullptr, text, 256);
            std::printf("%u\tdate %s flags %u\t%s\n", lcid, when, flags, s_Result(n, text).c_str());
        }
        for (char const* picture : aqccz_DatePictures) {
            int n = Platform::i_GetDateFormatW(lcid, 0, &date, ao_Wide(picture).data(), text, 256);
            std::printf("%u\tdate %s \"%s\"\t%s\n", lcid, when, picture, s_Result(n, text).c_str());
        }
        std::snprintf(when, sizeof when, "%02u:%02u:%02u", date.n_Hour, date.n_Minute, date.n_Second);
        for (unsigned flags : an_TimeFlags) {
            int n = Platform::i_GetTimeFormatW(lcid, flags, &date, nullptr, text, 256);
            std::printf("%u\ttime %s flags %u\t%s\n", lcid, when, flags, s_Result(n, text).c_str());
        }
        for (char const* picture : aqccz_TimePictures) {
            int n = Platform::i_GetTimeFormatW(lcid, 0, &date, ao_Wide(picture).data(), text, 256);
            std::printf("%u\ttime %s \"%s\"\t%s\n", lcid, when, picture, s_Result(n, text).c_str());
        }
    }
    for (char const* number : aqccz_Numbers) {
        int n = Platform::i_GetNumberFormatW(lcid, 0, ao_Wide(number).data(), nullptr, text, 256);
        std::printf("%u\tnumber %s\t%s\n", lcid, number, s_Result(n, text).c_str());
    }
    struct {
        unsigned n_Value, n_Digits, n_Grouping;
    } const integers[] = {{1234567, 2, 3}, {static_cast<unsigned>(-1234567), 0, 3}, {123456789, 1, 32}, {0, 3, 3}};
    for (auto const& integer : integers) {
        CT_UString out;
        CT_FormatString::sb_FormatNumber(&out, integer.n_Value, lcid, integer.n_Digits, integer.n_Grouping);
        std::printf("%u\tformat-number %d digits %u grouping %u\t%s\n", lcid, static_cast<int>(integer.n_Value),
                    integer.n_Digits, integer.n_Grouping, s_Visible(out.qcuz_Get()).c_str());
    }
}

// The locales the parity check compares.
unsigned const an_ParityLcids[] = {1033, 2057, 1031, 1036, 1040, 3082, 1049, 1041, 2052, 1028,
                                   1042, 1037, 1025, 1054, 1055, 1032, 1045, 1029, 1043, 1053};

}  // namespace

int i_RunLocale(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return i_LocaleUsage(stdout);
    if (argc < 1) return i_LocaleUsage(stderr);
    std::string action = argv[0];
    if (action == "list" && argc == 1) return i_List();
    if (action == "show" && argc == 2) {
        unsigned lcid = 0;
        if (!b_ReadLcid(argv[1], &lcid)) {
            std::fprintf(stderr, "basis locale: \"%s\" is not a locale number\n", argv[1]);
            return e_Usage;
        }
        return i_Show(lcid);
    }
    if (action == "dump") {
        std::vector<unsigned> lcids;
        for (int i = 1; i < argc; ++i) {
            unsigned lcid = 0;
            if (!b_ReadLcid(argv[i], &lcid)) {
                std::fprintf(stderr, "basis locale: \"%s\" is not a locale number\n", argv[i]);
                return e_Usage;
            }
            lcids.push_back(lcid);
        }
        if (lcids.empty()) lcids.assign(std::begin(an_ParityLcids), std::end(an_ParityLcids));
        for (unsigned lcid : lcids) v_Dump(lcid);
        return e_Ok;
    }
    if (action != "list" && action != "show" && action != "dump")
        return i_ToolUsageError("unknown action \"" + action + "\"");
    return i_ToolUsageError(action == "show" ? "show takes one locale number" : "list takes no arguments");
}
