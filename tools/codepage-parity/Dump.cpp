// The dump: for each code page, every byte alone and (double-byte pages)
// every byte pair converted to UTF-16, and every BMP unit alone converted
// to bytes, through CT_StringConvert as a caller of the library would.
//
//   page <code page> <single|double>
//   byte <256 results>                   byte 00 to FF
//   pair <lead> <256 results>            lead then trail 00 to FF
//   unit <high> <256 results>            unit high << 8 | 00 to FF
//
// A wide result is its units in hex joined by "." ("-" for none); a narrow
// result is its bytes in hex, with "!" when the default character was used.
#include <cstdio>

#include "Foundation/Basis.h"
#include "tools/codepage-parity/Parity.h"

namespace Parity {

namespace {

int b_IsDoubleByte(unsigned codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

void v_PutWide(FILE* out, char const* bytes, unsigned count, unsigned codePage) {
    unsigned short units[8];
    int written = CT_StringConvert::si_MultiToWide(units, bytes, count, codePage);
    std::fputc(' ', out);
    if (written <= 0) std::fputc('-', out);
    for (int i = 0; i < written; ++i) std::fprintf(out, i ? ".%04X" : "%04X", units[i]);
}

void v_PutNarrow(FILE* out, unsigned short unit, unsigned codePage) {
    char bytes[8];
    int used = 0;
    int written = CT_StringConvert::si_WideToMulti(bytes, &unit, 1, codePage, nullptr, &used);
    std::fputc(' ', out);
    if (written <= 0) std::fputc('-', out);
    for (int i = 0; i < written; ++i) std::fprintf(out, "%02X", static_cast<unsigned char>(bytes[i]));
    if (used) std::fputc('!', out);
}

}  // namespace

std::vector<unsigned> av_DefaultCodePages() {
    return {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
}

int i_Dump(char const* path, std::vector<unsigned> const& codePages) {
    FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::perror(path);
        return 1;
    }
    std::fprintf(out, "codepage-parity 1\n");
    for (unsigned codePage : codePages) {
        int doubleByte = b_IsDoubleByte(codePage);
        std::fprintf(out, "page %u %s\n", codePage, doubleByte ? "double" : "single");
        std::fprintf(out, "byte");
        for (unsigned b = 0; b < 256; ++b) {
            char byte = static_cast<char>(b);
            v_PutWide(out, &byte, 1, codePage);
        }
        std::fputc('\n', out);
        for (unsigned lead = 0; doubleByte && lead < 256; ++lead) {
            std::fprintf(out, "pair %02X", lead);
            for (unsigned trail = 0; trail < 256; ++trail) {
                char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                v_PutWide(out, pair, 2, codePage);
            }
            std::fputc('\n', out);
        }
        for (unsigned high = 0; high < 256; ++high) {
            std::fprintf(out, "unit %02X", high);
            for (unsigned low = 0; low < 256; ++low) v_PutNarrow(out, static_cast<unsigned short>(high << 8 | low), codePage);
            std::fputc('\n', out);
        }
    }
    return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace Parity
