// The hand-made punctuation classes of CT_CharProperties: fixed sets of stops,
// quotes, brackets and the like that the text tools cut and compare sentences
// by. Each set is a zero-terminated wide list searched from the front.
#include "Foundation/Basis/Character/CharProperties.h"

namespace {

unsigned short const au_Apostrophe[] = {0x0027, 0x02BC, 0x055A, 0xFF07, 0};
unsigned short const au_Colon[] = {0x003A, 0x02D0, 0x02D1, 0x061B, 0xFE55, 0xFF1A, 0};
unsigned short const au_Comma[] = {0x002C, 0x055D, 0x060C, 0x201A, 0x3001, 0xFE50, 0xFE51, 0xFF0C, 0xFF64, 0};
unsigned short const au_Dot[] = {0x002E, 0x00B7, 0x0589, 0x06D4, 0x3002, 0xFE52, 0xFF0E, 0xFF61, 0};
unsigned short const au_Exclamation[] = {0x0021, 0x00A1, 0x055C, 0x203C, 0x2762, 0x2763, 0xFE57, 0xFF01, 0};
unsigned short const au_Hyphen[] = {0x002D, 0x00AD, 0x2010, 0x2011, 0xFE63, 0xFF0D, 0};
unsigned short const au_Question[] = {0x003F, 0x00BF, 0x037E, 0x055E, 0x061F, 0xFE56, 0xFF1F, 0};
unsigned short const au_Semicolon[] = {0x003B, 0x061B, 0xFE54, 0xFF1B, 0};
unsigned short const au_Brace[] = {0x007B, 0x007D, 0xFE37, 0xFE38, 0xFE5B, 0xFE5C, 0xFF5B, 0xFF5D, 0};
unsigned short const au_Tabulator[] = {0x0009, 0x000B, 0};
unsigned short const au_Paragraph[] = {0x10FB, 0x2029, 0};
unsigned short const au_OpeningBracket[] = {
    0x005B, 0x007B, 0x2045, 0x2329, 0x3008, 0x300A, 0x300C, 0x300E, 0x3010, 0x3014, 0x3016, 0x3018, 0x301A,
    0xFE37, 0xFE39, 0xFE3B, 0xFE3D, 0xFE3F, 0xFE41, 0xFE43, 0xFE5B, 0xFE5D, 0xFF3B, 0xFF5B, 0xFF62, 0};
unsigned short const au_ClosingBracket[] = {
    0x005D, 0x007D, 0x2046, 0x232A, 0x3009, 0x300B, 0x300D, 0x300F, 0x3011, 0x3015, 0x3017, 0x3019, 0x301B,
    0xFE38, 0xFE3A, 0xFE3C, 0xFE3E, 0xFE40, 0xFE42, 0xFE44, 0xFE5C, 0xFE5E, 0xFF3D, 0xFF5D, 0xFF63, 0};
unsigned short const au_Quote[] = {0x0022, 0x00AB, 0x00BB, 0x2018, 0x2019, 0x201A, 0x201B, 0x201C, 0x201D,
                                   0x201E, 0x201F, 0x2039, 0x203A, 0x275B, 0x275C, 0x275D, 0x275E, 0x301D,
                                   0x301E, 0x301F, 0xFF02, 0};
unsigned short const au_SingleQuote[] = {0x0027, 0x2018, 0x2019, 0x201A, 0x201B, 0x2039, 0x203A,
                                         0x275B, 0x275C, 0x301D, 0x301E, 0x301F, 0};
unsigned short const au_OpeningQuote[] = {0x00AB, 0x2018, 0x201C, 0x2039, 0};
unsigned short const au_ClosingQuote[] = {0x00BB, 0x2019, 0x201D, 0x203A, 0};
unsigned short const au_Percent[] = {0x0025, 0x066A, 0xFE6A, 0xFF05, 0};
unsigned short const au_Vowel[] = {'a',    'e',    'i',    'o',    'u',    'A',    'E',    'I',    'U',
                                   'O',    0x3041, 0x3042, 0x3043, 0x3044, 0x3045, 0x3046, 0x3047, 0x3048,
                                   0x3049, 0x304A, 0x30A1, 0x30A2, 0x30A3, 0x30A4, 0x30A5, 0x30A6, 0x30A7,
                                   0x30A8, 0x30A9, 0x30AA, 0};

// The zero test comes first, so the terminator never matches.
int b_InSet(unsigned short const* set, unsigned short u) {
    if (u == 0) return 0;
    for (; *set; ++set)
        if (*set == u) return 1;
    return 0;
}

}  // namespace

int CT_CharProperties::sb_IsApostrophe(unsigned short u) { return b_InSet(au_Apostrophe, u); }

int CT_CharProperties::sb_IsColon(unsigned short u) { return b_InSet(au_Colon, u); }

int CT_CharProperties::sb_IsComma(unsigned short u) { return b_InSet(au_Comma, u); }

int CT_CharProperties::sb_IsDot(unsigned short u) { return b_InSet(au_Dot, u); }

int CT_CharProperties::sb_IsExclamation(unsigned short u) { return b_InSet(au_Exclamation, u); }

int CT_CharProperties::sb_IsHyphen(unsigned short u) { return b_InSet(au_Hyphen, u); }

int CT_CharProperties::sb_IsQuestion(unsigned short u) { return b_InSet(au_Question, u); }

int CT_CharProperties::sb_IsSemicolon(unsigned short u) { return b_InSet(au_Semicolon, u); }

int CT_CharProperties::sb_IsBrace(unsigned short u) { return b_InSet(au_Brace, u); }

int CT_CharProperties::sb_IsTabulator(unsigned short u) { return b_InSet(au_Tabulator, u); }

int CT_CharProperties::sb_IsParagraph(unsigned short u) { return b_InSet(au_Paragraph, u); }

int CT_CharProperties::sb_IsOpeningBracket(unsigned short u) { return b_InSet(au_OpeningBracket, u); }

int CT_CharProperties::sb_IsClosingBracket(unsigned short u) { return b_InSet(au_ClosingBracket, u); }

int CT_CharProperties::sb_IsQuote(unsigned short u) { return b_InSet(au_Quote, u); }

int CT_CharProperties::sb_IsSingleQuote(unsigned short u) { return b_InSet(au_SingleQuote, u); }

int CT_CharProperties::sb_IsOpeningQuote(unsigned short u) { return b_InSet(au_OpeningQuote, u); }

int CT_CharProperties::sb_IsClosingQuote(unsigned short u) { return b_InSet(au_ClosingQuote, u); }

int CT_CharProperties::sb_IsPercent(unsigned short u) { return b_InSet(au_Percent, u); }

int CT_CharProperties::sb_IsVowel(unsigned short u) { return b_InSet(au_Vowel, u); }

int CT_CharProperties::sb_IsBracket(unsigned short u) { return sb_IsOpeningBracket(u) || sb_IsClosingBracket(u); }

// The apostrophe is in the single-quote set but not in the quote set, so it
// is no quote of either kind here.
int CT_CharProperties::sb_IsDoubleQuote(unsigned short u) { return sb_IsQuote(u) && !sb_IsSingleQuote(u); }

int CT_CharProperties::sb_IsSurrounder(unsigned short u) {
    return sb_IsBracket(u) || sb_IsQuote(u) || sb_IsApostrophe(u);
}

int CT_CharProperties::sb_IsStop(unsigned short u) {
    return sb_IsColon(u) || sb_IsDot(u) || sb_IsExclamation(u) || sb_IsQuestion(u) || sb_IsSemicolon(u);
}
