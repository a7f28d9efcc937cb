// The tour's UTF-8 decoding stop: which block steps this processor runs,
// and a long text in each script decoded the fast way and the careful way,
// with and without an odd sequence in the middle, to the same units.
#include <cstdio>
#include <string>
#include <vector>

#include "Foundation/System/String/UTF8Coder.h"
#include "tools/basis/Tour.h"

namespace {

// A text of about 600 bytes: the letters in turn, a space after every
// fifth unless the script writes none.
std::string s_Sample(std::vector<char const*> const& letters, bool spaces) {
    std::string text;
    for (unsigned i = 0; text.size() < 600; ++i) {
        text += letters[i % letters.size()];
        if (spaces && i % 5 == 4) text += ' ';
    }
    return text;
}

int i_Decode(char const* label, std::string const& text) {
    UTF8Coder::st_Decoder fast, careful;
    unsigned const count = static_cast<unsigned>(text.size());
    std::vector<unsigned short> a(text.size() + 1), b(text.size() + 1);
    int const n = UTF8Coder::si_Decode(a.data(), text.data(), count, fast);
    int const m = UTF8Coder::si_DecodeCarefully(b.data(), text.data(), count, careful);
    bool const same = n == m && std::equal(a.begin(), a.begin() + n, b.begin()) && fast == careful;
    std::printf("  %-24s %4u bytes -> %4d units, the careful decoder %s\n", label, count, n,
                same ? "agrees" : "DISAGREES");
    return same ? 0 : 1;
}

}  // namespace

int i_TourUtf8Decode() {
    v_TourHeading("UTF-8 decoding");
    std::printf("Text laid out right (one- to three-byte sequences) goes by blocks: on this processor\n"
                "%s. Anything else, and each block's edges, go a byte at a time.\n",
                UTF8DecodeBlocks::b_Available() ? "64 bytes a step in 256-bit registers, 48 for text all of three-byte sequences"
                : UTF8Shuffle::b_Available()    ? "16 bytes a step with byte shuffles"
                                                : "runs of ASCII 16 bytes a step, the rest a sequence at a time");
    int failures = 0;
    std::string const latin = s_Sample({"l", "\xC3\xA9", "t", "\xC3\xA9", "s", "o", "n"}, true);
    std::string const cyrillic = s_Sample({"\xD0\xBF", "\xD1\x80", "\xD0\xB8", "\xD0\xB2", "\xD0\xB5", "\xD1\x82"}, true);
    std::string const cjk = s_Sample({"\xE6\x9D\xB1", "\xE4\xBA\xAC", "\xE3\x81\xAE", "\xE8\xA1\x97"}, false);
    failures += i_Decode("Latin", latin);
    failures += i_Decode("Cyrillic", cyrillic);
    failures += i_Decode("CJK", cjk);
    // An emoji (four bytes, a surrogate pair) and a lead without its
    // following byte, halfway.
    failures += i_Decode("CJK with an emoji", cjk.substr(0, 300) + "\xF0\x9F\x98\x80" + cjk.substr(300));
    failures += i_Decode("Latin with a cut lead", latin.substr(0, 301) + "\xC3" "A" + latin.substr(301));
    return failures;
}
