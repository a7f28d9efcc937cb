#include "Foundation/Basis/Character/CharMappings.h"

#include <gtest/gtest.h>
#include <initializer_list>

#include <vector>

#include "Foundation/Basis/Character/CharProperties.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

namespace {

using CM = CT_CharMappings;
using Text = std::vector<unsigned short>;

unsigned n_Rows(unsigned short (*map)(unsigned short)) {
    unsigned rows = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c)
        if (map(static_cast<unsigned short>(c)) != c) ++rows;
    return rows;
}

unsigned n_Length(unsigned short const* text) {
    unsigned n = 0;
    while (text[n]) ++n;
    return n;
}

Text o_Decomposition(unsigned short c) {
    unsigned short const* parts = CM::sqcuz_GetDecomposition(c);
    return parts ? Text(parts, parts + n_Length(parts)) : Text{};
}

Text o_Decompose(Text const& in) {
    unsigned n = CM::sn_DecomposeText(in.data(), static_cast<unsigned>(in.size()), nullptr, 0);
    Text out(n + 1, 0xEEEE);
    EXPECT_EQ(CM::sn_DecomposeText(in.data(), static_cast<unsigned>(in.size()), out.data(), n), n);
    EXPECT_EQ(out[n], 0xEEEE);  // nothing written past the room given
    out.resize(n);
    return out;
}

unsigned short u_ToX(unsigned short) { return 'x'; }

// One mapping's result for one character.
struct st_Mapped {
    unsigned short (*map)(unsigned short);
    unsigned short from, to;
};

void v_CheckMapped(std::initializer_list<st_Mapped> rows) {
    int row = 0;
    for (st_Mapped const& r : rows) EXPECT_EQ(r.map(r.from), r.to) << "row " << row++ << " U+" << std::hex << r.from;
}

}  // namespace

TEST(CharMappings, CaseMapping) {
    auto const up = CM::su_ToUpper, low = CM::su_ToLower;
    // The eszett has no row: lengths never change. Where several letters
    // share one capital, the capital goes back to the ordinary one. A
    // capital that no small letter maps to has no lower-case row.
    v_CheckMapped({{up, 'a', 'A'},        {up, 'A', 'A'},         {up, 0x00DF, 0x00DF},   {up, 0x00FF, 0x0178},
                   {up, 0x0131, 'I'},     {up, 0x01C5, 0x01C4},   {up, 0x2170, 0x2160},   {up, 0x24E9, 0x24CF},
                   {up, 0xFF5A, 0xFF3A},  {up, 0x0561, 0x0531},   {low, 'A', 'a'},        {low, 'a', 'a'},
                   {low, 0xFF3A, 0xFF5A}, {low, 0x0178, 0x00FF},  {low, 'I', 'i'},        {low, 'S', 's'},
                   {low, 0x01C4, 0x01C6}, {low, 0x0392, 0x03B2},  {low, 0x03A3, 0x03C3},  {low, 0x0130, 0x0130},
                   {low, 0x10A0, 0x10A0}});
    // The lower-case table is the inverse of the upper-case one.
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        unsigned short u = static_cast<unsigned short>(c);
        unsigned short lower = CM::su_ToLower(u);
        if (lower != u) {
            EXPECT_EQ(CM::su_ToUpper(lower), u) << std::hex << c;
        }
    }
    // Surrogates and the non-characters have no row.
    for (unsigned short u : {0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFFFE, 0xFFFF, 0x0000}) {
        EXPECT_EQ(CM::su_ToUpper(u), u);
        EXPECT_EQ(CM::su_ToLower(u), u);
    }
}

TEST(CharMappings, DigitAndCompatibilityFolding) {
    auto const digit = CM::su_FoldDigit, zone = CM::su_FoldCZone;
    // Circled ten is two digits and the Tibetan digits are not folded; a
    // ligature of two letters, and the forms outside the zone, stay.
    v_CheckMapped({{digit, 0x0662, '2'},    {digit, 0xFF12, 0xFF12}, {zone, 0xFF12, '2'},     {digit, 0x00B9, '1'},
                   {digit, 0x0BE7, '1'},    {digit, 0x0D6F, '9'},    {digit, 0x0ED9, '9'},    {digit, 0x2070, '0'},
                   {digit, 0x2089, '9'},    {digit, 0x2468, '9'},    {digit, 0x2469, 0x2469}, {digit, 0x24EA, '0'},
                   {digit, 0x2792, '9'},    {digit, 0x2793, 0x2793}, {digit, 0x0F20, 0x0F20}, {digit, '5', '5'},
                   {zone, 0xFE30, 0x2025},  {zone, 0xFFEE, 0x25CB},  {zone, 0xFF01, '!'},     {zone, 0xFF3C, '\\'},
                   {zone, 0xFE50, ','},     {zone, 0xFF71, 0x30A2},  {zone, 0xFE80, 0x0621},  {zone, 0xFEF5, 0xFEF5},
                   {zone, 0xFEFF, 0xFEFF},  {zone, 0x3000, 0x3000},  {zone, 0xFFEF, 0xFFEF}});
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        unsigned short folded = CM::su_FoldDigit(static_cast<unsigned short>(c));
        if (folded != c) {
            EXPECT_TRUE(folded >= '0' && folded <= '9') << std::hex << c;
        }
    }
}

TEST(CharMappings, KanaAndWidening) {
    auto const kata = CM::su_HiraganaToKatakana, hira = CM::su_KatakanaToHiragana;
    // Small ka has no hiragana; halfwidth katakana go to katakana in the
    // first table and to hiragana in the second; the halfwidth symbols after
    // the Hangul letters are not widened.
    v_CheckMapped({{kata, 'A', 0xFF21}, {hira, 'A', 0xFF21}, {kata, 0x30A2, 0x30A2}, {kata, 0x005C, 0x005C},
                   {hira, 0x005C, 0x005C}, {kata, 0x3041, 0x30A1}, {kata, 0x3094, 0x30F4}, {kata, 0x3095, 0x3095},
                   {kata, 0x309D, 0x30FD}, {kata, 0x309E, 0x30FE}, {hira, 0x30A1, 0x3041}, {hira, 0x30F4, 0x3094},
                   {hira, 0x30F5, 0x30F5}, {hira, 0x30FE, 0x309E}, {kata, 0xFF66, 0x30F2}, {hira, 0xFF66, 0x3092},
                   {kata, 0xFF67, 0x30A1}, {hira, 0xFF67, 0x3041}, {kata, 0xFF71, 0x30A2}, {hira, 0xFF71, 0x3042},
                   {kata, 0xFF9D, 0x30F3}, {hira, 0xFF9D, 0x3093}, {kata, 0xFFE8, 0xFFE8}});
    // Widening rows, the same in both tables.
    struct {
        unsigned short from, to;
    } const widening[] = {
        {0x0020, 0x3000}, {0x0021, 0xFF01}, {0x007E, 0xFF5E}, {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00A5, 0xFFE5},
        {0x00A6, 0xFFE4}, {0x00AC, 0xFFE2}, {0x00AF, 0xFFE3}, {0x20A9, 0xFFE6}, {0xFF61, 0x3002}, {0xFF62, 0x300C},
        {0xFF63, 0x300D}, {0xFF64, 0x3001}, {0xFF65, 0x30FB}, {0xFF70, 0x30FC}, {0xFF9E, 0x309B}, {0xFF9F, 0x309C},
        {0xFFA0, 0x3164}, {0xFFA1, 0x3131}, {0xFFDC, 0x3163},
    };
    for (auto const& row : widening) {
        EXPECT_EQ(CM::su_HiraganaToKatakana(row.from), row.to) << std::hex << row.from;
        EXPECT_EQ(CM::su_KatakanaToHiragana(row.from), row.to) << std::hex << row.from;
    }
}

TEST(CharMappings, Decomposition) {
    EXPECT_EQ(CM::su_ToBase(0x00C5), 'A');
    EXPECT_EQ(CM::su_ToBase('x'), 'x');
    EXPECT_EQ(CM::su_ToBase(0x1E08), 'C');
    EXPECT_EQ(CM::su_ToBase(0x304C), 0x304B);
    EXPECT_EQ(o_Decomposition(0x00C0), (Text{0x0041, 0x0300}));
    EXPECT_EQ(o_Decomposition(0x00C7), (Text{0x0043, 0x0327}));
    EXPECT_EQ(o_Decomposition(0x1E08), (Text{0x0043, 0x0327, 0x0301}));
    EXPECT_EQ(o_Decomposition(0x03B0), (Text{0x03C5, 0x0344}));
    EXPECT_EQ(o_Decomposition(0x304C), (Text{0x304B, 0xFF9E}));
    EXPECT_EQ(o_Decomposition(0x3071), (Text{0x306F, 0xFF9F}));
    EXPECT_EQ(o_Decomposition(0x30F4), (Text{0x30A6, 0xFF9E}));
    EXPECT_EQ(o_Decomposition(0x1EA4).size(), 3u);
    // Only the blocks of the table have rows: not Greek Extended, not the
    // singletons, not Hangul syllables.
    EXPECT_EQ(CM::sqcuz_GetDecomposition(0x1F00), nullptr);
    EXPECT_EQ(CM::sqcuz_GetDecomposition(0x0340), nullptr);
    EXPECT_EQ(CM::sqcuz_GetDecomposition(0x037E), nullptr);
    EXPECT_EQ(CM::sqcuz_GetDecomposition(0xAC00), nullptr);
    EXPECT_EQ(CM::sqcuz_GetDecomposition('x'), nullptr);
}

TEST(CharMappings, MapTextAroundSurrogatePairs) {
    // a, pair, b, private-use pair, c, lone low surrogate, high surrogate last.
    Text text = {'a', 0xD800, 0xDC00, 'b', 0xDB80, 0xDC01, 'c', 0xDC00, 0xD800};
    Text expected = {'A', 0xD800, 0xDC00, 'B', 0xDB80, 0xDC01, 'C', 0xDC00, 0xD800};
    CM::sv_MapText(text.data(), static_cast<unsigned>(text.size()), CM::su_ToUpper);
    EXPECT_EQ(text, expected);
    // A map that changes everything shows which characters it was given:
    // a pair's high and low halves never; a lone low surrogate, yes.
    Text text2 = {'a', 0xD800, 0xDC00, 0xDC00, 0xDBFF, 'b', 'c'};
    CM::sv_MapText(text2.data(), static_cast<unsigned>(text2.size()), u_ToX);
    EXPECT_EQ(text2, (Text{'x', 0xD800, 0xDC00, 'x', 0xDBFF, 'b', 'x'}));
    // A high surrogate last must not make the map read past the length.
    Text text3 = {'a', 0xD800, 'z'};
    CM::sv_MapText(text3.data(), 2, u_ToX);
    EXPECT_EQ(text3, (Text{'x', 0xD800, 'z'}));
    CM::sv_MapText(nullptr, 0, u_ToX);
}

TEST(CharMappings, DecomposeText) {
    EXPECT_EQ(o_Decompose(Text{'a', 0x00C0, 'b'}), (Text{'a', 0x0041, 0x0300, 'b'}));
    EXPECT_EQ(o_Decompose(Text{}), Text{});
    EXPECT_EQ(o_Decompose(Text{0x1EA4}), (Text{'A', 0x0302, 0x0301}));
    // A pair passes unchanged, and its low half is never decomposed alone.
    EXPECT_EQ(o_Decompose(Text{0xD800, 0xDC00, 0x00C5}), (Text{0xD800, 0xDC00, 'A', 0x030A}));
    EXPECT_EQ(o_Decompose(Text{0xDB80, 0x00C0}), (Text{0xDB80, 0x00C0}));
    // A zero after a high surrogate is dropped with it; a high surrogate last
    // stands alone.
    EXPECT_EQ(o_Decompose(Text{0xD800, 0, 0x00C0}), (Text{0xD800, 'A', 0x0300}));
    EXPECT_EQ(o_Decompose(Text{'a', 0xD800}), (Text{'a', 0xD800}));
    // Too little room: the count is still the whole length.
    unsigned short const in[] = {0x00C0, 0x00C1};
    unsigned short out[3] = {0, 0, 0xEEEE};
    EXPECT_EQ(CM::sn_DecomposeText(in, 2, out, 2), 4u);
    EXPECT_EQ(out[0], 'A');
    EXPECT_EQ(out[1], 0x0300);
    EXPECT_EQ(out[2], 0xEEEE);
}

// The table sizes, measured through the lookups, beside the documented
// sizes where they differ (tools/unicode-tables/README.md says why).
TEST(CharMappings, TableSizes) {
    EXPECT_EQ(n_Rows(CM::su_ToUpper), 673u);
    // 661, documented 673: twelve capitals are the upper case of two small
    // letters each and keep one row.
    EXPECT_EQ(n_Rows(CM::su_ToLower), 661u);
    EXPECT_EQ(n_Rows(CM::su_FoldDigit), 204u);
    // 394, documented 406: the forms of U+FE30..U+FFEE whose
    // compatibility decomposition is one character.
    EXPECT_EQ(n_Rows(CM::su_FoldCZone), 394u);
    EXPECT_EQ(n_Rows(CM::su_HiraganaToKatakana), 302u);
    EXPECT_EQ(n_Rows(CM::su_KatakanaToHiragana), 302u);
    // 634 (526 of two characters, 108 of three), documented 601 (495, 106).
    unsigned rows = 0, two = 0, three = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        unsigned short const* parts = CM::sqcuz_GetDecomposition(static_cast<unsigned short>(c));
        if (!parts) continue;
        ++rows;
        unsigned n = n_Length(parts);
        two += n == 2;
        three += n == 3;
    }
    EXPECT_EQ(rows, 634u);
    EXPECT_EQ(two, 526u);
    EXPECT_EQ(three, 108u);
}

// The string operations: whole strings mapped in place through the
// string's storage.
namespace {

std::u16string Wide(CT_UString const& s) { return StringTesting::Text(s); }
using StringTesting::W;

}  // namespace

TEST(CharMappingsString, MapsEveryCharacterAndKeepsTheLength) {
    CT_UString s(W(u"abc\u00E9\u0662x\uFF12"), ~0u);
    CM::sv_ToUpper(&s);
    EXPECT_EQ(Wide(s), u"ABC\u00C9\u0662X\uFF12");
    CM::sv_ToLower(&s);
    EXPECT_EQ(Wide(s), u"abc\u00E9\u0662x\uFF12");
    CM::sv_FoldDigit(&s);
    EXPECT_EQ(Wide(s), u"abc\u00E92x\uFF12");
    CM::sv_FoldCZone(&s);
    EXPECT_EQ(Wide(s), u"abc\u00E92x2");
    CM::sv_ToBase(&s);
    EXPECT_EQ(Wide(s), u"abce2x2");

    CT_UString kana(W(u"\u304B\u30AB A"), ~0u);
    CM::sv_HiraganaToKatakana(&kana);
    EXPECT_EQ(Wide(kana), u"\u30AB\u30AB\u3000\uFF21");
    CT_UString kana2(W(u"\u304B\u30AB\uFF71"), ~0u);
    CM::sv_KatakanaToHiragana(&kana2);
    EXPECT_EQ(Wide(kana2), u"\u304B\u304B\u3042");

    CT_UString empty;
    CM::sv_ToUpper(&empty);
    EXPECT_EQ(empty.n_GetLength(), 0u);

    // A copy sharing the storage is left alone.
    CT_UString original(W(u"abc"), ~0u);
    CT_UString copy(&original);
    CM::sv_ToUpper(&copy);
    EXPECT_EQ(Wide(copy), u"ABC");
    EXPECT_EQ(Wide(original), u"abc");
}

// The text-level tests above cover the surrogate rules; through a string
// the pair and a high surrogate last must meet the same rules at its length.
TEST(CharMappingsString, SurrogatePairsPassThrough) {
    CT_UString s(W(u"a\xD835\xDC1A" u"b\xDB80\xDC61" u"c\xD800"), ~0u);
    CM::sv_ToUpper(&s);
    EXPECT_EQ(StringTesting::Units(s), u"A\xD835\xDC1A" u"B\xDB80\xDC61" u"C\xD800");
    CT_UString in(W(u"\xD835\xDC1A\u00C0\xD835"), ~0u);
    CT_UString out;
    CM::sv_Decompose(&in, &out);
    EXPECT_EQ(StringTesting::Units(out), u"\xD835\xDC1A" u"A\u0300\xD835");
}

TEST(CharMappingsString, Decompose) {
    CT_UString out(W(u"left over"), ~0u);
    EXPECT_EQ(CM::sn_Decompose(0x1EA4, nullptr), 3u);
    EXPECT_EQ(CM::sn_Decompose(0x00C0, &out), 2u);
    EXPECT_EQ(Wide(out), u"A\u0300");
    EXPECT_EQ(CM::sn_Decompose(0x304C, &out), 2u);
    EXPECT_EQ(Wide(out), u"\u304B\uFF9E");
    // No row: out untouched.
    EXPECT_EQ(CM::sn_Decompose('x', &out), 1u);
    EXPECT_EQ(Wide(out), u"\u304B\uFF9E");

    CT_UString in(W(u"a\u00C0b"), ~0u);
    CM::sv_Decompose(&in, &out);
    EXPECT_EQ(Wide(out), u"aA\u0300b");
    EXPECT_EQ(out.n_GetLength(), 4u);
    EXPECT_EQ(Wide(in), u"a\u00C0b");

    // A longer text shrinks to a shorter decomposition.
    CT_UString three(W(u"\u1E08"), ~0u);
    CM::sv_Decompose(&three, &out);
    EXPECT_EQ(Wide(out), u"C\u0327\u0301");
    EXPECT_EQ(out.n_GetLength(), 3u);

    CT_UString empty;
    CM::sv_Decompose(&empty, &out);
    EXPECT_EQ(out.n_GetLength(), 0u);
    EXPECT_EQ(Wide(out), u"");

    // out sharing in's storage, and out being in itself.
    CT_UString shared(&in);
    CM::sv_Decompose(&in, &shared);
    EXPECT_EQ(Wide(shared), u"aA\u0300b");
    EXPECT_EQ(Wide(in), u"a\u00C0b");
    CM::sv_Decompose(&in, &in);
    EXPECT_EQ(Wide(in), u"aA\u0300b");

    CT_UString inPlace(W(u"\u00C7\u00E9"), ~0u);
    CT_UString before(&inPlace);
    CM::sv_Decompose(&inPlace);
    EXPECT_EQ(Wide(inPlace), u"C\u0327e\u0301");
    EXPECT_EQ(Wide(before), u"\u00C7\u00E9");
}
