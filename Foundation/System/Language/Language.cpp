#include "Foundation/System/Language/Language.h"

#include <cstring>

#include "Foundation/Basis/Lexicon/CompList.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/String.h"
#include "Foundation/Basis/Text/StringScanner.h"

// The primary languages, ordered by platform id; et_Primary is the index.
CT_Language::st_PrimaryLanguage const CT_Language::saso_PrimaryLanguages[] = {
    {0, "NE", "Neutral", 0},
    {1, "AR", "Arabic", 16},
    {2, "BG", "Bulgarian", 0},
    {3, "CA", "Catalan", 0},
    {4, "ZH", "Chinese", 4},
    {5, "CS", "Czech", 0},
    {6, "DA", "Danish", 0},
    {7, "DE", "German", 5},
    {8, "EL", "Greek", 0},
    {9, "EN", "English", 11},
    {10, "ES", "Spanish", 20},
    {11, "FI", "Finnish", 0},
    {12, "FR", "French", 5},
    {13, "IW", "Hebrew", 0},
    {14, "HU", "Hungarian", 0},
    {15, "IS", "Icelandic", 0},
    {16, "IT", "Italian", 2},
    {17, "JA", "Japanese", 0},
    {18, "KO", "Korean", 2},
    {19, "NL", "Dutch", 2},
    {20, "NO", "Norwegian", 2},
    {21, "PL", "Polish", 0},
    {22, "PT", "Portuguese", 2},
    {23, "RM", "Rhaeto-Romance", 0},
    {24, "RO", "Romanian", 2},
    {25, "RU", "Russian", 2},
    {26, "SH", "Serbo-Croatian", 2},
    {27, "SK", "Slovak", 0},
    {28, "SQ", "Albanian", 0},
    {29, "SV", "Swedish", 2},
    {30, "TH", "Thai", 0},
    {31, "TR", "Turkish", 0},
    {32, "UR", "Urdu", 0},
    {33, "IN", "Indonesian", 0},
    {34, "UK", "Ukrainian", 0},
    {35, "BE", "Byelorussian", 0},
    {36, "SL", "Slovenian", 0},
    {37, "ET", "Estonian", 0},
    {38, "LV", "Latvian-Lettish", 0},
    {39, "LT", "Lithuanian", 0},
    {40, "MI", "Maori", 0},
    {41, "FA", "Persian", 0},
    {42, "VI", "Vietnamese", 0},
    {43, "LO", "Laothian", 0},
    {44, "KA", "Kampuchean", 0},
    {45, "EU", "Basque", 0},
    {46, "SO", "Sorbian", 0},
    {47, "MK", "Macedonian", 0},
    {49, "TS", "Tsonga", 0},
    {52, "XH", "Xhosa", 0},
    {53, "ZU", "Zulu", 0},
    {54, "AF", "Afrikaans", 0},
    {56, "FO", "Faeroese", 0},
    {58, "MT", "Maltese", 0},
    {60, "GA", "Gaelic", 3},
};
unsigned const CT_Language::sn_PrimaryLanguages = sizeof saso_PrimaryLanguages / sizeof saso_PrimaryLanguages[0];

// The country variants, ordered by key (primary id · 256 + sub-language
// id); et_Sub is the index. The first three are the generic sub-languages.
CT_Language::st_SubLanguage const CT_Language::saso_SubLanguages[] = {
    {0, "00", "Neutral"},
    {1, "01", "Default"},
    {2, "02", "SysDefault"},
    {1 * 256 + 1, "SA", "Saudi Arabia"},
    {1 * 256 + 2, "IQ", "Iraq"},
    {1 * 256 + 3, "EG", "Egypt"},
    {1 * 256 + 4, "LY", "Libya"},
    {1 * 256 + 5, "DZ", "Algeria"},
    {1 * 256 + 6, "MA", "Morocco"},
    {1 * 256 + 7, "TN", "Tunisia"},
    {1 * 256 + 8, "OM", "Oman"},
    {1 * 256 + 9, "YE", "Yemen"},
    {1 * 256 + 10, "SY", "Syria"},
    {1 * 256 + 11, "JO", "Jordan"},
    {1 * 256 + 12, "LB", "Lebanon"},
    {1 * 256 + 13, "KW", "Kuwait"},
    {1 * 256 + 14, "AE", "UAE"},
    {1 * 256 + 15, "BH", "Bahrain"},
    {1 * 256 + 16, "QA", "Qatar"},
    {4 * 256 + 1, "TW", "Taiwan"},
    {4 * 256 + 2, "CN", "China"},
    {4 * 256 + 3, "HK", "Hongkong"},
    {4 * 256 + 4, "SG", "Singapore"},
    {7 * 256 + 1, "DE", "Germany"},
    {7 * 256 + 2, "CH", "Switzerland"},
    {7 * 256 + 3, "AT", "Austria"},
    {7 * 256 + 4, "LU", "Luxembourg"},
    {7 * 256 + 5, "LI", "Liechtenstein"},
    {9 * 256 + 1, "US", "United States"},
    {9 * 256 + 2, "GB", "United Kingdom"},
    {9 * 256 + 3, "AU", "Australia"},
    {9 * 256 + 4, "CA", "Canada"},
    {9 * 256 + 5, "NZ", "New Zealand"},
    {9 * 256 + 6, "IE", "Ireland"},
    {9 * 256 + 7, "ZA", "South Africa"},
    {9 * 256 + 8, "JM", "Jamaica"},
    {9 * 256 + 9, "CB", "Caribbean"},
    {9 * 256 + 10, "BZ", "Belize"},
    {9 * 256 + 11, "TT", "Trinidad"},
    {10 * 256 + 1, "ES", "Spain"},
    {10 * 256 + 2, "MX", "Mexico"},
    {10 * 256 + 3, "EM", "Modern Sort"},
    {10 * 256 + 4, "GT", "Guatemala"},
    {10 * 256 + 5, "CR", "Costa Rica"},
    {10 * 256 + 6, "PA", "Panama"},
    {10 * 256 + 7, "DO", "Dominican Republic"},
    {10 * 256 + 8, "VE", "Venezuela"},
    {10 * 256 + 9, "CO", "Colombia"},
    {10 * 256 + 10, "PE", "Peru"},
    {10 * 256 + 11, "AR", "Argentina"},
    {10 * 256 + 12, "EC", "Ecuador"},
    {10 * 256 + 13, "CL", "Chile"},
    {10 * 256 + 14, "UY", "Uruguay"},
    {10 * 256 + 15, "PY", "Paraguay"},
    {10 * 256 + 16, "BO", "Bolivia"},
    {10 * 256 + 17, "SV", "El Salvador"},
    {10 * 256 + 18, "HN", "Honduras"},
    {10 * 256 + 19, "NI", "Nicaragua"},
    {10 * 256 + 20, "PR", "Puerto Rico"},
    {12 * 256 + 1, "FR", "France"},
    {12 * 256 + 2, "BE", "Belgium"},
    {12 * 256 + 3, "CA", "Canada"},
    {12 * 256 + 4, "CH", "Switzerland"},
    {12 * 256 + 5, "LU", "Luxembourg"},
    {16 * 256 + 1, "IT", "Italy"},
    {16 * 256 + 2, "CH", "Switzerland"},
    {18 * 256 + 1, "KR", "Korea"},
    {18 * 256 + 2, "JH", "Johab"},
    {19 * 256 + 1, "NL", "Netherlands"},
    {19 * 256 + 2, "BE", "Belgium"},
    {20 * 256 + 1, "NO", "Bokmal"},
    {20 * 256 + 2, "NY", "Nynorsk"},
    {22 * 256 + 1, "BR", "Brazil"},
    {22 * 256 + 2, "PT", "Portugal"},
    {24 * 256 + 1, "RO", "Romania"},
    {24 * 256 + 2, "MD", "Moldova"},
    {25 * 256 + 1, "RU", "Russia"},
    {25 * 256 + 2, "MD", "Moldova"},
    {26 * 256 + 2, "HR", "Croatia"},
    {26 * 256 + 3, "YU", "Yugoslavia"},
    {29 * 256 + 1, "SE", "Sweden"},
    {29 * 256 + 2, "FI", "Finland"},
    {60 * 256 + 1, "IE", "Ireland"},
    {60 * 256 + 2, "WA", "Wales"},
    {60 * 256 + 3, "CT", "Scotland"},
};
unsigned const CT_Language::sn_SubLanguages = sizeof saso_SubLanguages / sizeof saso_SubLanguages[0];

char const CT_Language::sacz_Croatian[] = "Croatian";
char const CT_Language::sacz_Serbian[] = "Serbian";
char const CT_Language::sacz_Welsh[] = "Welsh";

CT_CompList* CT_Language::spco_Primaries = nullptr;

namespace {

// The pairs that have a name of their own instead of language (country).
struct st_SpecialName {
    unsigned n_Primary, n_Sub;
    char const* qccz_Name;
};
st_SpecialName const saso_SpecialNames[] = {
    {26, 78, CT_Language::sacz_Croatian},
    {26, 79, CT_Language::sacz_Serbian},
    {54, 83, CT_Language::sacz_Welsh},
};

int b_EqualNoCase(char const* a, char const* b) {
    for (; *a && *b; ++a, ++b) {
        char ca = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 32) : *a;
        char cb = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 32) : *b;
        if (ca != cb) return 0;
    }
    return *a == *b;
}

char c_Upper(unsigned short c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
    return c < 0x80 ? static_cast<char>(c) : '?';
}

}  // namespace

// Numbers outside the tables are not valid arguments: the readers below
// take them as entry 0 (Neutral) rather than read past a table.
static unsigned n_Primary(CT_Language::et_Primary p) { return p < CT_Language::sn_PrimaryLanguages ? static_cast<unsigned>(p) : 0u; }
static unsigned n_Sub(CT_Language::et_Sub s) { return s < CT_Language::sn_SubLanguages ? static_cast<unsigned>(s) : 0u; }

CT_Language::et_Primary CT_Language::seo_FindPrimary(unsigned nId) {
    unsigned low = 0, high = sn_PrimaryLanguages;
    while (low < high) {
        unsigned mid = (low + high) / 2;
        if (saso_PrimaryLanguages[mid].n_Id < nId) low = mid + 1;
        else high = mid;
    }
    return static_cast<et_Primary>(low < sn_PrimaryLanguages && saso_PrimaryLanguages[low].n_Id == nId ? low : 0);
}

CT_Language::et_Sub CT_Language::seo_FindSub(unsigned nKey) {
    unsigned low = 0, high = sn_SubLanguages;
    while (low < high) {
        unsigned mid = (low + high) / 2;
        if (saso_SubLanguages[mid].n_Key < nKey) low = mid + 1;
        else high = mid;
    }
    return static_cast<et_Sub>(low < sn_SubLanguages && saso_SubLanguages[low].n_Key == nKey ? low : 0);
}

unsigned CT_Language::sn_MakeLanguageID(et_Primary ePrimary, et_Sub eSub) {
    unsigned s = n_Sub(eSub);
    if (s > 2) {
        unsigned key = saso_SubLanguages[s].n_Key;
        return (key & 0xFF) * 1024 + (key >> 8);
    }
    return saso_PrimaryLanguages[n_Primary(ePrimary)].n_Id + s * 1024;
}

void CT_Language::sv_GetLanguages(unsigned nLangID, et_Primary* peoPrimary, et_Sub* peoSub) {
    unsigned primaryId = nLangID & 0x3FF, subId = nLangID >> 10 & 63;
    et_Sub sub = seo_FindSub(primaryId * 256 + subId);
    // seo_FindSub yields 0 for an absent key, which is also the key of
    // entry 0 itself: only the key 0 finds entry 0.
    if (sub == 0 && primaryId * 256 + subId != 0) sub = static_cast<et_Sub>(subId <= 2 ? subId : 1);
    if (peoPrimary) *peoPrimary = seo_FindPrimary(primaryId);
    if (peoSub) *peoSub = sub;
}

CT_Language::et_Primary CT_Language::seo_GetPrimary(unsigned nLCID) {
    et_Primary primary;
    sv_GetLanguages(nLCID, &primary, nullptr);
    return primary;
}

CT_Language::et_Sub CT_Language::seo_GetSub(unsigned nLCID) {
    et_Sub sub;
    sv_GetLanguages(nLCID, nullptr, &sub);
    return sub;
}

unsigned CT_Language::sn_GetPrimaryCount() { return sn_PrimaryLanguages - 1; }

unsigned CT_Language::sn_GetSubCount(et_Primary ePrimary) {
    return saso_PrimaryLanguages[n_Primary(ePrimary)].n_Variants;
}

CT_Language::et_Sub CT_Language::seo_GetSubAt(et_Primary ePrimary, unsigned nIndex) {
    unsigned id = saso_PrimaryLanguages[n_Primary(ePrimary)].n_Id, found = 0;
    for (unsigned s = 1; s < sn_SubLanguages; ++s) {
        unsigned owner = saso_SubLanguages[s].n_Key >> 8;
        if (owner > id) break;
        if (owner == id && ++found == nIndex) return static_cast<et_Sub>(s);
    }
    return static_cast<et_Sub>(1);
}

CT_Language::et_Sub CT_Language::seo_GetDefaultSub(et_Primary ePrimary) {
    return sn_GetSubCount(ePrimary) == 0 ? static_cast<et_Sub>(1) : seo_GetSubAt(ePrimary, 1);
}

char const* CT_Language::sqccz_GetLanguageCode(et_Primary ePrimary) {
    return saso_PrimaryLanguages[n_Primary(ePrimary)].qccz_Code;
}
char const* CT_Language::sqccz_GetLanguage(et_Primary ePrimary) {
    return saso_PrimaryLanguages[n_Primary(ePrimary)].qccz_Name;
}
char const* CT_Language::sqccz_GetCountryCode(et_Sub eSub) { return saso_SubLanguages[n_Sub(eSub)].qccz_Code; }
char const* CT_Language::sqccz_GetCountry(et_Sub eSub) { return saso_SubLanguages[n_Sub(eSub)].qccz_Name; }

int CT_Language::sb_IsFarEastLanguage(et_Primary ePrimary, et_Sub) {
    return ePrimary == 4 || ePrimary == 17 || ePrimary == 18 || ePrimary == 30;
}

int CT_Language::sb_GetPrimary(et_Primary* peoPrimary, char const* pcCode) {
    if (!pcCode || !spco_Primaries) return 0;
    unsigned handle = spco_Primaries->n_Search(pcCode, nullptr);
    if (handle == CT_CompList::e_NotFound || handle >= sn_PrimaryLanguages) return 0;
    if (peoPrimary) *peoPrimary = static_cast<et_Primary>(handle);
    return 1;
}

int CT_Language::sb_GetPrimaryLanguage(et_Primary* peoPrimary, char const* pcName) {
    if (!pcName) return 0;
    for (unsigned p = 0; p < sn_PrimaryLanguages; ++p) {
        if (b_EqualNoCase(saso_PrimaryLanguages[p].qccz_Name, pcName)) {
            if (peoPrimary) *peoPrimary = static_cast<et_Primary>(p);
            return 1;
        }
    }
    return 0;
}

int CT_Language::sb_GetSubCountry(et_Sub* peoSub, char const* pcCountry, et_Primary ePrimary) {
    if (!pcCountry) return 0;
    unsigned count = sn_GetSubCount(ePrimary);
    for (unsigned i = 1; i <= count; ++i) {
        et_Sub sub = seo_GetSubAt(ePrimary, i);
        if (b_EqualNoCase(saso_SubLanguages[sub].qccz_Name, pcCountry)) {
            if (peoSub) *peoSub = sub;
            return 1;
        }
    }
    return 0;
}

void CT_Language::sv_MakeLanguageString(CT_String* pcoOut, et_Primary ePrimary, et_Sub eSub) {
    if (!pcoOut) return;
    for (st_SpecialName const& special : saso_SpecialNames) {
        if (special.n_Primary == ePrimary && special.n_Sub == eSub) {
            pcoOut->v_Set(special.qccz_Name, ~0u, ~1u);
            return;
        }
    }
    if (sn_GetSubCount(ePrimary) == 0) pcoOut->v_Set(sqccz_GetLanguage(ePrimary), ~0u, ~1u);
    else pcoOut->v_Format("%s (%s)", sqccz_GetLanguage(ePrimary), sqccz_GetCountry(eSub));
}

void CT_Language::sv_MakeLanguageCode(CT_String* pcoOut, et_Primary ePrimary, et_Sub eSub) {
    if (pcoOut) pcoOut->v_Format("%s_%s", sqccz_GetLanguageCode(ePrimary), sqccz_GetCountryCode(eSub));
}

int CT_Language::sb_GetLanguages(et_Primary* peoPrimary, et_Sub* peoSub, CT_String const* pcoCode) {
    if (!pcoCode || pcoCode->vn_GetLength() < 5) return 0;
    char language[3] = {c_Upper(pcoCode->vu_GetAt(0)), c_Upper(pcoCode->vu_GetAt(1)), 0};
    et_Primary primary;
    if (!sb_GetPrimary(&primary, language)) return 0;
    et_Sub sub = static_cast<et_Sub>(1);
    unsigned count = sn_GetSubCount(primary);
    if (count > 0) {
        char country[3] = {c_Upper(pcoCode->vu_GetAt(3)), c_Upper(pcoCode->vu_GetAt(4)), 0};
        unsigned i = 1;
        for (; i <= count; ++i) {
            sub = seo_GetSubAt(primary, i);
            if (std::strcmp(saso_SubLanguages[sub].qccz_Code, country) == 0) break;
        }
        if (i > count) return 0;
    }
    if (peoPrimary) *peoPrimary = primary;
    if (peoSub) *peoSub = sub;
    return 1;
}

unsigned CT_Language::sn_GetLanguageID(char const* pcName) {
    if (!pcName) return sn_MakeLanguageID(static_cast<et_Primary>(0), static_cast<et_Sub>(1));
    for (st_SpecialName const& special : saso_SpecialNames)
        if (std::strcmp(pcName, special.qccz_Name) == 0)
            return sn_MakeLanguageID(static_cast<et_Primary>(special.n_Primary), static_cast<et_Sub>(special.n_Sub));
    CT_CString name(pcName, ~0u, 0), separators("()", ~0u, 0), language, country;
    CT_StringScanner scanner;
    scanner.v_SubWord(&language, &name, &separators, 1);
    scanner.v_SubWord(&country, &name, &separators, 2);
    language.vv_StripLeft();
    language.vv_StripRight();
    country.vv_StripLeft();
    country.vv_StripRight();
    et_Primary primary = static_cast<et_Primary>(0);
    if (!sb_GetPrimaryLanguage(&primary, language.qccz_Get())) primary = static_cast<et_Primary>(0);
    et_Sub sub = static_cast<et_Sub>(1);
    if (country.vn_GetLength() == 0 || !sb_GetSubCountry(&sub, country.qccz_Get(), primary))
        sub = static_cast<et_Sub>(1);
    return sn_MakeLanguageID(primary, sub);
}

void CT_Language::sv_Init() {
    if (spco_Primaries) return;
    spco_Primaries = new CT_CompList(CT_CompList::e_Byte, 1, 0, 0, 128, 0);
    for (unsigned p = 0; p < sn_PrimaryLanguages; ++p) spco_Primaries->b_Add(saso_PrimaryLanguages[p].qccz_Code, p);
}

void CT_Language::sv_Exit() {
    delete spco_Primaries;
    spco_Primaries = nullptr;
}
