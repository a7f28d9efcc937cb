#include "tools/basis/CalendarNames.h"

#include <cstdlib>
#include <cstring>

namespace {

struct st_CalendarName {
    char const* qccz_Name;
    CT_Calendar::et_ID eo_ID;
};

st_CalendarName const aso_Calendars[] = {
    {"gregorian", CT_Calendar::e_Gregorian}, {"japanese", CT_Calendar::e_Japanese},
    {"taiwan", CT_Calendar::e_Taiwanese},    {"korean", CT_Calendar::e_Korean},
    {"hijri", CT_Calendar::e_Hijri},         {"thai", CT_Calendar::e_Thai},
    {"hebrew", CT_Calendar::e_Hebrew},
};

char const* const aqccz_Hijri[] = {"Muharram", "Safar",   "Rabi I",     "Rabi II",  "Jumada I",    "Jumada II",
                                   "Rajab",    "Sha'ban", "Ramadan",    "Shawwal",  "Dhu al-Qi'dah", "Dhu al-Hijjah"};
char const* const aqccz_Hebrew[] = {"Nisan", "Iyyar",  "Sivan",  "Tammuz", "Av",   "Elul",   "Tishri",
                                    "Heshvan", "Kislev", "Tevet", "Shevat", "Adar", "Adar II"};

}  // namespace

CT_Calendar::et_ID eo_CalendarByName(char const* name) {
    for (st_CalendarName const& calendar : aso_Calendars)
        if (std::strcmp(name, calendar.qccz_Name) == 0) return calendar.eo_ID;
    char* end = nullptr;
    unsigned long number = std::strtoul(name, &end, 10);
    if (end != name && *end == 0)
        for (unsigned i = 0; i < CT_Calendar::sn_GetIDCount(); ++i)
            if (static_cast<unsigned long>(CT_Calendar::seo_GetCalID(i)) == number) return CT_Calendar::seo_GetCalID(i);
    return CT_Calendar::e_NoID;
}

char const* qccz_CalendarName(CT_Calendar::et_ID id) {
    for (st_CalendarName const& calendar : aso_Calendars)
        if (calendar.eo_ID == id) return calendar.qccz_Name;
    return "gregorian";
}

char const* qccz_AlternateMonth(CT_Calendar::et_ID id, int year, int month) {
    if (id == CT_Calendar::e_Hijri) return month >= 1 && month <= 12 ? aqccz_Hijri[month - 1] : nullptr;
    if (id != CT_Calendar::e_Hebrew || month < 1 || month > 13) return nullptr;
    if (month == 12 && CalendarDays::sb_IsHebrewLeapYear(year)) return "Adar I";
    return aqccz_Hebrew[month - 1];
}

std::string s_CalendarUtf8(unsigned short const* text) { return CT_CString(text, ~0u, 65001).qccz_Get(); }
