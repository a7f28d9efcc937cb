// A command-line argument of any bytes as the wide name the file seam
// opens: within the buffer at every size, and made only of characters,
// whole surrogate pairs and escaped bytes (lone U+DC80 to U+DCFF), so that
// the name leads back to the bytes it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/Platform/CommandLine.h"

namespace {

void v_Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, size_t size) {
    if (size > 4096) return 0;
    // An argument ends at its first zero byte, as argv's do.
    std::string argument(reinterpret_cast<char const*>(data), size);
    argument = argument.c_str();
    char const* argv[] = {"program", argument.c_str(), nullptr};
    std::vector<unsigned short> whole(argument.size() + 1);
    unsigned length = Platform::n_GetWideArgument(2, argv, 1, whole.data(), static_cast<unsigned>(whole.size()));
    v_Check(length <= argument.size());
    v_Check(whole[length] == 0);
    for (unsigned k = 0; k < length; ++k) {
        unsigned c = whole[k];
        v_Check(c != 0);
        if (c >= 0xD800 && c < 0xDC00) {
            v_Check(k + 1 < length && whole[k + 1] >= 0xDC00 && whole[k + 1] < 0xE000);
            ++k;
        } else if (c >= 0xDC00 && c < 0xE000) {
            v_Check(c >= 0xDC80 && c <= 0xDCFF);  // an escaped byte, never half a pair
        }
    }
    // A smaller buffer holds a cut-off prefix and still says the whole length.
    unsigned short small[8];
    unsigned told = Platform::n_GetWideArgument(2, argv, 1, small, 8);
    v_Check(told == length);
    return 0;
}
