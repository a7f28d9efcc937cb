#include <cstdio>
#include <cstring>

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
};

}  // namespace

void v_TourHeading(char const* title) {
    std::printf("\n== %s ", title);
    for (std::size_t i = std::strlen(title); i < 66; ++i) std::putchar('=');
    std::putchar('\n');
}

int i_RunTour(int argc, char** argv) {
    // `basis tour [section...]` runs the named sections only.
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
