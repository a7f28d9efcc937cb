// How every subcommand of the tool ends: the exit codes, one line per
// error on standard error as "basis COMMAND: what was being done: message",
// warnings, the library's errors turned into such lines (their source
// locations only under --verbose), counted nouns, and standard output's
// write errors.
#pragma once

#include <string>

// The exit codes, the same for every subcommand.
enum : int {
    e_ExitOk = 0,     // done
    e_ExitNo = 1,     // the answer is no: corrupt, not found, refused
    e_ExitUsage = 2,  // the command line is wrong
    e_ExitError = 3,  // input/output or format error: cannot open, not a record file, disk full
};

// The end of every subcommand's usage: --wait, --verbose, the spellings
// of options, "-", and the exit codes.
extern char const kToolCommonUsage[];

// The subcommand named in messages ("records"); set once by main.
void v_SetToolCommand(char const* command);
char const* qccz_GetToolCommand();
// --verbose: errors carry the places they passed through.
void v_SetToolVerbose(bool verbose);
bool b_IsToolVerbose();

// "basis COMMAND: message" on standard error, after what standard output
// holds so far; returns code.
int i_ToolFail(int code, std::string const& message);
// "basis COMMAND: warning: message".
void v_ToolWarn(std::string const& message);
// The same after a usage mistake: the line, a hint, the usage status.
int i_ToolUsageError(std::string const& message);

// Whether the library's error manager holds an error; if so the place is
// added to its locations.
bool b_ToolFailed(char const* location, unsigned line);
// The error manager's error as the tool reports it, then cleared (so that
// files can still be closed): its message, or "the file is in use by
// another process" for a share conflict, with its locations under
// --verbose.
std::string s_TakeToolError();
// Whether the error manager's error is another process holding the file.
bool b_IsInUseError();
// Reports the error manager's error after what was being done, exit 3.
int i_ToolFailWithError(std::string const& doing);

// "1 record", "2 records"; many defaults to one + "s".
std::string s_Count(unsigned long long n, char const* one, char const* many = nullptr);

// Flushes standard output; a write error (a full disk, a closed pipe) is
// reported as one, exit 3. Otherwise returns result.
int i_EndStandardOutput(int result);
// Whether standard output has failed so far (flushing it).
bool b_StandardOutputFailed();
