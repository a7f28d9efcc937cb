// Helpers for the string tests: wide literals as the library's unsigned
// short text, and the contents of a wide string as a u16string.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis/String/UString.h"

namespace StringTesting {

// A zero-terminated copy of a UTF-16 literal as unsigned short units.
class W {
public:
    W(char16_t const* text) {
        while (*text) au_Units.push_back(*text++);
        au_Units.push_back(0);
    }
    operator unsigned short const*() const { return au_Units.data(); }
    unsigned n_Length() const { return static_cast<unsigned>(au_Units.size() - 1); }

private:
    std::vector<unsigned short> au_Units;
};

inline std::u16string Text(CT_UString const& s) {
    std::u16string result;
    for (unsigned short const* p = s.qcuz_Get(); *p; ++p) result.push_back(static_cast<char16_t>(*p));
    return result;
}

// All units up to the length, zeros included.
inline std::u16string Units(CT_UString const& s) {
    std::u16string result;
    for (unsigned i = 0; i < s.n_GetLength(); ++i) result.push_back(static_cast<char16_t>(s.qcuz_Get()[i]));
    return result;
}

}  // namespace StringTesting
