// Wide path names as Linux wants them: UTF-8, with a caller's backslash
// taken as a separator.
#pragma once

#include <string>

namespace Platform {
namespace Posix {

std::string s_NativePath(unsigned short const* path);
// The UTF-16 form of a native name into buffer (cut to size - 1 units).
unsigned n_WidePath(char const* path, unsigned short* buffer, unsigned size);

}  // namespace Posix
}  // namespace Platform
