#include <cstdio>
#include <cstring>

#include "Foundation/Basis.h"
#include "tools/basis/Commands.h"
#include "tools/basis/Tour.h"

namespace {

struct st_Section {
    char const* qccz_Name;
    int (*pf_Run)();
    // The library's inner workings, shown after the rest and only when
    // asked for (--internals, or by name).
    bool b_Internal = false;
};

// The tour's order: each area of the library adds its section here; what
// a user of the library works with comes first.
st_Section const aso_Sections[] = {
    {"strings", &i_TourString},
    {"wordlists", &i_TourWordlist},
    {"records", &i_TourRecords},
    {"files", &i_TourFiles},
    {"sharing", &i_TourSharing},
    {"ini", &i_TourIni},
    {"registry", &i_TourRegistry},
    {"locales", &i_TourLocale},
    {"calendar", &i_TourCalendar},
    {"sync", &i_TourSync},
    {"frame", &i_TourFrame, true},
    {"buffer", &i_TourBuffer, true},
    {"errors", &i_TourErrors, true},
    {"trees", &i_TourTrees, true},
    {"hash", &i_TourHash, true},
    // Decoding and encoding show as one stop.
    {"utf8", [] { return i_TourUtf8Decode() | i_TourUtf8Encode(); }, true},
};

}  // namespace

std::string s_TourNarrow(unsigned short const* text) { return CT_CString(text, ~0u, 65001).qccz_Get(); }

bool b_TourFailed(char const* what) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    std::printf("%s failed: %s\n", what, s_TourNarrow(errors->qcuz_GetErrorMessage()).c_str());
    errors->v_ClearError();
    return true;
}

void v_TourHeading(char const* title) {
    std::printf("\n== %s ", title);
    for (std::size_t i = std::strlen(title); i < 66; ++i) std::putchar('=');
    std::putchar('\n');
}

int i_TourUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis tour [--internals] [section...]\n\n"
                 "  Runs the library's parts on built-in samples, section by section:\n"
                 "  every section for its users, or the ones named, in this order:\n ");
    for (st_Section const& section : aso_Sections)
        if (!section.b_Internal) std::fprintf(out, " %s", section.qccz_Name);
    std::fprintf(out, "\n  --internals adds the library's inner workings after them (default: off):\n ");
    for (st_Section const& section : aso_Sections)
        if (section.b_Internal) std::fprintf(out, " %s", section.qccz_Name);
    std::fprintf(out,
                 "\n  Scratch files go to the folder TMPDIR names, else to the system's\n"
                 "  temporary folder, and are removed again.\n");
    return out == stdout ? 0 : 2;
}

int i_RunTour(int argc, char** argv) {
    // `basis tour [section...]` runs the named sections only.
    bool internals = false;
    int named = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return i_TourUsage(stdout);
        if (std::strcmp(argv[i], "--internals") == 0) {
            internals = true;
            continue;
        }
        bool known = false;
        for (st_Section const& section : aso_Sections) known = known || std::strcmp(argv[i], section.qccz_Name) == 0;
        if (!known) {
            std::fprintf(stderr, "basis tour: unknown %s \"%s\"; see basis tour --help\n",
                         argv[i][0] == '-' ? "option" : "section", argv[i]);
            return 2;
        }
        ++named;
    }
    if (named == 0)
        std::printf("Basis is a C++ foundation library for programs that work with text in two languages: strings\n"
                    "that know their code page, bilingual word lists, record files and files, alike on Linux and\n"
                    "Windows. It serves the developers of such programs, and this tour shows its parts at work.\n");
    int failures = 0;
    for (st_Section const& section : aso_Sections) {
        bool wanted = named == 0 && (!section.b_Internal || internals);
        for (int i = 0; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], section.qccz_Name) == 0;
        if (wanted && section.pf_Run() != 0) {
            std::fprintf(stderr, "basis tour: the %s section failed\n", section.qccz_Name);
            ++failures;
        }
    }
    std::printf("\n");
    std::fflush(stdout);
    return failures ? 1 : 0;
}
