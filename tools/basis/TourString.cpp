// The tour's string stop: a narrow string with its code page, a wide
// string, either kind through CT_String const*, wildcard matching,
// translating, comparing and formatting.
#include <cstdio>
#include <cstring>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

namespace {

// Wide text for the terminal: UTF-16 units written as UTF-8 (each unit by
// itself, which is all the tour's sample text needs).
void v_PrintUnits(unsigned short const* units, unsigned length) {
    for (unsigned i = 0; i < length; ++i) {
        unsigned u = units[i];
        if (u < 0x80) {
            std::putchar(static_cast<int>(u));
        } else if (u < 0x800) {
            std::putchar(static_cast<int>(0xC0 | (u >> 6)));
            std::putchar(static_cast<int>(0x80 | (u & 0x3F)));
        } else {
            std::putchar(static_cast<int>(0xE0 | (u >> 12)));
            std::putchar(static_cast<int>(0x80 | ((u >> 6) & 0x3F)));
            std::putchar(static_cast<int>(0x80 | (u & 0x3F)));
        }
    }
}

// Either kind of string, told apart by the type system and read as wide
// characters through the base class.
void v_Describe(char const* label, CT_String const* s) {
    CT_CString const* narrow = static_cast<CT_CString const*>(s->vpv_IsKindOf(CT_CString::spcco_GetType()));
    std::printf("  %-26s %-10s length %2u  \"", label, s->vpcco_GetType()->qccz_GetName(), s->vn_GetLength());
    for (unsigned i = 0; i < s->vn_GetLength(); ++i) {
        unsigned short u = s->vu_GetAt(i);
        v_PrintUnits(&u, 1);
    }
    std::printf("\"");
    if (narrow) {
        std::printf("  code page %u, bytes", narrow->n_GetCodePage());
        for (unsigned i = 0; i < narrow->n_GetLength(); ++i)
            std::printf(" %02X", static_cast<unsigned char>(narrow->c_GetAt(i)));
    }
    std::printf("\n");
}

unsigned short const au_Greeting[] = {'K', 0x00F6, 'l', 'n', ' ', 0x2192, ' ', 0x6771, 0x4EAC, 0};
unsigned short const au_Privet[] = {0x041F, 0x0440, 0x0438, 0x0432, 0x0435, 0x0442, 0};
unsigned short const au_Format[] = {'%', 's', ' ', 'h', 'a', 's', ' ', '%', 'd', ' ', 'u', 'n', 'i', 't', 's', 0};

}  // namespace

int i_TourString() {
    int failures = 0;
    v_TourHeading("Strings");
    std::printf("A narrow string keeps its bytes as given and carries their code page;\n"
                "a wide string holds UTF-16 units. Either reads the other through CT_String const*:\n");
    CT_CString cafe("Caf\xe9 cr\xe8me", ~0u, 1252);
    CT_UString greeting(au_Greeting, ~0u);
    v_Describe("narrow, code page 1252", &cafe);
    v_Describe("wide", &greeting);
    CT_UString widened(static_cast<CT_String const*>(&cafe));
    v_Describe("wide, set from the narrow", &widened);
    CT_CString narrowed(&widened, 850);
    v_Describe("narrow 850, from the wide", &narrowed);

    std::printf("\nThe same wide word in the Windows, DOS, KOI8 and Mac code pages, and back:\n");
    CT_UString privet(au_Privet, ~0u);
    for (unsigned codePage : {1251u, 866u, 855u, 20866u, 10007u}) {
        char label[32];
        std::snprintf(label, sizeof label, "narrow %u", codePage);
        CT_CString encoded(&privet, codePage);
        v_Describe(label, &encoded);
        CT_UString back(static_cast<CT_String const*>(&encoded));
        failures += back.vi_Compare(au_Privet, ~0u, 0) != 0;
    }

    std::printf("\nCopies share one buffer; the first change unshares it:\n");
    CT_CString copy(cafe);
    std::printf("  after copying:   use count %u\n", cafe.pcco_GetBuffer()->n_GetUseCount());
    copy.v_Append("!", ~0u);
    bool unchanged = std::strcmp(cafe.qccz_Get(), "Caf\xe9 cr\xe8me") == 0;
    std::printf("  after appending: use count %u; the original is %s\n", cafe.pcco_GetBuffer()->n_GetUseCount(),
                unchanged ? "unchanged" : "CHANGED");
    failures += !unchanged;

    std::printf("\nWildcard matching (* any run, ? any one character, case matters):\n");
    char const* const names[] = {"notes.txt", "notes.tmp", "Notes.TXT", "readme", "a.t"};
    char const* const patterns[] = {"*.t?t", "n*", "*", "?.*"};
    std::printf("  %-12s", "");
    for (char const* pattern : patterns) std::printf(" %-7s", pattern);
    std::printf("\n");
    for (char const* name : names) {
        CT_CString s(name, ~0u, 0);
        std::printf("  %-12s", name);
        for (char const* pattern : patterns) std::printf(" %-7s", s.b_Match(pattern) ? "yes" : "-");
        std::printf("\n");
    }

    std::printf("\nTranslate: each character of from becomes the one at its place in to,\n"
                "or goes when to is shorter:\n");
    CT_CString translated("aabbcd", ~0u, 0);
    CT_CString from("abc", ~0u, 0), to("x", ~0u, 0);
    translated.vv_Translate(&from, &to);
    std::printf("  \"aabbcd\" from \"abc\" to \"x\" gives \"%s\"\n", translated.qccz_Get());
    failures += std::strcmp(translated.qccz_Get(), "xxd") != 0;
    CT_CString padded("  -- title --  ", ~0u, 0);
    CT_CString dashes("- ", ~0u, 0);
    padded.vv_Strip(&dashes);
    std::printf("  \"  -- title --  \" stripped of \"- \" gives \"%s\"\n", padded.qccz_Get());

    std::printf("\nComparing: narrow by bytes (-1, 0, 1), wide with a count by the difference:\n");
    CT_CString abc("abc", ~0u, 0);
    unsigned short const ab[] = {'a', 'b', 0}, ad[] = {'a', 'd', 0};
    CT_UString wideAb(ab, ~0u);
    std::printf("  abc vs abd: %d;  abc vs abd, 2 bytes: %d\n", abc.vi_Compare("abd", ~0u, 0),
                abc.vi_Compare("abd", 2, 0));
    std::printf("  wide ab vs ad, 2 units: %d;  the whole texts: %d\n", wideAb.vi_Compare(ad, 2, 0),
                wideAb.vi_Compare(ad, ~0u, 0));
    failures += abc.vi_Compare("abd", ~0u, 0) != -1 || wideAb.vi_Compare(ad, 2, 0) != 'b' - 'd';

    std::printf("\nFormatting, narrow by the C library and wide by the library's own formatter:\n");
    CT_CString report(1252);
    report.v_Format("%-8s|%6.2f|%04X|%+d", "price", 12.5, 0xBEEF, 7);
    std::printf("  narrow: \"%s\"\n", report.qccz_Get());
    CT_UString wideReport;
    wideReport.v_Format(au_Format, au_Greeting, greeting.vn_GetLength());
    std::printf("  wide:   \"");
    v_PrintUnits(wideReport.qcuz_Get(), wideReport.n_GetLength());
    std::printf("\"\n");
    return failures;
}
