#include "Foundation/Platform/CommandLine.h"

#include <cstring>
#include <vector>

#include "Foundation/Platform/Posix/PathText.h"

namespace Platform {

unsigned n_GetWideArgument(int argc, char const* const* argv, int index, unsigned short* buffer, unsigned size) {
    if (index < 0 || index >= argc || argv[index] == nullptr) {
        if (size) buffer[0] = 0;
        return 0;
    }
    char const* text = argv[index];
    std::size_t length = std::strlen(text);
    // A byte gives at most one unit, so a buffer of length + 1 units holds
    // the whole argument and tells its true length.
    std::vector<unsigned short> whole(length + 1);
    // Arguments are mostly file names: their bytes are kept as a name's are.
    unsigned units = Posix::n_NameToUtf16(text, length, whole.data(), static_cast<unsigned>(whole.size()));
    if (size) {
        unsigned copied = units < size ? units : size - 1;
        std::memcpy(buffer, whole.data(), copied * sizeof(unsigned short));
        buffer[copied] = 0;
    }
    return units;
}

}  // namespace Platform
