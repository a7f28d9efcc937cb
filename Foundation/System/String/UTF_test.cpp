#include "Foundation/System/String/UTF.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/System/String/StringConvert.h"
#include "Foundation/System/String/UTF8Coder.h"

namespace {

typedef std::vector<unsigned short> Units;

// Through the string conversion, which resets the coders as it should.
std::string o_ToUTF7(Units const& text) {
    std::vector<char> bytes(text.size() * 3 + 3, '#');
    int n = CT_StringConvert::si_WideToUTF7(bytes.data(), text.data(), static_cast<unsigned>(text.size()));
    return std::string(bytes.data(), static_cast<size_t>(n));
}

Units ao_FromUTF7(std::string const& text) {
    Units units(text.size() + 1, 0xEEEE);
    int n = CT_StringConvert::si_UTF7ToWide(units.data(), text.data(), static_cast<unsigned>(text.size()));
    EXPECT_EQ(units[static_cast<size_t>(n)], 0);
    return Units(units.begin(), units.begin() + n);
}

std::string o_ToUTF8(Units const& text) {
    std::vector<char> bytes(text.size() * 3 + 1, '#');
    int n = CT_UTF::si_WideToUTF8(bytes.data(), text.data(), static_cast<unsigned>(text.size()));
    EXPECT_EQ(bytes[static_cast<size_t>(n)], 0);
    return std::string(bytes.data(), static_cast<size_t>(n));
}

// Decodes with whatever the decoder holds from an earlier call.
Units ao_FromUTF8(std::string const& text) {
    Units units(text.size() + 1, 0xEEEE);
    int n = CT_UTF::si_UTF8ToWide(units.data(), text.data(), static_cast<unsigned>(text.size()));
    return Units(units.begin(), units.begin() + n);
}

// A repeatable stream of test units: every kind the coders treat apart.
struct st_Random {
    std::uint32_t n4_State;
    unsigned n_Next() {
        n4_State = n4_State * 1664525u + 1013904223u;
        return n4_State >> 8;
    }
    unsigned short u_Unit() {
        switch (n_Next() % 8) {
        case 0: return static_cast<unsigned short>(1 + n_Next() % 0x7F);
        case 1: return "+-/ \tAz09~\\!"[n_Next() % 12];
        case 2: return static_cast<unsigned short>(0x80 + n_Next() % 0x780);
        case 3: return static_cast<unsigned short>(0xD800 + n_Next() % 0x800);
        case 4: return static_cast<unsigned short>(0xFF00 + n_Next() % 0x100);
        default: return static_cast<unsigned short>(1 + n_Next() % 0xFFFF);
        }
    }
};

TEST(UTF, UTF7Encoding) {
    EXPECT_EQ(o_ToUTF7({'A', '+', 'B'}), "A+-B");
    EXPECT_EQ(o_ToUTF7({0xE9}), "+AOk-");
    // A run ends at the first unit that needs no encoding, always with "-",
    // and at the end of the text through the flush.
    EXPECT_EQ(o_ToUTF7({0xE9, 'a'}), "+AOk-a");
    EXPECT_EQ(o_ToUTF7({'a', 0xE9}), "a+AOk-");
    EXPECT_EQ(o_ToUTF7({0xE9, 0xE9, '-'}), "+AOkA6Q--");
    EXPECT_EQ(o_ToUTF7({0xE9, '+', 0xE9}), "+AOkAKwDp-");
    // White space and the direct set are themselves; the rest below 128 is
    // encoded.
    EXPECT_EQ(o_ToUTF7({' ', '\t', '\r', '\n', '\'', '(', ')', ',', '.', '/', ':', '?'}), " \t\r\n'(),./:?");
    EXPECT_EQ(o_ToUTF7({'~'}), "+AH4-");
    EXPECT_EQ(o_ToUTF7({'\\', '!'}), "+AFwAIQ-");
    // The halves of a surrogate pair are two units like any others.
    EXPECT_EQ(o_ToUTF7({0xD83D, 0xDE00}), "+2D3eAA-");
    // A zero unit ends the text: the run is closed and the zero not counted.
    char bytes[16];
    unsigned short const stopped[] = {0xE9, 0, 'b'};
    EXPECT_EQ(CT_StringConvert::si_WideToUTF7(bytes, stopped, 3), 5);
    EXPECT_STREQ(bytes, "+AOk-");

    // The encoder keeps its run over calls until the flush.
    unsigned short const e = 0xE9;
    CT_UTF::sv_WideToUTF7Init();
    int n = CT_UTF::si_WideToUTF7(bytes, &e, 1);
    n += CT_UTF::si_WideToUTF7(bytes + n, &e, 1);
    n += CT_UTF::si_WideToUTF7Exit(bytes + n);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(n)), "+AOkA6Q-");
    EXPECT_EQ(bytes[n], 0);
}

TEST(UTF, UTF7Decoding) {
    EXPECT_EQ(ao_FromUTF7("+AOk-x"), (Units{0xE9, 'x'}));
    EXPECT_EQ(ao_FromUTF7("+-"), (Units{'+'}));
    EXPECT_EQ(ao_FromUTF7("a+-+-b"), (Units{'a', '+', '+', 'b'}));
    // The end of the input ends a run; its leftover bits are dropped.
    EXPECT_EQ(ao_FromUTF7("+AOk"), (Units{0xE9}));
    EXPECT_EQ(ao_FromUTF7("+AOkA6Q"), (Units{0xE9, 0xE9}));
    // A byte outside the alphabet ends the run: "-" is consumed, any other
    // byte is itself; "-" gives "+" only right after the "+". A "+" inside
    // a run is a letter of the alphabet.
    EXPECT_EQ(ao_FromUTF7("+AOk.x"), (Units{0xE9, '.', 'x'}));
    EXPECT_EQ(ao_FromUTF7("+AOk-+AOk-"), (Units{0xE9, 0xE9}));
    EXPECT_EQ(ao_FromUTF7("+AOk+x"), (Units{0xE9}));
    EXPECT_EQ(ao_FromUTF7("++/v-"), (Units{0xFBFB}));
    EXPECT_EQ(ao_FromUTF7("+A-"), (Units{}));
    // Bytes of 0x80 and more are taken as signed characters.
    EXPECT_EQ(ao_FromUTF7("\xE9+AOk\xE9-"), (Units{0xFFE9, 0xE9, 0xFFE9, '-'}));
    // A zero byte or the count ends the input.
    unsigned short units[8];
    EXPECT_EQ(CT_StringConvert::si_UTF7ToWide(units, "a\0b", 3), 1);
    EXPECT_EQ(CT_StringConvert::si_UTF7ToWide(units, "+AOk-x", 3), 0);
    EXPECT_EQ(units[0], 0);
    EXPECT_EQ(CT_StringConvert::si_UTF7ToWide(units, "+AOk-x", 0), 0);
    EXPECT_EQ(CT_StringConvert::si_UTF7ToWide(units, "+AOk-x", ~0u), 2);
}

TEST(UTF, UTF7RoundTrip) {
    st_Random random{7};
    for (unsigned round = 0; round < 300; ++round) {
        Units text(random.n_Next() % 40);
        for (unsigned short& unit : text) unit = random.u_Unit();
        std::string coded = o_ToUTF7(text);
        ASSERT_LE(coded.size(), text.size() * 3 + 2);
        ASSERT_EQ(ao_FromUTF7(coded), text) << coded;
    }
}

TEST(UTF, UTF8Encoding) {
    EXPECT_EQ(o_ToUTF8({0xE9}), "\xC3\xA9");
    EXPECT_EQ(o_ToUTF8({0x20AC}), "\xE2\x82\xAC");
    EXPECT_EQ(o_ToUTF8({'A', 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF}), "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    // Each half of a surrogate pair on its own.
    EXPECT_EQ(o_ToUTF8({0xD83D, 0xDE00}), "\xED\xA0\xBD\xED\xB8\x80");
    EXPECT_EQ(o_ToUTF8({}), "");
    EXPECT_EQ(o_ToUTF8({'a', 'b', 0, 'c'}), "ab");
    EXPECT_EQ(o_ToUTF8({0, 'c'}), "");
    // Long ASCII runs with other units at every place of an eight-unit block.
    for (unsigned at = 0; at < 17; ++at) {
        Units text(24, 'a');
        text[at] = 0xE9;
        std::string expected(24 + 1, 'a');
        expected.replace(at, 2, "\xC3\xA9");
        EXPECT_EQ(o_ToUTF8(text), expected) << at;
        text[at] = 0;
        EXPECT_EQ(o_ToUTF8(text), std::string(at, 'a')) << at;
    }
}

// Runs of ASCII of every length around the block sizes, broken by another
// character or by a zero at every place: both coders.
TEST(UTF, UTF8AsciiRuns) {
    CT_UTF::sv_UTF8ToWideInit();
    for (unsigned length : {15u, 16u, 17u, 31u, 32u, 33u, 48u, 70u}) {
        Units ascii(length);
        for (unsigned i = 0; i < length; ++i) ascii[i] = static_cast<unsigned short>('a' + i % 26);
        for (unsigned at = 0; at < length; ++at) {
            struct st_Case {
                unsigned short u_Unit;
                char const* qccz_Bytes;
            };
            for (st_Case const& c : {st_Case{0x20AC, "\xE2\x82\xAC"}, st_Case{0x80, "\xC2\x80"}, st_Case{0x7F, "\x7F"}}) {
                Units text = ascii;
                text[at] = c.u_Unit;
                std::string bytes(ascii.begin(), ascii.end());
                bytes.replace(at, 1, c.qccz_Bytes);
                ASSERT_EQ(o_ToUTF8(text), bytes) << length << " " << at;
                ASSERT_EQ(ao_FromUTF8(bytes), text) << length << " " << at;
            }
            Units text = ascii;
            text[at] = 0;
            std::string bytes(ascii.begin(), ascii.end());
            bytes[at] = 0;
            ASSERT_EQ(o_ToUTF8(text), bytes.substr(0, at)) << length << " " << at;
            ASSERT_EQ(ao_FromUTF8(bytes), Units(ascii.begin(), ascii.begin() + at)) << length << " " << at;
        }
    }
}

TEST(UTF, UTF8Decoding) {
    CT_UTF::sv_UTF8ToWideInit();
    EXPECT_EQ(ao_FromUTF8("\xC3\xA9"), (Units{0xE9}));
    EXPECT_EQ(ao_FromUTF8("A\xE2\x82\xAC"), (Units{'A', 0x20AC}));
    EXPECT_EQ(ao_FromUTF8("\xEF\xBF\xBF\xDF\xBF"), (Units{0xFFFF, 0x7FF}));
    // Following bytes are not checked; a lone following byte is itself.
    EXPECT_EQ(ao_FromUTF8("\xC3\x41"), (Units{0x81}));
    EXPECT_EQ(ao_FromUTF8("\x80\xBF"), (Units{0x80, 0xBF}));
    // Four bytes give a surrogate pair; values outside U+10000-U+10FFFF and
    // lead bytes 0xF8 and above give U+FFFD; nothing stops the conversion.
    EXPECT_EQ(ao_FromUTF8("\xF0\x9F\x98\x80z"), (Units{0xD83D, 0xDE00, 'z'}));
    EXPECT_EQ(ao_FromUTF8("\xF4\x8F\xBF\xBF"), (Units{0xDBFF, 0xDFFF}));
    EXPECT_EQ(ao_FromUTF8("\xF4\x90\x80\x80z"), (Units{0xFFFD, 'z'}));
    EXPECT_EQ(ao_FromUTF8("\xF0\x80\x80\x80z"), (Units{0xFFFD, 'z'}));
    EXPECT_EQ(ao_FromUTF8("\xF8\xFF\xFEz"), (Units{0xFFFD, 0xFFFD, 0xFFFD, 'z'}));
    // A zero byte stops the input, as the first byte too.
    EXPECT_EQ(ao_FromUTF8(std::string("ab\0c", 4)), (Units{'a', 'b'}));
    EXPECT_EQ(ao_FromUTF8(std::string("\0c", 2)), (Units{}));
}

TEST(UTF, UTF8SequencesOverCalls) {
    // Every split of every sequence length: the unit comes with the call
    // that brings the last byte (the high surrogate with the third byte).
    std::string const sequences[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    for (std::string const& sequence : sequences) {
        CT_UTF::sv_UTF8ToWideInit();
        Units whole = ao_FromUTF8(sequence);
        for (size_t split = 1; split < sequence.size(); ++split) {
            CT_UTF::sv_UTF8ToWideInit();
            Units first = ao_FromUTF8(sequence.substr(0, split));
            Units second = ao_FromUTF8(sequence.substr(split) + "z");
            first.insert(first.end(), second.begin(), second.end());
            whole.push_back('z');
            EXPECT_EQ(first, whole) << sequence.size() << " bytes split at " << split;
            whole.pop_back();
        }
    }
    CT_UTF::sv_UTF8ToWideInit();
    EXPECT_EQ(ao_FromUTF8("\xF0\x9F\x98"), (Units{0xD83D}));
    EXPECT_EQ(ao_FromUTF8("\x80"), (Units{0xDE00}));
    // A zero byte inside a sequence stops the call; the next one goes on.
    EXPECT_EQ(ao_FromUTF8(std::string("\xC3\0", 2)), (Units{}));
    EXPECT_EQ(ao_FromUTF8("\xA9"), (Units{0xE9}));
    // The string conversion does not reset the decoder; the reset drops a
    // partial sequence.
    unsigned short units[4];
    EXPECT_EQ(CT_StringConvert::si_UTF8ToWide(units, "\xE2\x82", 2), 0);
    EXPECT_EQ(CT_StringConvert::si_UTF8ToWide(units, "\xAC", 1), 1);
    EXPECT_EQ(units[0], 0x20AC);
    EXPECT_EQ(units[1], 0);
    EXPECT_EQ(CT_StringConvert::si_UTF8ToWide(units, "\xE2\x82", 2), 0);
    CT_UTF::sv_UTF8ToWideInit();
    EXPECT_EQ(ao_FromUTF8("\xAC"), (Units{0xAC}));
}

TEST(UTF, UTF8RoundTripAndRoom) {
    st_Random random{8};
    for (unsigned round = 0; round < 300; ++round) {
        Units text(random.n_Next() % 40);
        for (unsigned short& unit : text) unit = random.u_Unit();
        CT_UTF::sv_UTF8ToWideInit();
        ASSERT_EQ(ao_FromUTF8(o_ToUTF8(text)), text);
    }
    // Any bytes, cut anywhere: never more units than bytes in one call.
    CT_UTF::sv_UTF8ToWideInit();
    for (unsigned round = 0; round < 2000; ++round) {
        std::string bytes(random.n_Next() % 12, '\0');
        for (char& byte : bytes) byte = static_cast<char>(1 + random.n_Next() % 255);
        Units units(bytes.size() + 4, 0xEEEE);
        int n = CT_UTF::si_UTF8ToWide(units.data(), bytes.data(), static_cast<unsigned>(bytes.size()));
        ASSERT_LE(static_cast<size_t>(n), bytes.size());
        ASSERT_EQ(units[bytes.size()], 0xEEEE);
    }
    CT_UTF::sv_UTF8ToWideInit();
}

// Memory whose last byte is the last one that may be touched. On Linux it
// ends where a page that cannot be read or written begins, so that a touch
// past it fails at once; elsewhere it is a heap block of just that size,
// which the address checker watches where it runs.
class st_EdgeMemory {
public:
    explicit st_EdgeMemory(size_t size) {
#if !defined(_WIN32)
        size_t const page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        mn_Mapped = (size / page + 2) * page;
        void* base = mmap(nullptr, mn_Mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) std::abort();
        mpc_Base = static_cast<unsigned char*>(base);
        if (mprotect(mpc_Base + mn_Mapped - page, page, PROT_NONE) != 0) std::abort();
        mpc_Data = mpc_Base + mn_Mapped - page - size;
#else
        mpc_Base = static_cast<unsigned char*>(std::malloc(size ? size : 1));
        mpc_Data = mpc_Base;
#endif
    }
    ~st_EdgeMemory() {
#if !defined(_WIN32)
        munmap(mpc_Base, mn_Mapped);
#else
        std::free(mpc_Base);
#endif
    }
    st_EdgeMemory(st_EdgeMemory const&) = delete;
    st_EdgeMemory& operator=(st_EdgeMemory const&) = delete;
    template <class T>
    T* p_Get() {
        return reinterpret_cast<T*>(mpc_Data);
    }

private:
    unsigned char* mpc_Base = nullptr;
    unsigned char* mpc_Data = nullptr;
    size_t mn_Mapped = 0;
};

// Texts of every kind the fast paths treat apart, long enough for many
// blocks, with and without the things they leave to the careful way.
std::vector<std::string> ao_EdgeTexts() {
    std::vector<std::string> texts = {"", "ab", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
    std::string ascii, latin, cyrillic, cjk, mixed;
    for (unsigned i = 0; i < 300; ++i) {
        ascii += static_cast<char>('a' + i % 26);
        latin += i % 7 == 3 ? "\xC3\xA9" : std::string(1, static_cast<char>('a' + i % 26));
        cyrillic += i % 9 == 0 ? std::string(" ") : std::string("\xD0") + static_cast<char>(0xB0 + i % 16);
        cjk += std::string("\xE4") + static_cast<char>(0xB8 + i % 4) + static_cast<char>(0x80 + i % 64);
        mixed += i % 11 == 0 ? "\xF0\x9F\x98\x80" : i % 13 == 0 ? "\x80" : i % 17 == 0 ? "\xC3" : "\xE2\x82\xAC";
    }
    for (std::string const* text : {&ascii, &latin, &cyrillic, &cjk, &mixed}) {
        texts.push_back(*text);
        // Cut inside a sequence at the end.
        texts.push_back(text->substr(0, text->size() - 1));
    }
    return texts;
}

// Every coder and direction with counts beyond the text (which stop at its
// zero) and with exactly the text's length (no zero at all), from text at
// the very end of its memory into a target with exactly the result's room.
TEST(UTF, CountsBeyondTheTextTouchNothingPastIt) {
    for (std::string const& text : ao_EdgeTexts()) {
        unsigned const length = static_cast<unsigned>(text.size());
        // What the careful decoder makes of the text, and back.
        UTF8Coder::st_Decoder fresh;
        Units wide(text.size() + 1);
        wide.resize(static_cast<size_t>(UTF8Coder::si_DecodeCarefully(wide.data(), text.data(), length, fresh)));
        std::string narrow(wide.size() * 3 + 1, '\0');
        narrow.resize(static_cast<size_t>(
            UTF8Coder::si_EncodeCarefully(narrow.data(), wide.data(), static_cast<unsigned>(wide.size()))));
        std::string const seven = o_ToUTF7(wide);
        unsigned const wideLength = static_cast<unsigned>(wide.size());
        for (bool terminated : {true, false}) {
            std::vector<unsigned> counts = {length, length + 1, length + 100, ~0u - 1};
            if (!terminated) counts = {length};
            st_EdgeMemory bytes(text.size() + terminated);
            std::memcpy(bytes.p_Get<char>(), text.data(), text.size());
            if (terminated) bytes.p_Get<char>()[text.size()] = 0;
            st_EdgeMemory units((wide.size() + terminated) * 2);
            std::copy(wide.begin(), wide.end(), units.p_Get<unsigned short>());
            if (terminated) units.p_Get<unsigned short>()[wide.size()] = 0;
            st_EdgeMemory sevenBytes(seven.size() + terminated);
            std::memcpy(sevenBytes.p_Get<char>(), seven.data(), seven.size());
            if (terminated) sevenBytes.p_Get<char>()[seven.size()] = 0;
            for (unsigned count : counts) {
                SCOPED_TRACE(testing::Message() << text.size() << " bytes, count " << count);
                unsigned const wideCount = count == length ? wideLength : count - length + wideLength;
                {
                    st_EdgeMemory room(wide.size() * 2);
                    CT_UTF::sv_UTF8ToWideInit();
                    int n = CT_UTF::si_UTF8ToWide(room.p_Get<unsigned short>(), bytes.p_Get<char>(), count);
                    ASSERT_EQ(Units(room.p_Get<unsigned short>(), room.p_Get<unsigned short>() + n), wide);
                }
                {
                    st_EdgeMemory room(wide.size() * 2 + 2);
                    CT_UTF::sv_UTF8ToWideInit();
                    int n = CT_StringConvert::si_UTF8ToWide(room.p_Get<unsigned short>(), bytes.p_Get<char>(), count);
                    ASSERT_EQ(Units(room.p_Get<unsigned short>(), room.p_Get<unsigned short>() + n), wide);
                }
                {
                    st_EdgeMemory room(narrow.size() + 1);
                    int n = CT_UTF::si_WideToUTF8(room.p_Get<char>(), units.p_Get<unsigned short>(), wideCount);
                    ASSERT_EQ(std::string(room.p_Get<char>(), static_cast<size_t>(n)), narrow);
                    n = CT_StringConvert::si_WideToUTF8(room.p_Get<char>(), units.p_Get<unsigned short>(), wideCount);
                    ASSERT_EQ(std::string(room.p_Get<char>(), static_cast<size_t>(n)), narrow);
                }
                {
                    st_EdgeMemory room(seven.size() + 1);
                    CT_StringConvert::si_WideToUTF7(room.p_Get<char>(), units.p_Get<unsigned short>(), wideCount);
                    ASSERT_EQ(std::string(room.p_Get<char>()), seven);
                }
                {
                    unsigned const sevenCount = count == length ? static_cast<unsigned>(seven.size())
                                                                : std::max(count, static_cast<unsigned>(seven.size()) + 1);
                    st_EdgeMemory room(wide.size() * 2 + 2);
                    int n = CT_StringConvert::si_UTF7ToWide(room.p_Get<unsigned short>(), sevenBytes.p_Get<char>(),
                                                            sevenCount);
                    ASSERT_EQ(Units(room.p_Get<unsigned short>(), room.p_Get<unsigned short>() + n), wide);
                }
                // The empty text makes the encoders report a failure.
                CT_ErrorManager::spco_Get()->v_ClearError();
            }
        }
    }
    CT_UTF::sv_UTF8ToWideInit();
}

// The fast coders against the careful ones on text made of pieces that
// start and end blocks at every place, long enough for several blocks of
// mixed sequences: the same units, bytes and state. Overlong forms,
// surrogates and the highest values of each length decode by the same
// sums either way; leads cut short, stray following bytes and lead bytes
// of 0xF0 and up (whole or not) in or at the edge of a block leave it to
// the careful way. Every set of block steps the processor runs is held
// against the careful coders, down to the plain ones.
TEST(UTF, FastAndCarefulCodersAgree) {
    char const* const pieces[] = {"a", " ", "\xC3\xA9", "\xD0\xB6", "\xE2\x82\xAC", "\xE4\xB8\x80", "\xDF\xBF",
                                  "\xEF\xBF\xBF", "\xF0\x9F\x98\x80", "\x80", "\xC3", "\xE2\x82", "\xF8", "\xC0\x80",
                                  "\xE0\x80\x80", "\xED\xA0\x80", "\xC3\xA9\xBF", "\xF4\x90\x80\x80",
                                  "\xF0\x9F\x98", "\xF8\x80\x80"};
    st_Random random{11};
    for (unsigned round = 0; round < 6000; ++round) {
        std::string text;
        unsigned const count = random.n_Next() % 200;
        // Mostly one or two kinds of piece, with others now and then.
        unsigned const usual = random.n_Next() % 8, other = random.n_Next() % 8;
        unsigned const odd = 3 + random.n_Next() % 60;
        while (text.size() < count)
            text += pieces[random.n_Next() % odd == 0 ? random.n_Next() % std::size(pieces)
                           : random.n_Next() % 2   ? usual
                                                   : other];
        UTF8Coder::st_Decoder careful;
        careful.n_Expected = random.n_Next() % 4 == 0 ? 1 + random.n_Next() % 2 : 0;
        careful.n_Trailing = careful.n_Expected ? 2 : 0;
        careful.n4_Value = careful.n_Expected ? 0xE2 : 0;
        UTF8Coder::st_Decoder const before = careful;
        Units a(text.size() + 1, 0xEEEE);
        int na = UTF8Coder::si_DecodeCarefully(a.data(), text.data(), static_cast<unsigned>(text.size()), careful);
        a.resize(static_cast<size_t>(na));
        std::string x(a.size() * 3 + 1, '#');
        int nx = UTF8Coder::si_EncodeCarefully(x.data(), a.data(), static_cast<unsigned>(a.size()));
        int set = 0;
        for (UTF8Coder::st_Paths paths : UTF8Coder::cao_EveryPaths) {
            UTF8Coder::st_Decoder fast = before;
            Units b(text.size() + 1, 0xEEEE);
            int nb = UTF8Coder::si_Decode(b.data(), text.data(), static_cast<unsigned>(text.size()), fast, paths);
            ASSERT_EQ(na, nb) << round << " set " << set;
            ASSERT_EQ(a, Units(b.begin(), b.begin() + nb)) << round << " set " << set;
            ASSERT_TRUE(careful == fast) << round << " set " << set;
            std::string y(a.size() * 3 + 1, '#');
            int ny = UTF8Coder::si_Encode(y.data(), a.data(), static_cast<unsigned>(a.size()), paths);
            ASSERT_EQ(x.substr(0, static_cast<size_t>(nx) + 1), y.substr(0, static_cast<size_t>(ny) + 1))
                << round << " set " << set;
            ++set;
        }
    }
}

}  // namespace


// Long texts of one script, which the fast decoder takes by wide blocks,
// with one odd sequence moved through them and the count cut anywhere:
// the same units, count and state as the careful decoder, written into
// room of just the result's size.
TEST(UTF, LongTextsDecodeByBlocksAsCarefully) {
    char const* const scripts[][3] = {{"a", "b", "\xC3\xA9"},
                                      {"\xD0\xB6", " ", "\xD0\xB0"},
                                      {"\xE4\xB8\x80", "\xE3\x81\x82", "\xE3\x80\x82"},
                                      {"\xE4\xB8\x80", "\xD0\xB6", "a"},
                                      {"abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz", "\xC3\xA9",
                                       "\xD0\xB6 "}};
    char const* const odd[] = {"\xF0\x9F\x98\x80", "\xC3", "\xE2\x82", "\x80", "\xF8", "\xC3" "A", "\xE2\x82" "A",
                               "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80"};
    st_Random random{5};
    for (auto const& script : scripts) {
        std::string base;
        while (base.size() < 400) base += script[random.n_Next() % 4 == 0 ? 1 + random.n_Next() % 2 : 0];
        for (unsigned at = 0; at < 200; at += 1 + random.n_Next() % 5) {
            std::string text = base;
            text.insert(std::min<size_t>(at, text.size()), odd[random.n_Next() % std::size(odd)]);
            for (unsigned count : {static_cast<unsigned>(text.size()), 96 + at % 64, 160 + at, 300 + at % 7}) {
                count = std::min<unsigned>(count, static_cast<unsigned>(text.size()));
                UTF8Coder::st_Decoder careful;
                Units expected(text.size() + 1);
                int const n = UTF8Coder::si_DecodeCarefully(expected.data(), text.data(), count, careful);
                expected.resize(static_cast<size_t>(n));
                for (UTF8Coder::st_Paths paths : UTF8Coder::cao_EveryPaths) {
                    SCOPED_TRACE(::testing::Message() << at << " " << count << " wide " << paths.b_Wide << " shuffle "
                                                      << paths.b_Shuffle);
                    UTF8Coder::st_Decoder fast;
                    Units units(expected.size());
                    ASSERT_EQ(UTF8Coder::si_Decode(units.data(), text.data(), count, fast, paths), n);
                    ASSERT_EQ(units, expected);
                    ASSERT_TRUE(fast == careful);
                }
            }
        }
    }
}
