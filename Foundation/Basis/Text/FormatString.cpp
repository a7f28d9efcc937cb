#include "Foundation/Basis/Text/FormatString.h"

#include <cstdio>

#include "Foundation/Basis/String/String.h"
#include "Foundation/Platform/Locale.h"
#include "Foundation/System/Language/LocaleInfo.h"

namespace {

// A separator into the record's one-character buffer. A value longer than
// one byte does not fit a buffer of 2 and the read fails; its first byte is
// taken then, as the record has room for one character only.
void v_ReadSeparator(unsigned locale, CT_LocaleInfo::et_Type type, char* separator) {
    separator[0] = separator[1] = 0;
    if (CT_LocaleInfo::sb_GetLocaleInfo(locale, type, separator, 2)) return;
    char longer[16] = {0};
    if (CT_LocaleInfo::sb_GetLocaleInfo(locale, type, longer, sizeof longer)) separator[0] = longer[0];
    separator[1] = 0;
}

}  // namespace

int CT_FormatString::sb_Format(CT_String* out, char const* valueText, unsigned locale, unsigned numDigits,
                               unsigned grouping) {
    if (!out) return 0;
    if (locale == 0) locale = Platform::n_GetThreadLocale();
    unsigned leadingZero = 0;
    if (!CT_LocaleInfo::sb_GetLocaleInfo(locale, static_cast<CT_LocaleInfo::et_Type>(0x12), &leadingZero)) return 0;
    // Without a readable negative order the usual "-1.1" form stands.
    unsigned negativeOrder = 1;
    if (!CT_LocaleInfo::sb_GetLocaleInfo(locale, static_cast<CT_LocaleInfo::et_Type>(0x1010), &negativeOrder))
        negativeOrder = 1;
    char decimal[2], thousand[2];
    v_ReadSeparator(locale, static_cast<CT_LocaleInfo::et_Type>(0x0E), decimal);
    v_ReadSeparator(locale, static_cast<CT_LocaleInfo::et_Type>(0x0F), thousand);
    Platform::st_NumberFormat format{numDigits, leadingZero, grouping, decimal, thousand, negativeOrder};
    char text[64];
    // The record is the given locale's; the call itself is made for the
    // user's default locale, whose code page the text comes in.
    int written = Platform::i_GetNumberFormatA(0x400, 0, valueText, &format, text, sizeof text);
    // A value the platform refuses to format (digits or grouping out of its
    // range, a result longer than 64 characters, a float that is no number)
    // leaves out empty.
    if (written == 0) text[0] = 0;
    out->v_Set(text, ~0u, 0);
    return 1;
}

int CT_FormatString::sb_FormatNumber(CT_String* out, unsigned value, unsigned locale, unsigned numDigits,
                                     unsigned grouping) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return sb_Format(out, text, locale, numDigits, grouping);
}

int CT_FormatString::sb_FormatNumber(CT_String* out, float value, unsigned locale, unsigned numDigits,
                                     unsigned grouping) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return sb_Format(out, text, locale, numDigits, grouping);
}
