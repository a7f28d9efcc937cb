// Narrow to wide and back in a few code pages of the system, on any bytes,
// into target arrays of exactly the documented room.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Foundation/Basis.h"

namespace {

// Table pages of one and two bytes, EBCDIC, and the pages converted by a
// shift state or longer sequences (ISO-2022, HZ, GB 18030, EUC-JP, ISCII).
unsigned const an_CodePages[] = {1252, 1251, 1253, 874,   932,   936,   949,   950,   1361,  0,     12345,
                                 866,  37,   20866, 50220, 50225, 52936, 54936, 51932, 57002, 10000, 51949};

void v_Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    if (size < 1 || size > 4096) return 0;
    unsigned codePage = an_CodePages[data[0] % (sizeof an_CodePages / sizeof an_CodePages[0])];
    char const* bytes = reinterpret_cast<char const*>(data + 1);
    unsigned count = static_cast<unsigned>(size - 1);

    std::vector<unsigned short> units(count + 1);
    int n = CT_StringConvert::si_MultiToWide(units.data(), bytes, count, codePage);
    v_Check(n >= 0 && static_cast<unsigned>(n) <= count);

    // Back, with the default character of the code page and with a given
    // one of two bytes; a count of ~0 stops at the first zero unit.
    unsigned wide = static_cast<unsigned>(n);
    std::vector<char> narrow(wide ? wide * 2 : 1);
    int used = 0;
    int m = CT_StringConvert::si_WideToMulti(narrow.data(), units.data(), wide, codePage, nullptr, &used);
    v_Check(m >= 0 && static_cast<unsigned>(m) <= narrow.size());
    m = CT_StringConvert::si_WideToMulti(narrow.data(), units.data(), wide, codePage, "\xA1\xA1", &used);
    v_Check(m >= 0 && static_cast<unsigned>(m) <= narrow.size());
    if (wide) {
        units[wide] = 0;
        unsigned length = 0;
        while (units[length]) ++length;
        std::vector<char> whole((length + 1) * 2);
        CT_StringConvert::si_WideToMulti(whole.data(), units.data(), ~0u, codePage);
    }

    // The string forms and the one-character forms.
    CT_UString target;
    v_Check(CT_StringConvert::si_MultiToWide(&target, bytes, count, codePage) == n);
    CT_CString back(codePage);
    CT_StringConvert::si_WideToMulti(&back, &target, codePage);
    if (count) {
        unsigned short unit = CT_StringConvert::sus_MultiToWide(bytes[0], codePage);
        CT_StringConvert::sc_WideToMulti(unit, codePage);
    }
    return 0;
}
