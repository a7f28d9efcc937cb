#include "Foundation/Basis/Character/CharMappings.h"

#include "Foundation/Basis/Character/CharTables.h"
#include "Foundation/Basis/String/UString.h"

using namespace CharTables;

namespace {

unsigned short u_Map(st_Pair const* table, unsigned short const* pages, unsigned count, unsigned short c) {
    st_Pair const* row = pcst_FindRow(table, pages, count, c);
    return row ? row->n2_To : c;
}

// Whether c lies in one of the two blocks whose characters begin a surrogate
// pair: high surrogates and high private-use surrogates, which together
// span U+D800..U+DBFF (asked of the block table once per text would cost a
// search per character).
bool b_StartsPair(unsigned short c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

unsigned short CT_CharMappings::su_ToUpper(unsigned short c) {
    return c < 0x100 ? an2_UpperDirect[c] : u_Map(ast_Upper, an2_UpperPage, n_UpperCount, c);
}

unsigned short CT_CharMappings::su_ToLower(unsigned short c) {
    return c < 0x100 ? an2_LowerDirect[c] : u_Map(ast_Lower, an2_LowerPage, n_LowerCount, c);
}

unsigned short CT_CharMappings::su_ToBase(unsigned short c) {
    st_Decomposition const* row = pcst_FindRow(ast_Decomposition, an2_DecompositionPage, n_DecompositionCount, c);
    return row ? row->au_Chars[0] : c;
}

unsigned short CT_CharMappings::su_FoldDigit(unsigned short c) { return u_Map(ast_FoldDigit, an2_FoldDigitPage, n_FoldDigitCount, c); }

unsigned short CT_CharMappings::su_FoldCZone(unsigned short c) { return u_Map(ast_FoldCZone, an2_FoldCZonePage, n_FoldCZoneCount, c); }

unsigned short CT_CharMappings::su_HiraganaToKatakana(unsigned short c) {
    return u_Map(ast_HiraganaToKatakana, an2_HiraganaToKatakanaPage, n_HiraganaToKatakanaCount, c);
}

unsigned short CT_CharMappings::su_KatakanaToHiragana(unsigned short c) {
    return u_Map(ast_KatakanaToHiragana, an2_KatakanaToHiraganaPage, n_KatakanaToHiraganaCount, c);
}

unsigned short const* CT_CharMappings::sqcuz_GetDecomposition(unsigned short c) {
    st_Decomposition const* row = pcst_FindRow(ast_Decomposition, an2_DecompositionPage, n_DecompositionCount, c);
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

void CT_CharMappings::sv_MapString(CT_UString* s, unsigned short (*map)(unsigned short)) {
    unsigned length = s->n_GetLength();
    if (length == 0) return;  // nothing to write, and no storage of its own
    // The characters are changed through the string's own storage, which
    // must not be shared with a copy while we write.
    s->v_CopyWeWrite();
    sv_MapText(const_cast<unsigned short*>(s->qcuz_Get()), length, map);
}

void CT_CharMappings::sv_ToUpper(CT_UString* s) { sv_MapString(s, &su_ToUpper); }
void CT_CharMappings::sv_ToLower(CT_UString* s) { sv_MapString(s, &su_ToLower); }
void CT_CharMappings::sv_ToBase(CT_UString* s) { sv_MapString(s, &su_ToBase); }
void CT_CharMappings::sv_FoldDigit(CT_UString* s) { sv_MapString(s, &su_FoldDigit); }
void CT_CharMappings::sv_FoldCZone(CT_UString* s) { sv_MapString(s, &su_FoldCZone); }
void CT_CharMappings::sv_HiraganaToKatakana(CT_UString* s) { sv_MapString(s, &su_HiraganaToKatakana); }
void CT_CharMappings::sv_KatakanaToHiragana(CT_UString* s) { sv_MapString(s, &su_KatakanaToHiragana); }

unsigned CT_CharMappings::sn_Decompose(unsigned short c, CT_UString* out) {
    unsigned short const* parts = sqcuz_GetDecomposition(c);
    if (parts == nullptr) return 1;
    unsigned length = 0;
    while (parts[length]) ++length;
    if (out) out->v_Set(parts, length);
    return length;
}

void CT_CharMappings::sv_Decompose(CT_UString const* in, CT_UString* out) {
    // Emptying out before reading in would lose the text when both are one
    // string: that case goes through a temporary like the in-place form.
    if (in == out) {
        sv_Decompose(out);
        return;
    }
    unsigned length = in->n_GetLength();
    unsigned total = sn_DecomposeText(in->qcuz_Get(), length, nullptr, 0);
    out->vv_SetLength(total);
    if (total == 0) return;
    // The storage may still be shared with a copy (of in, even): unshare it
    // before writing through it.
    out->v_CopyWeWrite();
    sn_DecomposeText(in->qcuz_Get(), length, const_cast<unsigned short*>(out->qcuz_Get()), total);
}

void CT_CharMappings::sv_Decompose(CT_UString* s) {
    CT_UString decomposed;
    sv_Decompose(s, &decomposed);
    *s = decomposed;
}
