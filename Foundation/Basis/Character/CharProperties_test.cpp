#include "Foundation/Basis/Character/CharProperties.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/TextUnicode.h"

namespace {

using CP = CT_CharProperties;

std::string s_Narrow(unsigned short const* text) {
    std::string out;
    if (text == nullptr) return "(null)";
    for (; *text; ++text) out += static_cast<char>(*text < 0x80 ? *text : '?');
    return out;
}

// The number of maximal runs of equal values over [first, last]; a run of
// `skip` values is not counted. For a generated table this is its number of
// ranges, as long as neighbouring ranges differ in value.
template <typename F>
unsigned n_Runs(unsigned first, unsigned last, F value, int skip) {
    unsigned runs = 0;
    int previous = -1;
    for (unsigned c = first; c <= last; ++c) {
        int v = value(static_cast<unsigned short>(c));
        if (v != previous && v != skip) ++runs;
        previous = v;
    }
    return runs;
}

template <typename F>
unsigned n_Members(F predicate) {
    unsigned count = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c)
        if (predicate(static_cast<unsigned short>(c))) ++count;
    return count;
}


// One predicate's answer for one code point: exactly `value`, or with
// `value` < 0 only "not zero".
struct st_Answer {
    int (*predicate)(unsigned short);
    unsigned short u;
    int value;
};

void v_CheckAnswers(std::initializer_list<st_Answer> answers) {
    int row = 0;
    for (st_Answer const& a : answers) {
        if (a.value < 0) {
            EXPECT_NE(a.predicate(a.u), 0) << "row " << row << " U+" << std::hex << a.u;
        } else {
            EXPECT_EQ(a.predicate(a.u), a.value) << "row " << row << " U+" << std::hex << a.u;
        }
        ++row;
    }
}

}  // namespace

TEST(CharProperties, CategoryFixedRowsAndUnassigned) {
    struct {
        unsigned short u;
        int category;
    } const rows[] = {
        {0x0000, 9},  {0x001F, 9},  {0x0020, 6},  {0x0028, 21}, {0x0029, 22}, {0x002D, 20},
        {0x005F, 19}, {0x00AA, 15}, {0x00AD, 20}, {0x01C5, 16}, {0x2028, 7},  {0x2029, 8},
        {0x200E, 10}, {0xD800, 11}, {0xDBFF, 11}, {0xDC00, 11}, {0xDFFF, 11}, {0xE000, 12},
        {0xF8FF, 12}, {0x4E00, 18}, {0x9FA5, 18}, {0xAC00, 18}, {0xD7A3, 18}, {0x0041, 14},
        {0x0061, 15}, {0x0030, 3},  {0x0300, 0},  {0x0903, 1},  {0x20DD, 2},  {0x2160, 4},
        {0x00B2, 5},  {0x02B0, 17}, {0x002B, 24}, {0x0024, 25}, {0x005E, 26}, {0x00A9, 27},
        {0xFA2D, 18}, {0xFEFF, 10}, {0xFFFD, 27},
    };
    for (auto const& row : rows)
        EXPECT_EQ(CP::seo_GetUnicodeProperty(row.u), row.category) << std::hex << row.u;
    // Unassigned code points lie in no range: 28, never 13.
    for (unsigned short u : {0x0378, 0x3400, 0x9FA6, 0xD7A4, 0xFA2E, 0xFFFE, 0xFFFF, 0x0500, 0x1200, 0xFFF0})
        EXPECT_EQ(CP::seo_GetUnicodeProperty(u), CP::e_UnknownProperty) << std::hex << u;
    EXPECT_EQ(n_Members([](unsigned short u) { return CP::seo_GetUnicodeProperty(u) == CP::e_OtherNotAssigned; }), 0u);
    EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodePropertyName(CP::seo_GetUnicodeProperty(0x0378))), "Unknown");
    struct {
        int property;
        char const* name;
    } const names[] = {{CP::e_MarkNonSpacing, "MarkNonSpacing"}, {CP::e_OtherNotAssigned, "OtherNotAssigned"},
                       {CP::e_LetterUppercase, "LetterUppercase"}, {CP::e_PunctuationConnector, "PunctuationConnector"},
                       {CP::e_SymbolOther, "SymbolOther"}, {CP::e_UnknownProperty, "Unknown"}, {29, "Unknown"},
                       {-1, "Unknown"}};
    for (auto const& n : names)
        EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodePropertyName(static_cast<CP::et_UnicodeProperty>(n.property))), n.name);
    EXPECT_EQ(CP::sqcuz_GetCharacterName('A'), nullptr);
}

TEST(CharProperties, BlockBordersGapsAndNames) {
    // Every block's first and last code point, and the code points around.
    struct {
        unsigned short first, last;
        int block;
        char const* name;
    } const blocks[] = {
        {0x0000, 0x007F, 1, "BasicLatin"}, {0x0080, 0x00FF, 2, "Latin1Supplement"},
        {0x0100, 0x017F, 3, "LatinExtendedA"}, {0x0250, 0x02AF, 5, "IPAExtensions"},
        {0x0370, 0x03FF, 8, "Greek"}, {0x0500, 0x052F, 70, "Unassigned"},
        {0x0530, 0x058F, 10, "Armenian"}, {0x0700, 0x08FF, 70, "Unassigned"},
        {0x0F00, 0x0FBF, 24, "Tibetan"}, {0x0FC0, 0x109F, 70, "Unassigned"},
        {0x10A0, 0x10FF, 25, "Georgian"}, {0x1100, 0x11FF, 26, "HangulJamo"},
        {0x1200, 0x1DFF, 70, "Unassigned"}, {0x2000, 0x206F, 29, "GeneralPunctuation"},
        {0x2700, 0x27BF, 45, "Dingbats"}, {0x27C0, 0x2FFF, 70, "Unassigned"},
        {0x3000, 0x303F, 46, "CJKSymbolsAndPunctuation"}, {0x3190, 0x319F, 51, "Kanbun"},
        {0x31A0, 0x31FF, 70, "Unassigned"}, {0x3300, 0x33FF, 53, "CJKCompatibility"},
        {0x3400, 0x4DFF, 70, "Unassigned"}, {0x4E00, 0x9FFF, 54, "CJKUnifiedIdeographs"},
        {0xA000, 0xABFF, 70, "Unassigned"}, {0xAC00, 0xD7A3, 55, "HangulSyllables"},
        {0xD7A4, 0xD7FF, 70, "Unassigned"}, {0xD800, 0xDB7F, 56, "HighSurrogates"},
        {0xDB80, 0xDBFF, 57, "HighPrivateUseSurrogates"}, {0xDC00, 0xDFFF, 58, "LowSurrogates"},
        {0xE000, 0xF8FF, 59, "PrivateUse"}, {0xF900, 0xFAFF, 60, "CJKCompatibilityIdeographs"},
        {0xFB50, 0xFDFF, 62, "ArabicPresentationFormsA"}, {0xFE00, 0xFE1F, 70, "Unassigned"},
        {0xFE20, 0xFE2F, 63, "CombiningHalfMarks"}, {0xFE70, 0xFEFE, 66, "ArabicPresentationFormsB"},
        {0xFEFF, 0xFEFF, 68, "Specials1"}, {0xFF00, 0xFFEF, 67, "HalfwidthAndFullwidthForms"},
        {0xFFF0, 0xFFFF, 69, "Specials2"},
    };
    for (auto const& b : blocks) {
        EXPECT_EQ(CP::seo_GetUnicodeBlock(b.first), b.block) << std::hex << b.first;
        EXPECT_EQ(CP::seo_GetUnicodeBlock(b.last), b.block) << std::hex << b.last;
        if (b.first > 0) {
            EXPECT_NE(CP::seo_GetUnicodeBlock(b.first - 1), b.block) << std::hex << b.first;
        }
        if (b.last < 0xFFFF) {
            EXPECT_NE(CP::seo_GetUnicodeBlock(b.last + 1), b.block) << std::hex << b.last;
        }
        EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodeBlockName(static_cast<CP::et_UnicodeBlock>(b.block))), b.name);
    }
    // Every code point has a block from 1 to 70.
    EXPECT_EQ(n_Members([](unsigned short u) {
                  int block = CP::seo_GetUnicodeBlock(u);
                  return block < 1 || block > 70;
              }),
              0u);
    EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodeBlockName(CP::e_UnknownBlock)), "Unknown");
    EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodeBlockName(static_cast<CP::et_UnicodeBlock>(71))), "Unknown");
    EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodeBlockName(static_cast<CP::et_UnicodeBlock>(-5))), "Unknown");
    EXPECT_EQ(s_Narrow(CP::sqcuz_UnicodeBlockName(CP::e_LatinExtendedAdditional)), "LatinExtendedAdditional");
}

TEST(CharProperties, ScriptOfEachBlock) {
    int const expected[71] = {
        7,                                      // 0
        0, 0, 0, 0, 1, 1, 7, 0, 5, 5,           // 1-10
        5, 3, 5, 5, 5, 5, 5, 5, 5, 5,           // 11-20
        5, 5, 5, 5, 5, 2, 0, 0, 7, 7,           // 21-30
        7, 7, 5, 7, 5, 5, 5, 5, 5, 6,           // 31-40
        5, 5, 5, 5, 5, 6, 2, 2, 2, 2,           // 41-50
        2, 6, 2, 2, 2, 4, 4, 4, 4, 2,           // 51-60
        5, 3, 7, 2, 7, 3, 2, 6, 6, 6,           // 61-70
    };
    for (int block = 0; block <= 70; ++block)
        EXPECT_EQ(CP::seo_GetScript(static_cast<CP::et_UnicodeBlock>(block)), expected[block]) << block;
    EXPECT_EQ(CP::seo_GetScript(static_cast<CP::et_UnicodeBlock>(71)), CP::e_ScriptOther);
    EXPECT_EQ(CP::seo_GetScript(CP::seo_GetUnicodeBlock(0x0627)), CP::e_ScriptArabic);
}

TEST(CharProperties, CharacterInformation) {
    struct {
        unsigned short u, value;
    } const rows[] = {
        {0x0009, 0x68}, {0x000A, 0x28}, {0x000B, 0x28}, {0x000C, 0x28}, {0x000D, 0x28}, {0x0020, 0x48},
        {0x00A0, 0x48}, {0x0030, 0x84}, {0x0041, 0x181}, {0x0061, 0x182}, {0x00AA, 0x10}, {0x00B5, 0x10},
        {0x0100, 0x101}, {0x0000, 0x20}, {0x0378, 0}, {0xFFFF, 0}, {0xFFFE, 0},
        // Both sides of the border between the direct array and the ranges.
        {0x00FF, 0x102}, {0x0101, 0x102},
    };
    for (auto const& row : rows) EXPECT_EQ(CP::sn2_GetCharacterInformation(row.u), row.value) << std::hex << row.u;
    // The line feed is blank outright although its bit (0x40) is clear; the
    // carriage return is not.
    EXPECT_EQ(CP::sn2_GetCharacterInformation(0x000A) & 0x0040, 0);
    v_CheckAnswers({{CP::sb_IsSpace, 0x0020, 0x0008}, {CP::sb_IsSpace, 0x3000, 0x0008}, {CP::sb_IsSpace, 'x', 0},
                    {CP::sb_IsXDigit, 'f', 0x0080}, {CP::sb_IsXDigit, 0xFF21, 0x0080}, {CP::sb_IsXDigit, 'g', 0},
                    {CP::sb_IsBlank, 0x000A, -1}, {CP::sb_IsBlank, 0x000D, 0}, {CP::sb_IsBlank, 0x0020, -1},
                    {CP::sb_IsBlank, 0x0009, 0x0040}, {CP::sb_IsBlank, 0x3000, 0x0040}});
}

TEST(CharProperties, LayoutInformation) {
    struct {
        unsigned short u, value;
    } const rows[] = {
        {0x0009, 9}, {0x000A, 0}, {0x000B, 0}, {0x000C, 0}, {0x000D, 0}, {0x0020, 10}, {0x0023, 5},
        {0x0024, 5}, {0x0025, 5}, {0x002B, 5}, {0x002C, 7}, {0x002D, 5}, {0x002E, 4}, {0x002F, 4},
        {0x0030, 3}, {0x003A, 7}, {0x0041, 1}, {0x05D0, 2}, {0x0660, 6}, {0x2029, 8}, {0x0021, 11},
        {0x0378, 0}, {0xFFFF, 0},
    };
    for (auto const& row : rows) {
        EXPECT_EQ(CP::sn2_GetLayoutInformation(row.u), row.value) << std::hex << row.u;
        EXPECT_EQ(CP::seo_GetLayoutInformation(row.u), row.value) << std::hex << row.u;
    }
    v_CheckAnswers({{CP::sb_LayoutStrongDirectionality, 0x05D0, -1}, {CP::sb_LayoutStrongDirectionality, 'A', -1},
                    {CP::sb_LayoutRightToLeft, 0x05D0, -1}, {CP::sb_LayoutLeftToRight, 'A', -1},
                    {CP::sb_LayoutStrongDirectionality, '1', 0}, {CP::sb_LayoutWeakDirectionality, 0x0031, -1},
                    {CP::sb_LayoutWeakDirectionality, 0x002E, -1}, {CP::sb_LayoutWeakDirectionality, 0x0025, -1},
                    {CP::sb_LayoutWeakDirectionality, 0x0660, -1}, {CP::sb_LayoutWeakDirectionality, 0x002C, -1},
                    {CP::sb_LayoutNeutralDirectionality, 0x2029, -1}, {CP::sb_LayoutNeutralDirectionality, 0x0009, -1},
                    {CP::sb_LayoutNeutralDirectionality, 0x0020, -1}, {CP::sb_LayoutNeutralDirectionality, 0x0021, -1},
                    {CP::sb_LayoutNoDirectionality, '\n', -1}, {CP::sb_LayoutNoDirectionality, ' ', 0},
                    {CP::sb_LayoutEuropeNumber, '7', -1}, {CP::sb_LayoutEuropeSeparator, '/', -1},
                    {CP::sb_LayoutEuropeTerminator, '#', -1}, {CP::sb_LayoutArabicNumber, 0x0669, -1},
                    {CP::sb_LayoutCommonSeparator, ':', -1}, {CP::sb_LayoutBlockSeparator, 0x2029, -1},
                    {CP::sb_LayoutSegmentSeparator, '\t', -1}, {CP::sb_LayoutWhitespace, ' ', -1},
                    {CP::sb_LayoutOtherNeutral, '!', -1}});
}

TEST(CharProperties, TextProcessingInformation) {
    struct {
        unsigned short u, value;
    } const rows[] = {
        {0x0021, 0x48}, {0x0030, 0x40}, {0x0041, 0x8040}, {0x005E, 0x448}, {0x00C0, 0x8003}, {0x00E0, 0x8003},
        {0x0378, 0},    {0xFFFF, 0},
    };
    for (auto const& row : rows)
        EXPECT_EQ(CP::sn2_GetTextProcessingInformation(row.u), row.value) << std::hex << row.u;
    v_CheckAnswers({{CP::sb_IsTPNonspacing, 0x0300, 0x0001}, {CP::sb_IsTPDiacritic, 0x0301, 0x0002},
                    {CP::sb_IsTPVowelMark, 0x093F, 0x0004},   {CP::sb_IsTPSymbol, '+', 0x0008},
                    {CP::sb_IsTPKatakana, 0x30A2, 0x0010},    {CP::sb_IsTPKatakana, 0xFF71, 0x0010},
                    {CP::sb_IsTPHiragana, 0x3042, 0x0020},    {CP::sb_IsTPKatakana, 0x3042, 0},
                    {CP::sb_IsTPHalfwidth, 0xFF71, 0x0040},   {CP::sb_IsTPFullwidth, 0xFF21, 0x0080},
                    {CP::sb_IsTPFullwidth, 0x4E00, 0x0080},   {CP::sb_IsTPIdeograph, 0x4E00, 0x0100},
                    {CP::sb_IsTPIdeograph, 0xAC00, 0},        {CP::sb_IsTPKashida, 0x0640, 0x0200},
                    {CP::sb_IsTPLexical, '`', 0x0400},        {CP::sb_IsTPAlpha, 'z', 0x8000},
                    {CP::sb_IsTPAlpha, '1', 0}});
}

TEST(CharProperties, ClassificationFromCategory) {
    // Title case is not upper case; only controls are not printable.
    v_CheckAnswers({{CP::sb_IsUpper, 'A', -1},     {CP::sb_IsUpper, 0x01C5, 0},   {CP::sb_IsLower, 0x00DF, -1},
                    {CP::sb_IsDigit, 0x0967, -1},  {CP::sb_IsDigit, 0x00B2, 0},   {CP::sb_IsNumeric, 0x00B2, -1},
                    {CP::sb_IsNumeric, 0x2160, -1}, {CP::sb_IsAlpha, 0x01C5, -1}, {CP::sb_IsAlpha, 0x4E00, -1},
                    {CP::sb_IsAlpha, 0x0300, 0},   {CP::sb_IsPunct, '_', -1},     {CP::sb_IsPunct, '+', 0},
                    {CP::sb_IsCntrl, 0x0085, -1},  {CP::sb_IsPrint, 0x0085, 0},   {CP::sb_IsPrint, 0xFFFF, -1},
                    {CP::sb_IsGraph, ' ', 0},      {CP::sb_IsGraph, 0x2028, 0},   {CP::sb_IsGraph, 0x200E, 0},
                    {CP::sb_IsGraph, 0xFFFF, 0},   {CP::sb_IsGraph, 0xD800, -1},  {CP::sb_IsGraph, '!', -1},
                    {CP::sb_IsAlDig, '7', -1},     {CP::sb_IsAlDig, 0x2160, 0},   {CP::sb_IsAlNum, 0x2160, -1}});
}

TEST(CharProperties, NumericValues) {
    struct {
        unsigned short u;
        short numerator, denominator;
    } const rows[] = {
        {0x00BD, 1, 2},      {0x00BC, 1, 4},     {0x00BE, 3, 4},    {'x', 0, 0},       {'0', 0, 1},
        {'9', 9, 1},         {0x00B2, 2, 1},     {0x00B3, 3, 1},    {0x00B9, 1, 1},    {0x2153, 1, 3},
        {0x215E, 7, 8},      {0x216C, 50, 1},    {0x216D, 100, 1},  {0x216E, 500, 1},  {0x216F, 1000, 1},
        {0x2182, 10000, 1},  {0x0BF1, 100, 1},   {0x0BF2, 1000, 1}, {0x09F8, -1, 1},   {0xFF10, 0, 1},
        {0xFF19, 9, 1},      {0xFF1A, 0, 0},     {0x0669, 9, 1},    {0x0F2A, 0, 0},    {0x3007, 0, 1},
        {0xFFFF, 0, 0},
    };
    for (auto const& row : rows) {
        short numerator = 99, denominator = 99;
        CP::sv_NumericValue(row.u, numerator, denominator);
        EXPECT_EQ(numerator, row.numerator) << std::hex << row.u;
        EXPECT_EQ(denominator, row.denominator) << std::hex << row.u;
    }
}

TEST(CharProperties, PunctuationSetsHoldExactlyTheirMembers) {
    struct {
        int (*predicate)(unsigned short);
        std::u16string members;
    } const sets[] = {
        {CP::sb_IsApostrophe, u"\u0027\u02BC\u055A\uFF07"},
        {CP::sb_IsColon, u"\u003A\u02D0\u02D1\u061B\uFE55\uFF1A"},
        {CP::sb_IsComma, u"\u002C\u055D\u060C\u201A\u3001\uFE50\uFE51\uFF0C\uFF64"},
        {CP::sb_IsDot, u"\u002E\u00B7\u0589\u06D4\u3002\uFE52\uFF0E\uFF61"},
        {CP::sb_IsExclamation, u"\u0021\u00A1\u055C\u203C\u2762\u2763\uFE57\uFF01"},
        {CP::sb_IsHyphen, u"\u002D\u00AD\u2010\u2011\uFE63\uFF0D"},
        {CP::sb_IsQuestion, u"\u003F\u00BF\u037E\u055E\u061F\uFE56\uFF1F"},
        {CP::sb_IsSemicolon, u"\u003B\u061B\uFE54\uFF1B"},
        {CP::sb_IsBrace, u"\u007B\u007D\uFE37\uFE38\uFE5B\uFE5C\uFF5B\uFF5D"},
        {CP::sb_IsTabulator, u"\u0009\u000B"},
        {CP::sb_IsParagraph, u"\u10FB\u2029"},
        {CP::sb_IsOpeningBracket, u"\u005B\u007B\u2045\u2329\u3008\u300A\u300C\u300E\u3010\u3014\u3016\u3018"
                                  u"\u301A\uFE37\uFE39\uFE3B\uFE3D\uFE3F\uFE41\uFE43\uFE5B\uFE5D\uFF3B\uFF5B\uFF62"},
        {CP::sb_IsClosingBracket, u"\u005D\u007D\u2046\u232A\u3009\u300B\u300D\u300F\u3011\u3015\u3017\u3019"
                                  u"\u301B\uFE38\uFE3A\uFE3C\uFE3E\uFE40\uFE42\uFE44\uFE5C\uFE5E\uFF3D\uFF5D\uFF63"},
        {CP::sb_IsQuote, u"\u0022\u00AB\u00BB\u2018\u2019\u201A\u201B\u201C\u201D\u201E\u201F\u2039\u203A"
                         u"\u275B\u275C\u275D\u275E\u301D\u301E\u301F\uFF02"},
        {CP::sb_IsSingleQuote, u"\u0027\u2018\u2019\u201A\u201B\u2039\u203A\u275B\u275C\u301D\u301E\u301F"},
        {CP::sb_IsOpeningQuote, u"\u00AB\u2018\u201C\u2039"},
        {CP::sb_IsClosingQuote, u"\u00BB\u2019\u201D\u203A"},
        {CP::sb_IsPercent, u"\u0025\u066A\uFE6A\uFF05"},
        {CP::sb_IsVowel, u"aeiouAEIUO\u3041\u3042\u3043\u3044\u3045\u3046\u3047\u3048\u3049\u304A"
                         u"\u30A1\u30A2\u30A3\u30A4\u30A5\u30A6\u30A7\u30A8\u30A9\u30AA"},
    };
    for (auto const& set : sets) {
        for (char16_t member : set.members) EXPECT_EQ(set.predicate(member), 1) << std::hex << unsigned(member);
        EXPECT_EQ(n_Members(set.predicate), set.members.size()) << std::hex << unsigned(set.members[0]);
        EXPECT_EQ(set.predicate(0), 0);
    }
    EXPECT_FALSE(CP::sb_IsVowel('y'));
    EXPECT_FALSE(CP::sb_IsVowel('Y'));
}

TEST(CharProperties, DerivedPunctuationClasses) {
    // The 21 quotes less the 11 of them that are single quotes.
    EXPECT_EQ(n_Members(CP::sb_IsDoubleQuote), 10u);
    EXPECT_EQ(n_Members(CP::sb_IsBracket), 50u);
    // Parentheses are not in the bracket sets.
    v_CheckAnswers({{CP::sb_IsDoubleQuote, 0x0022, -1}, {CP::sb_IsDoubleQuote, 0x201C, -1},
                    {CP::sb_IsDoubleQuote, 0x2018, 0},  {CP::sb_IsDoubleQuote, 0x0027, 0},
                    {CP::sb_IsDoubleQuote, 0x2039, 0},  {CP::sb_IsDoubleQuote, 0x203A, 0},
                    {CP::sb_IsDoubleQuote, 0x301D, 0},  {CP::sb_IsDoubleQuote, 0x301E, 0},
                    {CP::sb_IsDoubleQuote, 0x301F, 0},  {CP::sb_IsSurrounder, 0x0027, -1},
                    {CP::sb_IsSurrounder, 0x02BC, -1},  {CP::sb_IsSurrounder, 0xFF63, -1},
                    {CP::sb_IsSurrounder, 0x00AB, -1},  {CP::sb_IsSurrounder, '(', 0},
                    {CP::sb_IsStop, 0x061B, -1},        {CP::sb_IsStop, '?', -1},
                    {CP::sb_IsStop, 0x3002, -1},        {CP::sb_IsStop, ',', 0},
                    {CP::sb_IsBracket, 0, 0},           {CP::sb_IsDoubleQuote, 0, 0},
                    {CP::sb_IsSurrounder, 0, 0},        {CP::sb_IsStop, 0, 0}});
}

TEST(CharProperties, SequenceOfTextAndString) {
    // The text form stops at its terminator; the string form counts a zero
    // inside the string as a character like any other.
    unsigned short const text[] = {'1', '2', 'a', 'b', 0};
    unsigned short const digits[] = {'1', '2', 0}, empty[] = {0}, withZero[] = {'1', 0, '2'};
    CT_UString s(text, 4), emptyString, z(withZero, 3);
    struct {
        unsigned short const* text;
        CT_UString const* string;
        int (*predicate)(unsigned short);
        unsigned start, count;
        int expected;
    } const rows[] = {
        {text, &s, CP::sb_IsDigit, 0, 2, 1},       {text, &s, CP::sb_IsDigit, 0, 3, 0},
        {text, &s, CP::sb_IsDigit, 4, 1, 0},       {text, &s, CP::sb_IsAlpha, 5, 1, 0},
        {text, &s, CP::sb_IsAlpha, 2, ~0u, 1},     {text, &s, CP::sb_IsLower, 2, 100, 1},
        {text, &s, CP::sb_IsAlpha, 3, 1, 1},       {text, nullptr, CP::sb_IsDigit, 0, 0, 0},
        {digits, nullptr, CP::sb_IsDigit, 0, 10, 1}, {empty, &emptyString, CP::sb_IsDigit, 0, 1, 0},
        {nullptr, nullptr, CP::sb_IsDigit, 0, 1, 0}, {nullptr, &z, CP::sb_IsDigit, 0, 3, 0},
        {nullptr, &z, CP::sb_IsDigit, 2, 1, 1},
    };
    int row = 0;
    for (auto const& r : rows) {
        if (r.text || !r.string) {
            EXPECT_EQ(CP::sb_IsSequenceOf(r.text, r.predicate, r.start, r.count) != 0, r.expected != 0) << row;
        }
        if (r.string || !r.text) {
            EXPECT_EQ(CP::sb_IsSequenceOf(r.string, r.predicate, r.start, r.count) != 0, r.expected != 0) << row;
        }
        ++row;
    }
}

TEST(CharProperties, TextUnicodeOwnTest) {
    struct {
        std::vector<unsigned char> bytes;
        unsigned size;
        int expected;
    } const rows[] = {
        {{0x61, 0x00, 0x62}, 3, 0}, {{0x61, 0x62}, 2, 0},          {{0x61, 0x62}, 1, 0},
        {{0x61, 0x62}, 0, 0},       {{0xFF, 0xFE, 0x41, 0x42}, 4, 1}, {{0xFE, 0xFF, 0x41, 0x42}, 4, 1},
        {{0x61, 0x00}, 2, 1},       {{0x61, 0x62, 0x63, 0x00}, 4, 1},
    };
    for (auto const& row : rows)
        EXPECT_EQ(CP::sb_IsTextUnicode(row.bytes.data(), row.size, 1) != 0, row.expected != 0) << row.size;
    EXPECT_FALSE(CP::sb_IsTextUnicode(nullptr, 4, 1));
    EXPECT_FALSE(CP::sb_IsTextUnicode(nullptr, 4, 0));
}

TEST(CharProperties, TextUnicodeAsksTheSystemFirst) {
    // UTF-16LE text with a byte-order mark: every test takes it for UTF-16.
    unsigned char const utf16[] = {0xFF, 0xFE, 'H', 0, 'e', 0, 'l', 0, 'l', 0, 'o', 0, ' ', 0, 'w', 0,
                                   'o',  0,    'r', 0, 'l', 0, 'd', 0, '.', 0};
    EXPECT_TRUE(CP::sb_IsTextUnicode(utf16, sizeof utf16, 0));
    // Without the own-test flag the system's answer counts where it has one;
    // elsewhere the own test gives the answer.
    unsigned char const samples[][6] = {
        {'a', 'b', 'c', 'd', 'e', 'f'}, {'a', 0, 'b', 0, 'c', 0}, {0xFE, 0xFF, 0, 'a', 0, 'b'}, {1, 2, 3, 0, 5, 6}};
    for (auto const& sample : samples) {
        int system = Platform::i_IsTextUnicode(sample, sizeof sample);
        int own = CP::sb_IsTextUnicode(sample, sizeof sample, 1);
        EXPECT_EQ(CP::sb_IsTextUnicode(sample, sizeof sample, 0), system >= 0 ? system : own);
    }
}

// The table sizes, measured through the lookups, beside the documented
// sizes where they differ (tools/unicode-tables/README.md says why).
TEST(CharProperties, TableSizes) {
    // Ranges of the category table: 1,323 (documented: 1,169).
    EXPECT_EQ(n_Runs(0, 0xFFFF, [](unsigned short u) { return int(CP::seo_GetUnicodeProperty(u)); }, 28), 1323u);
    // The block table: 69 blocks and 11 unassigned gaps.
    EXPECT_EQ(n_Runs(0, 0xFFFF, [](unsigned short u) { return int(CP::seo_GetUnicodeBlock(u)); }, -2), 80u);
    // Ranges after U+00FF of the three class tables (documented: 1,311,
    // 630 and 877).
    EXPECT_EQ(n_Runs(0x100, 0xFFFF, [](unsigned short u) { return int(CP::sn2_GetCharacterInformation(u)); }, -2),
              1339u);
    EXPECT_EQ(n_Runs(0x100, 0xFFFF, [](unsigned short u) { return int(CP::sn2_GetLayoutInformation(u)); }, -2), 629u);
    EXPECT_EQ(
        n_Runs(0x100, 0xFFFF, [](unsigned short u) { return int(CP::sn2_GetTextProcessingInformation(u)); }, -2),
        1022u);
    // Rows of the numeric table: 350, as documented.
    EXPECT_EQ(n_Members([](unsigned short u) {
                  short numerator, denominator;
                  CP::sv_NumericValue(u, numerator, denominator);
                  return denominator != 0;
              }),
              350u);
}
