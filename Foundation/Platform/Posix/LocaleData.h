// The values of one locale as the Linux stand-in of the locale seam serves
// them, read once from ICU's locale data and kept for the life of the
// process (an entry never changes after it is made, so readers on any
// thread share it without a lock).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Foundation/Platform/Locale.h"

namespace Platform {

struct st_LocaleData {
    unsigned n_Lcid = 0;
    std::string s_IcuName;       // "en_US"
    std::string s_CalendarLocale;  // with its calendar: "th_TH@calendar=buddhist"
    unsigned n_AnsiCodePage = 1252;
    // Gregorian dates: no calendar conversion needed when formatting.
    bool b_Gregorian = true;
    unsigned n_YearOffset = 0;   // added to Gregorian years (Thai 543), when b_Gregorian
    // Names: days Sunday first, months 1 to 13.
    std::u16string as_Days[7], as_AbbrevDays[7];
    std::u16string as_Months[13], as_GenitiveMonths[13], as_AbbrevMonths[13], as_AbbrevGenitiveMonths[13];
    std::u16string s_Am, s_Pm, s_Era;
    std::u16string s_ShortDate, s_LongDate, s_TimeFormat, s_YearMonth;
    // Every value type served, by its LOCALE_* number (texts of numbers
    // included); a type absent here is not served.
    std::map<unsigned, std::u16string> co_Values;
    // The calendars offered, the locale's own first, with ICU's keywords.
    std::vector<unsigned> co_Calendars;
    std::vector<std::string> co_CalendarKeywords;
};

// The data of a locale; null for a locale ICU cannot name or has no data
// for. lcid 0 is the user default locale.
st_LocaleData const* pcso_GetLocaleData(unsigned lcid);

// The process's default locale (LC_ALL, then LC_TIME or LC_CTYPE, then
// LANG; C and POSIX give 1033).
unsigned n_GetProcessLcid();

// Whether ICU has data for the locale.
bool b_HasLocaleData(unsigned lcid);

// Every LCID with locale data, ascending.
unsigned n_GetLcidCount();
unsigned n_GetLcidAt(unsigned index);

// An ICU date pattern as a Windows picture (LocalePattern.cpp).
std::u16string s_PictureOfPattern(std::u16string const& pattern);

// The date of a Gregorian day in the locale's own calendar (year, month
// 1-13, day), through ICU for the non-Gregorian ones.
void v_ToLocaleCalendar(st_LocaleData const& data, unsigned year, unsigned month, unsigned day, int* outYear,
                        unsigned* outMonth, unsigned* outDay);

// The picture language and the number-format rules over a locale's values
// (LocaleFormat.cpp). A null picture takes the locale's picture chosen by
// flags. False for an invalid argument (a date, time, flag, value text or
// format record outside the rules).
bool b_FormatDate(st_LocaleData const& data, unsigned flags, st_SystemTime const& time, std::u16string const* picture,
                  std::u16string* out);
bool b_FormatTime(st_LocaleData const& data, unsigned flags, st_SystemTime const& time, std::u16string const* picture,
                  std::u16string* out);
bool b_FormatNumber(st_LocaleData const& data, std::u16string const& value, st_NumberFormatW const* format,
                    std::u16string* out);

}  // namespace Platform
