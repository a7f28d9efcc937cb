// The character rules the two string classes share: white space, case
// mapping and wildcard matching, for narrow bytes and for UTF-16 units.
// Internal to the library.
#pragma once

namespace CharacterRules {

// The runtime library's white-space test for bytes: space, tab, line feed,
// vertical tab, form feed, carriage return. Bytes of 0x80 and above are
// never white space (the library never changes the locale from "C").
inline bool sb_IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The wide white-space test. The narrow six, and the wide runtime test of
// the C locale on the library's home platform, which classifies all of
// Unicode: we take the Unicode White_Space property, that is also U+0085,
// U+00A0, U+1680, U+2000 to U+200A, U+2028, U+2029, U+202F, U+205F and
// U+3000. The same set on every platform, whatever its own C library says.
inline bool sb_IsSpace(unsigned short u) {
    if (u < 0x80) return u == ' ' || (u >= '\t' && u <= '\r');
    if (u < 0x1680) return u == 0x85 || u == 0xA0;
    if (u < 0x2000) return u == 0x1680;
    if (u <= 0x200A) return true;
    return u == 0x2028 || u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000;
}

// Case mapping by the rules of the C locale, which is the only locale the
// library ever runs its case mapping in: only A to Z and a to z change, for
// bytes and for wide units alike.
template <class T>
inline T sx_ToLower(T c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<T>(c + ('a' - 'A')) : c;
}
template <class T>
inline T sx_ToUpper(T c) {
    return (c >= 'a' && c <= 'z') ? static_cast<T>(c - ('a' - 'A')) : c;
}

// Wildcard match of a whole text against a pattern, characters compared
// exactly: "*" matches any run of characters (the empty one too), "?" any
// one character, every other pattern character itself. An empty pattern
// matches every text.
//
// A star tries the rest of the pattern at the current position and then
// at each following one; the first success decides. Only the latest star
// needs to be retried: an earlier star can only absorb what the later one
// would, so going back to it never finds a match the later one missed.
template <class T>
int sb_Match(T const* text, unsigned length, T const* pattern, unsigned patternLength) {
    if (patternLength == 0) return 1;
    unsigned t = 0, p = 0;
    unsigned starPattern = ~0u, starText = 0;
    while (t < length) {
        if (p < patternLength && pattern[p] == static_cast<T>('*')) {
            if (p + 1 == patternLength) return 1;  // a last star takes the whole rest
            starPattern = p++;
            starText = t;
        } else if (p < patternLength && (pattern[p] == static_cast<T>('?') || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (starPattern != ~0u) {
            p = starPattern + 1;
            t = ++starText;
        } else {
            return 0;
        }
    }
    while (p < patternLength && pattern[p] == static_cast<T>('*')) ++p;
    return p == patternLength;
}

}  // namespace CharacterRules
