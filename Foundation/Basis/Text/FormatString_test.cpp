#include "Foundation/Basis/Text/FormatString.h"

#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Locale.h"

namespace {

std::string Format(unsigned value, unsigned locale, unsigned digits, unsigned grouping) {
    CT_CString out(1252);
    EXPECT_EQ(1, CT_FormatString::sb_FormatNumber(&out, value, locale, digits, grouping));
    return out.qccz_Get();
}

std::string Format(float value, unsigned locale, unsigned digits, unsigned grouping) {
    CT_CString out(1252);
    EXPECT_EQ(1, CT_FormatString::sb_FormatNumber(&out, value, locale, digits, grouping));
    return out.qccz_Get();
}

}  // namespace

TEST(FormatString, SeparatorsAndGroupingOfTheLocale) {
    EXPECT_EQ("1,234,567.00", Format(1234567u, 1033, 2, 3));
    EXPECT_EQ("1.234.567,00", Format(1234567u, 1031, 2, 3));
    EXPECT_EQ("-1,234,567", Format(static_cast<unsigned>(-1234567), 1033, 0, 3));
    EXPECT_EQ("1234567", Format(1234567u, 1033, 0, 0));
    EXPECT_EQ("12,34,56,789.0", Format(123456789u, 1033, 1, 32));
    // Values from 0x80000000 up are negative.
    EXPECT_EQ("-2,147,483,648", Format(0x80000000u, 1033, 0, 3));
    EXPECT_EQ("0.50", Format(0.5f, 1033, 2, 3));
    EXPECT_EQ("-1,234.50", Format(-1234.5f, 1033, 2, 3));
    EXPECT_EQ("0,125", Format(0.125f, 1031, 3, 3));
}

TEST(FormatString, ThreadLocaleAndRefusals) {
    unsigned before = Platform::n_GetThreadLocale();
    ASSERT_TRUE(Platform::b_SetThreadLocale(1031));
    EXPECT_EQ("1.000", Format(1000u, 0, 0, 3));
    Platform::b_SetThreadLocale(before);

    // An unknown locale has no leading-zero setting: 0 and out unchanged.
    CT_CString out("kept", ~0u, 1252);
    EXPECT_EQ(0, CT_FormatString::sb_FormatNumber(&out, 5u, 0x7E7E, 2, 3));
    EXPECT_STREQ("kept", out.qccz_Get());
    // Digits the number format refuses leave out empty, and still return 1.
    EXPECT_EQ(1, CT_FormatString::sb_FormatNumber(&out, 5u, 1033, 70, 3));
    EXPECT_STREQ("", out.qccz_Get());
    // A wide output string takes the same text.
    CT_UString wide;
    EXPECT_EQ(1, CT_FormatString::sb_FormatNumber(&wide, 42u, 1033, 1, 3));
    EXPECT_EQ(CT_CString(&wide, 1252).qccz_Get(), std::string("42.0"));
}
