// Small readers of the platform's locale values for the calendar and time
// classes: a numeric value, a wide text value, and a locale's ANSI code page.
#pragma once

class CT_UString;

namespace LocaleValue {

// The value as a number; 0 when the platform has none.
unsigned sn_Number(unsigned lcid, unsigned type);
// The value as wide text (at most 128 units); empty when the platform has
// none. False then.
int sb_Text(unsigned lcid, unsigned type, CT_UString* out);
// The locale's default ANSI code page; 0 (the system's) when unknown.
unsigned sn_AnsiCodePage(unsigned lcid);

}  // namespace LocaleValue
