#include "Foundation/System/Calendar/LocaleValue.h"

#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Locale.h"

namespace LocaleValue {

unsigned sn_Number(unsigned lcid, unsigned type) {
    unsigned short units[2] = {0, 0};
    if (Platform::i_GetLocaleInfoW(lcid, type | Platform::e_LocaleReturnNumber, units, 2) == 2)
        return units[0] | static_cast<unsigned>(units[1]) << 16;
    // Not every system answers the number form for every value: read the
    // text's leading decimal digits instead (at most nine, so no overflow).
    unsigned short text[16];
    if (Platform::i_GetLocaleInfoW(lcid, type, text, 16) <= 1) return 0;
    unsigned value = 0;
    for (unsigned i = 0; i < 9 && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

int sb_Text(unsigned lcid, unsigned type, CT_UString* out) {
    unsigned short text[129];
    int written = Platform::i_GetLocaleInfoW(lcid, type, text, 129);
    if (written <= 1) {
        out->v_Set(text, 0);
        return 0;
    }
    out->v_Set(text, static_cast<unsigned>(written - 1));
    return 1;
}

unsigned sn_AnsiCodePage(unsigned lcid) { return sn_Number(lcid, Platform::e_LocaleIDefaultAnsiCodePage); }

}  // namespace LocaleValue
