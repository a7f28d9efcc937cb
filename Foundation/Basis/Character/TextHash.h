// The text hash of the library's hash callbacks, before it is reduced to a
// bucket number: h = h * 16 + c for every character, with the top four bits
// folded back in at bits 4 to 7 whenever a step sets them. Internal to the
// library; the callbacks of CT_HashFunction and the hash table's own walks
// over text keys share it, so that both always give the same bucket.
#pragma once

#include <cstdint>

#include "Foundation/Basis/String/CharacterRules.h"

namespace TextHash {

// One character into the hash. Without a branch: the XOR of (h >> 24) &
// 0xF0 is 0 when the top bits are clear, and it never touches them. The
// top bits themselves are left standing: the next step shifts them out
// unread, so they are cleared once, at the end (n4_Finish).
inline std::uint32_t n4_Step(std::uint32_t h, std::uint32_t c) {
    h = (h << 4) + c;
    return h ^ ((h >> 24) & 0xF0u);
}
inline std::uint32_t n4_Finish(std::uint32_t h) { return h & 0x0FFFFFFFu; }

// A narrow byte enters sign-extended: its value as a signed char, widened.
inline std::uint32_t n4_Narrow(char c) {
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
}

// The characters as they are, or folded to upper case (A to Z only).
struct st_Same {
    static char sc_Fold(char c) { return c; }
    static unsigned short su_Fold(unsigned short u) { return u; }
};
struct st_Upper {
    static char sc_Fold(char c) { return CharacterRules::sx_ToUpper(c); }
    static unsigned short su_Fold(unsigned short u) { return CharacterRules::sx_ToUpper(u); }
};

// While the characters are below 0x80, the first six cannot reach the top
// four bits (six of them sum to at most 0x7F * 0x111111 = 0x08777777), so
// they enter without the fold; from the first other character, or the
// seventh, every step folds. The result is that of folding every step.
template <class Fold>
inline std::uint32_t n4_Narrow(char const* text) {
    std::uint32_t h = 0;
    unsigned i = 0;
    for (char c; i < 6 && (c = Fold::sc_Fold(text[i])) > 0; ++i) h = (h << 4) + static_cast<std::uint32_t>(c);
    for (text += i; *text; ++text) h = n4_Step(h, n4_Narrow(Fold::sc_Fold(*text)));
    return n4_Finish(h);
}

template <class Fold>
inline std::uint32_t n4_Wide(unsigned short const* text) {
    std::uint32_t h = 0;
    unsigned i = 0;
    for (unsigned short u; i < 6 && (u = Fold::su_Fold(text[i])) != 0 && u < 0x80; ++i) h = (h << 4) + u;
    for (text += i; *text; ++text) h = n4_Step(h, Fold::su_Fold(*text));
    return n4_Finish(h);
}

}  // namespace TextHash
