// The dump: for each code page, every byte alone and (pages with two-byte
// characters) every byte pair converted to UTF-16, and every BMP unit alone
// converted to bytes, through the platform's code-page functions that the
// library's conversions call.
//
//   page <code page> <single|double|invalid>
//   byte <256 results>                   byte 00 to FF
//   pair <lead> <256 results>            lead then trail 00 to FF
//   unit <high> <256 results>            unit high << 8 | 00 to FF
//
// A page the platform does not convert has its page line only. A wide
// result is its units in hex joined by "." ("-" for none); a narrow result
// is its bytes in hex, with "!" when the default character was used.
#include <cstdio>
#include <string>

#include "Foundation/Platform/CodePage.h"
#include "tools/codepage-parity/Parity.h"

namespace Parity {

namespace {

// The pages whose byte pairs are dumped: those with two-byte characters.
int b_HasPairs(unsigned codePage) {
    for (unsigned page : {932u, 936u, 949u, 950u, 1361u, 20932u, 20936u, 20949u, 51932u, 51936u, 51949u, 54936u})
        if (page == codePage) return 1;
    return 0;
}

char const ac_Hex[] = "0123456789ABCDEF";

void v_PutHex(std::string& line, unsigned value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) line += ac_Hex[(value >> shift) & 15];
}

void v_PutWide(std::string& line, char const* bytes, unsigned count, unsigned codePage) {
    unsigned short units[16];
    int written = Platform::i_MultiToWide(codePage, bytes, count, units, 16);
    line += ' ';
    if (written <= 0) line += '-';
    for (int i = 0; i < written; ++i) {
        if (i) line += '.';
        v_PutHex(line, units[i], 4);
    }
}

void v_PutNarrow(std::string& line, unsigned short unit, unsigned codePage) {
    char bytes[16];
    int used = 0;
    int written = Platform::i_WideToMulti(codePage, &unit, 1, bytes, sizeof bytes, nullptr, &used);
    line += ' ';
    if (written <= 0) line += '-';
    for (int i = 0; i < written; ++i) v_PutHex(line, static_cast<unsigned char>(bytes[i]), 2);
    if (used) line += '!';
}

}  // namespace

std::vector<unsigned> av_ValidCodePages() {
    // The code page identifiers the Win32 documentation lists, but for the
    // UTF ones (UTF-16 and UTF-32 are no narrow code pages; UTF-7 and UTF-8
    // are the library's own coders on every platform). Asking the system
    // about every number would take minutes under Wine.
    static unsigned const an_Identifiers[] = {
        37,    437,   500,   708,   709,   710,   720,   737,   775,   850,   852,   855,   857,   858,   860,
        861,   862,   863,   864,   865,   866,   869,   870,   874,   875,   932,   936,   949,   950,   1026,
        1047,  1140,  1141,  1142,  1143,  1144,  1145,  1146,  1147,  1148,  1149,  1250,  1251,  1252,  1253,
        1254,  1255,  1256,  1257,  1258,  1361,  10000, 10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008,
        10010, 10017, 10021, 10029, 10079, 10081, 10082, 20000, 20001, 20002, 20003, 20004, 20005, 20105, 20106,
        20107, 20108, 20127, 20261, 20269, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20297, 20420, 20423,
        20424, 20833, 20838, 20866, 20871, 20880, 20905, 20924, 20932, 20936, 20949, 21025, 21027, 21866, 28591,
        28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28603, 28605, 29001, 38598, 50220, 50221, 50222,
        50225, 50227, 50229, 50930, 50931, 50933, 50935, 50936, 50937, 50939, 51932, 51936, 51949, 51950, 52936,
        54936, 57002, 57003, 57004, 57005, 57006, 57007, 57008, 57009, 57010, 57011};
    std::vector<unsigned> pages;
    for (unsigned codePage : an_Identifiers)
        if (Platform::b_IsValidCodePage(codePage)) pages.push_back(codePage);
    return pages;
}

int i_Dump(char const* path, std::vector<unsigned> const& codePages) {
    FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::perror(path);
        return 1;
    }
    std::fprintf(out, "codepage-parity 2\n");
    std::string line;
    line.reserve(8192);
    for (unsigned codePage : codePages) {
        if (!Platform::b_IsValidCodePage(codePage)) {
            std::fprintf(out, "page %u invalid\n", codePage);
            continue;
        }
        int pairs = b_HasPairs(codePage);
        std::fprintf(out, "page %u %s\n", codePage, pairs ? "double" : "single");
        line = "byte";
        for (unsigned b = 0; b < 256; ++b) {
            char byte = static_cast<char>(b);
            v_PutWide(line, &byte, 1, codePage);
        }
        line += '\n';
        std::fputs(line.c_str(), out);
        for (unsigned lead = 0; pairs && lead < 256; ++lead) {
            line = "pair ";
            v_PutHex(line, lead, 2);
            for (unsigned trail = 0; trail < 256; ++trail) {
                char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                v_PutWide(line, pair, 2, codePage);
            }
            line += '\n';
            std::fputs(line.c_str(), out);
        }
        for (unsigned high = 0; high < 256; ++high) {
            line = "unit ";
            v_PutHex(line, high, 2);
            for (unsigned low = 0; low < 256; ++low) v_PutNarrow(line, static_cast<unsigned short>(high << 8 | low), codePage);
            line += '\n';
            std::fputs(line.c_str(), out);
        }
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace Parity
