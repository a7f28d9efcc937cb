#include <cstdio>
#include <cstring>

#include "Foundation/Basis.h"
#include "tools/basis/Commands.h"
#include "tools/basis/Tour.h"

namespace {

struct st_Section {
    char const* qccz_Name;
    int (*pf_Run)();
};

// The tour's order: each area of the library adds its section here.
st_Section const aso_Sections[] = {
    {"frame", &i_TourFrame},
    {"buffer", &i_TourBuffer},
    {"strings", &i_TourString},
    {"errors", &i_TourErrors},
    {"trees", &i_TourTrees},
    {"files", &i_TourFiles},
    {"wordlists", &i_TourWordlist},
    {"hash", &i_TourHash},
    {"records", &i_TourRecords},
    {"sync", &i_TourSync},
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
    std::fprintf(out, "usage: basis tour [section...]\n\n  Runs every section, or the ones named, in this order:\n ");
    for (st_Section const& section : aso_Sections) std::fprintf(out, " %s", section.qccz_Name);
    std::fprintf(out, "\n");
    return out == stdout ? 0 : 2;
}

int i_RunTour(int argc, char** argv) {
    // `basis tour [section...]` runs the named sections only.
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return i_TourUsage(stdout);
        bool known = false;
        for (st_Section const& section : aso_Sections) known = known || std::strcmp(argv[i], section.qccz_Name) == 0;
        if (!known) {
            std::fprintf(stderr, "basis tour: unknown section \"%s\"\n", argv[i]);
            return i_TourUsage(stderr);
        }
    }
    int failures = 0;
    for (st_Section const& section : aso_Sections) {
        bool wanted = argc == 0;
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
