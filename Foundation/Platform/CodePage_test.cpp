#include "Foundation/Platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

#ifdef _WIN32
// Pages of this file that Windows converts and Wine 8, which runs the
// Windows build's tests, does not have at all.
constexpr unsigned an_WineGaps[] = {858,   1047,  1140,  1149,  20273, 20285, 20424, 20838, 51936, 51949,
                                    50220, 50221, 50222, 50225, 50227, 51932, 54936, 57002, 57011};

int b_IsWineGap(unsigned codePage) {
    for (unsigned gap : an_WineGaps)
        if (gap == codePage) return 1;
    return 0;
}
#endif

TEST(CodePage, ValidCodePages) {
    // A sample of every family: Windows, DOS, Mac, KOI8, ISO-8859, EUC,
    // ISO-2022, GB 18030, ISCII and EBCDIC.
    for (unsigned codePage : {874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u,
                              1258u, 1361u, 437u, 737u, 775u, 850u, 852u, 855u, 857u, 858u, 860u, 861u, 862u, 863u,
                              864u, 865u, 866u, 869u, 10000u, 10006u, 10007u, 10029u, 10081u, 20127u, 20866u, 21866u,
                              28591u, 28592u, 28595u, 28597u, 28599u, 28603u, 28605u, 51936u, 51949u, 20932u, 51932u,
                              50220u, 50221u, 50222u, 50225u, 50227u, 54936u, 57002u, 57011u, 37u, 500u, 875u,
                              1026u, 1047u, 1140u, 1149u, 20273u, 20285u, 20424u, 20838u}) {
#ifdef _WIN32
        if (b_IsWineGap(codePage) && !Platform::b_IsValidCodePage(codePage)) continue;
#endif
        EXPECT_TRUE(Platform::b_IsValidCodePage(codePage)) << codePage;
    }
    for (unsigned codePage : {0u, 12345u, 1249u, 1259u, 99u, 28590u, 65535u, ~0u, ~1u})
        EXPECT_FALSE(Platform::b_IsValidCodePage(codePage)) << codePage;
    EXPECT_TRUE(Platform::b_IsValidCodePage(Platform::n_GetAnsiCodePage()));
#ifndef _WIN32
    // Every page said to be valid converts, none by another page's rules:
    // a letter reads back as itself, and "A" is a letter of every page but
    // the EBCDIC ones (where it is C1).
    unsigned valid = 0;
    for (unsigned codePage = 1; codePage < 65536; ++codePage) {
        if (!Platform::b_IsValidCodePage(codePage)) continue;
        ++valid;
        unsigned short unit = 0;
        char const* letter = Platform::i_MultiToWide(codePage, "\xC1", 1, &unit, 1) == 1 && unit == 'A' ? "\xC1" : "A";
        ASSERT_EQ(Platform::i_MultiToWide(codePage, letter, 1, &unit, 1), 1) << codePage;
        EXPECT_EQ(unit, 'A') << codePage;
    }
    EXPECT_GE(valid, 100u);
#endif
}

// Characteristic texts of each family, the same on every build (pages that
// Wine lacks are skipped there).
TEST(CodePage, Families) {
    struct st_Case {
        unsigned n_CodePage;
        char const* qccz_Bytes;
        std::u16string o_Text;
        int b_BothWays;  // the text also converts back to exactly these bytes
    };
    st_Case const cases[] = {
        // DOS: box drawing, Cyrillic, Central European.
        {437, "\xC9\xCD\xBB\x82\xB0", u"\u2554\u2550\u2557\u00E9\u2591", 1},
        {866, "\x8F\xE0\xA8\xA2\xA5\xE2", u"\u041F\u0440\u0438\u0432\u0435\u0442", 1},
        {852, "\x9D\xA2\x64\xAB", u"\u0141\u00F3d\u017A", 1},
        {737, "\x80\x98", u"\u0391\u03B1", 1},
        // Mac: Roman and Cyrillic.
        {10000, "\x8E\xA5\xD0", u"\u00E9\u2022\u2013", 1},
        {10007, "\x80\xE0", u"\u0410\u0430", 1},
        // KOI8: Russian and Ukrainian.
        {20866, "\xED\xC9\xD2", u"\u041C\u0438\u0440", 1},
        {21866, "\xA4\xA6\xA7", u"\u0454\u0456\u0457", 1},
        // ISO-8859: Latin-2, Cyrillic, Latin-9.
        {28592, "\xA3\xB1", u"\u0141\u0105", 1},
        {28595, "\xB6\xD0", u"\u0416\u0430", 1},
        {28605, "\xA4", u"\u20AC", 1},
        // EUC: Korean, Chinese, Japanese (JIS X 0212 behind 0x8F, half-width
        // katakana behind 0x8E).
        {51949, "\xB0\xA1", u"\uAC00", 1},
        {51936, "\xD6\xD0", u"\u4E2D", 1},
        {51932, "\xA4\xA2\x8E\xB1", u"\u3042\uFF71", 1},
        {51932, "\x8F\xB0\xA1", u"\u4E02", 1},
        // ISO-2022: Japanese and Korean, read.
        {50220, "a\x1B$B$\"\x1B(Bb", u"a\u3042b", 0},
        {50225, "\x1B$)C\x0E\x30\x21\x0Fx", u"\uAC00x", 0},
        // GB 18030: two-byte, four-byte and supplementary characters.
        {54936, "\xA8\xA6\x81\x30\x81\x30\x94\x39\xFC\x36", u"\u00E9\u0080\U0001F600", 1},
        // ISCII Devanagari.
        {57002, "\xB3", u"\u0915", 0},  // written after the script switch EF 42
        // EBCDIC: letters, the line feed and next-line controls, brackets
        // that differ between the national pages, the euro of 1140.
        {37, "\xC8\x85\x93\x93\x96\x25\x15", u"Hello\n\u0085", 1},
        {37, "\xBA\xBB", u"[]", 1},
        {500, "\x4A\x5A", u"[]", 1},
        {1140, "\x9F", u"\u20AC", 1},
        {1047, "\xAD\xBD", u"[]", 1},
    };
    for (st_Case const& c : cases) {
#ifdef _WIN32
        if (b_IsWineGap(c.n_CodePage) && !Platform::b_IsValidCodePage(c.n_CodePage)) continue;
#endif
        SCOPED_TRACE(c.n_CodePage);
        unsigned count = static_cast<unsigned>(std::strlen(c.qccz_Bytes));
        unsigned short units[32] = {0};
        int read = Platform::i_MultiToWide(c.n_CodePage, c.qccz_Bytes, count, units, 32);
        EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(units), read > 0 ? static_cast<size_t>(read) : 0), c.o_Text);
        char bytes[64] = {0};
        int used = 1;
        int written = Platform::i_WideToMulti(c.n_CodePage, reinterpret_cast<unsigned short const*>(c.o_Text.data()),
                                              static_cast<unsigned>(c.o_Text.size()), bytes, 64, nullptr, &used);
        ASSERT_GT(written, 0);
        EXPECT_EQ(used, 0);
        if (c.b_BothWays) {
            EXPECT_EQ(std::string(bytes, static_cast<size_t>(written)), c.qccz_Bytes);
        }
        // Whatever the shift sequences, the bytes read back as the text.
        read = Platform::i_MultiToWide(c.n_CodePage, bytes, static_cast<unsigned>(written), units, 32);
        EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(units), read > 0 ? static_cast<size_t>(read) : 0), c.o_Text);
    }

    // A character a page lacks becomes its default character, flagged: a
    // question mark of the page (0x6F in EBCDIC), also in a stateful page.
    unsigned short const hangul = 0xAC00;
    struct st_Default {
        unsigned n_CodePage;
        char c_Default;
    };
    for (st_Default d : {st_Default{866, '?'}, st_Default{20866, '?'}, st_Default{10000, '?'},
                         st_Default{37, '\x6F'}, st_Default{50220, '?'}}) {
#ifdef _WIN32
        if (b_IsWineGap(d.n_CodePage) && !Platform::b_IsValidCodePage(d.n_CodePage)) continue;
#endif
        char bytes[16] = {0};
        int used = 0;
        ASSERT_EQ(Platform::i_WideToMulti(d.n_CodePage, &hangul, 1, bytes, 16, nullptr, &used), 1) << d.n_CodePage;
        EXPECT_EQ(bytes[0], d.c_Default) << d.n_CodePage;
        EXPECT_EQ(used, 1) << d.n_CodePage;
    }
}

TEST(CodePage, AnsiCodePageOfLocale) {
    struct st_Case {
        char const* qccz_Locale;
        unsigned n_CodePage;
    };
    st_Case const cases[] = {
        {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251},      {"ja_JP.UTF-8", 932}, {"zh_CN.UTF-8", 936}, {"zh_TW", 950},
        {"zh_HK.UTF-8", 950},  {"ko_KR.EUC-KR", 949}, {"th_TH", 874},       {"el_GR", 1253},       {"tr_TR", 1254},
        {"he_IL", 1255},       {"ar_EG", 1256},       {"fa_IR", 1256},      {"ur_PK", 1256},       {"lt_LT", 1257},
        {"lv_LV", 1257},       {"et_EE", 1257},       {"vi_VN", 1258},      {"pl_PL", 1250},       {"cs_CZ", 1250},
        {"hu_HU.UTF-8", 1250}, {"sk_SK", 1250},       {"sl_SI", 1250},      {"hr_HR", 1250},       {"ro_RO", 1250},
        {"sr_RS@latin", 1250}, {"sr_RS", 1251},       {"de_DE.UTF-8", 1252}, {"en_US", 1252},      {"hi_IN", 1252},
        {"C", 1252},           {"C.UTF-8", 1252},     {"POSIX", 1252},      {"", 1252},
    };
    for (st_Case const& c : cases) EXPECT_EQ(Platform::n_GetAnsiCodePageOfLocale(c.qccz_Locale), c.n_CodePage) << c.qccz_Locale;
}

TEST(CodePage, ConversionRules) {
    unsigned short units[8];
    // A lead byte takes the next byte unless it is zero or past the end;
    // alone it is the code page's default character.
    EXPECT_EQ(Platform::i_MultiToWide(932, "\x82\xA0", 2, units, 8), 1);
    EXPECT_EQ(units[0], 0x3042);
    EXPECT_EQ(Platform::i_MultiToWide(932, "\x82", 1, units, 8), 1);
    EXPECT_EQ(units[0], 0x30FB);
    ASSERT_EQ(Platform::i_MultiToWide(932, "\x82\0A", 3, units, 8), 3);
    EXPECT_EQ(units[0], 0x30FB);
    EXPECT_EQ(units[1], 0);
    EXPECT_EQ(units[2], 'A');
    // Embedded zero bytes are characters; control bytes are themselves.
    ASSERT_EQ(Platform::i_MultiToWide(437, "\x1A\0\x7F", 3, units, 8), 3);
    EXPECT_EQ(units[0], 0x1A);
    EXPECT_EQ(units[1], 0);
    EXPECT_EQ(units[2], 0x7F);

    // Too little room fails.
    EXPECT_EQ(Platform::i_MultiToWide(1252, "abc", 3, units, 2), 0);
    char bytes[8] = {0};
    unsigned short const hiragana = 0x3042;
    EXPECT_EQ(Platform::i_WideToMulti(932, &hiragana, 1, bytes, 1, nullptr, nullptr), 0);
    ASSERT_EQ(Platform::i_WideToMulti(932, &hiragana, 1, bytes, 2, nullptr, nullptr), 2);
    EXPECT_EQ(bytes[0], '\x82');
    EXPECT_EQ(bytes[1], '\xA0');

    // Each half of a surrogate pair becomes the default character.
    unsigned short const pair[] = {0xD83D, 0xDE00, 'x'};
    int used = 0;
    ASSERT_EQ(Platform::i_WideToMulti(1252, pair, 3, bytes, 8, nullptr, &used), 3);
    EXPECT_EQ(std::string(bytes, 3), "??x");
    EXPECT_EQ(used, 1);
    ASSERT_EQ(Platform::i_WideToMulti(936, pair, 2, bytes, 8, "*", &used), 2);
    EXPECT_EQ(std::string(bytes, 2), "**");
    // A double-byte code page takes a two-byte default character.
    ASSERT_EQ(Platform::i_WideToMulti(936, pair, 1, bytes, 8, "\xA1\xA1", &used), 2);
    EXPECT_EQ(std::string(bytes, 2), "\xA1\xA1");
    ASSERT_EQ(Platform::i_WideToMulti(1252, pair, 1, bytes, 8, "*x", &used), 1);
    EXPECT_EQ(bytes[0], '*');
    unsigned short const euro = 0x20AC;
    ASSERT_EQ(Platform::i_WideToMulti(1252, &euro, 1, bytes, 8, nullptr, &used), 1);
    EXPECT_EQ(bytes[0], '\x80');
    EXPECT_EQ(used, 0);

    EXPECT_EQ(Platform::i_MultiToWide(12345, "a", 1, units, 8), 0);
}

// The first conversions of several code pages on several threads at once:
// the tables each code page needs are made once and shared.
TEST(CodePage, FirstUseOnManyThreads) {
    unsigned const codePages[] = {1250, 1251, 1253, 1254, 936, 949, 950, 28592};
    std::vector<std::thread> threads;
    std::vector<int> failures(8, 0);
    for (unsigned t = 0; t < 8; ++t)
        threads.emplace_back([t, &codePages, &failures] {
            for (unsigned round = 0; round < 50; ++round) {
                unsigned codePage = codePages[(t + round) % 8];
                char bytes[256];
                unsigned short units[256];
                char back[512];
                for (unsigned b = 0; b < 128; ++b) bytes[b] = static_cast<char>(b + 1);
                int n = Platform::i_MultiToWide(codePage, bytes, 127, units, 256);
                int m = Platform::i_WideToMulti(codePage, units, static_cast<unsigned>(n), back, 512, nullptr, nullptr);
                if (n != 127 || m != 127 || std::string(bytes, 127) != std::string(back, 127)) ++failures[t];
            }
        });
    for (std::thread& thread : threads) thread.join();
    for (unsigned t = 0; t < 8; ++t) EXPECT_EQ(failures[t], 0) << t;
}

}  // namespace
