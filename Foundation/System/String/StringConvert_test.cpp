#include "Foundation/System/String/StringConvert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/CodePage.h"
#include "Foundation/System/String/UTF.h"

namespace {

typedef std::vector<unsigned short> Units;

struct st_Random {
    std::uint32_t n4_State;
    unsigned n_Next() {
        n4_State = n4_State * 1664525u + 1013904223u;
        return n4_State >> 8;
    }
};

TEST(StringConvert, MultiToWideArrays) {
    unsigned short units[16];
    units[0] = 0xEEEE;
    EXPECT_EQ(CT_StringConvert::si_MultiToWide(units, "abc", 0, 1252), 0);
    EXPECT_EQ(units[0], 0);
    // Count ~0 converts the terminator too, and counts it.
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "ab\x80", ~0u, 1252), 4);
    EXPECT_EQ(units[2], 0x20AC);
    EXPECT_EQ(units[3], 0);
    // A result of one zero unit becomes "?"; zero units among others stay.
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "", 1, 1252), 1);
    EXPECT_EQ(units[0], '?');
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "", ~0u, 1252), 1);
    EXPECT_EQ(units[0], '?');
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "a", 2, 1252), 2);
    EXPECT_EQ(units[1], 0);
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "\x82\xA0", 2, 932), 1);
    EXPECT_EQ(units[0], 0x3042);
    // UTF-8 and UTF-7 go to the library's coders, which end the units with
    // a zero unit and do not count it.
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "\xC3\xA9", ~0u, 65001), 1);
    EXPECT_EQ(units[0], 0xE9);
    EXPECT_EQ(units[1], 0);
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, "+AOk-", 5, 65000), 1);
    EXPECT_EQ(units[0], 0xE9);

    // Code pages the system does not know are the ANSI code page.
    char high[128];
    for (unsigned b = 0; b < 128; ++b) high[b] = static_cast<char>(0x80 + b);
    Units ansi(129), other(129);
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(ansi.data(), high, 128, Platform::n_GetAnsiCodePage()), 128);
    for (unsigned codePage : {0u, 12345u, ~0u, ~1u}) {
        ASSERT_EQ(CT_StringConvert::si_MultiToWide(other.data(), high, 128, codePage), 128) << codePage;
        EXPECT_EQ(other, ansi) << codePage;
    }
    ASSERT_EQ(CT_StringConvert::si_MultiToWideANSI(other.data(), high, 128), 128);
    EXPECT_EQ(other, ansi);
}

TEST(StringConvert, WideToMultiArrays) {
    char bytes[32];
    unsigned short const text[] = {'a', 0x20AC, 0};
    bytes[0] = '#';
    EXPECT_EQ(CT_StringConvert::si_WideToMulti(bytes, text, 0, 1252), 0);
    EXPECT_EQ(bytes[0], 0);
    int used = -1;
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, text, ~0u, 1252, nullptr, &used), 3);
    EXPECT_EQ(std::string(bytes, 3), std::string("a\x80", 3));
    EXPECT_EQ(used, 0);
    unsigned short const han[] = {0x4E00, 'x'};
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, han, 2, 1252, nullptr, &used), 2);
    EXPECT_EQ(std::string(bytes, 2), "?x");
    EXPECT_EQ(used, 1);
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, han, 2, 1252, "*", &used), 2);
    EXPECT_EQ(std::string(bytes, 2), "*x");
    unsigned short const hiragana[] = {0x3042, 'x'};
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, hiragana, 2, 932), 3);
    EXPECT_EQ(std::string(bytes, 3), "\x82\xA0x");
    // UTF-8 with count ~0: the encoder stops before the terminator.
    unsigned short const e[] = {0xE9, 0};
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, e, ~0u, 65001, nullptr, &used), 2);
    EXPECT_STREQ(bytes, "\xC3\xA9");
    EXPECT_EQ(used, 0);
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, e, 1, 65000), 5);
    EXPECT_STREQ(bytes, "+AOk-");
    // Unknown code pages are the ANSI one.
    Units all(255);
    for (unsigned u = 0; u < 255; ++u) all[u] = static_cast<unsigned short>(0x80 + u * 97);
    std::vector<char> ansi(510), other(510);
    int n = CT_StringConvert::si_WideToMultiANSI(ansi.data(), all.data(), 255);
    EXPECT_GT(n, 0);
    EXPECT_EQ(CT_StringConvert::si_WideToMulti(other.data(), all.data(), 255, 12345), n);
    EXPECT_EQ(other, ansi);
}

// The documented room and not a byte more, for any text: canaries after
// the target stay as they were.
TEST(StringConvert, RoomIsNeverExceeded) {
    st_Random random{3};
    unsigned const canary = 16;
    for (unsigned round = 0; round < 400; ++round) {
        unsigned n = random.n_Next() % 24;
        Units text(n + 1, 0);
        for (unsigned i = 0; i < n; ++i) {
            unsigned kind = random.n_Next() % 4;
            text[i] = static_cast<unsigned short>(kind == 0 ? 1 + random.n_Next() % 0x7F
                                                  : kind == 1 ? 0x80 + random.n_Next() % 0x780
                                                              : 1 + random.n_Next() % 0xFFFF);
        }
        for (unsigned codePage : {1252u, 932u, 936u, 65000u, 65001u}) {
            // The zero byte written first needs room even for no text.
            unsigned room = codePage == 65000 ? n * 3 + 3 : codePage == 65001 ? n * 3 + 1 : n ? n * 2 : 1;
            std::vector<char> target(room + canary, '#');
            int written = CT_StringConvert::si_WideToMulti(target.data(), text.data(), n, codePage);
            ASSERT_LE(static_cast<unsigned>(written), room);
            ASSERT_EQ(std::string(target.data() + room, canary), std::string(canary, '#')) << codePage << " " << n;
            if (codePage < 65000) continue;
            // The whole text with its terminator, as count ~0 reads it.
            room = codePage == 65000 ? (n + 1) * 3 + 3 : (n + 1) * 3 + 1;
            target.assign(room + canary, '#');
            CT_StringConvert::si_WideToMulti(target.data(), text.data(), ~0u, codePage);
            ASSERT_EQ(std::string(target.data() + room, canary), std::string(canary, '#')) << codePage << " " << n;
        }

        std::string bytes(n, '\0');
        for (char& byte : bytes) byte = static_cast<char>(1 + random.n_Next() % 255);
        for (unsigned codePage : {1252u, 932u, 949u, 65000u, 65001u}) {
            Units target(n + 1 + canary, 0xEEEE);
            int written = CT_StringConvert::si_MultiToWide(target.data(), bytes.data(), n, codePage);
            ASSERT_LE(static_cast<unsigned>(written), n);
            ASSERT_EQ(Units(target.begin() + n + 1, target.end()), Units(canary, 0xEEEE)) << codePage;
            target.assign(n + 1 + canary, 0xEEEE);
            CT_StringConvert::si_MultiToWide(target.data(), bytes.c_str(), ~0u, codePage);
            ASSERT_EQ(Units(target.begin() + n + 1, target.end()), Units(canary, 0xEEEE)) << codePage;
        }
    }
    CT_UTF::sv_UTF8ToWideInit();
}

TEST(StringConvert, StringTargets) {
    // Narrow to wide: the string ends after the units written.
    CT_UString wide;
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(&wide, "h\xE9llo", ~0u, 1252), 5);
    EXPECT_EQ(wide.n_GetLength(), 5u);
    EXPECT_EQ(wide.qcuz_Get()[1], 0xE9);
    EXPECT_EQ(wide.qcuz_Get()[5], 0);
    EXPECT_EQ(wide.pcco_GetBuffer()->n_GetUsedSize(), 12u);
    // A target that shares its buffer is unshared first.
    CT_UString copy(wide);
    EXPECT_EQ(wide.pcco_GetBuffer()->n_GetUseCount(), 2u);
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(&copy, "ab", 2, 1252), 2);
    EXPECT_EQ(copy.n_GetLength(), 2u);
    EXPECT_EQ(wide.n_GetLength(), 5u);
    EXPECT_EQ(wide.qcuz_Get()[0], 'h');
    EXPECT_EQ(wide.pcco_GetBuffer()->n_GetUseCount(), 1u);
    EXPECT_EQ(CT_StringConvert::si_MultiToWide(&copy, "", ~0u, 1252), 0);
    EXPECT_EQ(copy.n_GetLength(), 0u);
    EXPECT_EQ(copy.qcuz_Get()[0], 0);

    // Wide to narrow with count ~0: the converted terminator is part of the
    // string.
    unsigned short const abc[] = {'a', 'b', 0x20AC, 0};
    CT_CString narrow(1252);
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(&narrow, abc, ~0u, 1252), 4);
    EXPECT_EQ(narrow.n_GetLength(), 4u);
    EXPECT_EQ(std::string(narrow.qccz_Get(), 5), std::string("ab\x80\0\0", 5));
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(&narrow, abc, 3, 1252), 3);
    EXPECT_EQ(narrow.n_GetLength(), 3u);
    EXPECT_STREQ(narrow.qccz_Get(), "ab\x80");
    // UTF-7 and UTF-8 get the room they need in the string forms too.
    unsigned short const accents[] = {0xE9, 'a', 0xE9, 'a', 0xE9};
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(&narrow, accents, 5, 65000), 17);
    EXPECT_STREQ(narrow.qccz_Get(), "+AOk-a+AOk-a+AOk-");
    ASSERT_EQ(CT_StringConvert::si_WideToUTF7(&narrow, accents, 1), 5);
    EXPECT_STREQ(narrow.qccz_Get(), "+AOk-");
    EXPECT_EQ(narrow.n_GetLength(), 5u);
    unsigned short const euros[] = {0x20AC, 0x20AC, 0};
    ASSERT_EQ(CT_StringConvert::si_WideToUTF8(&narrow, euros, ~0u), 6);
    EXPECT_STREQ(narrow.qccz_Get(), "\xE2\x82\xAC\xE2\x82\xAC");
    EXPECT_EQ(narrow.n_GetLength(), 6u);
    ASSERT_EQ(CT_StringConvert::si_UTF8ToWide(&wide, "\xE2\x82\xAC!", ~0u), 2);
    EXPECT_EQ(wide.n_GetLength(), 2u);
    EXPECT_EQ(wide.qcuz_Get()[0], 0x20AC);
    ASSERT_EQ(CT_StringConvert::si_UTF7ToWide(&wide, "+AOk-x", ~0u), 2);
    EXPECT_EQ(wide.n_GetLength(), 2u);
    EXPECT_EQ(wide.qcuz_Get()[2], 0);

    // A text long enough that the buffers grow by the large-size rule.
    Units longText(5000);
    for (unsigned i = 0; i < 5000; ++i) longText[i] = static_cast<unsigned short>(i % 3 ? 'a' + i % 26 : 0x430 + i % 32);
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(&narrow, longText.data(), 5000, 1251), 5000);
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(&wide, narrow.qccz_Get(), ~0u, 1251), 5000);
    EXPECT_EQ(Units(wide.qcuz_Get(), wide.qcuz_Get() + 5000), longText);
}

TEST(StringConvert, StringSources) {
    CT_UTF::sv_UTF8ToWideInit();
    CT_CString narrow("h\xE9", 2, 1252);
    CT_CString empty(1252);
    unsigned short units[8];
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(units, &narrow, 1252), 2);
    EXPECT_EQ(units[1], 0xE9);
    EXPECT_EQ(CT_StringConvert::si_MultiToWide(units, &empty, 1252), 0);
    EXPECT_EQ(units[0], 0);
    CT_UString wide;
    ASSERT_EQ(CT_StringConvert::si_MultiToWide(&wide, &narrow, 1252), 2);
    EXPECT_EQ(wide.qcuz_Get()[1], 0xE9);
    ASSERT_EQ(CT_StringConvert::si_MultiToWideANSI(&wide, &narrow), 2);
    EXPECT_EQ(CT_StringConvert::si_MultiToWideANSI(units, &empty), 0);
    CT_CString utf8("\xC3\xA9", 2, 65001), utf7("+AOk-", 5, 65000);
    ASSERT_EQ(CT_StringConvert::si_UTF8ToWide(units, &utf8), 1);
    EXPECT_EQ(units[0], 0xE9);
    ASSERT_EQ(CT_StringConvert::si_UTF8ToWide(&wide, &utf8), 1);
    ASSERT_EQ(CT_StringConvert::si_UTF7ToWide(units, &utf7), 1);
    ASSERT_EQ(CT_StringConvert::si_UTF7ToWide(&wide, &utf7), 1);
    EXPECT_EQ(wide.qcuz_Get()[0], 0xE9);

    // A wide source: its characters without the terminator.
    unsigned short const text[] = {'h', 0xE9};
    CT_UString source(text, 2);
    char bytes[16];
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(bytes, &source, 1252), 2);
    EXPECT_EQ(std::string(bytes, 2), "h\xE9");
    CT_CString target(1252);
    ASSERT_EQ(CT_StringConvert::si_WideToMulti(&target, &source, 1252), 2);
    EXPECT_EQ(target.n_GetLength(), 2u);
    ASSERT_EQ(CT_StringConvert::si_WideToMultiANSI(bytes, &source), 2);
    ASSERT_EQ(CT_StringConvert::si_WideToMultiANSI(&target, &source), 2);
    ASSERT_EQ(CT_StringConvert::si_WideToUTF8(bytes, &source), 3);
    EXPECT_STREQ(bytes, "h\xC3\xA9");
    ASSERT_EQ(CT_StringConvert::si_WideToUTF8(&target, &source), 3);
    EXPECT_STREQ(target.qccz_Get(), "h\xC3\xA9");
    ASSERT_EQ(CT_StringConvert::si_WideToUTF7(bytes, &source), 6);
    EXPECT_STREQ(bytes, "h+AOk-");
    ASSERT_EQ(CT_StringConvert::si_WideToUTF7(&target, &source), 6);
    EXPECT_STREQ(target.qccz_Get(), "h+AOk-");
    CT_UString nothing;
    EXPECT_EQ(CT_StringConvert::si_WideToUTF8(bytes, &nothing), 0);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(CT_StringConvert::si_WideToMulti(&target, &nothing, 1252), 0);
    EXPECT_EQ(target.n_GetLength(), 0u);
}

TEST(StringConvert, OneCharacter) {
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('\x80', 1252), 0x20AC);
    EXPECT_EQ(CT_StringConvert::sc_WideToMulti(0x20AC, 1252), '\x80');
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('\xE0', 1251), 0x430);
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide(0, 1252), 0);
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('A', 12345), 'A');
    // A lead byte alone is the code page's default character; a character
    // that needs two bytes, or has none, is "?".
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('\x82', 932), 0x30FB);
    EXPECT_EQ(CT_StringConvert::sc_WideToMulti(0x3042, 932), '?');
    EXPECT_EQ(CT_StringConvert::sc_WideToMulti(0x4E00, 1252), '?');
    EXPECT_EQ(CT_StringConvert::sc_WideToMulti('A', 932), 'A');
    // UTF-8 and UTF-7: ASCII is itself, the rest is replaced, and a
    // sequence the decoder holds is left alone.
    unsigned short units[4];
    CT_UTF::sv_UTF8ToWideInit();
    EXPECT_EQ(CT_StringConvert::si_UTF8ToWide(units, "\xC3", 1), 0);
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('A', 65001), 'A');
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('\xC3', 65001), 0xFFFD);
    EXPECT_EQ(CT_StringConvert::sus_MultiToWide('+', 65000), '+');
    EXPECT_EQ(CT_StringConvert::sc_WideToMulti(0xE9, 65001), '?');
    EXPECT_EQ(CT_StringConvert::sc_WideToMulti('+', 65000), '+');
    EXPECT_EQ(CT_StringConvert::si_UTF8ToWide(units, "\xA9", 1), 1);
    EXPECT_EQ(units[0], 0xE9);
}

}  // namespace
