#include "Foundation/Basis/Frame/Counter.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(Counter, OperatorsReturnTheValueAfterTheChange) {
    CT_Counter counter(5);
    CT_Counter post = counter++;
    EXPECT_EQ(post.i4_Get(), 6);  // the new value, not the old one
    EXPECT_EQ(counter(), 6);
    EXPECT_EQ((++counter).i4_Get(), 7);
    EXPECT_EQ((counter--).i4_Get(), 6);
    EXPECT_EQ((--counter).i4_Get(), 5);
    EXPECT_EQ(counter.i4_Inc(), 6);
    EXPECT_EQ(counter.i4_Dec(), 5);
    counter.v_Set(-3);
    EXPECT_EQ(counter.i4_Dec(), -4);
    CT_Counter copy;
    EXPECT_EQ(copy(), 0);
    copy = counter;
    EXPECT_EQ(copy(), -4);
}

TEST(Counter, ChangesFromTwoThreadsAreNotLost) {
    CT_Counter counter;
    constexpr int kRounds = 200000;
    std::vector<int> seenUp(kRounds + 1, 0);
    auto up = [&] {
        for (int i = 0; i < kRounds; ++i) counter.i4_Inc();
    };
    auto mixed = [&] {
        for (int i = 0; i < kRounds; ++i) {
            counter.i4_Inc();
            counter.i4_Dec();
            ++counter;
        }
    };
    std::thread one(up), two(mixed);
    one.join();
    two.join();
    EXPECT_EQ(counter(), 2 * kRounds);
    // Every i4_Inc result is unique: the interlocked result, not a re-read.
    CT_Counter shared;
    std::vector<std::int32_t> a(kRounds), b(kRounds);
    std::thread t1([&] { for (auto& v : a) v = shared.i4_Inc(); });
    std::thread t2([&] { for (auto& v : b) v = shared.i4_Inc(); });
    t1.join();
    t2.join();
    std::vector<char> hit(2 * kRounds + 1, 0);
    for (auto v : a) hit[v]++;
    for (auto v : b) hit[v]++;
    for (int i = 1; i <= 2 * kRounds; ++i) ASSERT_EQ(hit[i], 1) << i;
}

}  // namespace
