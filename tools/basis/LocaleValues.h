// The locale value types the library reads, with their names, for
// `basis locale show` and `basis locale dump`.
#pragma once

#include <string>

struct st_LocaleValueType {
    unsigned n_Type;
    char const* qccz_Name;
    bool b_Numeric;  // read by the library as a number
};

extern st_LocaleValueType const aso_LocaleValueTypes[];
extern unsigned const n_LocaleValueTypes;

// A locale value as UTF-8 text (the wide call); "<none>" when the call fails.
std::string s_LocaleValue(unsigned lcid, unsigned type);
// UTF-16 as UTF-8, with spaces other than the plain one, directional marks
// and control characters written <U+XXXX>, so they show in a comparison.
std::string s_Visible(unsigned short const* text);
