// The wide formatter, through CT_UString::v_Format: integers and floating
// point must agree with the C library's narrow formatting of the same
// conversion; texts, characters and pointers follow the wide rules of
// the library's home platform.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

std::vector<unsigned short> Widen(char const* text) {
    std::vector<unsigned short> units;
    while (*text) units.push_back(static_cast<unsigned char>(*text++));
    units.push_back(0);
    return units;
}

std::u16string U16(char const* text) {
    std::u16string result;
    while (*text) result.push_back(static_cast<unsigned char>(*text++));
    return result;
}

template <class T>
std::u16string Wide(char const* format, T value) {
    CT_UString s;
    s.v_Format(Widen(format).data(), value);
    return Text(s);
}

template <class T>
std::u16string Narrow(char const* format, T value) {
    char text[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, format, value);
#pragma GCC diagnostic pop
    return U16(text);
}

}  // namespace

TEST(WideFormatTest, IntegersAgreeWithTheCLibrary) {
    char const* const intFormats[] = {"%d",    "%i",     "%5d",   "%-5d|",  "%05d",   "%+d",    "% d",     "%.3d",
                                      "%8.3d", "%-+8.3d|", "%.0d", "%+.0d", "%-08d|", "% 07d",  "%u",      "%x",
                                      "%X",    "%#x",    "%#X",   "%#10x",  "%#010x", "%o",     "%#o",     "%#.1o",
                                      "%#5o",  "%hd",    "%hhd",  "%hu",    "%hhx",   "%08.3x", "[%-#8X]", "%.10u"};
    int const values[] = {0, 1, -1, 7, 42, -42, 255, 4096, -32768, 65535, INT_MAX, INT_MIN};
    for (char const* format : intFormats)
        for (int value : values) EXPECT_EQ(Wide(format, value), Narrow(format, value)) << format << " " << value;

    char const* const longLongFormats[] = {"%lld", "%llu", "%llx", "%+20lld", "%-#22llo|"};
    long long const bigValues[] = {0, -1, 1234567890123LL, LLONG_MIN, LLONG_MAX};
    for (char const* format : longLongFormats)
        for (long long value : bigValues) EXPECT_EQ(Wide(format, value), Narrow(format, value)) << format;
    // The C rule, which not every C library keeps: # gives octal zero its digit.
    EXPECT_EQ(Wide("%#.0o", 0), u"0");
    EXPECT_EQ(Wide("%I64d", -1234567890123LL), u"-1234567890123");
    EXPECT_EQ(Wide("%I64X", 0xABCDEF0123ULL), u"ABCDEF0123");
    EXPECT_EQ(Wide("%I32d", -5), u"-5");
    EXPECT_EQ(Wide("%ld", -123456L), Narrow("%ld", -123456L));
    EXPECT_EQ(Wide("%zu", static_cast<std::size_t>(99)), u"99");
    EXPECT_EQ(Wide("%Iu", static_cast<std::size_t>(100)), u"100");
    EXPECT_EQ(Wide("%jd", static_cast<std::intmax_t>(-3)), u"-3");
}

TEST(WideFormatTest, FloatingPointAgreesWithTheCLibrary) {
    char const* const formats[] = {"%f", "%.2f", "%10.3e", "%g", "%-8.1f|", "%+08.2f", "%G", "%#.0f", "%E"};
    double const values[] = {0.0, 1.5, -2.25, 12345.678, 1e-5, 6.02e23};
    for (char const* format : formats)
        for (double value : values) EXPECT_EQ(Wide(format, value), Narrow(format, value)) << format << " " << value;
    EXPECT_EQ(Wide("%.3Lf", 2.5L), u"2.500");
    EXPECT_EQ(Wide("%.400f", 1.0).size(), 402u);
}

TEST(WideFormatTest, TextsAndCharactersOfBothKinds) {
    CT_UString s;
    W wide(u"w\u00f6rd");
    s.v_Format(W(u"[%s|%ls|%ws|%S|%hs]"), static_cast<unsigned short const*>(wide),
               static_cast<unsigned short const*>(wide), static_cast<unsigned short const*>(wide), "n\xe9", "h");
    EXPECT_EQ(Text(s), u"[w\u00f6rd|w\u00f6rd|w\u00f6rd|n\u00e9|h]") << "narrow bytes widen by value";

    s.v_Format(W(u"[%6s|%-6s|%.2s|%6.1S]"), static_cast<unsigned short const*>(wide),
               static_cast<unsigned short const*>(wide), static_cast<unsigned short const*>(wide), "xyz");
    EXPECT_EQ(Text(s), u"[  w\u00f6rd|w\u00f6rd  |w\u00f6|     x]");

    s.v_Format(W(u"[%s|%.3s|%S]"), static_cast<unsigned short const*>(nullptr),
               static_cast<unsigned short const*>(nullptr), static_cast<char const*>(nullptr));
    EXPECT_EQ(Text(s), u"[(null)|(nu|(null)]");

    s.v_Format(W(u"[%c|%C|%hc|%lc|%3c|%-3c]"), 0x4e2d, '\xe9', 'h', 0x3042, 'r', 'l');
    EXPECT_EQ(Text(s), u"[\u4e2d|\u00e9|h|\u3042|  r|l  ]");
}

TEST(WideFormatTest, PointersPercentStarsAndOddConversions) {
    CT_UString s;
    s.v_Format(W(u"%p"), reinterpret_cast<void*>(0x1234abcd));
    std::u16string expected(sizeof(void*) * 2 - 8, u'0');
    expected += u"1234ABCD";
    EXPECT_EQ(Text(s), expected);

    s.v_Format(W(u"100%% [%*d] [%-*d] [%.*d] [%*.*s]"), 5, 42, -4, 7, -1, 3, 6, 2,
               static_cast<unsigned short const*>(W(u"abcdef")));
    EXPECT_EQ(Text(s), u"100% [   42] [7   ] [3] [    ab]");

    // What the formatter does not know is copied as it stands.
    s.v_Format(W(u"%y %-5k end%"));
    EXPECT_EQ(Text(s), u"%y %-5k end%");
    s.v_Format(W(u"tail %5"));
    EXPECT_EQ(Text(s), u"tail %5");

    // %n takes its pointer and writes nothing.
    int untouched = 11;
    s.v_Format(W(u"a%nb%d"), &untouched, 5);
    EXPECT_EQ(Text(s), u"ab5");
    EXPECT_EQ(untouched, 11);
}

TEST(WideFormatTest, ResultsKeepTheirFirst2047Units) {
    std::u16string longText(3000, u'x');
    longText[2046] = u'y';
    W text(longText.c_str());
    CT_UString s;
    s.v_Format(W(u"%s"), static_cast<unsigned short const*>(text));
    EXPECT_EQ(s.vn_GetLength(), 2047u);
    EXPECT_EQ(s.u_GetAt(2046), static_cast<unsigned short>(u'y'));

    s.v_Format(W(u"%5000d"), 1);
    EXPECT_EQ(s.vn_GetLength(), 2047u);
    EXPECT_EQ(s.u_GetAt(2046), static_cast<unsigned short>(u' '));
    s.v_Format(W(u"%-5000d"), 1);
    EXPECT_EQ(s.u_GetAt(0), static_cast<unsigned short>(u'1'));
    s.v_Format(W(u"%.3000d"), 1);
    EXPECT_EQ(s.u_GetAt(2046), static_cast<unsigned short>(u'0'));
}
