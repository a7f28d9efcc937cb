// The Linux stand-in for the Windows code-page functions.
//
// Every Windows code page that ICU has a converter for is served (the list
// is aso_Pages below). A single- or double-byte page is served from tables
// made once, on its first use, from the ICU converter whose mapping is
// closest to the Windows one (chosen by comparing every byte, byte pair and
// BMP unit with the results of the Windows functions). The tables are never
// changed afterwards, so any number of threads convert with them at once;
// ICU itself is only touched while a table is made, under one lock. The
// pages whose characters are longer or depend on a shift state (ISO-2022,
// GB 18030, EUC-JP, ISCII, HZ) go through a converter opened for each call.
//
// The rules of the Windows functions that the tables keep:
// - a lead byte of a double-byte code page takes the next byte with it
//   unless that byte is zero or past the end; a pair without a mapping, and
//   a lead byte alone, become the code page's default wide character
//   (U+30FB for 932, "?" for the others) as one unit;
// - bytes 0x00-0x1F and 0x7F are the control characters of the same value
//   in every code page (some ICU tables swap 0x1A, 0x1C and 0x7F);
// - a unit without a mapping becomes the default character, "?" unless the
//   caller gives one, unit by unit (each half of a surrogate pair alone).
// Where the Windows tables are richer than ICU's (best-fit mappings from
// UTF-16, private-use characters for unassigned bytes), the tables follow
// ICU; tools/codepage-parity lists every such difference with its reason.
#include "Foundation/Platform/CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace Platform {

namespace {

enum et_Kind {
    e_SingleByte,
    e_SevenBit,      // single-byte, and a byte of 0x80 or more is read without its high bit
    e_Ebcdic,        // single-byte with the EBCDIC control codes: no byte is ASCII
    e_DoubleByte,
    e_Johab,
    // Characters of three bytes (EUC-JP): no table holds them, so every
    // conversion goes through an ICU converter of its own.
    e_Stream,
    // As e_Stream, for the pages that Windows converts by a shift state or
    // an algorithm (ISO-2022, HZ, GB 18030, ISCII): there the caller's
    // default character is not taken, only "?".
    e_Algorithmic,
};

// Which of the converter's one-way mappings from UTF-16 (a character to a
// similar one of the code page) are taken.
enum et_Fallbacks {
    e_NoFallbacks,
    e_AllFallbacks,
    // All but those onto a control code: the Windows tables map characters
    // to control codes only in the pages whose control codes had glyphs.
    e_TextFallbacks,
};

struct st_PageInfo {
    unsigned n_CodePage;
    char const* qccz_Converter;      // the ICU converter the tables are made from
    et_Kind seo_Kind;
    et_Fallbacks seo_Fallbacks;
    unsigned short u_DefaultWide;    // what a byte sequence without a mapping becomes
};

// Every Windows code page that ICU has a converter for, sorted by number.
// Most converters carry the Windows number as an alias ("windows-NNN"),
// the others are the IBM tables of the same number ("ibm-NNN"); where ICU
// has several tables for a page the one closest to the Windows results
// (compared byte by byte and unit by unit) is taken. By family:
// - DOS (437-869): the IBM tables of the same number, with their one-way
//   mappings (Windows writes box-drawing and accented letters alike).
// - Windows (874, 932-950, 1250-1258): ICU's "windows-NNN" converters and
//   the IBM tables that ICU gives the Windows names (ibm-53xx, ibm-944x);
//   the ibm-12xx ones are older (no euro sign). For 932 and 10000 ICU's
//   one-way mappings are mostly not the Windows ones.
// - Johab (1361): Hangul by its bit fields, symbols and Hanja by their rows
//   in the Korean national standard, whose mapping the 949 converter holds.
// - EBCDIC (037, 500, 870-1149, 20273-21025): the IBM tables of the same
//   number (20NNN is IBM's NNN); the control codes are EBCDIC's own.
// - Mac (10000-10081): ICU's "macos-" tables, which carry the Windows
//   numbers; 10001-10005, 10008-10021, 10079 and 10082 it does not have.
// - US-ASCII (20127) and KOI8 (20866, 21866: ibm-878 and ibm-1168, the
//   Russian and the Ukrainian one).
// - EUC (20932, 20936, 20949, 51932, 51936, 51949): EUC-JP (three-byte
//   JIS X 0212 characters behind 0x8F: a stream), GB 2312 (ibm-1383) and
//   KS X 1001 (ibm-970); 51936 is 936 as it is on Windows.
// - ISO-8859 (28591-28605, 38598): the IBM tables ICU names "windows-285NN";
//   38598 is 28598 for text in logical order, the same bytes.
// - ISO-2022 (50220-50222, 50225, 50227) and HZ (52936): ICU's stateful
//   converters. 50220 and 50221 write half-width katakana as full-width
//   ones (ICU's one-way mappings); 50222 writes them behind SO and SI.
// - GB 18030 (54936) and ISCII (57002-57011): ICU's algorithmic converters.
constexpr st_PageInfo aso_Pages[] = {
    {37, "ibm-37_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {437, "ibm-437_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {500, "ibm-500_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {720, "ibm-720_P100-1997", e_SingleByte, e_AllFallbacks, '?'},
    {737, "ibm-737_P100-1997", e_SingleByte, e_AllFallbacks, '?'},
    {775, "ibm-775_P100-1996", e_SingleByte, e_AllFallbacks, '?'},
    {850, "ibm-850_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {852, "ibm-852_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {855, "ibm-855_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {857, "ibm-857_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {858, "ibm-858_P100-1997", e_SingleByte, e_AllFallbacks, '?'},
    {860, "ibm-860_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {861, "ibm-861_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {862, "ibm-862_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {863, "ibm-863_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {864, "ibm-864_X110-1999", e_SingleByte, e_AllFallbacks, '?'},
    {865, "ibm-865_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {866, "ibm-866_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {869, "ibm-869_P100-1995", e_SingleByte, e_AllFallbacks, '?'},
    {870, "ibm-870_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {874, "windows-874-2000", e_SingleByte, e_AllFallbacks, '?'},
    {875, "ibm-875_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {932, "ibm-943_P15A-2003", e_DoubleByte, e_NoFallbacks, 0x30FB},
    {936, "windows-936-2000", e_DoubleByte, e_TextFallbacks, '?'},
    {949, "windows-949-2000", e_DoubleByte, e_TextFallbacks, '?'},
    {950, "windows-950-2000", e_DoubleByte, e_TextFallbacks, '?'},
    {1026, "ibm-1026_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {1047, "ibm-1047_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {1140, "ibm-1140_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1141, "ibm-1141_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1142, "ibm-1142_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1143, "ibm-1143_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1144, "ibm-1144_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1145, "ibm-1145_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1146, "ibm-1146_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1147, "ibm-1147_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1148, "ibm-1148_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1149, "ibm-1149_P100-1997", e_Ebcdic, e_TextFallbacks, '?'},
    {1250, "ibm-5346_P100-1998", e_SingleByte, e_TextFallbacks, '?'},
    {1251, "ibm-5347_P100-1998", e_SingleByte, e_TextFallbacks, '?'},
    {1252, "ibm-5348_P100-1997", e_SingleByte, e_TextFallbacks, '?'},
    {1253, "ibm-5349_P100-1998", e_SingleByte, e_TextFallbacks, '?'},
    {1254, "ibm-5350_P100-1998", e_SingleByte, e_TextFallbacks, '?'},
    {1255, "ibm-9447_P100-2002", e_SingleByte, e_TextFallbacks, '?'},
    {1256, "ibm-9448_X100-2005", e_SingleByte, e_TextFallbacks, '?'},
    {1257, "ibm-9449_P100-2002", e_SingleByte, e_TextFallbacks, '?'},
    {1258, "ibm-5354_P100-1998", e_SingleByte, e_TextFallbacks, '?'},
    {1361, "windows-949-2000", e_Johab, e_NoFallbacks, '?'},
    {10000, "macos-0_2-10.2", e_SingleByte, e_NoFallbacks, '?'},
    {10006, "macos-6_2-10.4", e_SingleByte, e_NoFallbacks, '?'},
    {10007, "macos-7_3-10.2", e_SingleByte, e_NoFallbacks, '?'},
    {10029, "macos-29-10.2", e_SingleByte, e_NoFallbacks, '?'},
    {10081, "macos-35-10.2", e_SingleByte, e_NoFallbacks, '?'},
    {20127, "US-ASCII", e_SevenBit, e_TextFallbacks, '?'},
    {20273, "ibm-273_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20277, "ibm-277_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20278, "ibm-278_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20280, "ibm-280_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20284, "ibm-284_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20285, "ibm-285_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20290, "ibm-290_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20297, "ibm-297_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20420, "ibm-420_X120-1999", e_Ebcdic, e_TextFallbacks, '?'},
    {20424, "ibm-424_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20838, "ibm-838_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20866, "ibm-878_P100-1996", e_SingleByte, e_TextFallbacks, '?'},
    {20871, "ibm-871_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {20932, "euc-jp-2007", e_Stream, e_NoFallbacks, '?'},
    {20936, "ibm-1383_P110-1999", e_DoubleByte, e_TextFallbacks, '?'},
    {20949, "ibm-970_P110_P110-2006_U2", e_DoubleByte, e_TextFallbacks, '?'},
    {21025, "ibm-1025_P100-1995", e_Ebcdic, e_TextFallbacks, '?'},
    {21866, "ibm-1168_P100-2002", e_SingleByte, e_TextFallbacks, '?'},
    {28591, "ISO-8859-1", e_SingleByte, e_TextFallbacks, '?'},
    {28592, "ibm-912_P100-1995", e_SingleByte, e_TextFallbacks, '?'},
    {28593, "ibm-913_P100-2000", e_SingleByte, e_TextFallbacks, '?'},
    {28594, "ibm-914_P100-1995", e_SingleByte, e_TextFallbacks, '?'},
    {28595, "ibm-915_P100-1995", e_SingleByte, e_TextFallbacks, '?'},
    {28596, "ibm-1089_P100-1995", e_SingleByte, e_TextFallbacks, '?'},
    {28597, "ibm-9005_X110-2007", e_SingleByte, e_TextFallbacks, '?'},
    {28598, "ibm-5012_P100-1999", e_SingleByte, e_TextFallbacks, '?'},
    {28599, "ibm-920_P100-1995", e_SingleByte, e_TextFallbacks, '?'},
    {28603, "ibm-921_P100-1995", e_SingleByte, e_TextFallbacks, '?'},
    {28605, "ibm-923_P100-1998", e_SingleByte, e_TextFallbacks, '?'},
    {38598, "ibm-5012_P100-1999", e_SingleByte, e_TextFallbacks, '?'},
    {50220, "ISO_2022,locale=ja,version=0", e_Algorithmic, e_AllFallbacks, '?'},
    {50221, "ISO_2022,locale=ja,version=0", e_Algorithmic, e_AllFallbacks, '?'},
    {50222, "ISO_2022,locale=ja,version=3", e_Algorithmic, e_NoFallbacks, '?'},
    {50225, "ISO_2022,locale=ko,version=0", e_Algorithmic, e_NoFallbacks, '?'},
    {50227, "ISO_2022,locale=zh,version=0", e_Algorithmic, e_NoFallbacks, '?'},
    {51932, "euc-jp-2007", e_Stream, e_NoFallbacks, '?'},
    {51936, "windows-936-2000", e_DoubleByte, e_TextFallbacks, '?'},
    {51949, "ibm-970_P110_P110-2006_U2", e_DoubleByte, e_TextFallbacks, '?'},
    {52936, "HZ", e_Algorithmic, e_NoFallbacks, '?'},
    {54936, "gb18030", e_Algorithmic, e_NoFallbacks, '?'},
    {57002, "ISCII,version=0", e_Algorithmic, e_NoFallbacks, '?'},   // Devanagari
    {57003, "ISCII,version=1", e_Algorithmic, e_NoFallbacks, '?'},   // Bengali
    {57004, "ISCII,version=5", e_Algorithmic, e_NoFallbacks, '?'},   // Tamil
    {57005, "ISCII,version=6", e_Algorithmic, e_NoFallbacks, '?'},   // Telugu
    {57006, "ISCII,version=1", e_Algorithmic, e_NoFallbacks, '?'},   // Assamese: the Bengali letters
    {57007, "ISCII,version=4", e_Algorithmic, e_NoFallbacks, '?'},   // Oriya
    {57008, "ISCII,version=7", e_Algorithmic, e_NoFallbacks, '?'},   // Kannada
    {57009, "ISCII,version=8", e_Algorithmic, e_NoFallbacks, '?'},   // Malayalam
    {57010, "ISCII,version=3", e_Algorithmic, e_NoFallbacks, '?'},   // Gujarati
    {57011, "ISCII,version=2", e_Algorithmic, e_NoFallbacks, '?'},   // Gurmukhi (Punjabi)
};
constexpr unsigned n_PageCount = sizeof aso_Pages / sizeof aso_Pages[0];

// Where the converter's table differs from the Windows one: a byte and its
// unit both ways (0xFFFF: the byte has no character on Windows).
struct st_Correction {
    unsigned n_CodePage;
    unsigned char c_Byte;
    unsigned short u_Unit;
};
constexpr st_Correction aso_Corrections[] = {
    {437, 0xE6, 0x00B5},      // MICRO SIGN, not the Greek letter (in all the DOS Latin pages)
    {852, 0xAA, 0x00AC},      // NOT SIGN, which ICU's table lacks
    {860, 0xE6, 0x00B5},
    {861, 0xE6, 0x00B5},
    {862, 0xE6, 0x00B5},
    {863, 0xE6, 0x00B5},
    {865, 0xE6, 0x00B5},
    {869, 0x88, 0x00B7},      // MIDDLE DOT, not the Greek ano teleia
    {869, 0xEF, 0x0384},      // GREEK TONOS, not the acute accent
    {1253, 0xAA, 0xFFFF},     // unassigned in the Windows Greek page
    {1255, 0xCA, 0x05BA},     // HEBREW POINT HOLAM HASER FOR VAV, added later
    {10000, 0xBD, 0x2126},    // OHM SIGN, not the Greek letter
    {10081, 0xBD, 0x2126},
    // KOI8-U as Windows has it: the Byelorussian short u, not box drawing.
    {21866, 0xAE, 0x045E},
    {21866, 0xBE, 0x040E},
    // The 1987 edition of ISO 8859-7, without the 2003 additions.
    {28597, 0xA1, 0x02BD},
    {28597, 0xA2, 0x02BC},
    {28597, 0xA4, 0xFFFF},
    {28597, 0xA5, 0xFFFF},
    {28597, 0xAA, 0xFFFF},
    // ISO 8859-8 with OVERLINE and without the directional marks.
    {28598, 0xAF, 0x203E},
    {28598, 0xFD, 0xFFFF},
    {28598, 0xFE, 0xFFFF},
};

enum : unsigned short { e_NoMapping = 0xFFFF };

// The tables of one code page.
struct st_Tables {
    unsigned short u_DefaultWide;
    // What a unit without a mapping becomes when the caller gives no
    // default character: the page's question mark (0x6F in EBCDIC).
    char c_DefaultByte;
    // Every byte alone; for a lead byte, the default wide character.
    unsigned short au_Single[256];
    // For a lead byte its row in av_Pairs plus 1, else 0.
    unsigned char ac_LeadRow[256];
    // One row of 256 units per lead byte, by trail byte.
    std::vector<unsigned short> av_Pairs;
    // Every BMP unit: a single byte (0x00-0xFF), a pair (lead << 8 | trail)
    // or e_NoMapping.
    std::vector<unsigned short> av_FromWide;
    // Bytes 0x00-0x7F are themselves both ways and none is a lead byte:
    // runs of them may be copied without looking them up.
    int b_AsciiIdentity;
};

std::mutex so_BuildLock;
std::atomic<st_Tables const*> apco_Tables[n_PageCount];

st_PageInfo const* pcso_FindPage(unsigned codePage) {
    unsigned low = 0, high = n_PageCount;
    while (low < high) {
        unsigned middle = (low + high) / 2;
        if (aso_Pages[middle].n_CodePage < codePage) low = middle + 1;
        else high = middle;
    }
    return low < n_PageCount && aso_Pages[low].n_CodePage == codePage ? &aso_Pages[low] : nullptr;
}

// One converted sequence: the units, or none when the converter has no
// mapping; *truncated tells that the bytes end inside a character.
int i_ToUnits(UConverter* converter, char const* bytes, int count, UChar* units, int room, int* truncated) {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_reset(converter);
    int written = ucnv_toUChars(converter, units, room, bytes, count, &error);
    if (truncated) *truncated = error == U_TRUNCATED_CHAR_FOUND;
    return U_FAILURE(error) ? 0 : written;
}

void v_MakeSingles(UConverter* converter, st_PageInfo const& page, st_Tables& tables) {
    for (unsigned b = 0; b < 256; ++b) {
        char byte = static_cast<char>(b);
        UChar units[4];
        int truncated = 0;
        int written = i_ToUnits(converter, &byte, 1, units, 4, &truncated);
        if (written == 1) {
            tables.au_Single[b] = units[0];
        } else if (truncated && page.seo_Kind == e_DoubleByte) {
            tables.ac_LeadRow[b] = 1;  // numbered below
            tables.au_Single[b] = page.u_DefaultWide;
        } else {
            // An unassigned byte in the C1 range of an ASCII-based page is
            // the C1 control of the same value on Windows; any other one the
            // default character.
            int c1 = b >= 0x80 && b < 0xA0 && page.seo_Kind != e_Ebcdic;
            tables.au_Single[b] = c1 ? static_cast<unsigned short>(b) : page.u_DefaultWide;
        }
    }
}

void v_MakePairs(UConverter* converter, st_Tables& tables) {
    unsigned rows = 0;
    for (unsigned lead = 0; lead < 256; ++lead)
        if (tables.ac_LeadRow[lead]) tables.ac_LeadRow[lead] = static_cast<unsigned char>(++rows);
    tables.av_Pairs.assign(rows * 256u, tables.u_DefaultWide);
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!tables.ac_LeadRow[lead]) continue;
        unsigned short* row = &tables.av_Pairs[(tables.ac_LeadRow[lead] - 1u) * 256u];
        for (unsigned trail = 1; trail < 256; ++trail) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            UChar units[4];
            if (i_ToUnits(converter, pair, 2, units, 4, nullptr) == 1) row[trail] = units[0];
        }
    }
}

// Every BMP unit but the surrogates through the converter in one call; the
// offsets tell which unit each byte came from. Units the converter cannot
// map are skipped and keep e_NoMapping.
void v_MakeFromWide(UConverter* converter, st_Tables& tables) {
    tables.av_FromWide.assign(65536, e_NoMapping);
    std::vector<UChar> units;
    units.reserve(65536);
    for (unsigned u = 0; u < 65536; ++u)
        if (u < 0xD800 || u > 0xDFFF) units.push_back(static_cast<UChar>(u));
    std::vector<char> bytes(units.size() * 4);
    std::vector<int32_t> offsets(bytes.size());
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &error);
    ucnv_resetFromUnicode(converter);
    char* target = bytes.data();
    UChar const* source = units.data();
    error = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, bytes.data() + bytes.size(), &source, units.data() + units.size(),
                     offsets.data(), 1, &error);
    if (U_FAILURE(error)) return;
    size_t produced = static_cast<size_t>(target - bytes.data());
    for (size_t i = 0; i < produced;) {
        int32_t from = offsets[i];
        size_t end = i + 1;
        while (end < produced && offsets[end] == from) ++end;
        unsigned short unit = units[static_cast<size_t>(from)];
        unsigned char first = static_cast<unsigned char>(bytes[i]);
        if (end - i == 1) tables.av_FromWide[unit] = first;
        else if (end - i == 2) tables.av_FromWide[unit] = static_cast<unsigned short>(first << 8 | static_cast<unsigned char>(bytes[i + 1]));
        i = end;
    }
}

// Johab (KS X 1001 annex 3). Hangul occupies leads 0x84-0xD3 with five-bit
// fields for the initial, the medial and the final; the symbol rows 1-12
// (without the jamo of row 4) and the Hanja rows 42-93 of the national
// standard sit at leads 0xD9-0xDE and 0xE0-0xF9, two rows to a lead byte.
unsigned short u_JohabHangul(unsigned code) {
    static signed char const ac_Medial[32] = {-1, -1, -2, 0,  1,  2,  3,  4,  -1, -1, 5,  6,  7,  8,  9,  10,
                                              -1, -1, 11, 12, 13, 14, 15, 16, -1, -1, 17, 18, 19, 20, -1, -1};
    unsigned initial = (code >> 10) & 31, medialCode = (code >> 5) & 31, finalCode = code & 31;
    int medial = ac_Medial[medialCode];  // -2: the fill code
    int final = finalCode == 1 ? 0 : finalCode >= 2 && finalCode <= 17 ? static_cast<int>(finalCode) - 1
              : finalCode >= 19 && finalCode <= 29 ? static_cast<int>(finalCode) - 2 : -1;
    if (initial < 1 || initial > 20 || medial == -1 || final < 0) return e_NoMapping;
    if (initial >= 2 && medial >= 0)
        return static_cast<unsigned short>(0xAC00 + ((initial - 2) * 21 + static_cast<unsigned>(medial)) * 28 + static_cast<unsigned>(final));
    // A lone letter is the conjoining jamo of its position.
    if (initial >= 2 && final == 0) return static_cast<unsigned short>(0x1100 + initial - 2);
    if (initial == 1 && medial >= 0 && final == 0) return static_cast<unsigned short>(0x1161 + medial);
    if (initial == 1 && medial == -2 && final > 0) return static_cast<unsigned short>(0x11A8 + final - 1);
    return e_NoMapping;
}

void v_MakeJohab(UConverter* converter, st_Tables& tables) {
    // Bytes below 0x84 are themselves (0x80-0x83 the C1 controls).
    for (unsigned b = 0; b < 256; ++b) tables.au_Single[b] = b < 0x84 ? static_cast<unsigned short>(b) : '?';
    unsigned rows = 0;
    for (unsigned lead = 0x84; lead <= 0xF9; ++lead)
        if (lead <= 0xD3 || (lead >= 0xD8 && lead <= 0xDE) || lead >= 0xE0)
            tables.ac_LeadRow[lead] = static_cast<unsigned char>(++rows);
    tables.av_Pairs.assign(rows * 256u, tables.u_DefaultWide);
    for (unsigned lead = 0x84; lead <= 0xF9; ++lead) {
        if (!tables.ac_LeadRow[lead]) continue;
        unsigned short* row = &tables.av_Pairs[(tables.ac_LeadRow[lead] - 1u) * 256u];
        for (unsigned trail = 1; trail < 256; ++trail) {
            unsigned short unit = e_NoMapping;
            if (lead <= 0xD3) {
                unit = u_JohabHangul(lead << 8 | trail);
            } else if (lead >= 0xD9 && lead != 0xDF) {
                // The user-defined lead 0xD8 stays without characters.
                unsigned rowByte = (lead <= 0xDE ? 0xA1 + (lead - 0xD9) * 2 : 0xCA + (lead - 0xE0) * 2);
                unsigned cell = 0;
                if (trail >= 0x31 && trail <= 0x7E) cell = trail - 0x31 + 0xA1;
                else if (trail >= 0x91 && trail <= 0xA0) cell = trail - 0x91 + 0xEF;
                else if (trail >= 0xA1 && trail <= 0xFE) cell = trail, ++rowByte;
                if (cell && rowByte != 0xA4) {
                    char euc[2] = {static_cast<char>(rowByte), static_cast<char>(cell)};
                    UChar units[4];
                    if (i_ToUnits(converter, euc, 2, units, 4, nullptr) == 1) unit = units[0];
                }
            }
            if (unit != e_NoMapping) row[trail] = unit;
        }
    }
    // From UTF-16: the first byte sequence of each unit, Hangul first.
    tables.av_FromWide.assign(65536, e_NoMapping);
    for (unsigned b = 0; b < 0x84; ++b) tables.av_FromWide[b] = static_cast<unsigned short>(b);
    for (unsigned lead = 0x84; lead <= 0xF9; ++lead) {
        if (!tables.ac_LeadRow[lead]) continue;
        unsigned short const* row = &tables.av_Pairs[(tables.ac_LeadRow[lead] - 1u) * 256u];
        for (unsigned trail = 1; trail < 256; ++trail)
            if (row[trail] != tables.u_DefaultWide && tables.av_FromWide[row[trail]] == e_NoMapping)
                tables.av_FromWide[row[trail]] = static_cast<unsigned short>(lead << 8 | trail);
    }
}

st_Tables* pso_MakeTables(st_PageInfo const& page) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(page.qccz_Converter, &error);
    if (U_FAILURE(error)) return nullptr;
    ucnv_setFallback(converter, page.seo_Fallbacks != e_NoFallbacks);
    error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);

    st_Tables* tables = new st_Tables();
    tables->u_DefaultWide = page.u_DefaultWide;
    if (page.seo_Kind == e_Johab) {
        v_MakeJohab(converter, *tables);
    } else {
        v_MakeSingles(converter, page, *tables);
        if (page.seo_Kind == e_SevenBit)
            for (unsigned b = 0x80; b < 256; ++b) tables->au_Single[b] = tables->au_Single[b & 0x7F];
        if (page.seo_Kind == e_DoubleByte) v_MakePairs(converter, *tables);
        v_MakeFromWide(converter, *tables);
    }
    ucnv_close(converter);

    // A one-way mapping onto "?" is not taken: on Windows a "?" that is not
    // a question mark is the default character, flagged as such.
    for (unsigned u = 0; u < 65536; ++u) {
        unsigned short bytes = tables->av_FromWide[u];
        if (bytes > 0xFF || tables->au_Single[bytes] == u) continue;
        unsigned short read = tables->au_Single[bytes];
        int control = read < 0x20 || (read >= 0x7F && read < 0xA0);
        if (read == '?' || (control && page.seo_Fallbacks == e_TextFallbacks)) tables->av_FromWide[u] = e_NoMapping;
    }
    // EBCDIC has its control codes elsewhere, and ICU has them right.
    for (unsigned b = 0; b < 0x80 && page.seo_Kind != e_Ebcdic; b = b == 0x1F ? 0x7F : b + 1) {
        tables->au_Single[b] = static_cast<unsigned short>(b);
        tables->av_FromWide[b] = static_cast<unsigned short>(b);
    }
    for (st_Correction const& correction : aso_Corrections) {
        if (correction.n_CodePage != page.n_CodePage) continue;
        unsigned short old = tables->au_Single[correction.c_Byte];
        if (old != page.u_DefaultWide && tables->av_FromWide[old] == correction.c_Byte)
            tables->av_FromWide[old] = e_NoMapping;
        if (correction.u_Unit == e_NoMapping) {
            tables->au_Single[correction.c_Byte] = page.u_DefaultWide;
        } else {
            tables->au_Single[correction.c_Byte] = correction.u_Unit;
            tables->av_FromWide[correction.u_Unit] = correction.c_Byte;
        }
    }
    tables->c_DefaultByte = tables->av_FromWide['?'] < 0x100 ? static_cast<char>(tables->av_FromWide['?']) : '?';
    tables->b_AsciiIdentity = 1;
    for (unsigned b = 0; b < 0x80; ++b)
        if (tables->au_Single[b] != b || tables->av_FromWide[b] != b || tables->ac_LeadRow[b]) tables->b_AsciiIdentity = 0;
    return tables;
}

// The tables of a code page (0: the ANSI one), made on first use; null for
// a code page the library does not support.
st_Tables const* pcso_GetTables(unsigned codePage) {
    if (codePage == 0) codePage = n_GetAnsiCodePage();
    st_PageInfo const* page = pcso_FindPage(codePage);
    if (!page) return nullptr;
    std::atomic<st_Tables const*>& slot = apco_Tables[page - aso_Pages];
    st_Tables const* tables = slot.load(std::memory_order_acquire);
    if (tables) return tables;
    std::lock_guard<std::mutex> lock(so_BuildLock);
    tables = slot.load(std::memory_order_relaxed);
    if (!tables) {
        tables = pso_MakeTables(*page);
        slot.store(tables, std::memory_order_release);
    }
    return tables;
}

// The stream pages: each conversion opens a converter of its own (ICU
// shares the page's mapping data between converters, so that is cheap) and
// so keeps no state between calls, as the Windows functions keep none.

// ICU counts in int32_t: a longer text is cut to its first 2^31 - 1 units
// or bytes (clamped), where Windows would take at most as many.
int32_t i_Clamp(unsigned count) { return count > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(count); }

// A byte sequence without a mapping (or cut off by the end of the text)
// becomes the page's default wide character, once.
void v_ToWideDefault(void const* context, UConverterToUnicodeArgs* args, char const*, int32_t,
                     UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to write
    UChar unit = static_cast<UChar>(*static_cast<unsigned short const*>(context));
    *error = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &unit, 1, 0, error);
}

// A unit without a mapping (each half of a surrogate pair alone) becomes
// the default character; the flag behind the context records it.
void v_FromWideDefault(void const* context, UConverterFromUnicodeArgs* args, UChar const* units, int32_t length,
                       UChar32 codePoint, UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR) return;
    *static_cast<int*>(const_cast<void*>(context)) = 1;
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, units, length, codePoint, reason, error);
}

UConverter* pso_OpenStream(st_PageInfo const& page) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(page.qccz_Converter, &error);
    if (U_FAILURE(error)) return nullptr;
    ucnv_setFallback(converter, page.seo_Fallbacks != e_NoFallbacks);
    return converter;
}

int i_StreamToWide(st_PageInfo const& page, char const* source, unsigned count, unsigned short* target,
                   unsigned room) {
    UConverter* converter = pso_OpenStream(page);
    if (!converter) {
        errno = EINVAL;
        return 0;
    }
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter, v_ToWideDefault, &page.u_DefaultWide, nullptr, nullptr, &error);
    int32_t written = ucnv_toUChars(converter, reinterpret_cast<UChar*>(target), i_Clamp(room), source,
                                    i_Clamp(count), &error);
    ucnv_close(converter);
    if (U_FAILURE(error)) {
        errno = error == U_BUFFER_OVERFLOW_ERROR ? E2BIG : EINVAL;
        return 0;
    }
    return written;
}

int i_WideToStream(st_PageInfo const& page, unsigned short const* source, unsigned count, char* target,
                   unsigned room, char const* defaultChar, int* usedDefault) {
    UConverter* converter = pso_OpenStream(page);
    if (!converter) {
        errno = EINVAL;
        return 0;
    }
    // The default character is one byte here (written in the page's
    // single-byte state); "?" when the caller gives none, the page takes
    // none, or the converter refuses it.
    UErrorCode error = U_ZERO_ERROR;
    if (page.seo_Kind == e_Algorithmic) defaultChar = nullptr;
    ucnv_setSubstChars(converter, defaultChar ? defaultChar : "?", 1, &error);
    if (U_FAILURE(error)) {
        error = U_ZERO_ERROR;
        ucnv_setSubstChars(converter, "?", 1, &error);
    }
    int used = 0;
    error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter, v_FromWideDefault, &used, nullptr, nullptr, &error);
    int32_t written = ucnv_fromUChars(converter, target, i_Clamp(room), reinterpret_cast<UChar const*>(source),
                                      i_Clamp(count), &error);
    ucnv_close(converter);
    if (usedDefault) *usedDefault = used;
    if (U_FAILURE(error)) {
        errno = error == U_BUFFER_OVERFLOW_ERROR ? E2BIG : EINVAL;
        return 0;
    }
    return written;
}

// The locale name the process runs in, by the POSIX order of the variables.
char const* qccz_ProcessLocale() {
    for (char const* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        char const* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

int b_Is(char const* language, std::initializer_list<char const*> names) {
    for (char const* name : names)
        if (std::strcmp(language, name) == 0) return 1;
    return 0;
}

}  // namespace

int b_IsValidCodePage(unsigned codePage) { return pcso_FindPage(codePage) != nullptr; }

unsigned n_GetAnsiCodePageOfLocale(char const* localeName) {
    char language[16] = {0}, territory[16] = {0};
    char const* p = localeName ? localeName : "";
    unsigned l = 0, t = 0;
    while (*p && *p != '_' && *p != '.' && *p != '@') {
        if (l + 1 < sizeof language) language[l++] = *p;
        ++p;
    }
    if (*p == '_')
        for (++p; *p && *p != '.' && *p != '@'; ++p)
            if (t + 1 < sizeof territory) territory[t++] = *p;
    while (*p && *p != '@') ++p;
    char const* modifier = *p == '@' ? p + 1 : "";
    int latin = std::strcmp(modifier, "latin") == 0, cyrillic = std::strcmp(modifier, "cyrillic") == 0;

    if (b_Is(language, {"ja"})) return 932;
    if (b_Is(language, {"zh"})) return b_Is(territory, {"TW", "HK", "MO"}) ? 950 : 936;
    if (b_Is(language, {"ko"})) return 949;
    if (b_Is(language, {"th"})) return 874;
    if (b_Is(language, {"el"})) return 1253;
    if (b_Is(language, {"he", "iw"})) return 1255;
    if (b_Is(language, {"ar", "fa", "ur", "ckb", "ug", "sd", "prs"})) return 1256;
    if (b_Is(language, {"lt", "lv", "et"})) return 1257;
    if (b_Is(language, {"vi"})) return 1258;
    // Languages written only in Unicode on Windows (Hindi, Kazakh, Yiddish,
    // Pashto, ...) fall to the Western page below, as such a system keeps.
    // Written in Latin or Cyrillic letters as the modifier says; a name
    // without one has the script the language is usually written in.
    if (b_Is(language, {"tr", "az", "uz"})) return cyrillic ? 1251 : 1254;
    if (b_Is(language, {"sr"})) return latin ? 1250 : 1251;
    if (b_Is(language, {"bs"})) return cyrillic ? 1251 : 1250;
    if (b_Is(language, {"ru", "uk", "be", "bg", "mk", "ky", "tt", "mn", "ba", "sah", "tg", "cv", "os"})) return 1251;
    if (b_Is(language, {"pl", "cs", "hu", "sk", "sl", "hr", "ro", "sq", "hsb", "dsb", "tk"})) return 1250;
    return 1252;
}

unsigned n_GetAnsiCodePage() {
    // Fixed for the life of the process, as the system's is on Windows.
    static unsigned const sn_AnsiCodePage = n_GetAnsiCodePageOfLocale(qccz_ProcessLocale());
    return sn_AnsiCodePage;
}

int i_MultiToWide(unsigned codePage, char const* source, unsigned count, unsigned short* target, unsigned room) {
    st_PageInfo const* page = pcso_FindPage(codePage ? codePage : n_GetAnsiCodePage());
    if (page && (page->seo_Kind == e_Stream || page->seo_Kind == e_Algorithmic))
        return i_StreamToWide(*page, source, count, target, room);
    st_Tables const* tables = pcso_GetTables(codePage);
    if (!tables) {
        errno = EINVAL;
        return 0;
    }
    unsigned char const* in = reinterpret_cast<unsigned char const*>(source);
    unsigned char const* const end = in + count;
    unsigned short* out = target;
    unsigned short const* single = tables->au_Single;
    // No byte gives more than one unit: with room for count units the loops
    // need not look at the room.
    if (room >= count && tables->av_Pairs.empty()) {
        for (; end - in >= 8; in += 8, out += 8)
            for (unsigned k = 0; k < 8; ++k) out[k] = single[in[k]];
        while (in < end) *out++ = single[*in++];
        return static_cast<int>(count);
    }
    unsigned char const* leadRow = tables->ac_LeadRow;
    unsigned short const* pairs = tables->av_Pairs.data();
    while (in < end) {
        if (static_cast<unsigned>(out - target) == room) {
            errno = E2BIG;
            return 0;
        }
        unsigned b = *in;
        unsigned row = leadRow[b];
        // A lead byte takes the next one unless it is zero or past the end.
        if (row && end - in >= 2 && in[1] != 0) {
            *out++ = pairs[(row - 1) * 256u + in[1]];
            in += 2;
        } else {
            *out++ = single[b];
            ++in;
        }
    }
    return static_cast<int>(out - target);
}

int i_WideToMulti(unsigned codePage, unsigned short const* source, unsigned count, char* target, unsigned room,
                  char const* defaultChar, int* usedDefault) {
    if (usedDefault) *usedDefault = 0;
    st_PageInfo const* page = pcso_FindPage(codePage ? codePage : n_GetAnsiCodePage());
    if (page && (page->seo_Kind == e_Stream || page->seo_Kind == e_Algorithmic))
        return i_WideToStream(*page, source, count, target, room, defaultChar, usedDefault);
    st_Tables const* tables = pcso_GetTables(codePage);
    if (!tables) {
        errno = EINVAL;
        return 0;
    }
    // As on Windows, a double-byte code page takes two bytes of the default
    // text when it has two.
    char fallback[2] = {defaultChar ? defaultChar[0] : tables->c_DefaultByte, 0};
    unsigned fallbackSize = 1;
    if (defaultChar && defaultChar[0] && !tables->av_Pairs.empty() && defaultChar[1]) {
        fallback[1] = defaultChar[1];
        fallbackSize = 2;
    }
    unsigned short const* fromWide = tables->av_FromWide.data();
    unsigned in = 0, out = 0;
    int used = 0;
    while (in < count) {
        if (tables->b_AsciiIdentity) {
            // Runs of units below 0x80, four at a time.
            while (count - in >= 4 && room - out >= 4) {
                std::uint64_t four;
                std::memcpy(&four, source + in, 8);
                if (four & 0xFF80FF80FF80FF80ull) break;
                for (unsigned k = 0; k < 4; ++k) target[out + k] = static_cast<char>(source[in + k]);
                in += 4;
                out += 4;
            }
            if (in == count) break;
        }
        unsigned short bytes = fromWide[source[in]];
        unsigned need = bytes == e_NoMapping ? fallbackSize : bytes < 0x100 ? 1 : 2;
        if (room - out < need) {
            errno = E2BIG;
            if (usedDefault) *usedDefault = used;
            return 0;
        }
        if (bytes == e_NoMapping) {
            target[out++] = fallback[0];
            if (fallbackSize == 2) target[out++] = fallback[1];
            used = 1;
        } else if (need == 1) {
            target[out++] = static_cast<char>(bytes);
        } else {
            target[out++] = static_cast<char>(bytes >> 8);
            target[out++] = static_cast<char>(bytes & 0xFF);
        }
        ++in;
    }
    if (usedDefault) *usedDefault = used;
    return static_cast<int>(out);
}

}  // namespace Platform
