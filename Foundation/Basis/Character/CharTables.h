// The constant character tables behind CT_CharProperties and CT_CharMappings,
// and the searches over them. Internal to the library: the tables themselves
// are generated (tools/unicode-tables/generate.py writes the *.generated.cpp
// files beside this one).
#pragma once

namespace CharTables {

// One run of code points first..last sharing a value.
struct st_Range {
    unsigned short n2_First;
    unsigned short n2_Last;
    unsigned short n2_Value;
};

// One row of a character map.
struct st_Pair {
    unsigned short n2_From;
    unsigned short n2_To;
};

// A numeric value: numerator over denominator.
struct st_Number {
    unsigned short n2_Code;
    short i2_Numerator;
    short i2_Denominator;
};

// A precomposed character and its base letter and marks, zero-terminated
// and zero-padded: 16 bytes a row.
struct st_Decomposition {
    unsigned short n2_Code;
    unsigned short au_Chars[7];
};

// A zero-terminated wide text made from an ASCII literal at compile time, so
// the names need no run-time conversion and no cast between character types.
template <unsigned N>
struct st_WideText {
    unsigned short au_Text[N];
    constexpr st_WideText(char const (&text)[N]) : au_Text{} {
        for (unsigned i = 0; i < N; ++i) au_Text[i] = static_cast<unsigned char>(text[i]);
    }
};

extern unsigned char const an1_CategoryDirect[256];
extern st_Range const ast_Category[];
extern unsigned const n_CategoryCount;
extern unsigned short const an2_CategoryPage[257];
extern st_Range const ast_Block[];
extern unsigned const n_BlockCount;
extern unsigned short const an2_BlockPage[257];
extern unsigned short const* const aqcuz_BlockName[];
extern unsigned const n_BlockNameCount;

extern unsigned short const an2_CharacterInformationDirect[256];
extern st_Range const ast_CharacterInformation[];
extern unsigned const n_CharacterInformationCount;
extern unsigned short const an2_CharacterInformationPage[257];
extern unsigned short const an2_LayoutInformationDirect[256];
extern st_Range const ast_LayoutInformation[];
extern unsigned const n_LayoutInformationCount;
extern unsigned short const an2_LayoutInformationPage[257];
extern unsigned short const an2_TextProcessingInformationDirect[256];
extern st_Range const ast_TextProcessingInformation[];
extern unsigned const n_TextProcessingInformationCount;
extern unsigned short const an2_TextProcessingInformationPage[257];

extern st_Number const ast_Numeric[];
extern unsigned const n_NumericCount;
extern unsigned short const an2_NumericPage[257];

extern unsigned short const an2_UpperDirect[256];
extern unsigned short const an2_LowerDirect[256];
extern st_Pair const ast_Upper[];
extern unsigned const n_UpperCount;
extern unsigned short const an2_UpperPage[257];
extern st_Pair const ast_Lower[];
extern unsigned const n_LowerCount;
extern unsigned short const an2_LowerPage[257];
extern st_Pair const ast_FoldDigit[];
extern unsigned const n_FoldDigitCount;
extern unsigned short const an2_FoldDigitPage[257];
extern st_Pair const ast_FoldCZone[];
extern unsigned const n_FoldCZoneCount;
extern unsigned short const an2_FoldCZonePage[257];
extern st_Pair const ast_HiraganaToKatakana[];
extern unsigned const n_HiraganaToKatakanaCount;
extern unsigned short const an2_HiraganaToKatakanaPage[257];
extern st_Pair const ast_KatakanaToHiragana[];
extern unsigned const n_KatakanaToHiraganaCount;
extern unsigned short const an2_KatakanaToHiraganaPage[257];

extern st_Decomposition const ast_Decomposition[];
extern unsigned const n_DecompositionCount;
extern unsigned short const an2_DecompositionPage[257];

// The code point a row is sorted by: a range's first, a row's own.
inline unsigned short n2_KeyOf(st_Range const& row) { return row.n2_First; }
inline unsigned short n2_KeyOf(st_Pair const& row) { return row.n2_From; }
inline unsigned short n2_KeyOf(st_Number const& row) { return row.n2_Code; }
inline unsigned short n2_KeyOf(st_Decomposition const& row) { return row.n2_Code; }

// Every searched table has a page index beside it: entry p is the first
// row whose last code point reaches page p (code points p * 256 and up),
// entry 256 the row count. The rows that can hold a code point of page p
// are those from entry p to entry p + 1, that one included (a range may
// begin on an earlier page); the search looks at those alone, so a lookup
// costs a few steps rather than the whole table's.
//
// Within them it halves without branches on the data, to the last row
// whose key is not above c (unsigned comparison), or the window's first
// row when every key is above c; null when the window is empty. The
// caller tests whether that row answers for c.
template <typename T>
T const* pcst_SearchPage(T const* rows, unsigned short const* pages, unsigned count, unsigned short c) {
    unsigned page = c >> 8;
    unsigned first = pages[page];
    unsigned end = pages[page + 1] + 1u;
    if (end > count) end = count;
    if (end <= first) return nullptr;
    T const* base = rows + first;
    for (unsigned left = end - first; left > 1;) {
        unsigned half = left / 2;
        base = n2_KeyOf(base[half]) <= c ? base + half : base;
        left -= half;
    }
    return base;
}

// The value of the range holding c, or notFound. The ranges are disjoint
// and ascending, so the one range that can hold c is the last whose first
// code point is not above c.
inline unsigned short n2_FindRange(st_Range const* ranges, unsigned short const* pages, unsigned count,
                                   unsigned short c, unsigned short notFound) {
    st_Range const* range = pcst_SearchPage(ranges, pages, count, c);
    return range != nullptr && c >= range->n2_First && c <= range->n2_Last ? range->n2_Value : notFound;
}

// The row whose code point equals c, or null.
template <typename T>
T const* pcst_FindRow(T const* rows, unsigned short const* pages, unsigned count, unsigned short c) {
    T const* row = pcst_SearchPage(rows, pages, count, c);
    return row != nullptr && n2_KeyOf(*row) == c ? row : nullptr;
}

}  // namespace CharTables
