// The INI parity check (see Main.cpp for its command line).
#pragma once

#include <string>

namespace IniParity {

// Runs the operations of script over fresh copies of the files in folder
// files (beside the script) made in work, writing one result line per
// operation to results. Returns the exit status.
int i_Run(char const* script, char const* work, char const* results);

// Compares two result files; every difference must be listed in known, and
// every listed one must still differ. Returns the exit status.
int i_Compare(char const* linux, char const* windows, char const* known);

// Bytes as printable text: printable ASCII as it is, backslash, quote and
// everything else as \\, \", \r, \n, \t, \0 or \xHH.
std::string s_Escape(std::string const& bytes);

}  // namespace IniParity
