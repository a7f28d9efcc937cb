// CT_StringTools: searching a wide string for characters of a set,
// replacing a substring, and formatting an integer into a fixed-width field.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_String;
class CT_UString;

class BASIS_API CT_StringTools {
public:
    // The first position from start, stepping by direction (1 or -1), whose
    // character occurs in the zero-terminated set; ~0 when none. Any other
    // direction finds nothing. The caller keeps start inside the text.
    static unsigned sn_FindAny(unsigned short const* set, CT_UString const* s, unsigned start, int direction);
    // The same for the first character that does not occur in set.
    static unsigned sn_FindNot(unsigned short const* set, CT_UString const* s, unsigned start, int direction);

    // Replaces the first occurrence of find in s by the whole of replacement
    // and returns its position; ~0 (s unchanged) when find does not occur.
    static unsigned sn_Replace(CT_String* s, CT_String const* find, CT_String const* replacement);

    // value as a signed 32-bit integer, right-aligned in a field of width
    // characters (width ~0: a 16-character field of which only the written
    // characters are kept), with decimals digits behind decimalSeparator and
    // thousandsSeparator (0: none) between groups of three integer digits.
    // Digits that do not fit on the left are lost.
    static void sv_FormatNumber(CT_String* out, unsigned value, unsigned width, char thousandsSeparator,
                                char decimalSeparator, unsigned decimals);

private:
    // end: ~0 for direction -1 (down to 0 inclusive), the length for 1,
    // start for anything else.
    static void sv_CheckOffset(CT_UString const* s, unsigned start, int direction, unsigned* end);
};
