// The text hash of the library's hash callbacks, before it is reduced to a
// bucket number: h = h * 16 + c for every character, with the top four bits
// folded back in at bits 4 to 7 whenever a step sets them. Internal to the
// library; the callbacks of CT_HashFunction and the hash table's own walks
// over text keys share it, so that both always give the same bucket.
#pragma once

#include <cctype>
#include <cstdint>
#include <cwctype>

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

// The characters as they are.
struct st_Same {
    char operator()(char c) const { return c; }
    unsigned short operator()(unsigned short u) const { return u; }
};

// Folded to upper case by the C library's toupper and towupper under the
// current C locale (in the default locale only a to z change). A byte goes
// in as the unsigned value the C functions take and comes back as a byte;
// a wide unit whose upper case would not fit 16 bits stays as it is.
struct st_Upper {
    char operator()(char c) const { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
    unsigned short operator()(unsigned short u) const {
        std::wint_t upper = std::towupper(static_cast<std::wint_t>(u));
        return (static_cast<std::uint32_t>(upper) >> 16) == 0 ? static_cast<unsigned short>(upper) : u;
    }
};

// The same fold, read from tables taken from the C library when the object
// is made: for a walk over many keys, where the locale cannot change
// between keys. Wide units from 0x100 on are asked of towupper.
class CT_UpperTable {
public:
    CT_UpperTable() {
        st_Upper upper;
        for (unsigned i = 0; i < 256; ++i) {
            ac_Narrow[i] = upper(static_cast<char>(i));
            au_Wide[i] = upper(static_cast<unsigned short>(i));
        }
    }
    char operator()(char c) const { return ac_Narrow[static_cast<unsigned char>(c)]; }
    unsigned short operator()(unsigned short u) const { return u < 256 ? au_Wide[u] : st_Upper()(u); }

private:
    char ac_Narrow[256];
    unsigned short au_Wide[256];
};

// While the characters are below 0x80, the first six cannot reach the top
// four bits (six of them sum to at most 0x7F * 0x111111 = 0x08777777), so
// they enter without the fold; from the first other character, or the
// seventh, every step folds. The result is that of folding every step.
template <class Fold>
inline std::uint32_t n4_Narrow(char const* text, Fold const& fold) {
    std::uint32_t h = 0;
    unsigned i = 0;
    for (signed char c; i < 6 && (c = static_cast<signed char>(fold(text[i]))) > 0; ++i)
        h = (h << 4) + static_cast<std::uint32_t>(c);
    for (text += i; *text; ++text) h = n4_Step(h, n4_Narrow(fold(*text)));
    return n4_Finish(h);
}
template <class Fold>
inline std::uint32_t n4_Narrow(char const* text) {
    return n4_Narrow(text, Fold());
}

template <class Fold>
inline std::uint32_t n4_Wide(unsigned short const* text, Fold const& fold) {
    std::uint32_t h = 0;
    unsigned i = 0;
    for (unsigned short u; i < 6 && (u = fold(text[i])) != 0 && u < 0x80; ++i) h = (h << 4) + u;
    for (text += i; *text; ++text) h = n4_Step(h, fold(*text));
    return n4_Finish(h);
}
template <class Fold>
inline std::uint32_t n4_Wide(unsigned short const* text) {
    return n4_Wide(text, Fold());
}

}  // namespace TextHash
