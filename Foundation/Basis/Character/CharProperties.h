// CT_CharProperties: what the library knows about one 16-bit Unicode
// character (UCS-2; surrogate pairs are not combined): general category,
// block and script group, C-library-style class bits, bidirectional layout
// class, text-processing bits, numeric value, and the punctuation classes the
// text tools cut and compare sentences by. Static operations over constant
// tables of the Unicode 2.0 repertoire; no state, safe on any thread.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_UString;

class BASIS_API CT_CharProperties {
public:
    // Unicode general category; 28 for a code point in no range (unassigned).
    enum et_UnicodeProperty {
        e_MarkNonSpacing = 0,
        e_MarkSpacingCombining = 1,
        e_MarkEnclosing = 2,
        e_NumberDecimalDigit = 3,
        e_NumberLetter = 4,
        e_NumberOther = 5,
        e_SeparatorSpace = 6,
        e_SeparatorLine = 7,
        e_SeparatorParagraph = 8,
        e_OtherControl = 9,
        e_OtherFormat = 10,
        e_OtherSurrogate = 11,
        e_OtherPrivateUse = 12,
        e_OtherNotAssigned = 13,
        e_LetterUppercase = 14,
        e_LetterLowercase = 15,
        e_LetterTitlecase = 16,
        e_LetterModifier = 17,
        e_LetterOther = 18,
        e_PunctuationConnector = 19,
        e_PunctuationDash = 20,
        e_PunctuationOpen = 21,
        e_PunctuationClose = 22,
        e_PunctuationOther = 23,
        e_SymbolMath = 24,
        e_SymbolCurrency = 25,
        e_SymbolModifier = 26,
        e_SymbolOther = 27,
        e_UnknownProperty = 28
    };

    // Unicode block; every code point has one from 1 to 70.
    enum et_UnicodeBlock {
        e_UnknownBlock = 0,
        e_BasicLatin = 1,
        e_Latin1Supplement = 2,
        e_LatinExtendedA = 3,
        e_LatinExtendedB = 4,
        e_IPAExtensions = 5,
        e_SpacingModifierLetters = 6,
        e_CombiningDiacriticalMarks = 7,
        e_Greek = 8,
        e_Cyrillic = 9,
        e_Armenian = 10,
        e_Hebrew = 11,
        e_Arabic = 12,
        e_Devanagari = 13,
        e_Bengali = 14,
        e_Gurmukhi = 15,
        e_Gujarati = 16,
        e_Oriya = 17,
        e_Tamil = 18,
        e_Telugu = 19,
        e_Kannada = 20,
        e_Malayalam = 21,
        e_Thai = 22,
        e_Lao = 23,
        e_Tibetan = 24,
        e_Georgian = 25,
        e_HangulJamo = 26,
        e_LatinExtendedAdditional = 27,
        e_GreekExtended = 28,
        e_GeneralPunctuation = 29,
        e_SuperscriptsAndSubscripts = 30,
        e_CurrencySymbols = 31,
        e_CombiningMarksForSymbols = 32,
        e_LetterlikeSymbols = 33,
        e_NumberForms = 34,
        e_Arrows = 35,
        e_MathematicalOperators = 36,
        e_MiscellaneousTechnical = 37,
        e_ControlPictures = 38,
        e_OpticalCharacterRecognition = 39,
        e_EnclosedAlphanumerics = 40,
        e_BoxDrawing = 41,
        e_BlockElements = 42,
        e_GeometricShapes = 43,
        e_MiscellaneousSymbols = 44,
        e_Dingbats = 45,
        e_CJKSymbolsAndPunctuation = 46,
        e_Hiragana = 47,
        e_Katakana = 48,
        e_Bopomofo = 49,
        e_HangulCompatibilityJamo = 50,
        e_Kanbun = 51,
        e_EnclosedCJKLettersAndMonths = 52,
        e_CJKCompatibility = 53,
        e_CJKUnifiedIdeographs = 54,
        e_HangulSyllables = 55,
        e_HighSurrogates = 56,
        e_HighPrivateUseSurrogates = 57,
        e_LowSurrogates = 58,
        e_PrivateUse = 59,
        e_CJKCompatibilityIdeographs = 60,
        e_AlphabeticPresentationForms = 61,
        e_ArabicPresentationFormsA = 62,
        e_CombiningHalfMarks = 63,
        e_CJKCompatibilityForms = 64,
        e_SmallFormVariants = 65,
        e_ArabicPresentationFormsB = 66,
        e_HalfwidthAndFullwidthForms = 67,
        e_Specials1 = 68,
        e_Specials2 = 69,
        e_Unassigned = 70
    };

    // Script group of a block.
    enum et_Script {
        e_ScriptLatinGreek = 0,
        e_ScriptPhonetic = 1,
        e_ScriptEastAsian = 2,
        e_ScriptArabic = 3,
        e_ScriptSurrogatePrivate = 4,
        e_ScriptOtherAlphabets = 5,
        e_ScriptEnclosedSpecials = 6,
        e_ScriptOther = 7
    };

    // Bidirectional layout class (the class-1 value).
    enum et_LayoutProperty {
        e_LayoutNone = 0,
        e_LayoutLeftToRight = 1,
        e_LayoutRightToLeft = 2,
        e_LayoutEuropeNumber = 3,
        e_LayoutEuropeSeparator = 4,
        e_LayoutEuropeTerminator = 5,
        e_LayoutArabicNumber = 6,
        e_LayoutCommonSeparator = 7,
        e_LayoutBlockSeparator = 8,
        e_LayoutSegmentSeparator = 9,
        e_LayoutWhitespace = 10,
        e_LayoutOtherNeutral = 11
    };

    // Category and block.
    static et_UnicodeProperty seo_GetUnicodeProperty(unsigned short u);
    static et_UnicodeBlock seo_GetUnicodeBlock(unsigned short u);
    static et_Script seo_GetScript(et_UnicodeBlock block);
    static unsigned short const* sqcuz_UnicodePropertyName(et_UnicodeProperty property);
    static unsigned short const* sqcuz_UnicodeBlockName(et_UnicodeBlock block);
    // No character names are held: always a null pointer.
    static unsigned short const* sqcuz_GetCharacterName(unsigned short u);

    // Raw class values.
    static unsigned short sn2_GetCharacterInformation(unsigned short u);
    static unsigned short sn2_GetLayoutInformation(unsigned short u);
    static unsigned short sn2_GetTextProcessingInformation(unsigned short u);
    static et_LayoutProperty seo_GetLayoutInformation(unsigned short u);

    // Classification from the category.
    static int sb_IsUpper(unsigned short u);
    static int sb_IsLower(unsigned short u);
    static int sb_IsDigit(unsigned short u);
    static int sb_IsNumeric(unsigned short u);
    static int sb_IsAlpha(unsigned short u);
    static int sb_IsPunct(unsigned short u);
    static int sb_IsCntrl(unsigned short u);
    static int sb_IsPrint(unsigned short u);
    static int sb_IsGraph(unsigned short u);
    static int sb_IsAlDig(unsigned short u);
    static int sb_IsAlNum(unsigned short u);

    // Classification from the character information (the bit itself).
    static int sb_IsSpace(unsigned short u);
    static int sb_IsXDigit(unsigned short u);
    static int sb_IsBlank(unsigned short u);

    // Layout predicates.
    static int sb_LayoutLeftToRight(unsigned short u);
    static int sb_LayoutRightToLeft(unsigned short u);
    static int sb_LayoutEuropeNumber(unsigned short u);
    static int sb_LayoutEuropeSeparator(unsigned short u);
    static int sb_LayoutEuropeTerminator(unsigned short u);
    static int sb_LayoutArabicNumber(unsigned short u);
    static int sb_LayoutCommonSeparator(unsigned short u);
    static int sb_LayoutBlockSeparator(unsigned short u);
    static int sb_LayoutSegmentSeparator(unsigned short u);
    static int sb_LayoutWhitespace(unsigned short u);
    static int sb_LayoutOtherNeutral(unsigned short u);
    static int sb_LayoutStrongDirectionality(unsigned short u);
    static int sb_LayoutWeakDirectionality(unsigned short u);
    static int sb_LayoutNeutralDirectionality(unsigned short u);
    static int sb_LayoutNoDirectionality(unsigned short u);

    // Text-processing predicates (the bit itself).
    static int sb_IsTPNonspacing(unsigned short u);
    static int sb_IsTPDiacritic(unsigned short u);
    static int sb_IsTPVowelMark(unsigned short u);
    static int sb_IsTPSymbol(unsigned short u);
    static int sb_IsTPKatakana(unsigned short u);
    static int sb_IsTPHiragana(unsigned short u);
    static int sb_IsTPHalfwidth(unsigned short u);
    static int sb_IsTPFullwidth(unsigned short u);
    static int sb_IsTPIdeograph(unsigned short u);
    static int sb_IsTPKashida(unsigned short u);
    static int sb_IsTPLexical(unsigned short u);
    static int sb_IsTPAlpha(unsigned short u);

    // The numeric value numerator/denominator; 0 and 0 for a character that
    // has none.
    static void sv_NumericValue(unsigned short u, short& numerator, short& denominator);

    // Punctuation classes: membership in fixed sets; U+0000 is never a member.
    static int sb_IsApostrophe(unsigned short u);
    static int sb_IsColon(unsigned short u);
    static int sb_IsComma(unsigned short u);
    static int sb_IsDot(unsigned short u);
    static int sb_IsExclamation(unsigned short u);
    static int sb_IsHyphen(unsigned short u);
    static int sb_IsQuestion(unsigned short u);
    static int sb_IsSemicolon(unsigned short u);
    static int sb_IsBrace(unsigned short u);
    static int sb_IsTabulator(unsigned short u);
    static int sb_IsParagraph(unsigned short u);
    static int sb_IsOpeningBracket(unsigned short u);
    static int sb_IsClosingBracket(unsigned short u);
    static int sb_IsQuote(unsigned short u);
    static int sb_IsSingleQuote(unsigned short u);
    static int sb_IsOpeningQuote(unsigned short u);
    static int sb_IsClosingQuote(unsigned short u);
    static int sb_IsPercent(unsigned short u);
    static int sb_IsVowel(unsigned short u);
    // Derived classes.
    static int sb_IsBracket(unsigned short u);
    static int sb_IsDoubleQuote(unsigned short u);
    static int sb_IsSurrounder(unsigned short u);
    static int sb_IsStop(unsigned short u);

    // True when every character from position start on, for count characters
    // or up to the end of the text, satisfies the predicate; false for a null
    // or empty text, a count of 0, or a start not below the text's length.
    static int sb_IsSequenceOf(unsigned short const* s, int (*predicate)(unsigned short), unsigned start,
                               unsigned count);
    static int sb_IsSequenceOf(CT_UString const* s, int (*predicate)(unsigned short), unsigned start,
                               unsigned count);

    // Guesses whether size bytes hold UTF-16 text. With ownTest 0 the system
    // answers where it has such a test (Windows); otherwise, and with ownTest
    // non-zero, the library's own test: an even size of at least 2 bytes and
    // either a zero byte or a byte-order mark first.
    static int sb_IsTextUnicode(unsigned char const* buffer, unsigned size, int ownTest);

private:
    enum et_PropertyClass { e_CharacterInformation = 0, e_LayoutInformation = 1, e_TextProcessingInformation = 2 };
    static unsigned short sn2_GetCharacterInfo(et_PropertyClass propertyClass, unsigned short u);
};
