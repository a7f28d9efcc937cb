// UTF-8 <-> UTF-16 for the Linux half of the seam, where the system's
// texts (error messages, host names, file names) are UTF-8 and the
// library's wide texts UTF-16. Invalid bytes become U+FFFD.
#pragma once

#include <cstddef>

namespace Platform {
namespace Posix {

// Decodes length bytes into at most capacity - 1 units and a terminator;
// returns the units written without it.
unsigned n_Utf8ToUtf16(char const* text, std::size_t length, unsigned short* buffer, unsigned capacity);

// Encodes units up to a zero unit into at most capacity - 1 bytes and a
// terminator; surrogate pairs become one four-byte sequence. Returns the
// bytes written without the terminator.
unsigned n_Utf16ToUtf8(unsigned short const* text, char* buffer, unsigned capacity);

}  // namespace Posix
}  // namespace Platform
