#include "Foundation/System/Language/Language.h"

#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis/String/CString.h"

namespace {

using P = CT_Language::et_Primary;
using S = CT_Language::et_Sub;

std::string LanguageString(unsigned p, unsigned s) {
    CT_CString out;
    CT_Language::sv_MakeLanguageString(&out, static_cast<P>(p), static_cast<S>(s));
    return out.qccz_Get();
}

std::string LanguageCode(unsigned p, unsigned s) {
    CT_CString out;
    CT_Language::sv_MakeLanguageCode(&out, static_cast<P>(p), static_cast<S>(s));
    return out.qccz_Get();
}

bool ReadCode(char const* code, unsigned* p, unsigned* s) {
    CT_CString text(code, ~0u, 0);
    P primary = static_cast<P>(0);
    S sub = static_cast<S>(0);
    int read = CT_Language::sb_GetLanguages(&primary, &sub, &text);
    *p = primary;
    *s = sub;
    return read != 0;
}

}  // namespace

TEST(Language, TablesKeepTheirShapeAndOrder) {
    EXPECT_EQ(54u, CT_Language::sn_GetPrimaryCount());
    unsigned variants = 0;
    for (unsigned p = 1; p < CT_Language::sn_PrimaryLanguages; ++p) {
        EXPECT_LT(CT_Language::saso_PrimaryLanguages[p - 1].n_Id, CT_Language::saso_PrimaryLanguages[p].n_Id);
        variants += CT_Language::saso_PrimaryLanguages[p].n_Variants;
    }
    for (unsigned s = 1; s < CT_Language::sn_SubLanguages; ++s)
        EXPECT_LT(CT_Language::saso_SubLanguages[s - 1].n_Key, CT_Language::saso_SubLanguages[s].n_Key);
    // Every country entry past the generic three belongs to one variant.
    EXPECT_EQ(CT_Language::sn_SubLanguages - 3, variants);
    // From index 48 on, index and platform id differ.
    EXPECT_EQ(48u, CT_Language::seo_GetPrimary(49));
    EXPECT_EQ(54u, CT_Language::seo_GetPrimary(60));
    EXPECT_STREQ("GA", CT_Language::sqccz_GetLanguageCode(static_cast<P>(54)));
}

TEST(Language, IdentifiersOfTheDocumentedPairs) {
    EXPECT_EQ(1033u, CT_Language::sn_MakeLanguageID(static_cast<P>(9), static_cast<S>(28)));
    EXPECT_EQ(1041u, CT_Language::sn_MakeLanguageID(static_cast<P>(17), static_cast<S>(1)));
    // identifier, primary, sub: a sub-language the country table lacks
    // falls back to Default; the generic sub-languages stay themselves; an
    // unknown primary is Neutral.
    unsigned const pairs[][3] = {{1033, 9, 28}, {31 * 1024 + 9, 9, 1}, {2 * 1024 + 17, 17, 2}, {1024 + 0x7F, 0, 1}};
    for (auto const& pair : pairs) {
        P p;
        S s;
        CT_Language::sv_GetLanguages(pair[0], &p, &s);
        EXPECT_EQ(pair[1], p) << pair[0];
        EXPECT_EQ(pair[2], s) << pair[0];
    }
    EXPECT_EQ(9u, CT_Language::seo_GetPrimary(2057));
    EXPECT_EQ(29u, CT_Language::seo_GetSub(2057));
}

TEST(Language, NamesCodesAndTheirReaders) {
    EXPECT_EQ("English (United States)", LanguageString(9, 28));
    EXPECT_EQ("Hebrew", LanguageString(13, 1));
    EXPECT_EQ("Croatian", LanguageString(26, 78));
    EXPECT_EQ("Serbian", LanguageString(26, 79));
    EXPECT_EQ("Welsh", LanguageString(54, 83));
    EXPECT_EQ("EN_US", LanguageCode(9, 28));

    unsigned p, s;
    EXPECT_TRUE(ReadCode("de_at", &p, &s));
    EXPECT_EQ(7u, p);
    EXPECT_EQ(25u, s);
    EXPECT_FALSE(ReadCode("EN", &p, &s));       // too short
    EXPECT_FALSE(ReadCode("EN_XX", &p, &s));    // no such variant
    EXPECT_FALSE(ReadCode("QQ_US", &p, &s));    // no such language
    EXPECT_TRUE(ReadCode("ja-??", &p, &s));     // no variants: the country is not read
    EXPECT_EQ(17u, p);
    EXPECT_EQ(1u, s);

    EXPECT_EQ(2108u, CT_Language::sn_GetLanguageID("Welsh"));
    EXPECT_EQ(2057u, CT_Language::sn_GetLanguageID("English (United Kingdom)"));
    EXPECT_EQ(2057u, CT_Language::sn_GetLanguageID("  english ( united kingdom ) "));
    EXPECT_EQ(1024u, CT_Language::sn_GetLanguageID("Klingon"));
    // An unknown country gives Default: primary 9 with sub 1.
    EXPECT_EQ(9u + 1024u, CT_Language::sn_GetLanguageID("English (Atlantis)"));

    P primary;
    EXPECT_TRUE(CT_Language::sb_GetPrimary(&primary, "IW"));
    EXPECT_EQ(13u, primary);
    EXPECT_FALSE(CT_Language::sb_GetPrimary(&primary, "iw"));  // exact, upper case
    EXPECT_TRUE(CT_Language::sb_IsFarEastLanguage(static_cast<P>(30), static_cast<S>(1)));
    EXPECT_FALSE(CT_Language::sb_IsFarEastLanguage(static_cast<P>(9), static_cast<S>(28)));
    EXPECT_EQ(1u, CT_Language::seo_GetDefaultSub(static_cast<P>(13)));
    EXPECT_EQ(28u, CT_Language::seo_GetDefaultSub(static_cast<P>(9)));
    EXPECT_EQ(1u, CT_Language::seo_GetSubAt(static_cast<P>(9), 12));  // past the variants
    // Numbers outside the tables read as Neutral, never past a table.
    EXPECT_STREQ("NE", CT_Language::sqccz_GetLanguageCode(static_cast<P>(1000)));
    EXPECT_STREQ("Neutral", CT_Language::sqccz_GetCountry(static_cast<S>(1000)));
}

// Every table entry through the identifier, the code and the display name
// and back.
TEST(Language, EveryEntryRoundTrips) {
    for (unsigned p = 0; p < CT_Language::sn_PrimaryLanguages; ++p) {
        P primary = static_cast<P>(p);
        unsigned count = CT_Language::sn_GetSubCount(primary);
        for (unsigned i = 1; i <= (count ? count : 1); ++i) {
            S sub = count ? CT_Language::seo_GetSubAt(primary, i) : static_cast<S>(1);
            SCOPED_TRACE(LanguageString(p, sub));
            unsigned id = CT_Language::sn_MakeLanguageID(primary, sub);
            P p2;
            S s2;
            CT_Language::sv_GetLanguages(id, &p2, &s2);
            EXPECT_EQ(p, p2);
            EXPECT_EQ(sub, s2);

            unsigned p3, s3;
            if (p != 0) {
                EXPECT_TRUE(ReadCode(LanguageCode(p, sub).c_str(), &p3, &s3));
                EXPECT_EQ(p, p3);
                EXPECT_EQ(static_cast<unsigned>(sub), s3);
            }
            EXPECT_EQ(id, CT_Language::sn_GetLanguageID(LanguageString(p, sub).c_str()));
        }
    }
}
