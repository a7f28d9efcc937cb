// The code-page parity check: a dump of the library's code-page
// conversions on one platform, and the comparison of two dumps.
#pragma once

#include <vector>

namespace Parity {

// The code pages this platform converts (UTF-7 and UTF-8 aside): the
// check covers those both platforms name unless others are given.
std::vector<unsigned> av_ValidCodePages();

// Writes the dump of the given code pages to the file (a page this
// platform does not convert as such); 0 on success.
int i_Dump(char const* path, std::vector<unsigned> const& codePages);

// Compares two dumps, explaining differences by the rules of the known
// differences file; prints a result per code page. 0 when every
// difference is explained and every rule explains as many as it says.
int i_Compare(char const* linuxPath, char const* windowsPath, char const* knownPath);

}  // namespace Parity
