#include "tools/basis/ToolErrors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Foundation/Basis.h"
#include "Foundation/Platform/FileSharing.h"
#include "tools/basis/ToolText.h"

namespace {

char const* gpcc_Command = "";
bool gb_Verbose = false;

std::string s_Prefix() { return *gpcc_Command ? std::string("basis ") + gpcc_Command + ": " : "basis: "; }

}  // namespace

// Exit codes and the common options, as every subcommand's usage ends.
char const kToolCommonUsage[] =
    "  --wait S (records): when another process holds the file, retry for up to S\n"
    "  seconds (default 0: fail at once with \"the file is in use by another\n"
    "  process\"). --verbose: errors show where in the program they passed.\n"
    "  Options may be written --opt=value; \"--\" ends the options; \"-\" is\n"
    "  standard input or output.\n"
    "\n"
    "exit status: 0 done; 1 the answer is no (corrupt, not found, refused);\n"
    "  2 the command line is wrong; 3 an input/output or format error (cannot\n"
    "  open, not a record file, a failed write).\n";

void v_SetToolCommand(char const* command) { gpcc_Command = command; }
char const* qccz_GetToolCommand() { return gpcc_Command; }
void v_SetToolVerbose(bool verbose) { gb_Verbose = verbose; }
bool b_IsToolVerbose() { return gb_Verbose; }

int i_ToolFail(int code, std::string const& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s%s\n", s_Prefix().c_str(), message.c_str());
    return code;
}

void v_ToolWarn(std::string const& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%swarning: %s\n", s_Prefix().c_str(), message.c_str());
}

int i_ToolUsageError(std::string const& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s%s; see basis %s --help\n", s_Prefix().c_str(), message.c_str(),
                 *gpcc_Command ? gpcc_Command : "");
    return e_ExitUsage;
}

bool b_ToolFailed(char const* location, unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(location, line);
    return true;
}

bool b_IsInUseError() {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    return errors->b_IsSetError() && Platform::b_IsSharingViolation(errors->n_GetErrorCode());
}

std::string s_TakeToolError() {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    std::string text = b_IsInUseError() ? "the file is in use by another process"
                                        : s_Utf8FromWide(errors->qcuz_GetErrorMessage());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (gb_Verbose)
        for (unsigned k = 1; k <= errors->n_GetLocationCount(); ++k)
            text += std::string("\n  at ") + errors->qccz_GetLocationFileAt(k) + ":" +
                    std::to_string(errors->n_GetLocationLineAt(k));
    errors->v_ClearError();
    return text;
}

int i_ToolFailWithError(std::string const& doing) { return i_ToolFail(e_ExitError, doing + ": " + s_TakeToolError()); }

std::string s_Count(unsigned long long n, char const* one, char const* many) {
    return std::to_string(n) + " " + (n == 1 ? std::string(one) : many ? std::string(many) : std::string(one) + "s");
}

bool b_StandardOutputFailed() { return std::fflush(stdout) != 0 || std::ferror(stdout); }

int i_EndStandardOutput(int result) {
    errno = 0;
    if (!b_StandardOutputFailed()) return result;
    int code = errno;
    std::string why = code ? std::strerror(code) : "the write failed";
    return i_ToolFail(e_ExitError, "writing to standard output: " + why);
}
