// The basis command-line tool: `basis tour` shows what the library does;
// further subcommands arrive with the parts of the library they use.
#include <cstdio>
#include <cstring>

#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"

namespace {

struct st_Command {
    char const* qccz_Name;
    char const* qccz_Summary;
    int (*pf_Run)(int argc, char** argv);
};

st_Command const aso_Commands[] = {
    {"tour", "a guided run over built-in sample data", &i_RunTour},
    {"wordlist", "build, search, list, save and load bilingual word lists", &i_RunWordlist},
    {"records", "create, fill, read, list and check record files", &i_RunRecords},
};

int i_Usage(FILE* out) {
    std::fprintf(out, "usage: basis <command> [arguments]\n\ncommands:\n");
    for (st_Command const& command : aso_Commands) std::fprintf(out, "  %-10s %s\n", command.qccz_Name, command.qccz_Summary);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    v_KeepArguments(argc, argv);
    if (argc < 2) return i_Usage(stderr);
    if (std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) return i_Usage(stdout);
    for (st_Command const& command : aso_Commands)
        if (std::strcmp(argv[1], command.qccz_Name) == 0) return command.pf_Run(argc - 2, argv + 2);
    std::fprintf(stderr, "basis: unknown command \"%s\"\n\n", argv[1]);
    return i_Usage(stderr);
}
