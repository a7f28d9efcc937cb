#include "Foundation/System/Language/LocaleInfo.h"

#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;

TEST(LocaleInfo, IdentifierArithmetic) {
    EXPECT_EQ(0x10407u, CT_LocaleInfo::sn_MakeLocaleID(0xFFFF0407u, 1));
    EXPECT_EQ(9u, CT_LocaleInfo::sn_GetPrimaryLangID(2057));
    EXPECT_EQ(2u, CT_LocaleInfo::sn_GetSubLangID(2057));
}

TEST(LocaleInfo, FallbackTables) {
    // The character sets of the ANSI code pages, and back to a locale.
    unsigned const pages[] = {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1361};
    unsigned const charsets[] = {222, 128, 134, 129, 136, 238, 204, 0, 161, 162, 177, 178, 186, 130};
    for (unsigned i = 0; i < sizeof pages / sizeof pages[0]; ++i) {
        unsigned locale = CT_LocaleInfo::sn_GetDefaultCPLocale(pages[i]);
        EXPECT_EQ(locale, CT_LocaleInfo::sn_GetDefaultCharsetLocale(charsets[i])) << pages[i];
    }
    EXPECT_EQ(1041u, CT_LocaleInfo::sn_GetDefaultCharsetLocale(128));
    EXPECT_EQ(2061u, CT_LocaleInfo::sn_GetDefaultCPLocale(1361));
    EXPECT_EQ(CT_LocaleInfo::sn_GetSystemDefaultLangID(), CT_LocaleInfo::sn_GetDefaultCPLocale(437));
    EXPECT_EQ(CT_LocaleInfo::sn_GetSystemDefaultLangID(), CT_LocaleInfo::sn_GetDefaultCharsetLocale(2));
    // Where the platform cannot tell, the primary language decides: a locale
    // the system lacks (Japanese with an unknown sub-language) still gets 932.
    EXPECT_EQ(932u, CT_LocaleInfo::sn_GetDefaultANSICodePage(63 * 1024 + 17));
    EXPECT_EQ(128u, CT_LocaleInfo::sn_GetDefaultCharset(63 * 1024 + 17));
    EXPECT_EQ(949u, CT_LocaleInfo::sn_GetDefaultANSICodePage(62 * 1024 + 18));
    EXPECT_EQ(936u, CT_LocaleInfo::sn_GetDefaultANSICodePage(62 * 1024 + 4));
    EXPECT_EQ(1252u, CT_LocaleInfo::sn_GetDefaultANSICodePage(63 * 1024 + 0x7E));
}

TEST(LocaleInfo, ValuesOfInstalledLocales) {
    ASSERT_TRUE(CT_LocaleInfo::sb_LocaleIsSupported(1033));
    ASSERT_TRUE(CT_LocaleInfo::sb_LocaleIsInstalled(1041));
    EXPECT_FALSE(CT_LocaleInfo::sb_LocaleIsSupported(0x7E7E));
    EXPECT_EQ(1252u, CT_LocaleInfo::sn_GetDefaultANSICodePage(1033));
    EXPECT_EQ(932u, CT_LocaleInfo::sn_GetDefaultANSICodePage(1041));
    EXPECT_EQ(1251u, CT_LocaleInfo::sn_GetDefaultANSICodePage(1049));
    EXPECT_EQ(204u, CT_LocaleInfo::sn_GetDefaultCharset(1049));

    unsigned value = 0;
    EXPECT_TRUE(CT_LocaleInfo::sb_GetLocaleInfo(1033, CT_LocaleInfo::e_ILZero, &value));
    EXPECT_EQ(1u, value);
    EXPECT_TRUE(CT_LocaleInfo::sb_GetLocaleInfo(1054, CT_LocaleInfo::e_ICalendarType, &value));
    EXPECT_EQ(7u, value);
    // Only the numeric types read as numbers; an unsupported locale reads nothing.
    EXPECT_FALSE(CT_LocaleInfo::sb_GetLocaleInfo(1033, CT_LocaleInfo::e_SDecimal, &value));
    EXPECT_FALSE(CT_LocaleInfo::sb_GetLocaleInfo(0x7E7E, CT_LocaleInfo::e_ILZero, &value));

    CT_UString wide;
    ASSERT_TRUE(CT_LocaleInfo::sb_GetLocaleInfo(1031, CT_LocaleInfo::e_SMonthName1, &wide));
    EXPECT_EQ(u"Januar", Text(wide));
    CT_CString narrow;
    ASSERT_TRUE(CT_LocaleInfo::sb_GetLocaleInfo(1033, CT_LocaleInfo::e_SDayName1, &narrow));
    EXPECT_STREQ("Monday", narrow.qccz_Get());
    char two[2] = {'x', 'x'};
    EXPECT_TRUE(CT_LocaleInfo::sb_GetLocaleInfo(1031, CT_LocaleInfo::e_SDecimal, two, 2));
    EXPECT_EQ(',', two[0]);
    EXPECT_EQ(0, two[1]);
    EXPECT_FALSE(CT_LocaleInfo::sb_GetLocaleInfo(1033, CT_LocaleInfo::e_SLongDate, two, 2));  // no room
}

TEST(LocaleInfo, CollectedValuesAreDistinct) {
    CT_UString collected;
    CT_LocaleInfo::sv_CollectValues(CT_LocaleInfo::e_ICalendarType, u';', &collected);
    std::u16string text = Text(collected);
    // The Gregorian calendar, and the Thai one among the others, each once.
    EXPECT_NE(std::u16string::npos, (u";" + text + u";").find(u";1;"));
    EXPECT_NE(std::u16string::npos, (u";" + text + u";").find(u";7;"));
    EXPECT_EQ((u";" + text + u";").find(u";1;"), (u";" + text + u";").rfind(u";1;"));
    CT_UString plain;
    CT_LocaleInfo::sv_CollectValues(CT_LocaleInfo::e_ICalendarType, 0, &plain);
    EXPECT_EQ(std::u16string::npos, Text(plain).find(u';'));
}
