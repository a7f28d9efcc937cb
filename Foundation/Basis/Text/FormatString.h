// CT_FormatString: a number formatted by the platform's number format of a
// locale (its leading-zero rule, negative-number order and separators),
// with the caller's digits after the point and grouping.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_String;

class BASIS_API CT_FormatString {
public:
    // locale 0 is the thread's locale. value is read as a signed 32-bit
    // integer; grouping as the number-format record counts it (0 none, 3
    // thousands, 32 the Indian 3;2). Returns 0 (out unchanged) only when the
    // locale's leading-zero setting cannot be read, else 1.
    static int sb_FormatNumber(CT_String* out, unsigned value, unsigned locale, unsigned numDigits, unsigned grouping);
    // The same for a float, written "%f" before formatting.
    static int sb_FormatNumber(CT_String* out, float value, unsigned locale, unsigned numDigits, unsigned grouping);

private:
    static int sb_Format(CT_String* out, char const* valueText, unsigned locale, unsigned numDigits,
                         unsigned grouping);
};
