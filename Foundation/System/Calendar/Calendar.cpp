#include "Foundation/System/Calendar/Calendar.h"

#include <climits>

#include "Foundation/System/Calendar/CalendarDays.h"

using namespace CalendarDays;

namespace {

// The era names, as UTF-16 units.
constexpr unsigned short sau_AD[] = {'A', '.', 'D', '.', 0};
constexpr unsigned short sau_Heisei[] = {0x5E73, 0x6210, 0};
constexpr unsigned short sau_Showa[] = {0x662D, 0x548C, 0};
constexpr unsigned short sau_Taisho[] = {0x5927, 0x6B63, 0};
constexpr unsigned short sau_Meiji[] = {0x660E, 0x6CBB, 0};
constexpr unsigned short sau_Minguo[] = {0x4E2D, 0x83EF, 0x6C11, 0x570B, 0};
constexpr unsigned short sau_Dangi[] = {0xB2E8, 0xAE30, 0};
constexpr unsigned short sau_Buddhist[] = {0x0E1E, '.', 0x0E28, '.', 0};
constexpr unsigned short sau_AH[] = {'A', '.', 'H', '.', 0};
constexpr unsigned short sau_Hebrew[] = {'H', 'e', 'b', 'r', 'e', 'w', 0};

// tm_mon + 1, kept from overflowing (the day arithmetic clamps it anyway).
int si_Month(struct tm const* date) { return date->tm_mon < INT_MAX ? date->tm_mon + 1 : INT_MAX; }

// The struct tm date read as one of the calendars' records.
template <class T> T so_Date(struct tm const* date) {
    return T{date->tm_year, si_Month(date), date->tm_mday};
}

// A difference of two day numbers, clamped to the int range.
int si_Between(int later, int earlier) {
    long long days = static_cast<long long>(later) - earlier;
    return days > INT_MAX ? INT_MAX : days < INT_MIN ? INT_MIN : static_cast<int>(days);
}

template <class T> void sv_Store(struct tm* date, T const& d) {
    date->tm_year = d.i_Year;
    date->tm_mon = d.i_Month - 1;
    date->tm_mday = d.i_Day;
}

}  // namespace

CT_Calendar::et_EraInfo const CT_Calendar::saeo_Eras[12] = {
    {e_Gregorian, e_GregorianType, 0, sau_AD},
    {e_GregorianUS, e_GregorianUSType, 0, sau_AD},
    {e_Japanese, e_JapaneseType, 1988, sau_Heisei},
    {e_Showa, e_JapaneseType, 1925, sau_Showa},
    {e_Taisho, e_JapaneseType, 1911, sau_Taisho},
    {e_Meiji, e_JapaneseType, 1867, sau_Meiji},
    {e_Taiwanese, e_TaiwaneseType, 1911, sau_Minguo},
    {e_Korean, e_KoreanType, -2333, sau_Dangi},
    {e_Thai, e_ThaiType, -543, sau_Buddhist},
    {e_Hijri, e_HijriType, -1, sau_AH},
    {e_Hebrew, e_HebrewType, -2, sau_Hebrew},
    {e_NoID, e_NoType, 0, nullptr},
};

char CT_Calendar::sacz_EnumInfo[256];

void CT_Calendar::sv_Gregorian2Alternate(struct tm* date, et_ID id) {
    if (!date) return;  // nothing to convert
    if (id == e_Hijri) return sv_Gregorian2Hijri(date);
    if (id == e_Hebrew) return sv_Gregorian2Hebrew(date);
    for (et_EraInfo const* era = saeo_Eras; era->eo_Type != e_NoType; ++era)
        if (era->eo_ID == id) {
            // Wraps rather than overflows for a year near the int limits.
            date->tm_year = static_cast<int>(static_cast<unsigned>(date->tm_year) - static_cast<unsigned>(era->i_Offset));
            return;
        }
}

void CT_Calendar::sv_Alternate2Gregorian(struct tm* date, et_ID id) {
    if (!date) return;
    if (id == e_Hijri) return sv_Hijri2Gregorian(date);
    if (id == e_Hebrew) return sv_Hebrew2Gregorian(date);
    for (et_EraInfo const* era = saeo_Eras; era->eo_Type != e_NoType; ++era)
        if (era->eo_ID == id) {
            date->tm_year = static_cast<int>(static_cast<unsigned>(date->tm_year) + static_cast<unsigned>(era->i_Offset));
            return;
        }
}

void CT_Calendar::sv_Gregorian2Hijri(struct tm* date) {
    int n = si_GregorianToAbsolute(so_Date<st_GregorianDate>(date));
    st_HijriDate hijri = so_AbsoluteToHijri(n);
    sv_Store(date, hijri);
    date->tm_wday = si_Weekday(n);
    date->tm_yday = si_Between(n, si_HijriToAbsolute({hijri.i_Year, 1, 1}) - 1);
}

void CT_Calendar::sv_Hijri2Gregorian(struct tm* date) {
    sv_Store(date, so_AbsoluteToGregorian(si_HijriToAbsolute(so_Date<st_HijriDate>(date))));
    sv_AddYearWeekday(date);
}

void CT_Calendar::sv_Gregorian2Hebrew(struct tm* date) {
    int n = si_GregorianToAbsolute(so_Date<st_GregorianDate>(date));
    st_HebrewDate hebrew = so_AbsoluteToHebrew(n);
    sv_Store(date, hebrew);
    date->tm_wday = si_Weekday(n);
    // Counted from Nisan, so the days from Tishri to Adar come out at or
    // below 0.
    date->tm_yday = si_Between(n, si_HebrewToAbsolute({hebrew.i_Year, 1, 1}) - 1);
}

void CT_Calendar::sv_Hebrew2Gregorian(struct tm* date) {
    sv_Store(date, so_AbsoluteToGregorian(si_HebrewToAbsolute(so_Date<st_HebrewDate>(date))));
    sv_AddYearWeekday(date);
}

void CT_Calendar::sv_AddYearWeekday(struct tm* date) {
    if (!date) return;
    int n = si_GregorianToAbsolute(so_Date<st_GregorianDate>(date));
    date->tm_yday = si_Between(n, si_GregorianToAbsolute({date->tm_year, 1, 1}));
    if (date->tm_wday == -1) date->tm_wday = si_Weekday(n);
}

int CT_Calendar::sb_ValidateTM(struct tm* date) {
    if (!date) return 0;
    int month = si_Month(date);
    // Months outside 1 to 12 other than 13 are checked against 31 days, as
    // the rule names no other.
    if (month == 13) return 0;
    if (month == 2) return date->tm_mday <= (sb_IsGregorianLeapYear(date->tm_year) ? 29 : 28);
    if (month == 4 || month == 6 || month == 9 || month == 11) return date->tm_mday <= 30;
    return date->tm_mday <= 31;
}

unsigned CT_Calendar::sn_GetIDCount() { return sizeof saeo_Eras / sizeof saeo_Eras[0] - 1; }

CT_Calendar::et_ID CT_Calendar::seo_GetCalID(unsigned i) { return i < sn_GetIDCount() ? saeo_Eras[i].eo_ID : e_NoID; }

CT_Calendar::et_Type CT_Calendar::seo_GetCalType(unsigned i) {
    return i < sn_GetIDCount() ? saeo_Eras[i].eo_Type : e_NoType;
}

int CT_Calendar::si_GetCalOffset(unsigned i) { return i < sn_GetIDCount() ? saeo_Eras[i].i_Offset : 0; }

unsigned short const* CT_Calendar::sqcuz_GetCalEra(unsigned i) {
    return i < sn_GetIDCount() ? saeo_Eras[i].qcuz_Era : nullptr;
}

void CT_Calendar::sv_SetEnumInfo(char const* name) {
    unsigned n = 0;
    if (name)
        for (; n < sizeof sacz_EnumInfo - 1 && name[n]; ++n) sacz_EnumInfo[n] = name[n];
    sacz_EnumInfo[n] = 0;
}
