// What `basis calendar` and `basis time` share: calendar names on the
// command line, and the month names of the exact calendars, which the
// platform's locale data does not give for a Gregorian locale.
#pragma once

#include <string>

#include "Foundation/Basis.h"
#include "Foundation/System/Calendar/CalendarDays.h"

// The calendar id of a name (gregorian, hebrew, hijri, japanese, taiwan,
// korean, thai) or number; e_NoID when unknown.
CT_Calendar::et_ID eo_CalendarByName(char const* name);
char const* qccz_CalendarName(CT_Calendar::et_ID id);
// The English name of month m (from 1) of the Hijri or Hebrew calendar in
// year y (Hebrew 12 is Adar I in a leap year), or null.
char const* qccz_AlternateMonth(CT_Calendar::et_ID id, int year, int month);
// Wide text as UTF-8.
std::string s_CalendarUtf8(unsigned short const* text);
