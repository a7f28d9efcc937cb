// The basis command-line tool: `basis tour` shows what the library does;
// further subcommands arrive with the parts of the library they use.
#include <cstdio>
#include <cstring>
#include <new>

#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"
#include "tools/basis/ToolErrors.h"

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
    {"ini", "read, write, delete and list the settings of INI files", &i_RunIni},
    {"locale", "list the locales and show the values the library reads of one", &i_RunLocale},
    {"registry", "query, add, delete, export and import registry keys", &i_RunRegistry},
    {"calendar", "convert dates between calendars and lay out a month in two calendars", &i_RunCalendar},
    {"time", "read a date and time by a picture in a locale", &i_RunTime},
};

int i_Usage(FILE* out) {
    std::fprintf(out,
                 "usage: basis <command> [arguments]\n"
                 "       basis help <command>    the command's usage (also: basis <command> --help)\n"
                 "       basis --version         the version of the tool and the library\n\ncommands:\n");
    for (st_Command const& command : aso_Commands) std::fprintf(out, "  %-10s %s\n", command.qccz_Name, command.qccz_Summary);
    return out == stdout ? 0 : 2;
}

st_Command const* pso_Find(char const* name) {
    for (st_Command const& command : aso_Commands)
        if (std::strcmp(name, command.qccz_Name) == 0) return &command;
    return nullptr;
}

// A mistake on the command line is one line naming it and where to look,
// with the usage status.
int i_UsageError(char const* what, char const* word) {
    std::fprintf(stderr, "basis: %s \"%s\"; see basis --help\n", what, word);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    v_KeepArguments(argc, argv);
    if (argc < 2) return i_Usage(stderr);
    char const* first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) return i_Usage(stdout);
    if (std::strcmp(first, "--version") == 0) {
        std::printf("basis %s\n", BASIS_VERSION_TEXT);
        return 0;
    }
    if (std::strcmp(first, "help") == 0) {
        if (argc < 3) return i_Usage(stdout);
        st_Command const* command = pso_Find(argv[2]);
        if (command == nullptr) return i_UsageError("unknown command", argv[2]);
        char help[] = "--help";
        char* helpArgv[] = {help, nullptr};
        v_SetToolCommand(command->qccz_Name);
        return command->pf_Run(1, helpArgv);
    }
    if (first[0] == '-') return i_UsageError("unknown option", first);
    if (st_Command const* command = pso_Find(first)) {
        v_SetToolCommand(command->qccz_Name);
        // The library's buffers report an allocation failure by throwing;
        // an input larger than memory ends the command with a message
        // instead of an abort. Files it had open are closed by the system
        // and keep what was written to them.
        try {
            return command->pf_Run(argc - 2, argv + 2);
        } catch (std::bad_alloc const&) {
            return i_ToolFail(e_ExitNo, "out of memory: the input is too large to be held");
        }
    }
    return i_UsageError("unknown command", first);
}
