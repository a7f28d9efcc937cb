// codepage_parity pages
// codepage_parity dump <file> [code page ...]
// codepage_parity compare <linux dump> <windows dump> <known differences>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/codepage-parity/Parity.h"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "pages") == 0) {
        for (unsigned codePage : Parity::av_ValidCodePages()) std::printf("%u\n", codePage);
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "dump") == 0) {
        std::vector<unsigned> codePages;
        for (int i = 3; i < argc; ++i) codePages.push_back(static_cast<unsigned>(std::strtoul(argv[i], nullptr, 10)));
        if (codePages.empty()) codePages = Parity::av_ValidCodePages();
        return Parity::i_Dump(argv[2], codePages);
    }
    if (argc == 5 && std::strcmp(argv[1], "compare") == 0) return Parity::i_Compare(argv[2], argv[3], argv[4]);
    std::fprintf(stderr,
                 "usage: codepage_parity pages\n"
                 "       codepage_parity dump <file> [code page ...]\n"
                 "       codepage_parity compare <linux dump> <windows dump> <known differences>\n");
    return 2;
}
