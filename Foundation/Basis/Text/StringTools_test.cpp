#include "Foundation/Basis/Text/StringTools.h"

#include <gtest/gtest.h>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

CT_UString U(char16_t const* text) { return CT_UString(W(text), ~0u); }

std::string Format(unsigned value, unsigned width, char thousands, char decimal, unsigned decimals) {
    CT_CString out(1252);
    CT_StringTools::sv_FormatNumber(&out, value, width, thousands, decimal, decimals);
    return out.qccz_Get();
}

}  // namespace

TEST(StringToolsTest, FindAnyAndNot) {
    CT_UString abcz = U(u"abcz");
    EXPECT_EQ(3u, CT_StringTools::sn_FindAny(W(u"xyz"), &abcz, 0, 1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"q"), &abcz, 0, 1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"a"), &abcz, 0, 2));
    CT_UString abca = U(u"abca");
    EXPECT_EQ(3u, CT_StringTools::sn_FindAny(W(u"a"), &abca, 3, -1));
    EXPECT_EQ(0u, CT_StringTools::sn_FindAny(W(u"a"), &abca, 2, -1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"z"), &abca, 3, -1));
    // Start at the end of the text going up: nothing.
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"a"), &abca, 4, 1));

    CT_UString spaced = U(u"  x ");
    EXPECT_EQ(2u, CT_StringTools::sn_FindNot(W(u" "), &spaced, 0, 1));
    EXPECT_EQ(2u, CT_StringTools::sn_FindNot(W(u" "), &spaced, 3, -1));
    CT_UString blanks = U(u"   ");
    EXPECT_EQ(~0u, CT_StringTools::sn_FindNot(W(u" "), &blanks, 0, 1));
}

TEST(StringToolsTest, Replace) {
    CT_CString s("aXbXc", ~0u, 1252);
    CT_CString x("X", ~0u, 1252);
    CT_CString yy("YY", ~0u, 1252);
    EXPECT_EQ(1u, CT_StringTools::sn_Replace(&s, &x, &yy));
    EXPECT_STREQ("aYYbXc", s.qccz_Get());
    CT_CString q("Q", ~0u, 1252);
    EXPECT_EQ(~0u, CT_StringTools::sn_Replace(&s, &q, &yy));
    EXPECT_STREQ("aYYbXc", s.qccz_Get());

    CT_UString w = U(u"one two");
    CT_UString two = U(u"two");
    CT_UString empty;
    EXPECT_EQ(4u, CT_StringTools::sn_Replace(&w, &two, &empty));
    EXPECT_EQ(u"one ", Text(w));
}

TEST(StringToolsTest, FormatNumber) {
    EXPECT_EQ("1,234,567", Format(1234567, ~0u, ',', '.', 0));
    EXPECT_EQ("123.45", Format(12345, ~0u, 0, '.', 2));
    EXPECT_EQ("0.05", Format(5, ~0u, 0, '.', 2));
    EXPECT_EQ("0.45", Format(45, ~0u, ',', '.', 2));
    EXPECT_EQ("    42", Format(42, 6, 0, '.', 0));
    EXPECT_EQ("567", Format(1234567, 3, ',', '.', 0));
    EXPECT_EQ("0", Format(0, ~0u, ',', '.', 0));
    EXPECT_EQ("123", Format(123, ~0u, ',', '.', 0));
    EXPECT_EQ("1.234,5", Format(12345, ~0u, '.', ',', 1));
    EXPECT_EQ(" 12,345.67", Format(1234567, 10, ',', '.', 2));
    // Signed: no separator directly before the minus sign.
    EXPECT_EQ("-123,456", Format(static_cast<unsigned>(-123456), ~0u, ',', '.', 0));
    EXPECT_EQ("-2,147,483,648", Format(0x80000000u, ~0u, ',', '.', 0));
    // Sixteen characters at most when no width is given.
    EXPECT_EQ("12,345,678.90", Format(1234567890, ~0u, ',', '.', 2));
    EXPECT_EQ(".000000000000005", Format(5, ~0u, 0, '.', 15));
    EXPECT_EQ("5,678.90", Format(1234567890, 8, ',', '.', 2));

    CT_UString wide;
    CT_StringTools::sv_FormatNumber(&wide, 9876, 7, ',', '.', 0);
    EXPECT_EQ(u"  9,876", Text(wide));
}

TEST(StringToolsTest, HostileArgumentsStayInsideTheText) {
    // A start past the text, in either direction, finds nothing instead of
    // reading the memory beyond it.
    CT_UString abc = U(u"abc");
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"x"), &abc, 0x10000000u, 1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindNot(W(u"x"), &abc, 0x10000000u, 1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"x"), &abc, 0x10000000u, -1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindNot(W(u"x"), &abc, 0x10000000u, -1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindNot(W(u"x"), &abc, 3, -1));
    CT_UString empty;
    EXPECT_EQ(~0u, CT_StringTools::sn_FindNot(W(u"x"), &empty, 5, -1));
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(W(u"x"), nullptr, 0, 1));
    // No set: every character is outside it.
    EXPECT_EQ(~0u, CT_StringTools::sn_FindAny(nullptr, &abc, 0, 1));
    EXPECT_EQ(2u, CT_StringTools::sn_FindNot(nullptr, &abc, 2, -1));

    // A huge width is cut to the 2047 characters of the formatting work
    // area: the number still stands at the right end.
    std::string wide = Format(1234, 0xFFFFFFF0u, ',', '.', 0);
    ASSERT_EQ(2047u, wide.size());
    EXPECT_EQ(std::string(2042, ' ') + "1,234", wide);
    EXPECT_EQ(2047u, Format(7, ~0u - 1, 0, '.', ~0u).size());
    // Huge decimals without a width fill the 16 characters and stop.
    EXPECT_EQ("0000000000000007", Format(7, ~0u, 0, '.', ~0u));
    EXPECT_EQ("", Format(7, 0, ',', '.', 3));
    CT_StringTools::sv_FormatNumber(nullptr, 1, 3, 0, '.', 0);
}
