// The code-page parity check: a dump of the library's code-page
// conversions on one platform, and the comparison of two dumps.
#pragma once

#include <vector>

namespace Parity {

// The code pages the check covers unless others are named.
std::vector<unsigned> av_DefaultCodePages();

// Writes the dump of the given code pages to the file; 0 on success.
int i_Dump(char const* path, std::vector<unsigned> const& codePages);

// Compares two dumps, explaining differences by the rules of the known
// differences file; prints a result per code page. 0 when every
// difference is explained and every rule explains as many as it says.
int i_Compare(char const* linuxPath, char const* windowsPath, char const* knownPath);

}  // namespace Parity
