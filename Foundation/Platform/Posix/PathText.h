// Wide path names as Linux wants them: UTF-8, with a caller's backslash
// taken as a separator.
//
// A Linux name is any bytes, not always UTF-8. So that every name the
// system gives (an argument, a directory entry) can be opened again, a
// byte that does not start a valid, shortest UTF-8 sequence becomes the
// lone low surrogate U+DC00 + byte (U+DC80 to U+DCFF), which no valid
// UTF-8 yields, and such a unit becomes its byte again on the way back.
#pragma once

#include <cstddef>
#include <string>

namespace Platform {
namespace Posix {

std::string s_NativePath(unsigned short const* path);
// A native name's bytes as UTF-16 with the escapes above, into at most
// capacity - 1 units and a terminator; returns the units written.
unsigned n_NameToUtf16(char const* text, std::size_t length, unsigned short* buffer, unsigned capacity);
// The UTF-16 form of a native name into buffer (cut to size - 1 units).
unsigned n_WidePath(char const* path, unsigned short* buffer, unsigned size);

}  // namespace Posix
}  // namespace Platform
