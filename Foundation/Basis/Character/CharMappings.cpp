#include "Foundation/Basis/Character/CharMappings.h"

#include "Foundation/Basis/Character/CharTables.h"

using namespace CharTables;

namespace {

unsigned short u_Map(st_Pair const* table, unsigned count, unsigned short c) {
    st_Pair const* row = pcst_FindRow(table, count, c);
    return row ? row->n2_To : c;
}

// Whether c lies in one of the two blocks whose characters begin a surrogate
// pair: high surrogates and high private-use surrogates, which together
// span U+D800..U+DBFF (asked of the block table once per text would cost a
// search per character).
bool b_StartsPair(unsigned short c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

unsigned short CT_CharMappings::su_ToUpper(unsigned short c) {
    return c < 0x100 ? an2_UpperDirect[c] : u_Map(ast_Upper, n_UpperCount, c);
}

unsigned short CT_CharMappings::su_ToLower(unsigned short c) {
    return c < 0x100 ? an2_LowerDirect[c] : u_Map(ast_Lower, n_LowerCount, c);
}

unsigned short CT_CharMappings::su_ToBase(unsigned short c) {
    st_Decomposition const* row = pcst_FindRow(ast_Decomposition, n_DecompositionCount, c);
    return row ? row->au_Chars[0] : c;
}

unsigned short CT_CharMappings::su_FoldDigit(unsigned short c) { return u_Map(ast_FoldDigit, n_FoldDigitCount, c); }

unsigned short CT_CharMappings::su_FoldCZone(unsigned short c) { return u_Map(ast_FoldCZone, n_FoldCZoneCount, c); }

unsigned short CT_CharMappings::su_HiraganaToKatakana(unsigned short c) {
    return u_Map(ast_HiraganaToKatakana, n_HiraganaToKatakanaCount, c);
}

unsigned short CT_CharMappings::su_KatakanaToHiragana(unsigned short c) {
    return u_Map(ast_KatakanaToHiragana, n_KatakanaToHiraganaCount, c);
}

unsigned short const* CT_CharMappings::sqcuz_GetDecomposition(unsigned short c) {
    st_Decomposition const* row = pcst_FindRow(ast_Decomposition, n_DecompositionCount, c);
    return row ? row->au_Chars : nullptr;
}

void CT_CharMappings::sv_MapText(unsigned short* text, unsigned length, unsigned short (*map)(unsigned short)) {
    for (unsigned i = 0; i < length;) {
        unsigned short c = text[i];
        if (b_StartsPair(c)) {
            i += 2;
            continue;
        }
        unsigned short m = map(c);
        if (m != c) text[i] = m;
        ++i;
    }
}

unsigned CT_CharMappings::sn_DecomposeText(unsigned short const* text, unsigned length, unsigned short* out,
                                           unsigned outSize) {
    unsigned written = 0;
    auto append = [&](unsigned short c) {
        if (written < outSize) out[written] = c;
        ++written;
    };
    for (unsigned i = 0; i < length;) {
        unsigned short c = text[i];
        if (b_StartsPair(c)) {
            append(c);
            // Past the end the text's terminating zero stands.
            if (i + 1 < length && text[i + 1] != 0) append(text[i + 1]);
            i += 2;
            continue;
        }
        unsigned short const* parts = sqcuz_GetDecomposition(c);
        if (parts)
            for (; *parts; ++parts) append(*parts);
        else
            append(c);
        ++i;
    }
    return written;
}
