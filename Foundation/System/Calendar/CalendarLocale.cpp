// The calendars of a locale and their names, from the platform's locale
// values and calendar enumeration.
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Platform/Locale.h"
#include "Foundation/System/Calendar/Calendar.h"
#include "Foundation/System/Calendar/LocaleValue.h"

namespace {

// The platform names more calendars than the library knows. The localized
// Gregorian variants (9 to 12: Middle East French, Arabic, transliterated
// English and French) count as Gregorian, and Umm al-Qura (23), the Hijri
// calendar the system gives Saudi Arabia, as the one Hijri calendar here,
// as the Linux locale data maps every Islamic variant; any other calendar
// counts as none.
CT_Calendar::et_Type seo_AsType(unsigned value) {
    if (value >= 9 && value <= 12) return CT_Calendar::e_GregorianType;
    if (value == 23) return CT_Calendar::e_HijriType;
    return value <= CT_Calendar::e_HebrewType ? static_cast<CT_Calendar::et_Type>(value) : CT_Calendar::e_NoType;
}

int sb_IsGregorian(CT_Calendar::et_Type type) {
    return type == CT_Calendar::e_GregorianType || type == CT_Calendar::e_GregorianUSType;
}

int sb_TakeName(char const* text, void*) {
    CT_Calendar::sv_SetEnumInfo(text);
    return 0;  // the first name is the one
}

constexpr unsigned sn_PrimaryHebrew = 13;

}  // namespace

CT_Calendar::et_Type CT_Calendar::seo_GetCalendar(unsigned lcid) {
    return seo_AsType(LocaleValue::sn_Number(lcid, Platform::e_LocaleICalendarType));
}

CT_Calendar::et_Type CT_Calendar::seo_GetAlternateCalendar(unsigned lcid) {
    return seo_AsType(LocaleValue::sn_Number(lcid, Platform::e_LocaleIOptionalCalendar));
}

CT_Calendar::et_Type CT_Calendar::seo_AlternateCalendar(unsigned lcid) {
    et_Type type = seo_GetCalendar(lcid);
    if (type != e_NoType && !sb_IsGregorian(type)) return type;
    type = seo_GetAlternateCalendar(lcid);
    if (type != e_NoType && !sb_IsGregorian(type)) return type;
    return (lcid & 0x3FF) == sn_PrimaryHebrew ? e_HebrewType : e_NoType;
}

int CT_Calendar::sb_GetCalendarName(unsigned lcid, CT_CString* out, et_Type type) {
    if (!out || type == e_NoType) return 0;
    sacz_EnumInfo[0] = 0;
    Platform::b_EnumCalendarInfoA(sb_TakeName, nullptr, lcid, type, Platform::e_CalInfoCalendarName);
    if (sacz_EnumInfo[0] == 0) return 0;
    unsigned codePage = LocaleValue::sn_AnsiCodePage(lcid);
    out->v_SetCodePage(codePage);
    out->v_Set(sacz_EnumInfo, ~0u, codePage);
    return 1;
}

int CT_Calendar::sb_GetCalendarName(unsigned lcid, CT_CString* out) {
    return sb_GetCalendarName(lcid, out, seo_GetCalendar(lcid));
}

int CT_Calendar::sb_GetAlternateCalendarName(unsigned lcid, CT_CString* out) {
    et_Type alternate = seo_AlternateCalendar(lcid);
    if (alternate == e_NoType || alternate == seo_GetCalendar(lcid)) return 0;
    return sb_GetCalendarName(lcid, out, alternate);
}
