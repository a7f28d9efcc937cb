// The command line as every subcommand reads it: the program's arguments
// kept as main received them (so that a file name can be taken wide, as
// the user typed it), options in both spellings "--opt value" and
// "--opt=value", "--" ending the options, "-" as an ordinary argument
// (standard input or output), and numbers read strictly.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"

void v_KeepArguments(int argc, char** argv);

// The name that argument (a pointer into a kept argument, at its start or,
// for "--opt=value", at its value) spells; a text that is not part of a
// kept argument is read as UTF-8.
void v_GetArgumentName(char const* argument, CT_UString* name);

// An option a subcommand knows: its name with the dashes, whether it takes
// a value, and the actions it goes with (" add get ", or nullptr for all).
struct st_OptionRule {
    char const* qccz_Name;
    bool b_TakesValue;
    char const* qccz_Actions;
};

struct st_CommandLine {
    std::vector<char const*> apcc_Positional;  // the action first
    struct st_Given {
        std::string s_Name;
        char const* qccz_Value;  // into argv; nullptr for a flag
    };
    std::vector<st_Given> ao_Options;

    bool b_Has(char const* name) const;
    // The last value given for the option, or nullptr.
    char const* qccz_Value(char const* name) const;
};

// Splits argv by the rules. "--help"/"-h" anywhere before "--" sets *help.
// "--verbose" is known to every subcommand and sets the tool's verbosity.
// False with *problem set (one line) for an unknown option, a value
// missing or given to a flag, or an option that does not go with the
// action.
bool b_ParseCommandLine(int argc, char** argv, std::vector<st_OptionRule> const& rules, st_CommandLine* line,
                        bool* help, std::string* problem);

// A decimal number without sign of at most max; anything else is refused
// with a message that says why ("needs a number" or "is too large").
enum et_NumberResult { e_NumberOk, e_NotANumber, e_NumberTooLarge };
et_NumberResult e_ParseNumber(char const* text, unsigned long long max, unsigned long long* value);
// "WHAT needs a number, not "TEXT"" or "WHAT TEXT is too large (at most MAX)".
std::string s_NumberProblem(et_NumberResult result, char const* what, char const* text, unsigned long long max);
// Both at once: true with *value, or false with *problem.
bool b_ReadNumber(char const* what, char const* text, unsigned long long max, unsigned* value, std::string* problem);

// "--wait SECONDS": how long to retry opening a file another process
// holds. Retrying sleeps between tries; 0 does not wait.
unsigned n_WaitSeconds(st_CommandLine const& line, std::string* problem, bool* ok);
