#include "Foundation/Basis/Character/Compare.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "Foundation/Basis/Character/CaseLocaleTesting.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::W;

namespace {

int i_Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

TEST(Compare, NumbersOrderAsUnsignedOrSigned) {
    EXPECT_EQ(CT_Compare::si_CompareN(1, 2), -1);
    EXPECT_EQ(CT_Compare::si_CompareN(2, 2), 0);
    EXPECT_EQ(CT_Compare::si_CompareN(0xFFFFFFFFu, 1), 1);
    EXPECT_EQ(CT_Compare::si_CompareN4(0x80000000u, 0x7FFFFFFFu), 1);
    EXPECT_EQ(CT_Compare::si_CompareI(-1, 1), -1);
    EXPECT_EQ(CT_Compare::si_CompareI(1, -1), 1);
    EXPECT_EQ(CT_Compare::si_CompareI(-5, -5), 0);

    // The pointer forms through the container callback type.
    typedef int (*tpf_Compare)(void const*, void const*);
    unsigned big = 0xFFFFFFFFu, one = 1;
    std::uint32_t big4 = 0x80000000u, small4 = 3;
    int minus = -1, plus = 1;
    tpf_Compare pn = &CT_Compare::si_ComparePN, pn4 = &CT_Compare::si_ComparePN4, pi = &CT_Compare::si_ComparePI;
    EXPECT_EQ(pn(&big, &one), 1);
    EXPECT_EQ(pn(&one, &big), -1);
    EXPECT_EQ(pn(&one, &one), 0);
    EXPECT_EQ(pn4(&big4, &small4), 1);
    EXPECT_EQ(pi(&minus, &plus), -1);
    EXPECT_EQ(CT_Compare::si_ComparePI(&plus, &minus), 1);
    EXPECT_EQ(CT_Compare::si_ComparePN(&big, &one), 1);
}

// Narrow and wide texts with the result each comparison must give.
struct st_Narrow {
    char const* a;
    char const* b;
    int expected;
};
struct st_Wide {
    char16_t const* a;
    char16_t const* b;
    int expected;
};

TEST(Compare, CaseSensitiveTextsCompareUnsignedUnits) {
    // Capitals order before '_' (0x5F), lower case after it; a byte of 0x80
    // and above is a large unsigned value, not a negative one.
    st_Narrow const narrowRows[] = {{"ab", "abc", -1}, {"abc", "ab", 1}, {"abc", "abc", 0}, {"", "", 0},
                                    {"", "a", -1},     {"A", "_", -1},   {"a", "_", 1},     {"\xE9", "z", 1},
                                    {"a\x80", "a\x7F", 1}};
    for (auto const& r : narrowRows)
        EXPECT_EQ(CT_Compare::si_CompareCaseQCZ(r.a, r.b), r.expected) << r.a << " " << r.b;
    st_Wide const wideRows[] = {{u"ab", u"abc", -1}, {u"ABC", u"abc", -1}, {u"abc", u"abc", 0},
                                {u"\uFFFF", u"a", 1}, {u"a\u8000", u"a\u7FFF", 1}};
    int row = 0;
    for (auto const& r : wideRows) EXPECT_EQ(CT_Compare::si_CompareCaseQUZ(W(r.a), W(r.b)), r.expected) << row++;

    char const* ab = "ab";
    char const* abc = "abc";
    EXPECT_EQ(CT_Compare::si_CompareCasePQCZ(&ab, &abc), -1);
    int (*narrow)(void const*, void const*) = &CT_Compare::si_CompareCasePQCZ;
    EXPECT_EQ(narrow(&abc, &ab), 1);
    W wab(u"ab"), wAB(u"AB");
    unsigned short const* pab = wab;
    unsigned short const* pAB = wAB;
    int (*wide)(void const*, void const*) = &CT_Compare::si_CompareCasePQUZ;
    EXPECT_EQ(wide(&pAB, &pab), -1);
    EXPECT_EQ(CT_Compare::si_CompareCasePQUZ(&pab, &pab), 0);
}

TEST(Compare, CaseInsensitiveTextsFoldToLowerCase) {
    // Folded to lower case '_' orders before every letter, capitals too, and
    // 'Z' after '['. The narrow form answers -1, 0 or 1 only, and only A to
    // Z fold: E9 and C9 stay apart.
    st_Narrow const narrowRows[] = {{"ABC", "abc", 0}, {"abc", "ABD", -1}, {"abd", "ABC", 1}, {"ab", "ABC", -1},
                                    {"_", "A", -1},    {"Z", "[", 1},      {"a", "z", -1},    {"\xE9", "\xC9", 1}};
    for (auto const& r : narrowRows)
        EXPECT_EQ(CT_Compare::si_CompareNoCaseQCZ(r.a, r.b), r.expected) << r.a << " " << r.b;
    EXPECT_EQ(CT_Compare::si_CompareNoCaseQUZ(W(u"ABC"), W(u"abc")), 0);
    EXPECT_LT(CT_Compare::si_CompareNoCaseQUZ(W(u"_"), W(u"A")), 0);
    EXPECT_GT(CT_Compare::si_CompareNoCaseQUZ(W(u"\u00E9"), W(u"\u00C9")), 0);
    // The wide form gives the difference of the folded units.
    EXPECT_EQ(CT_Compare::si_CompareNoCaseQUZ(W(u"a"), W(u"Z")), 'a' - 'z');
    EXPECT_EQ(CT_Compare::si_CompareNoCaseQUZ(W(u"ab"), W(u"AB\u0100")), -0x100);

    char const* upper = "HELLO";
    char const* lower = "hello";
    EXPECT_EQ(CT_Compare::si_CompareNoCasePQCZ(&upper, &lower), 0);
    int (*narrow)(void const*, void const*) = &CT_Compare::si_CompareNoCasePQCZ;
    EXPECT_EQ(narrow(&upper, &lower), 0);
    W wupper(u"NAME"), wlower(u"name"), wother(u"named");
    unsigned short const* pu = wupper;
    unsigned short const* pl = wlower;
    unsigned short const* po = wother;
    int (*wide)(void const*, void const*) = &CT_Compare::si_CompareNoCasePQUZ;
    int (*wideConst)(void const*, void const*) = &CT_Compare::si_CompareNoCasePQCUZ;
    EXPECT_EQ(wide(&pu, &pl), 0);
    EXPECT_LT(wideConst(&pl, &po), 0);
    EXPECT_EQ(CT_Compare::si_CompareNoCasePQCUZ(&pu, &pl), 0);
}

TEST(Compare, CaseInsensitiveTextsFoldByTheCurrentLocale) {
    {
        CaseLocaleTesting::CT_FoldingLocale locale;
        if (locale.b_WideFolds()) {
            EXPECT_EQ(CT_Compare::si_CompareNoCaseQUZ(W(u"\u00E9t\u00E9"), W(u"\u00C9T\u00C9")), 0);
            EXPECT_EQ(CT_Compare::si_CompareNoCaseQUZ(W(u"\u00C9"), W(u"\u00E0")), 0xE9 - 0xE0);
            W upper(u"\u03A9\u00C9"), lower(u"\u03C9\u00E9");
            unsigned short const* pu = upper;
            unsigned short const* pl = lower;
            EXPECT_EQ(CT_Compare::si_CompareNoCasePQUZ(&pu, &pl), 0);
            EXPECT_EQ(CT_Compare::si_CompareNoCasePQCUZ(&pu, &pl), 0);
            CT_UString a(upper, ~0u), b(lower, ~0u);
            EXPECT_EQ(CT_Compare::si_CompareUStringNoCasePCO(&a, &b), 0);
            EXPECT_NE(CT_Compare::si_CompareUStringCasePCO(&a, &b), 0);
        } else {
            std::printf("no locale folds U+00E9 here; the wide case is left out\n");
        }
        if (locale.b_NarrowFolds()) {
            EXPECT_EQ(CT_Compare::si_CompareNoCaseQCZ("\xE9", "\xC9"), 0);
        }
        EXPECT_EQ(CT_Compare::si_CompareNoCaseQCZ("_", "A"), -1);
    }
    EXPECT_GT(CT_Compare::si_CompareNoCaseQUZ(W(u"\u00E9"), W(u"\u00C9")), 0);
    EXPECT_EQ(CT_Compare::si_CompareNoCaseQCZ("\xE9", "\xC9"), 1);
}

TEST(Compare, StringObjectsCompareTheirTexts) {
    CT_CString a("Apple", ~0u, 1252), b("apple", ~0u, 1252), empty;
    CT_CString const *pa = &a, *pb = &b, *pe = &empty;
    EXPECT_EQ(CT_Compare::si_CompareCStringPPCO(&pa, &pb), -1);
    EXPECT_EQ(CT_Compare::si_CompareCStringNoCasePPCO(&pa, &pb), 0);
    EXPECT_EQ(CT_Compare::si_CompareCStringPPCO(&pe, &pa), -1);
    int (*narrow)(void const*, void const*) = &CT_Compare::si_CompareCStringNoCasePPCO;
    EXPECT_EQ(narrow(&pb, &pa), 0);

    CT_UString wa(W(u"Apple"), ~0u), wb(W(u"apple"), ~0u), wempty, wemptyText(W(u""), ~0u);
    CT_UString const *pwa = &wa, *pwb = &wb;
    EXPECT_EQ(CT_Compare::si_CompareUStringPPCO(&pwa, &pwb), -1);
    EXPECT_EQ(CT_Compare::si_CompareUStringNoCasePPCO(&pwa, &pwb), 0);
    EXPECT_EQ(CT_Compare::si_CompareUStringCasePCO(&wa, &wb), -1);
    EXPECT_EQ(CT_Compare::si_CompareUStringNoCasePCO(&wa, &wb), 0);
    // An unset string equals an empty one.
    EXPECT_EQ(CT_Compare::si_CompareUStringCasePCO(&wempty, &wemptyText), 0);
    EXPECT_EQ(CT_Compare::si_CompareUStringCasePCO(&wempty, &wa), -1);
    int (*wide)(void const*, void const*) = &CT_Compare::si_CompareUStringPPCO;
    EXPECT_EQ(wide(&pwb, &pwa), 1);

    // Any kind: both become wide first, so a narrow E9 (code page 1252)
    // meets the wide U+00E9 as equal, and orders after 'z' as U+00E9 does.
    CT_CString accented("caf\xE9", ~0u, 1252);
    CT_UString wideAccented(W(u"caf\u00E9"), ~0u);
    CT_UString wideCafz(W(u"cafz"), ~0u);
    CT_String const* pAccented = &accented;
    CT_String const* pWideAccented = &wideAccented;
    CT_String const* pCafz = &wideCafz;
    EXPECT_EQ(CT_Compare::si_CompareStringPPCO(&pAccented, &pWideAccented), 0);
    EXPECT_EQ(i_Sign(CT_Compare::si_CompareStringPPCO(&pAccented, &pCafz)), 1);
    CT_String const* pUpper = &a;
    CT_String const* pLower = &wb;
    EXPECT_EQ(i_Sign(CT_Compare::si_CompareStringPPCO(&pUpper, &pLower)), -1);
    EXPECT_EQ(CT_Compare::si_CompareStringNoCasePPCO(&pUpper, &pLower), 0);
    int (*any)(void const*, void const*) = &CT_Compare::si_CompareStringNoCasePPCO;
    EXPECT_EQ(any(&pLower, &pUpper), 0);
    CT_String const* pEmpty = &empty;
    CT_String const* pWideEmpty = &wempty;
    EXPECT_EQ(CT_Compare::si_CompareStringPPCO(&pEmpty, &pWideEmpty), 0);
}

}  // namespace
