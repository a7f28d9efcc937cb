#include "tools/basis/Arguments.h"

#include <cstring>

#include "Foundation/Platform/CommandLine.h"
#include "tools/basis/ToolErrors.h"

namespace {

int gi_Count = 0;
char const* const* gppc_Values = nullptr;

// The longest wait --wait accepts: a day.
unsigned const kMaximumWait = 86400;

}  // namespace

void v_KeepArguments(int argc, char** argv) {
    gi_Count = argc;
    gppc_Values = argv;
}

void v_GetArgumentName(char const* argument, CT_UString* name) {
    for (int index = 0; index < gi_Count; ++index) {
        char const* kept = gppc_Values[index];
        std::size_t length = std::strlen(kept);
        if (argument < kept || argument > kept + length) continue;
        // A value after "--opt=": the part before it is ASCII, one unit a
        // byte, and is skipped in the wide argument too.
        auto skip = static_cast<unsigned>(argument - kept);
        std::vector<unsigned short> units(64);
        unsigned whole = Platform::n_GetWideArgument(gi_Count, gppc_Values, index, units.data(),
                                                     static_cast<unsigned>(units.size()));
        if (whole >= units.size()) {
            units.resize(whole + 1);
            Platform::n_GetWideArgument(gi_Count, gppc_Values, index, units.data(), whole + 1);
        }
        if (skip > whole) skip = whole;  // cannot happen for an ASCII prefix; clamped all the same
        *name = CT_UString(units.data() + skip, whole - skip);
        return;
    }
    *name = CT_UString(argument, ~0u, 65001);
}

bool st_CommandLine::b_Has(char const* name) const {
    for (st_Given const& given : ao_Options)
        if (given.s_Name == name) return true;
    return false;
}

char const* st_CommandLine::qccz_Value(char const* name) const {
    char const* value = nullptr;
    for (st_Given const& given : ao_Options)
        if (given.s_Name == name) value = given.qccz_Value;
    return value;
}

bool b_ParseCommandLine(int argc, char** argv, std::vector<st_OptionRule> const& rules, st_CommandLine* line,
                        bool* help, std::string* problem) {
    *help = false;
    bool options = true;
    std::vector<st_OptionRule const*> used;
    for (int i = 0; i < argc; ++i) {
        char const* argument = argv[i];
        // "-" alone is standard input or output; "-1" is a (wrong) number,
        // to be refused as "abc" would be, not an unknown option.
        if (!options || argument[0] != '-' || argument[1] == 0 || (argument[1] >= '0' && argument[1] <= '9')) {
            line->apcc_Positional.push_back(argument);
            continue;
        }
        if (std::strcmp(argument, "--") == 0) {
            options = false;
            continue;
        }
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            *help = true;
            continue;
        }
        if (std::strcmp(argument, "--verbose") == 0) {
            v_SetToolVerbose(true);
            continue;
        }
        char const* equals = std::strchr(argument, '=');
        std::string name = equals ? std::string(argument, equals) : std::string(argument);
        st_OptionRule const* rule = nullptr;
        for (st_OptionRule const& candidate : rules)
            if (name == candidate.qccz_Name) rule = &candidate;
        if (rule == nullptr) {
            *problem = "unknown option \"" + name + "\"";
            return false;
        }
        char const* value = nullptr;
        if (rule->b_TakesValue) {
            if (equals) {
                value = equals + 1;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                *problem = name + " needs a value";
                return false;
            }
        } else if (equals) {
            *problem = name + " takes no value";
            return false;
        }
        line->ao_Options.push_back({name, value});
        used.push_back(rule);
    }
    if (*help) return true;
    // Whether each option goes with the action is known once the action is.
    std::string action = line->apcc_Positional.empty() ? "" : line->apcc_Positional[0];
    for (st_OptionRule const* rule : used) {
        if (rule->qccz_Actions == nullptr || action.empty()) continue;
        if (std::strstr(rule->qccz_Actions, (" " + action + " ").c_str()) == nullptr &&
            std::strstr(rule->qccz_Actions, " * ") == nullptr) {
            *problem = std::string(rule->qccz_Name) + " does not go with " + action;
            return false;
        }
    }
    return true;
}

et_NumberResult e_ParseNumber(char const* text, unsigned long long max, unsigned long long* value) {
    if (*text < '0' || *text > '9') return e_NotANumber;
    unsigned long long number = 0;
    bool large = false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return e_NotANumber;
        // Past max the digits are still read, to tell "abc" from "99999999999".
        if (!large) number = number * 10 + unsigned(*text - '0');
        if (number > max) large = true;
    }
    if (large) return e_NumberTooLarge;
    *value = number;
    return e_NumberOk;
}

std::string s_NumberProblem(et_NumberResult result, char const* what, char const* text, unsigned long long max) {
    if (result == e_NumberTooLarge)
        return std::string(what) + " " + text + " is too large (at most " + std::to_string(max) + ")";
    return std::string(what) + " needs a number, not \"" + text + "\"";
}

bool b_ReadNumber(char const* what, char const* text, unsigned long long max, unsigned* value, std::string* problem) {
    unsigned long long number = 0;
    et_NumberResult result = e_ParseNumber(text, max > 0xFFFFFFFFull ? 0xFFFFFFFFull : max, &number);
    if (result != e_NumberOk) {
        *problem = s_NumberProblem(result, what, text, max > 0xFFFFFFFFull ? 0xFFFFFFFFull : max);
        return false;
    }
    *value = static_cast<unsigned>(number);
    return true;
}

unsigned n_WaitSeconds(st_CommandLine const& line, std::string* problem, bool* ok) {
    *ok = true;
    char const* text = line.qccz_Value("--wait");
    unsigned seconds = 0;
    if (text && !b_ReadNumber("--wait", text, kMaximumWait, &seconds, problem)) *ok = false;
    return seconds;
}
