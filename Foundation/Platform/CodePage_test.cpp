#include "Foundation/Platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

TEST(CodePage, ValidCodePages) {
    for (unsigned codePage : {437u, 850u, 874u, 932u, 936u, 949u, 950u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u,
                              1256u, 1257u, 1258u, 1361u, 10000u, 20127u, 28591u, 28592u, 28595u, 28597u, 28605u})
        EXPECT_TRUE(Platform::b_IsValidCodePage(codePage)) << codePage;
    for (unsigned codePage : {0u, 12345u, 1249u, 1259u, ~0u, ~1u}) EXPECT_FALSE(Platform::b_IsValidCodePage(codePage)) << codePage;
    EXPECT_TRUE(Platform::b_IsValidCodePage(Platform::n_GetAnsiCodePage()));
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
