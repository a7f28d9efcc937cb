#include "Foundation/System/String/UTF8EncodeBlocks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/System/String/UTF8Coder.h"

namespace {

typedef std::vector<unsigned short> Units;

// The fast encoder by paths against the careful one's bytes, expected:
// written into room for just them and their terminator, which is followed
// by a band of known bytes that must come back untouched (the line steps
// read past the zero on purpose, so the address checker does not watch
// their stores).
void v_ExpectEncoded(std::string const& expected, unsigned short const* source, unsigned count,
                     UTF8Coder::st_Paths paths, std::string const& where) {
    size_t const room = expected.size() + 1, band = 64;
    std::vector<char> bytes(room + band, '#');
    ASSERT_EQ(UTF8Coder::si_Encode(bytes.data(), source, count, paths), static_cast<int>(expected.size())) << where;
    ASSERT_EQ(std::string(bytes.data(), room), std::string(expected.c_str(), room)) << where;
    ASSERT_EQ(std::string(bytes.data() + room, band), std::string(band, '#')) << where;
}

// The careful encoder's bytes for count units of source.
std::string s_EncodedCarefully(unsigned short const* source, unsigned count, size_t units) {
    std::vector<char> bytes(units * 3 + 1);
    int const n = UTF8Coder::si_EncodeCarefully(bytes.data(), source, count);
    return std::string(bytes.data(), static_cast<size_t>(n));
}

// The fast encoder, by every set of block steps, against the careful one
// on text, with the count just the text (no zero after it) and far beyond
// it (a zero after it). The source is a heap block of just its size, so
// that the address checker sees any read past it outside the zero scans.
void v_ExpectSameBytes(Units const& text, std::string const& what) {
    std::string const expected = s_EncodedCarefully(text.data(), static_cast<unsigned>(text.size()), text.size());
    for (UTF8Coder::st_Paths paths : UTF8Coder::cao_EveryPaths) {
        for (bool terminated : {false, true}) {
            Units source(text);
            if (terminated) source.push_back(0);
            unsigned const count = terminated ? ~0u - 7 : static_cast<unsigned>(text.size());
            std::string const where = what + (terminated ? ", terminated" : "") +
                                      (paths.b_Wide ? "" : paths.b_Shuffle ? ", 128-bit shuffles" : ", plain steps");
            ASSERT_NO_FATAL_FAILURE(v_ExpectEncoded(expected, source.data(), count, paths, where));
        }
    }
}

// Text of one kind that each block step takes whole (ASCII, below 0x800,
// 0x800 and up, and two mixes: all three lengths, and three-byte units
// with more than one ASCII unit a block) with one unit of another kind at
// every place (so three-byte text has its one ASCII unit, or its one
// two-byte unit, at every place of a block), and with the highest and
// lowest unit of each length; long enough for the runs of ASCII taken 64
// units at a time, and for pairs of blocks and the single block at the end.
TEST(UTF8EncodeBlocks, EveryKindOfBlockMatchesTheCarefulCoder) {
    unsigned short const kinds[][3] = {{'a', 'z', ' '},         {0x436, 0xE9, '.'},        {0x4E2D, 0x3042, 0xD83D},
                                       {0x7F, 0x80, 0x7FF},     {0x800, 0xFFFF, 0xDE00},   {0x430, 0x3002, '\n'},
                                       {0x3042, 0x4E2D, ','}};
    unsigned short const odd[] = {'x', 0x7F, 0x80, 0xE9, 0x7FF, 0x800, 0x4E00, 0xD800, 0xDFFF, 0xFFFF};
    for (unsigned length : {31u, 47u, 48u, 64u, 97u, 150u}) {
        for (auto const& kind : kinds) {
            Units base(length);
            for (unsigned i = 0; i < length; ++i) base[i] = kind[i * 7 % 11 % 3];
            v_ExpectSameBytes(base, "plain " + std::to_string(kind[0]));
            for (unsigned at = 0; at < length; ++at) {
                for (unsigned short unit : odd) {
                    Units text = base;
                    text[at] = unit;
                    v_ExpectSameBytes(text, std::to_string(length) + " units of " + std::to_string(kind[0]) +
                                                ", " + std::to_string(unit) + " at " + std::to_string(at));
                    if (testing::Test::HasFatalFailure()) return;
                }
            }
        }
    }
    // A long run of ASCII, broken once anywhere.
    Units ascii(300);
    for (unsigned i = 0; i < ascii.size(); ++i) ascii[i] = static_cast<unsigned short>('a' + i % 26);
    for (unsigned at = 0; at < ascii.size(); ++at) {
        Units text = ascii;
        text[at] = 0x20AC;
        v_ExpectSameBytes(text, "ASCII with the euro sign at " + std::to_string(at));
        if (testing::Test::HasFatalFailure()) return;
    }
}

// Units given to the steps alone: what they say they did is what the
// careful coder makes of those units, and nothing is written past the
// room the units after them vouch for.
TEST(UTF8EncodeBlocks, StepsReportTheirUnitsAndBytes) {
    if (!UTF8EncodeBlocks::b_Available()) GTEST_SKIP() << "no 256-bit steps on this processor";
    // Blocks of ASCII, of two-byte units, of three-byte units and mixed.
    Units text;
    for (unsigned i = 0; i < 80; ++i) {
        unsigned short const mixed = static_cast<unsigned short>(i % 3 == 0 ? 'a' : i % 3 == 1 ? 0x436 : 0x4E2D);
        unsigned short const kinds[] = {'a', 0x436, 0x4E2D, mixed};
        text.push_back(kinds[i / 16 % 4]);
    }
    for (size_t available = 0; available <= text.size(); ++available) {
        std::vector<unsigned char> bytes(text.size() * 3 + 1, '#');
        unsigned char* out = bytes.data();
        size_t const done = UTF8EncodeBlocks::n_EncodeBlocks(text.data(), available, out);
        std::vector<char> expected(text.size() * 3 + 1);
        int const n = UTF8Coder::si_EncodeCarefully(expected.data(), text.data(), static_cast<unsigned>(done));
        // Whole blocks, each with cn_Reach units at hand, as many as there are.
        ASSERT_EQ(done % 16, 0u);
        ASSERT_TRUE(done == 0 || done - 16 + UTF8EncodeBlocks::cn_Reach <= available) << available;
        ASSERT_LT(available - done, UTF8EncodeBlocks::cn_Reach) << available;
        ASSERT_EQ(out - bytes.data(), n) << available;
        ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + n), std::string(expected.data(), static_cast<size_t>(n)));
        // Past the bytes of all available units and a terminator: untouched.
        int const reach = UTF8Coder::si_EncodeCarefully(expected.data(), text.data(), static_cast<unsigned>(available));
        for (size_t k = static_cast<size_t>(reach) + 1; k < bytes.size(); ++k) ASSERT_EQ(bytes[k], '#') << available;
    }
}

}  // namespace

namespace {

// The encoder's zero scan finds what the 128-bit one finds from every
// place in a 64-byte line, with the zero in the first line, a later one or
// none, and limits short of it, at it and past it.
TEST(UTF8EncodeBlocks, ZeroScanFindsTheFirstZeroFromEveryPlace) {
    if (!UTF8EncodeBlocks::b_Available()) GTEST_SKIP() << "no 256-bit steps on this processor";
    alignas(64) unsigned short units[160];
    for (unsigned start = 0; start < 32; ++start) {
        for (unsigned zero = start; zero <= 160; zero += zero < start + 70 ? 1 : 29) {
            for (unsigned i = 0; i < 160; ++i) units[i] = static_cast<unsigned short>(i == zero ? 0 : 0x100 + i);
            // Another zero after the first must not be the one found.
            if (zero + 5 < 160) units[zero + 5] = 0;
            for (size_t limit : {0u, 1u, 31u, 32u, 33u, 64u, 100u}) {
                if (start + limit > 160) continue;
                size_t const expected = UnitBlock::n_NonZeroRun(units + start, limit);
                ASSERT_EQ(UTF8EncodeBlocks::n_NonZeroRun(units + start, limit), expected)
                    << "from " << start << ", zero at " << zero << ", limit " << limit;
            }
        }
    }
}

}  // namespace

namespace {

// The whole encoder from every place in a 64-byte line, where the text
// starts with units taken one at a time and then goes by lines: the zero
// in the first line, in a later one or none, counts short of it, at it and
// past it, and text whose kind changes between lines.
TEST(UTF8EncodeBlocks, EncoderMatchesTheCarefulCoderFromEveryPlace) {
    alignas(64) unsigned short units[320];
    unsigned short const letters[] = {'a', 0x436, 0x4E2D, ' ', 0xE9, 0x3042, '\n', 0xFFFF};
    for (unsigned start = 0; start < 32; ++start) {
        // Every place over the first few lines, then a few more, then none.
        for (unsigned zero = start; zero <= 320;
             zero = zero < start + 140 ? zero + 1 : zero == 320 ? 321 : zero + 37 < 320 ? zero + 37 : 320) {
            for (unsigned i = 0; i < 320; ++i) {
                // Lines of ASCII, of two-byte units and mixed, in turn.
                unsigned const kind = i / 32 % 3;
                units[i] = kind == 0 ? static_cast<unsigned short>('a' + i % 26)
                                     : letters[(i * 5 + kind) % (kind == 1 ? 2 : 8)];
                if (i == zero) units[i] = 0;
            }
            unsigned const at = zero - start;
            std::vector<unsigned> counts = {at, at + 1, ~0u - 7};
            if (at != 0) counts.push_back(at - 1);
            if (zero == 320) counts = {at, at - 1};
            for (unsigned count : counts) {
                std::string const where = "from " + std::to_string(start) + ", zero at " + std::to_string(zero) +
                                          ", count " + std::to_string(count);
                ASSERT_NO_FATAL_FAILURE(v_ExpectEncoded(s_EncodedCarefully(units + start, count, 320), units + start,
                                                        count, UTF8Coder::st_Paths{}, where));
            }
        }
    }
}

}  // namespace
