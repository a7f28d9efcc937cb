#include "Foundation/Basis/Container/Random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// With the largest range the value is the word itself (unless the word is
// all ones, which the streams below do not meet).
std::uint32_t n4_Word(CT_Random* random) { return random->n4_Next(0xFFFFFFFFu); }

TEST(Random, ASeedDecidesTheStream) {
    // The first words of two seeds, worked out apart from this code from
    // the set-up and step rules (the word the set-up never writes being 0).
    CT_Random one(1);
    EXPECT_EQ(n4_Word(&one), 0xC6DCAB76u);
    EXPECT_EQ(n4_Word(&one), 0x063C5CE3u);
    EXPECT_EQ(n4_Word(&one), 0xB48745C0u);
    EXPECT_EQ(n4_Word(&one), 0x730BE873u);
    EXPECT_EQ(n4_Word(&one), 0x1B71F7A6u);
    CT_Random other(12345);
    EXPECT_EQ(n4_Word(&other), 0x6AD79AC6u);
    EXPECT_EQ(n4_Word(&other), 0xAA8BFE9Bu);

    // Two generators of one seed agree however long they run.
    CT_Random a(987654321), b(987654321);
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(a.n4_Next(1000000), b.n4_Next(1000000)) << i;
}

TEST(Random, EachWordIsTheWord55BackLessThe24Back) {
    // The low 24 bits of every word are exact in r8_Next, and they keep the
    // recurrence w[k] = w[k - 55] - w[k - 24] modulo 2^24.
    CT_Random random(42);
    std::vector<std::uint32_t> low;
    for (int i = 0; i < 400; ++i) {
        double r = random.r8_Next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        low.push_back(static_cast<std::uint32_t>(r * 16777216.0));
    }
    for (std::size_t k = 55; k < low.size(); ++k)
        EXPECT_EQ(low[k], (low[k - 55] - low[k - 24]) & 0xFFFFFFu) << k;
}

TEST(Random, RangesAndCopies) {
    CT_Random random(7);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(random.n4_Next(1), 0u);
        EXPECT_LT(random.n4_Next(6), 6u);
    }
    // A copy made by assignment continues with the same values.
    CT_Random copy(99);
    copy = random;
    for (int i = 0; i < 200; ++i) EXPECT_EQ(copy.n4_Next(0xFFFFFFFFu), random.n4_Next(0xFFFFFFFFu));
    // A seed of 0 takes the clock: still a working stream.
    CT_Random timed;
    std::uint32_t first = timed.n4_Next(0xFFFFFFFFu);
    bool moved = false;
    for (int i = 0; i < 10; ++i) moved = moved || timed.n4_Next(0xFFFFFFFFu) != first;
    EXPECT_TRUE(moved);
}

}  // namespace
