#include "Foundation/System/Calendar/LocaleValue.h"

#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Locale.h"

namespace LocaleValue {

unsigned sn_Number(unsigned lcid, unsigned type) {
    unsigned short units[2] = {0, 0};
    if (Platform::i_GetLocaleInfoW(lcid, type | Platform::e_LocaleReturnNumber, units, 2) != 2) return 0;
    return units[0] | static_cast<unsigned>(units[1]) << 16;
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
