// The tour's locale stop: language identifiers and their names and codes,
// one date, time and number in five locales (each in its own calendar and
// digits rules), and a value collected over every installed locale.
#include <cstdio>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Locale.h"
#include "tools/basis/Tour.h"

namespace {

std::string s_Wide(unsigned short const* text, int written) { return written ? s_TourNarrow(text) : "(fails)"; }

}  // namespace

int i_TourLocale() {
    v_TourHeading("Languages and locales");
    std::printf("Language identifiers: primary language in bits 0-9, sub-language in bits 10-15:\n");
    for (unsigned id : {1033u, 2057u, 3082u, 1041u, 0x7C09u}) {
        CT_Language::et_Primary primary;
        CT_Language::et_Sub sub;
        CT_Language::sv_GetLanguages(id, &primary, &sub);
        CT_CString name, code;
        CT_Language::sv_MakeLanguageString(&name, primary, sub);
        CT_Language::sv_MakeLanguageCode(&code, primary, sub);
        std::printf("  %5u = %2u + %2u*1024 -> %-6s %-26s back to %u\n", id, id & 0x3FF, id >> 10, code.qccz_Get(),
                    name.qccz_Get(), CT_Language::sn_MakeLanguageID(primary, sub));
    }
    std::printf("  (0x7C09: English with a sub-language the table lacks reads as English (Default))\n");
    std::printf("  \"Welsh\" is a name of its own: %u; \"Klingon\" is unknown: %u (Neutral, Default)\n",
                CT_Language::sn_GetLanguageID("Welsh"), CT_Language::sn_GetLanguageID("Klingon"));

    std::printf("\nSunday 6 December 2026, 13:05:09 and the number -1234567.891 in five locales:\n");
    Platform::st_SystemTime when{2026, 12, 0, 6, 13, 5, 9, 0};
    unsigned short value[] = {'-', '1', '2', '3', '4', '5', '6', '7', '.', '8', '9', '1', 0};
    for (unsigned lcid : {1033u, 1031u, 1049u, 1054u, 1025u}) {
        unsigned short date[128], time[64], number[64];
        int d = Platform::i_GetDateFormatW(lcid, Platform::e_DateLongDate, &when, nullptr, date, 128);
        int t = Platform::i_GetTimeFormatW(lcid, 0, &when, nullptr, time, 64);
        int n = Platform::i_GetNumberFormatW(lcid, 0, value, nullptr, number, 64);
        unsigned calendar = 0;
        CT_LocaleInfo::sb_GetLocaleInfo(lcid, CT_LocaleInfo::e_ICalendarType, &calendar);
        std::printf("  %u (calendar %u, code page %u)\n    %s | %s | %s\n", lcid, calendar,
                    CT_LocaleInfo::sn_GetDefaultANSICodePage(lcid), s_Wide(date, d).c_str(), s_Wide(time, t).c_str(),
                    s_Wide(number, n).c_str());
    }
    std::printf("  (Thai years count from the Buddhist era and Saudi dates are Hijri, as on Windows;\n"
                "   under Wine both come out in Gregorian years.)\n");

    CT_CString formatted;
    CT_FormatString::sb_FormatNumber(&formatted, 123456789u, 1033, 1, 32);
    std::printf("\nThe caller's digits and grouping over a locale's separators: 123456789, 1 digit, grouping 32 -> %s\n",
                formatted.qccz_Get());

    CT_UString calendars;
    CT_LocaleInfo::sv_CollectValues(CT_LocaleInfo::e_ICalendarType, ',', &calendars);
    std::printf("The calendar types of every installed locale, each once: %s\n", s_TourNarrow(calendars.qcuz_Get()).c_str());
    return 0;
}
