#include "Foundation/Platform/Posix/PathText.h"

#include <cstring>

#include "Foundation/Platform/Posix/Utf8Text.h"

namespace Platform {
namespace Posix {

std::string s_NativePath(unsigned short const* path) {
    if (path == nullptr) return std::string();
    unsigned length = 0;
    while (path[length]) ++length;
    std::string text(static_cast<std::size_t>(length) * 3 + 1, '\0');
    unsigned bytes = n_Utf16ToUtf8(path, text.data(), static_cast<unsigned>(text.size()));
    text.resize(bytes);
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

unsigned n_WidePath(char const* path, unsigned short* buffer, unsigned size) {
    return n_Utf8ToUtf16(path, std::strlen(path), buffer, size);
}

}  // namespace Posix
}  // namespace Platform
