#include "Foundation/Basis/Text/StringTools.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"

namespace {

unsigned short const u_NoMembers = 0;

bool b_InSet(unsigned short const* set, unsigned short c) {
    for (; *set; ++set)
        if (*set == c) return true;
    return false;
}

// The walk shared by sn_FindAny (wanted true) and sn_FindNot (wanted false).
unsigned n_Find(unsigned short const* set, CT_UString const* s, unsigned start, int direction, unsigned end,
                bool wanted) {
    if (start == end) return ~0u;
    // The caller keeps start inside the text; a start outside it, in either
    // direction, finds nothing rather than walk memory the text does not own.
    if (start >= s->n_GetLength()) return ~0u;
    if (set == nullptr) set = &u_NoMembers;
    unsigned short const* text = s->qcuz_Get();
    for (unsigned at = start; at != end; at += static_cast<unsigned>(direction))
        if (b_InSet(set, text[at]) == wanted) return at;
    return ~0u;
}

}  // namespace

void CT_StringTools::sv_CheckOffset(CT_UString const* s, unsigned start, int direction, unsigned* end) {
    if (direction == -1)
        *end = ~0u;
    else if (direction == 1)
        *end = s->n_GetLength();
    else
        *end = start;
}

unsigned CT_StringTools::sn_FindAny(unsigned short const* set, CT_UString const* s, unsigned start, int direction) {
    if (s == nullptr) return ~0u;
    unsigned end = 0;
    sv_CheckOffset(s, start, direction, &end);
    return n_Find(set, s, start, direction, end, true);
}

unsigned CT_StringTools::sn_FindNot(unsigned short const* set, CT_UString const* s, unsigned start, int direction) {
    if (s == nullptr) return ~0u;
    unsigned end = 0;
    sv_CheckOffset(s, start, direction, &end);
    return n_Find(set, s, start, direction, end, false);
}

unsigned CT_StringTools::sn_Replace(CT_String* s, CT_String const* find, CT_String const* replacement) {
    unsigned at = s->vn_Find(find, 0);
    if (at == ~0u) return ~0u;
    s->vv_Remove(find->vn_GetLength(), at);
    s->v_Insert(replacement, ~0u, at);
    return at;
}

void CT_StringTools::sv_FormatNumber(CT_String* out, unsigned value, unsigned width, char thousandsSeparator,
                                     char decimalSeparator, unsigned decimals) {
    // The digits as the runtime writes a signed 32-bit integer: a '-' leads
    // a negative value and is walked like the digits.
    char digits[16];
    if (out == nullptr) return;
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(static_cast<std::int32_t>(value)));
    int next = static_cast<int>(std::strlen(digits)) - 1;

    // A field holds at most as much as the library's formatting work area
    // (2047 characters): a wider one is cut to that, so a hostile width
    // never asks for gigabytes of spaces.
    unsigned const widest = CT_String::e_FormatArea - 1;
    unsigned const fieldWidth = width == ~0u ? 16 : width < widest ? width : widest;
    char field[CT_String::e_FormatArea];
    std::memset(field, ' ', fieldWidth);
    unsigned at = fieldWidth;  // written from the right end leftwards
    auto b_Put = [&](char c) {
        if (at == 0) return false;
        field[--at] = c;
        return true;
    };

    bool complete = false;
    for (unsigned i = 0; i < decimals && at > 0; ++i) b_Put(next >= 0 ? digits[next--] : '0');
    if (decimals != 0 && at > 0) {
        b_Put(decimalSeparator);
        if (next < 0) {
            b_Put('0');
            complete = true;
        }
    }
    if (!complete) {
        unsigned written = 0;
        while (next >= 0 && at > 0) {
            char c = digits[next];
            if (thousandsSeparator != 0 && written > 0 && written % 3 == 0 && c != '-')
                if (!b_Put(thousandsSeparator)) break;
            if (!b_Put(c)) break;
            --next;
            ++written;
        }
    }

    // The written characters only, or the whole padded field. The text is
    // ASCII apart from the separators, which go in as the ANSI code page has
    // them.
    unsigned first = width == ~0u ? at : 0;
    out->v_Set(field + first, fieldWidth - first, 0);
}
