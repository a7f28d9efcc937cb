// The tour's UTF-8 encoding stop: which blocks the fast encoder takes on
// this processor, and the same text encoded both ways.
#include <cstdio>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/System/String/UTF8Coder.h"
#include "tools/basis/Tour.h"

namespace {

struct st_Sample {
    char const* qccz_Name;
    unsigned short au_Units[4];
    unsigned short u_BlockEnd;  // ends every block of 16 units when not 0
};

}  // namespace

int i_TourUtf8Encode() {
    v_TourHeading("UTF-8 encoding by blocks");
    std::printf("UTF-16 to UTF-8 goes 16 units a step: %s.\n",
                UTF8EncodeBlocks::b_Available() ? "256-bit steps (AVX2), chosen at run time"
                : UTF8Shuffle::b_Available()     ? "128-bit byte shuffles (SSSE3), chosen at run time"
                                                 : "plain 128-bit or scalar steps");
    std::printf("Each step is picked by what its block holds; the careful coder must agree byte for byte:\n");
    st_Sample const samples[] = {{"ASCII", {'a', 'b', 'c', ' '}, 0},
                                 {"below 0x800 (two bytes)", {0x436, 0xE9, ' ', 0x44F}, 0},
                                 {"0x800 and up (three bytes)", {0x4E2D, 0x3042, 0xD83D, 0xDE00}, 0},
                                 {"the same, a line end a block", {0x65E5, 0x672C, 0x8A9E, 0x3002}, '\n'},
                                 {"any mix", {'a', 0x436, 0x4E2D, '\n'}, 0}};
    int failures = 0;
    for (st_Sample const& sample : samples) {
        // 64 units: the sample over and over, then the terminator.
        std::vector<unsigned short> text(65, 0);
        for (unsigned i = 0; i < 64; ++i)
            text[i] = sample.u_BlockEnd != 0 && i % 16 == 15 ? sample.u_BlockEnd : sample.au_Units[i % 4];
        std::vector<char> fast(64 * 3 + 1), careful(64 * 3 + 1);
        int const n = UTF8Coder::si_Encode(fast.data(), text.data(), ~0u);
        int const m = UTF8Coder::si_EncodeCarefully(careful.data(), text.data(), ~0u);
        bool const same = n == m && fast == careful;
        failures += !same;
        std::printf("  %-28s 64 units -> %3d bytes, starting", sample.qccz_Name, n);
        for (int i = 0; i < 9 && i < n; ++i) std::printf(" %02X", static_cast<unsigned char>(fast[static_cast<size_t>(i)]));
        std::printf(" ... %s\n", same ? "(agrees)" : "(DIFFERS)");
    }
    return failures == 0 ? 0 : 1;
}
