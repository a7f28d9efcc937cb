// ICU (CLDR) date and time patterns translated into the Windows picture
// language, in this one place:
//
//   ICU                      Windows picture
//   G...                     gg    (era)
//   yy                       yy    (two-digit year)
//   y, yyy, yyyy..., u, Y    yyyy  (full year)
//   M, L / MM, LL            M / MM
//   MMM, LLL / MMMM..., LLLL MMM / MMMM
//   d / dd                   d / dd
//   E, EE, EEE, c, e         ddd   (abbreviated day name)
//   EEEE..., cccc, eeee      dddd  (full day name)
//   a, b, B                  tt    (AM/PM designator)
//   h / hh, K / KK           h / hh
//   H / HH, k / kk           H / HH
//   m / mm, s / ss           m / mm, s / ss
//   'text'                   the text, quoted when it holds a picture letter
//   other letters (S, z, Z, v, V, O, X, x, w, W, D, F, Q, q)  dropped, with a
//                            separator left dangling beside them trimmed
//
// Text outside quotes that is no letter is copied. A quote inside quoted
// Windows text is written as two quotes, as ICU writes it.
#include "Foundation/Platform/Posix/LocaleData.h"

namespace Platform {

namespace {

bool b_IsPictureLetter(char16_t c) {
    return c == u'd' || c == u'M' || c == u'y' || c == u'g' || c == u'h' || c == u'H' || c == u'm' || c == u's' ||
           c == u't';
}

// Literal text: a run of non-space characters holding a picture letter or
// a quote is quoted, spaces and other runs stay as they are.
std::u16string s_Literal(std::u16string const& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        size_t end = i;
        bool space = text[i] == u' ';
        while (end < text.size() && (text[end] == u' ') == space) ++end;
        std::u16string run = text.substr(i, end - i);
        bool quote = false;
        for (char16_t c : run)
            if (b_IsPictureLetter(c) || c == u'\'') quote = true;
        if (!quote) {
            out += run;
        } else {
            out.push_back(u'\'');
            for (char16_t c : run) {
                out.push_back(c);
                if (c == u'\'') out.push_back(u'\'');
            }
            out.push_back(u'\'');
        }
        i = end;
    }
    return out;
}

std::u16string s_Field(char16_t letter, size_t count) {
    switch (letter) {
    case u'G': return u"gg";
    case u'y':
    case u'u':
    case u'Y': return count == 2 ? u"yy" : u"yyyy";
    case u'M':
    case u'L': return count >= 4 ? u"MMMM" : count == 3 ? u"MMM" : count == 2 ? u"MM" : u"M";
    case u'd': return count >= 2 ? u"dd" : u"d";
    case u'E':
    case u'c':
    case u'e': return count >= 4 ? u"dddd" : u"ddd";
    case u'a':
    case u'b':
    case u'B': return u"tt";
    case u'h':
    case u'K': return count >= 2 ? u"hh" : u"h";
    case u'H':
    case u'k': return count >= 2 ? u"HH" : u"H";
    case u'm': return count >= 2 ? u"mm" : u"m";
    case u's': return count >= 2 ? u"ss" : u"s";
    default: return u"";
    }
}

bool b_IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

}  // namespace

std::u16string s_PictureOfPattern(std::u16string const& pattern) {
    std::u16string out, literal;
    bool dropped = false;
    auto flush = [&] {
        // Text between a dropped field and the next one (or the end) goes
        // with the dropped field.
        if (!dropped) out += s_Literal(literal);
        literal.clear();
    };
    for (size_t i = 0; i < pattern.size();) {
        char16_t c = pattern[i];
        if (c == u'\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                literal.push_back(u'\'');
                i += 2;
                continue;
            }
            for (++i; i < pattern.size(); ++i) {
                if (pattern[i] == u'\'') {
                    if (i + 1 < pattern.size() && pattern[i + 1] == u'\'') {
                        literal.push_back(u'\'');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal.push_back(pattern[i]);
            }
            continue;
        }
        if (b_IsAsciiLetter(c)) {
            size_t count = 0;
            while (i + count < pattern.size() && pattern[i + count] == c) ++count;
            i += count;
            std::u16string field = s_Field(c, count);
            if (field.empty()) {
                // The separator that led to the dropped field goes with it.
                literal.clear();
                dropped = true;
                continue;
            }
            flush();
            dropped = false;
            out += field;
            continue;
        }
        literal.push_back(c);
        ++i;
    }
    flush();
    // Trailing spaces left by a dropped field at the end.
    while (!out.empty() && out.back() == u' ') out.pop_back();
    return out;
}

}  // namespace Platform
