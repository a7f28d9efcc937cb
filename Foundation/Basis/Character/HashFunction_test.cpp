#include "Foundation/Basis/Character/HashFunction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Foundation/Basis/Character/CaseLocaleTesting.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::W;

namespace {

// With n = 0xFFFFFFFF the bucket is the raw hash plus 1 (the hash keeps to
// 28 bits, so the modulo changes nothing).
constexpr unsigned kRaw = 0xFFFFFFFFu;

TEST(HashFunction, NumbersAreTheValueModuloTheSizePlusOne) {
    EXPECT_EQ(CT_HashFunction::sn_HashN(10, 7), 4u);
    EXPECT_EQ(CT_HashFunction::sn_HashN(0, 7), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashN(6, 7), 7u);
    EXPECT_EQ(CT_HashFunction::sn_HashN4(0xFFFFFFFFu, 10), 6u);  // 4294967295 mod 10 = 5
    std::uint32_t v = 27;
    EXPECT_EQ(CT_HashFunction::sn_HashPN4(&v, 13), 2u);
    unsigned (*callback)(void const*, unsigned) = &CT_HashFunction::sn_HashPN4;
    EXPECT_EQ(callback(&v, 13), 2u);
}

TEST(HashFunction, TextHashByHand) {
    // Empty text: bucket 1 whatever the size.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("", 1000), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("", 1), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQUZ(W(u""), 97), 1u);
    // ab: 0x61 * 16 + 0x62 = 1650; 1650 mod 1000 + 1 = 651.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("ab", 1000), 651u);
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQUZ(W(u"ab"), 1000), 651u);

    // ABCDEFGHI, nine characters, the top four bits fold from the seventh on:
    //   A 00000041  B 00000452  C 00004563  D 00045674  E 00456785  F 04567896
    //   G 456789A7: top 4, so 056789A7 ^ 40       = 056789E7
    //   H 56789EB8: top 5, so 06789EB8 ^ 50       = 06789EE8
    //   I 6789EEC9: top 6, so 0789EEC9 ^ 60       = 0789EEA9
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("ABCDEFGHI", kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQUZ(W(u"ABCDEFGHI"), kRaw), 0x0789EEA9u + 1);
    // 0x0789EEA9 = 126480041: mod 1000 = 41, mod 13 = 12.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("ABCDEFGHI", 1000), 42u);
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("ABCDEFGHI", 13), 13u);
}

TEST(HashFunction, NarrowHighBytesEnterSignExtended) {
    // E9 enters as -23 = FFFFFFE9: top bits F, so 0FFFFFE9 ^ F0 = 0FFFFF19.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("\xE9", kRaw), 0x0FFFFF19u + 1);
    // The wide unit E9 enters as 233.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQUZ(W(u"\u00E9"), kRaw), 0xE9u + 1);
    // A E9 B: 41; 41 * 16 - 23 = 3F9; 3F9 * 16 + 42 = 3FD2.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ("A\xE9" "B", kRaw), 0x3FD2u + 1);
    // Wide: 41; 410 + E9 = 4F9; 4F90 + 42 = 4FD2.
    EXPECT_EQ(CT_HashFunction::sn_HashCaseQUZ(W(u"A\u00E9B"), kRaw), 0x4FD2u + 1);
    // Through string objects: the narrow form hashes the bytes, the any-kind
    // form the wide conversion, so they part on the byte E9.
    CT_CString narrow("A\xE9" "B", ~0u, 1252);
    CT_CString const* pNarrow = &narrow;
    CT_String const* pAny = &narrow;
    EXPECT_EQ(CT_HashFunction::sn_HashCStringPPCO(&pNarrow, kRaw), 0x3FD2u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashStringPPCO(&pAny, kRaw), 0x4FD2u + 1);
    // For ASCII text the two agree.
    CT_CString ascii("ABCDEFGHI", ~0u, 1252);
    CT_CString const* pAscii = &ascii;
    CT_String const* pAsciiAny = &ascii;
    EXPECT_EQ(CT_HashFunction::sn_HashCStringPPCO(&pAscii, 1000), 42u);
    EXPECT_EQ(CT_HashFunction::sn_HashStringPPCO(&pAsciiAny, 1000), 42u);
}

TEST(HashFunction, CaseInsensitiveFormsFoldToUpperCase) {
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("ab", 1000), CT_HashFunction::sn_HashCaseQCZ("AB", 1000));
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("abcdefghi", kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQUZ(W(u"aBcDeFgHi"), kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCUZ(W(u"abcdefghi"), kRaw), 0x0789EEA9u + 1);
    // Only a to z change: '_' (5F) and '`' stay, a high byte stays as it is.
    EXPECT_NE(CT_HashFunction::sn_HashNoCaseQCZ("_", kRaw), CT_HashFunction::sn_HashNoCaseQCZ("\x7F", kRaw));
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("_", kRaw), 0x5Fu + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("\xE9", kRaw), 0x0FFFFF19u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQUZ(W(u"\u00E9"), kRaw), 0xE9u + 1);

    // The pointer and object forms reach the same text hash.
    char const* narrow = "abcdefghi";
    W upper(u"ABCDEFGHI");
    unsigned short const* wide = upper;
    EXPECT_EQ(CT_HashFunction::sn_HashNoCasePQCZ(&narrow, kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashCasePQCZ(&narrow, kRaw), CT_HashFunction::sn_HashCaseQCZ(narrow, kRaw));
    EXPECT_EQ(CT_HashFunction::sn_HashCasePQUZ(&wide, kRaw), 0x0789EEA9u + 1);
    CT_UString lower(W(u"abcdefghi"), ~0u);
    CT_UString const* pLower = &lower;
    CT_CString lowerNarrow("abcdefghi", ~0u, 1252);
    CT_CString const* pLowerNarrow = &lowerNarrow;
    CT_String const* pLowerAny = &lowerNarrow;
    EXPECT_EQ(CT_HashFunction::sn_HashUStringNoCasePPCO(&pLower, kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashUStringNoCasePCO(&lower, kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashCStringNoCasePPCO(&pLowerNarrow, kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashStringNoCasePPCO(&pLowerAny, kRaw), 0x0789EEA9u + 1);
    EXPECT_NE(CT_HashFunction::sn_HashUStringPCO(&lower, kRaw), 0x0789EEA9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashUStringPPCO(&pLower, kRaw), CT_HashFunction::sn_HashUStringPCO(&lower, kRaw));
}

TEST(HashFunction, CaseInsensitiveFormsFoldByTheCurrentLocale) {
    {
        CaseLocaleTesting::CT_FoldingLocale locale;
        if (locale.b_WideFolds()) {
            // E9 folds to C9 here, a to z as ever; and the units past the
            // six that enter unfolded go through the same fold.
            EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQUZ(W(u"\u00E9"), kRaw), 0xC9u + 1);
            EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQUZ(W(u"abcdefgh\u00E9\u03C9"), kRaw),
                      CT_HashFunction::sn_HashCaseQUZ(W(u"ABCDEFGH\u00C9\u03A9"), kRaw));
            W mixed(u"\u00E9t\u00E9");
            unsigned short const* pMixed = mixed;
            CT_UString object(mixed, ~0u);
            CT_UString const* pObject = &object;
            CT_String const* pAny = &object;
            unsigned const expected = CT_HashFunction::sn_HashCaseQUZ(W(u"\u00C9T\u00C9"), 1009);
            EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCUZ(mixed, 1009), expected);
            EXPECT_EQ(CT_HashFunction::sn_HashNoCasePQUZ(&pMixed, 1009), expected);
            EXPECT_EQ(CT_HashFunction::sn_HashNoCasePQCUZ(&pMixed, 1009), expected);
            EXPECT_EQ(CT_HashFunction::sn_HashUStringNoCasePCO(&object, 1009), expected);
            EXPECT_EQ(CT_HashFunction::sn_HashUStringNoCasePPCO(&pObject, 1009), expected);
            EXPECT_EQ(CT_HashFunction::sn_HashStringNoCasePPCO(&pAny, 1009), expected);
        } else {
            std::printf("no locale folds U+00E9 here; the wide case is left out\n");
        }
        if (locale.b_NarrowFolds()) {
            EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("\xE9", kRaw), CT_HashFunction::sn_HashCaseQCZ("\xC9", kRaw));
            char const* text = "abcdefg\xE9";
            EXPECT_EQ(CT_HashFunction::sn_HashNoCasePQCZ(&text, kRaw), CT_HashFunction::sn_HashCaseQCZ("ABCDEFG\xC9", kRaw));
        }
        // a to z fold in every locale at hand.
        EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("ab", 1000), CT_HashFunction::sn_HashCaseQCZ("AB", 1000));
    }
    // Back in the "C" locale only a to z fold again.
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQUZ(W(u"\u00E9"), kRaw), 0xE9u + 1);
    EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ("\xE9", kRaw), 0x0FFFFF19u + 1);
}

TEST(HashFunction, UnsetStringObjectsHashAsEmptyText) {
    CT_CString emptyNarrow;
    CT_UString emptyWide;
    CT_CString const* pNarrow = &emptyNarrow;
    CT_UString const* pWide = &emptyWide;
    CT_String const* pAny = &emptyNarrow;
    EXPECT_EQ(CT_HashFunction::sn_HashCStringPPCO(&pNarrow, 17), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashUStringPPCO(&pWide, 17), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashUStringPCO(&emptyWide, 17), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashStringPPCO(&pAny, 17), 1u);
    EXPECT_EQ(CT_HashFunction::sn_HashStringNoCasePPCO(&pAny, 17), 1u);
}

// Every callback, for sizes from 1 up and many keys, gives a bucket from 1
// to the size, through the container callback type.
TEST(HashFunction, EveryCallbackStaysWithinOneToTheBucketCount) {
    typedef unsigned (*tpf_Hash)(void const*, unsigned);
    char const* narrowTexts[] = {"", "a", "ab", "Zebra", "\xFF\xFE\x80", "abcdefghijklmnopqrstuvwxyz", "x_y"};
    char16_t const* wideTexts[] = {u"", u"a", u"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF",
                                   u"Hello world", u"\u00E9t\u00E9"};
    unsigned const sizes[] = {1, 2, 3, 13, 29, 1000, 65521, 0x7FFFFFFFu, 0xFFFFFFFFu};

    tpf_Hash narrowForms[] = {&CT_HashFunction::sn_HashCasePQCZ, &CT_HashFunction::sn_HashNoCasePQCZ};
    tpf_Hash wideForms[] = {&CT_HashFunction::sn_HashCasePQUZ, &CT_HashFunction::sn_HashNoCasePQUZ,
                            &CT_HashFunction::sn_HashNoCasePQCUZ};
    tpf_Hash cstringForms[] = {&CT_HashFunction::sn_HashCStringPPCO, &CT_HashFunction::sn_HashCStringNoCasePPCO,
                               &CT_HashFunction::sn_HashStringPPCO, &CT_HashFunction::sn_HashStringNoCasePPCO};
    tpf_Hash ustringForms[] = {&CT_HashFunction::sn_HashUStringPPCO, &CT_HashFunction::sn_HashUStringNoCasePPCO,
                               &CT_HashFunction::sn_HashStringPPCO, &CT_HashFunction::sn_HashStringNoCasePPCO};
    auto inRange = [](unsigned bucket, unsigned n) {
        EXPECT_GE(bucket, 1u) << n;
        EXPECT_LE(bucket, n) << n;
    };
    for (unsigned n : sizes) {
        for (char const* text : narrowTexts) {
            for (tpf_Hash hash : narrowForms) inRange(hash(&text, n), n);
            inRange(CT_HashFunction::sn_HashCaseQCZ(text, n), n);
            CT_CString s(text, ~0u, 1252);
            CT_CString const* p = &s;
            for (tpf_Hash hash : cstringForms) inRange(hash(&p, n), n);
        }
        for (char16_t const* text : wideTexts) {
            W w(text);
            unsigned short const* units = w;
            for (tpf_Hash hash : wideForms) inRange(hash(&units, n), n);
            CT_UString s(units, ~0u);
            CT_UString const* p = &s;
            for (tpf_Hash hash : ustringForms) inRange(hash(&p, n), n);
            inRange(CT_HashFunction::sn_HashUStringPCO(&s, n), n);
            inRange(CT_HashFunction::sn_HashUStringNoCasePCO(&s, n), n);
        }
        for (std::uint32_t v : {0u, 1u, 12u, 0x80000000u, 0xFFFFFFFFu}) {
            unsigned bucket = CT_HashFunction::sn_HashPN4(static_cast<void const*>(&v), n);
            inRange(bucket, n);
            EXPECT_EQ(CT_HashFunction::sn_HashN(v, n), bucket);
        }
    }
    // Spread: 1000 different keys into 13 buckets reach every bucket.
    bool seen[14] = {};
    char text[16];
    char const* pText = text;
    for (int i = 0; i < 1000; ++i) {
        std::snprintf(text, sizeof text, "key%d", i);
        seen[CT_HashFunction::sn_HashCasePQCZ(&pText, 13)] = true;
    }
    for (int b = 1; b <= 13; ++b) EXPECT_TRUE(seen[b]) << b;
}

// The step-by-step rule, written plainly: every form must agree with it on
// texts that mix ASCII, high bytes and wide units at every position.
std::uint32_t n4_Reference(std::vector<std::int32_t> const& characters) {
    std::uint32_t h = 0;
    for (std::int32_t c : characters) {
        h = h * 16 + static_cast<std::uint32_t>(c);
        std::uint32_t g = h & 0xF0000000u;
        if (g != 0) h = (h & 0x0FFFFFFFu) ^ (g >> 24);
    }
    return h;
}

TEST(HashFunction, MixedTextsFollowTheRuleAtEveryPosition) {
    std::mt19937 random(2024);
    unsigned char const bytes[] = {'a', 'Z', 'q', '_', '0', 0x7F, 0x80, 0xA0, 0xE9, 0xFF};
    unsigned short const units[] = {'a', 'Z', 'q', 0x7F, 0x80, 0xE9, 0x100, 0x3042, 0xFFFF};
    for (int round = 0; round < 2000; ++round) {
        unsigned length = random() % 14;
        std::string narrow;
        std::vector<unsigned short> wide;
        std::vector<std::int32_t> narrowCase, narrowUpper, wideCase, wideUpper;
        for (unsigned i = 0; i < length; ++i) {
            unsigned char b = bytes[random() % sizeof bytes];
            narrow.push_back(static_cast<char>(b));
            narrowCase.push_back(static_cast<signed char>(b));
            narrowUpper.push_back(static_cast<signed char>(b >= 'a' && b <= 'z' ? b - 32 : b));
            unsigned short u = units[random() % (sizeof units / sizeof units[0])];
            wide.push_back(u);
            wideCase.push_back(u);
            wideUpper.push_back(u >= 'a' && u <= 'z' ? u - 32 : u);
        }
        wide.push_back(0);
        EXPECT_EQ(CT_HashFunction::sn_HashCaseQCZ(narrow.c_str(), kRaw), n4_Reference(narrowCase) + 1);
        EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQCZ(narrow.c_str(), kRaw), n4_Reference(narrowUpper) + 1);
        EXPECT_EQ(CT_HashFunction::sn_HashCaseQUZ(wide.data(), kRaw), n4_Reference(wideCase) + 1);
        EXPECT_EQ(CT_HashFunction::sn_HashNoCaseQUZ(wide.data(), kRaw), n4_Reference(wideUpper) + 1);
    }
}

}  // namespace
