// For the tests of the case-insensitive callbacks: switches the C locale to
// one whose case mapping reaches beyond a to z, and back to "C" when done.
#pragma once

#include <cctype>
#include <clocale>
#include <cwctype>

namespace CaseLocaleTesting {

class CT_FoldingLocale {
public:
    // Tries locales that fold e-acute (E9) to E9's capital (C9): UTF-8 ones
    // for the wide forms; on Windows a code-page-1252 one, which folds the
    // byte as well. Where none is installed, nothing changes.
    CT_FoldingLocale() {
        for (char const* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8", "English_United States.1252", ".1252"})
            if (std::setlocale(LC_ALL, name) != nullptr && b_WideFolds()) return;
        std::setlocale(LC_ALL, "C");
    }
    CT_FoldingLocale(CT_FoldingLocale const&) = delete;
    CT_FoldingLocale& operator=(CT_FoldingLocale const&) = delete;
    ~CT_FoldingLocale() { std::setlocale(LC_ALL, "C"); }

    static bool b_WideFolds() { return std::towupper(0xE9) == 0xC9 && std::towlower(0xC9) == 0xE9; }
    static bool b_NarrowFolds() { return std::toupper(0xE9) == 0xC9 && std::tolower(0xC9) == 0xE9; }
};

}  // namespace CaseLocaleTesting
