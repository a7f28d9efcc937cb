#include "Foundation/Basis/Container/MemoryAhead.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace {

TEST(Modulo, AgreesWithDivisionOverTheWholeRange) {
    // The smallest divisors, bucket-count primes, the largest 32-bit prime
    // and the largest value; the values at both ends and at random.
    std::uint32_t const divisors[] = {1, 2, 3, 13, 29, 1009, 65521, 2147483647u, 4294967291u, 4294967295u};
    std::mt19937 random(3);
    for (std::uint32_t d : divisors) {
        Container::CT_Modulo modulo(d);
        std::uint32_t const ends[] = {0, 1, d - 1, d, d + 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
        for (std::uint32_t v : ends) EXPECT_EQ(modulo.n4_Of(v), v % d) << v << " mod " << d;
        for (int i = 0; i < 10000; ++i) {
            std::uint32_t v = random();
            ASSERT_EQ(modulo.n4_Of(v), v % d) << v << " mod " << d;
        }
    }
}

}  // namespace
