// Where a subcommand writes a file the user named: "-" is standard output;
// an output that is one of the inputs (the same file, by volume and file
// index, whatever the names) is refused, and so is any existing file
// unless --force. The checks run before anything is read or written.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"

// Whether the two names lead to the same existing file. False when either
// cannot be opened (a file that does not exist is no other file).
bool b_IsSameFile(CT_UString const& first, CT_UString const& second);

// Checks the output argument against the inputs' and, without force,
// against an existing file. Returns 0 or the exit code after reporting.
int i_CheckOutput(char const* output, std::vector<char const*> const& inputs, bool force);

// Writes bytes to the output ("-" for standard output, set to binary);
// reports a failure after doing. Returns 0 or the exit code.
int i_WriteOutput(char const* output, void const* data, std::size_t size);

// Runs open until it succeeds, fails for another reason than another
// process holding the file, or seconds have passed (sleeping between
// tries). The error of the last try is left in the error manager.
template <typename Open>
bool b_OpenWaiting(unsigned seconds, Open open);

bool b_RetryWhileInUse(unsigned* waitedTenths, unsigned seconds);

template <typename Open>
bool b_OpenWaiting(unsigned seconds, Open open) {
    unsigned waited = 0;
    for (;;) {
        if (open()) return true;
        if (!b_RetryWhileInUse(&waited, seconds)) return false;
    }
}
