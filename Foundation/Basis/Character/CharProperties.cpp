#include "Foundation/Basis/Character/CharProperties.h"

#include <cstdint>

#include "Foundation/Basis/Character/CharTables.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/TextUnicode.h"

using namespace CharTables;

namespace {

// A category name as a wide text of fixed room, made at compile time.
struct st_PropertyName {
    unsigned short au_Text[24];
    constexpr st_PropertyName(char const* text) : au_Text{} {
        for (unsigned i = 0; text[i]; ++i) au_Text[i] = static_cast<unsigned char>(text[i]);
    }
};

constexpr st_PropertyName aco_PropertyName[] = {
    "MarkNonSpacing",       "MarkSpacingCombining", "MarkEnclosing",     "NumberDecimalDigit",
    "NumberLetter",         "NumberOther",          "SeparatorSpace",    "SeparatorLine",
    "SeparatorParagraph",   "OtherControl",         "OtherFormat",       "OtherSurrogate",
    "OtherPrivateUse",      "OtherNotAssigned",     "LetterUppercase",   "LetterLowercase",
    "LetterTitlecase",      "LetterModifier",       "LetterOther",       "PunctuationConnector",
    "PunctuationDash",      "PunctuationOpen",      "PunctuationClose",  "PunctuationOther",
    "SymbolMath",           "SymbolCurrency",       "SymbolModifier",    "SymbolOther",
};
constexpr st_WideText co_Unknown("Unknown");

// Script group of each block, searched from the front; the closing pair
// (0, 7) stands for every block not listed. 32-bit pairs, as stored.
struct st_BlockScript {
    std::int32_t i4_Block;
    std::int32_t i4_Script;
};
constexpr st_BlockScript ast_BlockScript[] = {
    {1, 0},  {2, 0},  {3, 0},  {4, 0},  {8, 0},  {27, 0}, {28, 0},                              //
    {5, 1},  {6, 1},                                                                            //
    {26, 2}, {47, 2}, {48, 2}, {49, 2}, {50, 2}, {51, 2}, {53, 2}, {54, 2}, {55, 2}, {60, 2},  //
    {64, 2}, {67, 2},                                                                           //
    {12, 3}, {62, 3}, {66, 3},                                                                  //
    {56, 4}, {57, 4}, {58, 4}, {59, 4},                                                         //
    {9, 5},  {10, 5}, {11, 5}, {13, 5}, {14, 5}, {15, 5}, {16, 5}, {17, 5}, {18, 5}, {19, 5},  //
    {20, 5}, {21, 5}, {22, 5}, {23, 5}, {24, 5}, {25, 5}, {33, 5}, {35, 5}, {36, 5}, {37, 5},  //
    {38, 5}, {39, 5}, {41, 5}, {42, 5}, {43, 5}, {44, 5}, {45, 5}, {61, 5},                    //
    {46, 6}, {52, 6}, {40, 6}, {68, 6}, {69, 6}, {70, 6},                                      //
    {0, 7},
};

}  // namespace

// ---- Category and block

CT_CharProperties::et_UnicodeProperty CT_CharProperties::seo_GetUnicodeProperty(unsigned short u) {
    if (u < 0x100) return static_cast<et_UnicodeProperty>(an1_CategoryDirect[u]);
    return static_cast<et_UnicodeProperty>(n2_FindRange(ast_Category, an2_CategoryPage, n_CategoryCount, u, e_UnknownProperty));
}

CT_CharProperties::et_UnicodeBlock CT_CharProperties::seo_GetUnicodeBlock(unsigned short u) {
    return static_cast<et_UnicodeBlock>(n2_FindRange(ast_Block, an2_BlockPage, n_BlockCount, u, e_UnknownBlock));
}

CT_CharProperties::et_Script CT_CharProperties::seo_GetScript(et_UnicodeBlock block) {
    for (st_BlockScript const& pair : ast_BlockScript)
        if (pair.i4_Block == block || pair.i4_Block == 0) return static_cast<et_Script>(pair.i4_Script);
    return e_ScriptOther;
}

unsigned short const* CT_CharProperties::sqcuz_UnicodePropertyName(et_UnicodeProperty property) {
    unsigned index = static_cast<unsigned>(property);
    return index < sizeof aco_PropertyName / sizeof aco_PropertyName[0] ? aco_PropertyName[index].au_Text
                                                                        : co_Unknown.au_Text;
}

unsigned short const* CT_CharProperties::sqcuz_UnicodeBlockName(et_UnicodeBlock block) {
    // Index 0 of the name table is "Unknown", and so is any value past 70.
    unsigned index = static_cast<unsigned>(block);
    return aqcuz_BlockName[index < n_BlockNameCount ? index : 0];
}

unsigned short const* CT_CharProperties::sqcuz_GetCharacterName(unsigned short) { return nullptr; }

// ---- Class values

unsigned short CT_CharProperties::sn2_GetCharacterInfo(et_PropertyClass propertyClass, unsigned short u) {
    unsigned short const* direct;
    st_Range const* ranges;
    unsigned short const* pages;
    unsigned count;
    switch (propertyClass) {
    case e_CharacterInformation:
        direct = an2_CharacterInformationDirect;
        ranges = ast_CharacterInformation;
        pages = an2_CharacterInformationPage;
        count = n_CharacterInformationCount;
        break;
    case e_LayoutInformation:
        direct = an2_LayoutInformationDirect;
        ranges = ast_LayoutInformation;
        pages = an2_LayoutInformationPage;
        count = n_LayoutInformationCount;
        break;
    case e_TextProcessingInformation:
        direct = an2_TextProcessingInformationDirect;
        ranges = ast_TextProcessingInformation;
        pages = an2_TextProcessingInformationPage;
        count = n_TextProcessingInformationCount;
        break;
    default:
        return 0;
    }
    if (u < 0x100) return direct[u];
    return n2_FindRange(ranges, pages, count, u, 0);
}

unsigned short CT_CharProperties::sn2_GetCharacterInformation(unsigned short u) {
    return sn2_GetCharacterInfo(e_CharacterInformation, u);
}

unsigned short CT_CharProperties::sn2_GetLayoutInformation(unsigned short u) {
    return sn2_GetCharacterInfo(e_LayoutInformation, u);
}

unsigned short CT_CharProperties::sn2_GetTextProcessingInformation(unsigned short u) {
    return sn2_GetCharacterInfo(e_TextProcessingInformation, u);
}

CT_CharProperties::et_LayoutProperty CT_CharProperties::seo_GetLayoutInformation(unsigned short u) {
    return static_cast<et_LayoutProperty>(sn2_GetCharacterInfo(e_LayoutInformation, u));
}

// ---- Classification from the category

int CT_CharProperties::sb_IsUpper(unsigned short u) { return seo_GetUnicodeProperty(u) == e_LetterUppercase; }

int CT_CharProperties::sb_IsLower(unsigned short u) { return seo_GetUnicodeProperty(u) == e_LetterLowercase; }

int CT_CharProperties::sb_IsDigit(unsigned short u) { return seo_GetUnicodeProperty(u) == e_NumberDecimalDigit; }

int CT_CharProperties::sb_IsNumeric(unsigned short u) {
    et_UnicodeProperty p = seo_GetUnicodeProperty(u);
    return p == e_NumberDecimalDigit || p == e_NumberLetter || p == e_NumberOther;
}

int CT_CharProperties::sb_IsAlpha(unsigned short u) {
    et_UnicodeProperty p = seo_GetUnicodeProperty(u);
    return p >= e_LetterUppercase && p <= e_LetterOther;
}

int CT_CharProperties::sb_IsPunct(unsigned short u) {
    et_UnicodeProperty p = seo_GetUnicodeProperty(u);
    return p >= e_PunctuationConnector && p <= e_PunctuationOther;
}

int CT_CharProperties::sb_IsCntrl(unsigned short u) { return seo_GetUnicodeProperty(u) == e_OtherControl; }

int CT_CharProperties::sb_IsPrint(unsigned short u) { return !sb_IsCntrl(u); }

int CT_CharProperties::sb_IsGraph(unsigned short u) {
    switch (seo_GetUnicodeProperty(u)) {
    case e_SeparatorSpace:
    case e_SeparatorLine:
    case e_SeparatorParagraph:
    case e_OtherControl:
    case e_OtherFormat:
    case e_OtherNotAssigned:
    case e_UnknownProperty:
        return 0;
    default:
        return 1;
    }
}

int CT_CharProperties::sb_IsAlDig(unsigned short u) { return sb_IsDigit(u) || sb_IsAlpha(u); }

int CT_CharProperties::sb_IsAlNum(unsigned short u) { return sb_IsNumeric(u) || sb_IsAlpha(u); }

// ---- Classification from the character information

int CT_CharProperties::sb_IsSpace(unsigned short u) { return sn2_GetCharacterInformation(u) & 0x0008; }

int CT_CharProperties::sb_IsXDigit(unsigned short u) { return sn2_GetCharacterInformation(u) & 0x0080; }

int CT_CharProperties::sb_IsBlank(unsigned short u) {
    // The line feed counts as blank although its blank bit is clear.
    if (u == 0x000A || u == 0x0020) return 1;
    return sn2_GetCharacterInformation(u) & 0x0040;
}

// ---- Layout

int CT_CharProperties::sb_LayoutLeftToRight(unsigned short u) { return seo_GetLayoutInformation(u) == e_LayoutLeftToRight; }

int CT_CharProperties::sb_LayoutRightToLeft(unsigned short u) { return seo_GetLayoutInformation(u) == e_LayoutRightToLeft; }

int CT_CharProperties::sb_LayoutEuropeNumber(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutEuropeNumber;
}

int CT_CharProperties::sb_LayoutEuropeSeparator(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutEuropeSeparator;
}

int CT_CharProperties::sb_LayoutEuropeTerminator(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutEuropeTerminator;
}

int CT_CharProperties::sb_LayoutArabicNumber(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutArabicNumber;
}

int CT_CharProperties::sb_LayoutCommonSeparator(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutCommonSeparator;
}

int CT_CharProperties::sb_LayoutBlockSeparator(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutBlockSeparator;
}

int CT_CharProperties::sb_LayoutSegmentSeparator(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutSegmentSeparator;
}

int CT_CharProperties::sb_LayoutWhitespace(unsigned short u) { return seo_GetLayoutInformation(u) == e_LayoutWhitespace; }

int CT_CharProperties::sb_LayoutOtherNeutral(unsigned short u) {
    return seo_GetLayoutInformation(u) == e_LayoutOtherNeutral;
}

int CT_CharProperties::sb_LayoutStrongDirectionality(unsigned short u) {
    et_LayoutProperty p = seo_GetLayoutInformation(u);
    return p == e_LayoutLeftToRight || p == e_LayoutRightToLeft;
}

int CT_CharProperties::sb_LayoutWeakDirectionality(unsigned short u) {
    et_LayoutProperty p = seo_GetLayoutInformation(u);
    return p >= e_LayoutEuropeNumber && p <= e_LayoutCommonSeparator;
}

int CT_CharProperties::sb_LayoutNeutralDirectionality(unsigned short u) {
    et_LayoutProperty p = seo_GetLayoutInformation(u);
    return p >= e_LayoutBlockSeparator && p <= e_LayoutOtherNeutral;
}

int CT_CharProperties::sb_LayoutNoDirectionality(unsigned short u) { return seo_GetLayoutInformation(u) == e_LayoutNone; }

// ---- Text processing

int CT_CharProperties::sb_IsTPNonspacing(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0001; }

int CT_CharProperties::sb_IsTPDiacritic(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0002; }

int CT_CharProperties::sb_IsTPVowelMark(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0004; }

int CT_CharProperties::sb_IsTPSymbol(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0008; }

int CT_CharProperties::sb_IsTPKatakana(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0010; }

int CT_CharProperties::sb_IsTPHiragana(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0020; }

int CT_CharProperties::sb_IsTPHalfwidth(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0040; }

int CT_CharProperties::sb_IsTPFullwidth(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0080; }

int CT_CharProperties::sb_IsTPIdeograph(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0100; }

int CT_CharProperties::sb_IsTPKashida(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0200; }

int CT_CharProperties::sb_IsTPLexical(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x0400; }

int CT_CharProperties::sb_IsTPAlpha(unsigned short u) { return sn2_GetTextProcessingInformation(u) & 0x8000; }

// ---- Numeric value

void CT_CharProperties::sv_NumericValue(unsigned short u, short& numerator, short& denominator) {
    st_Number const* row = pcst_FindRow(ast_Numeric, an2_NumericPage, n_NumericCount, u);
    numerator = row ? row->i2_Numerator : 0;
    denominator = row ? row->i2_Denominator : 0;
}

// ---- Sequences

int CT_CharProperties::sb_IsSequenceOf(unsigned short const* s, int (*predicate)(unsigned short), unsigned start,
                                       unsigned count) {
    if (s == nullptr || count == 0) return 0;
    unsigned length = 0;
    while (s[length]) ++length;
    if (start >= length) return 0;
    unsigned end = count < length - start ? start + count : length;
    for (unsigned i = start; i < end; ++i)
        if (!predicate(s[i])) return 0;
    return 1;
}

int CT_CharProperties::sb_IsSequenceOf(CT_UString const* s, int (*predicate)(unsigned short), unsigned start,
                                       unsigned count) {
    if (s == nullptr || count == 0) return 0;
    // The string's own length counts, not its first zero.
    unsigned length = s->n_GetLength();
    if (start >= length) return 0;
    unsigned short const* text = s->qcuz_Get();
    unsigned end = count < length - start ? start + count : length;
    for (unsigned i = start; i < end; ++i)
        if (!predicate(text[i])) return 0;
    return 1;
}

// ---- UTF-16 guess

int CT_CharProperties::sb_IsTextUnicode(unsigned char const* buffer, unsigned size, int ownTest) {
    // A null buffer holds no text; neither test may read it.
    if (buffer == nullptr) return 0;
    if (!ownTest) {
        int answer = Platform::i_IsTextUnicode(buffer, size);
        if (answer >= 0) return answer;
    }
    if (size < 2 || size % 2 != 0) return 0;
    for (unsigned i = 0; i < size; ++i)
        if (buffer[i] == 0x00) return 1;
    // The first unit is 0xFEFF or 0xFFFE in either byte order.
    return (buffer[0] == 0xFF && buffer[1] == 0xFE) || (buffer[0] == 0xFE && buffer[1] == 0xFF);
}
