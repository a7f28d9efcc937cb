// CT_Language: language names and their country variants. Maps between the
// platform's 16-bit language identifiers (primary language in bits 0 to 9,
// sub-language in bits 10 to 15), the library's language and country
// numbers (et_Primary, et_Sub: indexes into its two tables), two-letter
// codes such as EN_US and display names such as English (United States).
// All static; the code index is built at library start (sv_Init).
#pragma once

#include "Foundation/Platform/Export.h"

class CT_String;
class CT_CompList;

class BASIS_API CT_Language {
public:
    // Indexes into the primary-language and country tables.
    enum et_Primary : unsigned {};
    enum et_Sub : unsigned {};

    struct st_PrimaryLanguage {
        unsigned n_Id;         // the platform's primary language id
        char const* qccz_Code; // two letters
        char const* qccz_Name; // English name
        unsigned n_Variants;   // number of country variants
    };
    struct st_SubLanguage {
        unsigned n_Key;        // primary id · 256 + sub-language id
        char const* qccz_Code;
        char const* qccz_Name;
    };

    static unsigned sn_MakeLanguageID(et_Primary ePrimary, et_Sub eSub);
    static void sv_GetLanguages(unsigned nLangID, et_Primary* peoPrimary, et_Sub* peoSub);
    static et_Primary seo_GetPrimary(unsigned nLCID);
    static et_Sub seo_GetSub(unsigned nLCID);

    // 54: the table without Neutral.
    static unsigned sn_GetPrimaryCount();
    static unsigned sn_GetSubCount(et_Primary ePrimary);
    // The i-th (from 1) country entry of the language; 1 when there is none.
    static et_Sub seo_GetSubAt(et_Primary ePrimary, unsigned nIndex);
    static et_Sub seo_GetDefaultSub(et_Primary ePrimary);

    static char const* sqccz_GetLanguageCode(et_Primary ePrimary);
    static char const* sqccz_GetLanguage(et_Primary ePrimary);
    static char const* sqccz_GetCountryCode(et_Sub eSub);
    static char const* sqccz_GetCountry(et_Sub eSub);

    static int sb_IsFarEastLanguage(et_Primary ePrimary, et_Sub eSub);

    // By code (exact, upper case), by English name or country name (without
    // regard to case).
    static int sb_GetPrimary(et_Primary* peoPrimary, char const* pcCode);
    static int sb_GetPrimaryLanguage(et_Primary* peoPrimary, char const* pcName);
    static int sb_GetSubCountry(et_Sub* peoSub, char const* pcCountry, et_Primary ePrimary);

    // English (United States), or the language alone, or a special name.
    static void sv_MakeLanguageString(CT_String* pcoOut, et_Primary ePrimary, et_Sub eSub);
    // EN_US.
    static void sv_MakeLanguageCode(CT_String* pcoOut, et_Primary ePrimary, et_Sub eSub);
    // Reads a code of the form LL_CC.
    static int sb_GetLanguages(et_Primary* peoPrimary, et_Sub* peoSub, CT_String const* pcoCode);
    // Reads a display name.
    static unsigned sn_GetLanguageID(char const* pcName);

    // The code index: built at library start, released at unload.
    static void sv_Init();
    static void sv_Exit();

    static st_PrimaryLanguage const saso_PrimaryLanguages[];
    static unsigned const sn_PrimaryLanguages;
    static st_SubLanguage const saso_SubLanguages[];
    static unsigned const sn_SubLanguages;
    static char const sacz_Croatian[];
    static char const sacz_Serbian[];
    static char const sacz_Welsh[];

private:
    static et_Primary seo_FindPrimary(unsigned nId);
    static et_Sub seo_FindSub(unsigned nKey);

    static CT_CompList* spco_Primaries;
};
