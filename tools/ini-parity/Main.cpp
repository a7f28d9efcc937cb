// ini_parity run <script> <work folder> <results>
// ini_parity compare <linux results> <windows results> <known differences>
#include <cstdio>
#include <cstring>

#include "tools/ini-parity/Parity.h"

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "run") == 0) return IniParity::i_Run(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "compare") == 0) return IniParity::i_Compare(argv[2], argv[3], argv[4]);
    std::fprintf(stderr,
                 "usage: ini_parity run <script> <work folder> <results>\n"
                 "       ini_parity compare <linux results> <windows results> <known differences>\n");
    return 2;
}
