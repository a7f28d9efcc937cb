#include "Foundation/Basis/Buffer/Buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string s_Content(CT_Buffer const& buffer) {
    return std::string(static_cast<char const*>(buffer.qcv_Get()), buffer.n_GetUsedSize());
}

// The bytes a change leaves in a fresh buffer holding `start`.
template <class F>
std::string s_After(char const* start, F change) {
    CT_Buffer buffer(start, static_cast<unsigned>(std::strlen(start)), 32);
    change(buffer);
    return s_Content(buffer);
}

TEST(Buffer, EmptyBufferReportsNeutralSizes) {
    CT_Buffer buffer;
    EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
    EXPECT_EQ(buffer.n_GetMaximumSize(), 0u);
    EXPECT_EQ(buffer.qcv_Get(), nullptr);
    EXPECT_EQ(buffer.n_Find('a', 0), ~0u);
    EXPECT_EQ(buffer.n_Find("ab", 2, 0), ~0u);
    EXPECT_TRUE(buffer.b_IsEqual("xyz", 3, 0));  // nothing to compare
}

TEST(Buffer, SizingRules) {
    // Rule 1: request + 12 rounded to the growth, less 12.
    struct {
        unsigned request, growth, maximum;
    } const constructed[] = {{1, 32, 20}, {20, 32, 20}, {21, 32, 52}, {5, 1, 5}, {100, 100, 188}};
    for (auto const& row : constructed)
        EXPECT_EQ(CT_Buffer(row.request, row.growth).n_GetMaximumSize(), row.maximum) << row.request;
    // Rule 2 below 1024 is rule 1 (1012 + 12 = 1024); above it the three
    // enlargement bands, each rounded up to 64: 1280 - 12; 2047*5/4 = 2558
    // -> 2560; 2867 -> 2880; 4200 -> 4224; 6144 - 12.
    struct {
        unsigned request, maximum;
    } const grown[] = {{1000, 1012}, {1024, 1268}, {2047, 2548}, {2048, 2868}, {3000, 4212}, {4096, 6132}};
    CT_Buffer buffer;
    for (auto const& row : grown) {
        buffer.v_SetSize(row.request, 1);
        EXPECT_EQ(buffer.n_GetMaximumSize(), row.maximum) << row.request;
    }
    // Shrinking keeps what fits.
    CT_Buffer text("0123456789", 10, 32);
    text.v_SetSize(4, 1);
    EXPECT_EQ(text.n_GetMaximumSize(), 20u);
    EXPECT_EQ(s_Content(text), "0123456789");
    text.v_SetSize(4, 0);
    EXPECT_EQ(text.n_GetUsedSize(), 0u);
    text.v_SetSize(0, 1);
    EXPECT_EQ(text.qcv_Get(), nullptr);
    // SetMinSize leaves large enough storage alone.
    CT_Buffer roomy(100, 32);
    void const* before = roomy.qcv_Get();
    roomy.v_SetMinSize(50, 1);
    EXPECT_EQ(roomy.qcv_Get(), before);
    roomy.v_SetMinSize(200, 1);
    EXPECT_GE(roomy.n_GetMaximumSize(), 200u);
}

TEST(Buffer, SetWithReuseKeepsOwnStorageOnly) {
    CT_Buffer buffer("abcdef", 6, 32);
    void const* storage = buffer.qcv_Get();
    buffer.v_Set(10, ~0u, 1);
    EXPECT_EQ(buffer.qcv_Get(), storage);
    EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
    EXPECT_EQ(buffer.n_GetGrowth(), 32u);
    // Too small for the request: new storage.
    buffer.v_Set(30, 8, 1);
    EXPECT_EQ(buffer.n_GetGrowth(), 8u);
    EXPECT_EQ(buffer.n_GetMaximumSize(), 36u);  // 30+12 -> 48 with growth 8
    // Shared storage is never reused.
    CT_Buffer other(&buffer);
    buffer.v_Set(1, ~0u, 1);
    EXPECT_EQ(buffer.n_GetUseCount(), 1u);
    EXPECT_EQ(other.n_GetUseCount(), 1u);
    EXPECT_NE(buffer.qcv_Get(), other.qcv_Get());
    // v_Set from data of size 0 leaves no storage.
    buffer.v_Set("x", 0, ~0u);
    EXPECT_EQ(buffer.qcv_Get(), nullptr);
}

TEST(Buffer, SharingAndCopyOnWrite) {
    CT_Buffer first("shared bytes", 12, 32);
    CT_Buffer second(&first);
    EXPECT_EQ(first.n_GetUseCount(), 2u);
    EXPECT_EQ(second.n_GetUseCount(), 2u);
    EXPECT_EQ(first.qcv_Get(), second.qcv_Get());
    {
        CT_Buffer third;
        third = first;
        EXPECT_EQ(first.n_GetUseCount(), 3u);
        CT_Buffer& alias = third;
        third = alias;  // self-assignment changes nothing
        third.v_Set(&second);
        EXPECT_EQ(first.n_GetUseCount(), 3u);
    }
    EXPECT_EQ(first.n_GetUseCount(), 2u);

    second.v_Replace(static_cast<unsigned char>('S'), 1, 0);
    EXPECT_EQ(s_Content(first), "shared bytes");
    EXPECT_EQ(s_Content(second), "Shared bytes");
    EXPECT_EQ(first.n_GetUseCount(), 1u);
    EXPECT_EQ(second.n_GetUseCount(), 1u);
    EXPECT_EQ(second.n_GetMaximumSize(), first.n_GetMaximumSize());

    // Every kind of write unshares: used size, remove, append, insert.
    struct {
        void (*write)(CT_Buffer&);
        char const* expected;
    } const writes[] = {
        {[](CT_Buffer& b) { b.v_SetUsedSize(1); }, "a"},
        {[](CT_Buffer& b) { b.v_Remove(1, 0); }, "bc"},
        {[](CT_Buffer& b) { b.v_Append(static_cast<unsigned char>('d')); }, "abcd"},
        {[](CT_Buffer& b) { b.v_Insert("xy", 2, 1); }, "axybc"},
    };
    for (auto const& w : writes) {
        CT_Buffer a("abc", 3, 32);
        CT_Buffer b(&a);
        w.write(b);
        EXPECT_EQ(s_Content(b), w.expected);
        EXPECT_EQ(s_Content(a), "abc") << w.expected;
        EXPECT_EQ(a.n_GetUseCount(), 1u) << w.expected;
    }
}

TEST(Buffer, SharersOnTwoThreadsKeepTheCountExact) {
    CT_Buffer source("x", 1, 32);
    auto worker = [&source] {
        for (int i = 0; i < 20000; ++i) {
            CT_Buffer copy(&source);
            if (i % 100 == 0) copy.v_Append(static_cast<unsigned char>('y'));
        }
    };
    std::thread one(worker), two(worker);
    one.join();
    two.join();
    EXPECT_EQ(source.n_GetUseCount(), 1u);
    EXPECT_EQ(s_Content(source), "x");
}

TEST(Buffer, ReplaceOverwritesAndExtends) {
    CT_Buffer buffer("hello", 5, 32);
    buffer.v_Replace("J", 1, 0);
    EXPECT_EQ(s_Content(buffer), "Jello");
    buffer.v_Replace("y world", 7, 4);
    EXPECT_EQ(s_Content(buffer), "Jelly world");
    buffer.v_Replace(static_cast<unsigned char>('-'), ~0u, 5);  // to the used end
    EXPECT_EQ(s_Content(buffer), "Jelly------");
    // Growing past the maximum size.
    buffer.v_Replace(static_cast<unsigned char>('!'), 30, 11);
    EXPECT_EQ(buffer.n_GetUsedSize(), 41u);
    // From our own bytes, overlapping.
    CT_Buffer self("abcdef", 6, 32);
    self.v_Replace(&self, 0, 4, 2);
    EXPECT_EQ(s_Content(self), "ababcd");
    CT_Buffer other("XYZ", 3, 32);
    self.v_Replace(&other, 1, ~0u, 0);
    EXPECT_EQ(s_Content(self), "YZabcd");
    // A source inside our own storage survives a growth that moves it.
    CT_Buffer grows("0123456789abcdefghij", 20, 32);
    grows.v_Replace(static_cast<char const*>(grows.qcv_Get()), 20, 15);
    EXPECT_EQ(s_Content(grows), "0123456789abcde0123456789abcdefghij");
}

// Counts and offsets past the used end: ~0 means "up to the used end" for
// every form, and no argument makes a write wrap past 4 GiB or read outside
// the used bytes of a source.
TEST(Buffer, CountsAndOffsetsPastTheUsedEndAreClamped) {
    CT_Buffer data("ABCD12", 6, 32);
    data.v_Replace("xyzw", ~0u, 3);  // only as far as the used end
    EXPECT_EQ(s_Content(data), "ABCxyz");
    EXPECT_EQ(data.n_GetMaximumSize(), 20u);
    data.v_Replace("!", ~0u, 6);  // nothing up to the end from the end
    data.v_Replace("!", ~0u, 15);
    data.v_Replace(static_cast<unsigned char>('!'), ~0u, 15);
    EXPECT_EQ(s_Content(data), "ABCxyz");
    // An offset plus a count that would wrap, or a size no storage holds.
    data.v_Replace("!", 0xFFFFFFF0u, 0x20);
    data.v_Replace(static_cast<unsigned char>('!'), 0xFFFFFFFEu, 5);
    data.v_Insert(static_cast<unsigned char>('!'), 0xFFFFFFF0u, 0);
    data.v_Insert("!", 0xFFFFFFFEu, 0);
    EXPECT_EQ(s_Content(data), "ABCxyz");
    data.v_SetUsedSize(1000);  // clamped to the maximum size
    EXPECT_EQ(data.n_GetUsedSize(), 20u);

    // Another buffer's bytes are read only up to its used end.
    CT_Buffer other("<>", 2, 32);
    CT_Buffer target("abc", 3, 32);
    target.v_Replace(&other, 5, ~0u, 0);
    target.v_Insert(&other, 5, ~0u, 0);
    EXPECT_EQ(s_Content(target), "abc");
    target.v_Replace(&other, 1, 100, 0);
    EXPECT_EQ(s_Content(target), ">bc");
    target.v_Insert(&other, 0, 100, 1);
    EXPECT_EQ(s_Content(target), "><>bc");
    EXPECT_TRUE(target.b_IsEqual(&other, 5, ~0u, 0));   // nothing compared
    EXPECT_TRUE(target.b_IsEqual(&other, 0, 100, 1));   // "<>" against "<>"
    EXPECT_FALSE(target.b_IsEqual(&other, 0, 100, 0));

    // An insertion point past the used end is the used end.
    CT_Buffer insert("abc", 3, 32);
    insert.v_Insert(static_cast<unsigned char>('d'), 2, 100);
    insert.v_Insert("ef", 2, 100);
    EXPECT_EQ(s_Content(insert), "abcddef");

    // Moves and copies inside one buffer keep to its used bytes.
    EXPECT_EQ(s_After("ABCDE", [](CT_Buffer& b) { b.v_AtInsertCopy(9, 2, 0); }), "ABCDE");
    EXPECT_EQ(s_After("ABCDE", [](CT_Buffer& b) { b.v_AtInsertCopy(1, 100, 0); }), "BCDEABCDE");
    EXPECT_EQ(s_After("ABCDE", [](CT_Buffer& b) { b.v_AtInsertCopy(0, 2, 100); }), "ABCDEAB");
    EXPECT_EQ(s_After("ABCDEFG", [](CT_Buffer& b) { b.v_AtInsertMove(0, 2, 100); }), "CDEFGAB");
    EXPECT_EQ(s_After("CDEFGAB", [](CT_Buffer& b) { b.v_AtInsertMove(5, 100, 0); }), "ABCDEFG");
    EXPECT_EQ(s_After("ABCDEFG", [](CT_Buffer& b) { b.v_AtInsertMove(9, 2, 0); }), "ABCDEFG");
    CT_Buffer to("xy", 2, 32);
    CT_Buffer from("12345", 5, 32);
    to.v_AtInsertMove(&from, 3, 100, 1);
    EXPECT_EQ(s_Content(to), "x45y");
    EXPECT_EQ(s_Content(from), "123");
}

TEST(Buffer, InsertShiftsTheTail) {
    CT_Buffer buffer;
    buffer.v_Insert("ace", 3, 0);
    buffer.v_Insert("b", 1, 1);
    buffer.v_Insert(static_cast<unsigned char>('d'), 2, 3);
    EXPECT_EQ(s_Content(buffer), "abcdde");
    CT_Buffer other("<>", 2, 32);
    buffer.v_Insert(&other, 0, ~0u, 6);
    buffer.v_Insert(&other, 1, 1, 0);
    EXPECT_EQ(s_Content(buffer), ">abcdde<>");
    buffer.v_Append("!?", 2);
    buffer.v_Append(&other, 0, 1);
    EXPECT_EQ(s_Content(buffer), ">abcdde<>!?<");
    // Inserting a buffer into itself copies the original bytes.
    CT_Buffer self("abc", 3, 32);
    self.v_Insert(&self, 0, ~0u, 1);
    EXPECT_EQ(s_Content(self), "aabcbc");
}

TEST(Buffer, AppendGrowsByGranulesThenByBands) {
    CT_Buffer buffer;
    std::vector<unsigned> maxima;
    for (int i = 0; i < 5000; ++i) {
        unsigned before = buffer.n_GetMaximumSize();
        buffer.v_Append(static_cast<unsigned char>('a' + i % 26));
        if (buffer.n_GetMaximumSize() != before) maxima.push_back(buffer.n_GetMaximumSize());
    }
    ASSERT_EQ(buffer.n_GetUsedSize(), 5000u);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(static_cast<char const*>(buffer.qcv_Get())[i], 'a' + i % 26);
    // 20, 52, 84, ... by whole granules while the request is below 1024
    // (up to 1044, for a request of 1013); a request of 1045 is enlarged
    // by 5/4 to 1306, rounded to 1344: maximum 1332; then 1333*5/4 = 1666
    // -> 1728 - 12; 1717*5/4 = 2146 -> 2176 - 12; 2165*7/5 = 3031 -> 3072.
    std::vector<unsigned> expected;
    for (unsigned m = 20; m <= 1044; m += 32) expected.push_back(m);
    for (unsigned m : {1332u, 1716u, 2164u, 3060u, 4276u, 6452u}) expected.push_back(m);
    ASSERT_GE(maxima.size(), expected.size());
    EXPECT_EQ(std::vector<unsigned>(maxima.begin(), maxima.begin() + expected.size()), expected);
}

TEST(Buffer, RemoveCutsOrCloses) {
    EXPECT_EQ(s_After("0123456789", [](CT_Buffer& b) { b.v_Remove(~0u, 3); }), "012");
    EXPECT_EQ(s_After("0123456789", [](CT_Buffer& b) { b.v_Remove(3, 2); }), "0156789");
    CT_Buffer none;
    none.v_Remove(1, 0);
    EXPECT_EQ(none.qcv_Get(), nullptr);
}

TEST(Buffer, IsEqualCutsTheCountAtTheUsedEnd) {
    CT_Buffer buffer("abcdefgh", 8, 32);
    EXPECT_TRUE(buffer.b_IsEqual("fghXY", 5, 5));  // only fgh compared
    EXPECT_FALSE(buffer.b_IsEqual("fgX", 3, 5));
    EXPECT_TRUE(buffer.b_IsEqual("zzz", 3, 8));  // nothing compared
    EXPECT_TRUE(buffer.b_IsEqual("abc", 0, 0));
    CT_Buffer other("xxcde", 5, 32);
    EXPECT_TRUE(buffer.b_IsEqual(&other, 2, ~0u, 2));
    EXPECT_FALSE(buffer.b_IsEqual(&other, 0, ~0u, 2));
}

TEST(Buffer, FindBytesAndPatterns) {
    CT_Buffer buffer("abracadabra", 11, 32);
    EXPECT_EQ(buffer.n_Find('a', 0), 0u);
    EXPECT_EQ(buffer.n_Find('a', 1), 3u);
    EXPECT_EQ(buffer.n_Find('z', 0), ~0u);
    EXPECT_EQ(buffer.n_Find('a', 11), ~0u);
    EXPECT_EQ(buffer.n_Find("abra", 4, 1), 7u);
    EXPECT_EQ(buffer.n_Find("bra", 3, 9), ~0u);  // would run past the used end
    EXPECT_EQ(buffer.n_Find("cad", 0, 0), 4u);   // count 0: the first byte alone
    EXPECT_EQ(buffer.n_Find("abracadabra!", 12, 0), ~0u);
    EXPECT_EQ(buffer.n_Find("ra", 2, 0), 2u);
}

TEST(Buffer, InPlaceMoveAndCopy) {
    // Moves to before, after and the end; copies with the source before,
    // after and across the insertion point.
    EXPECT_EQ(s_After("ABCDEFG", [](CT_Buffer& b) { b.v_AtInsertMove(0, 2, 5); }), "CDEABFG");
    EXPECT_EQ(s_After("ABCDEFG", [](CT_Buffer& b) { b.v_AtInsertMove(4, 2, 1); }), "AEFBCDG");
    EXPECT_EQ(s_After("ABCDEFG", [](CT_Buffer& b) { b.v_AtInsertMove(0, 3, 7); }), "DEFGABC");
    EXPECT_EQ(s_After("ABCDE", [](CT_Buffer& b) { b.v_AtInsertCopy(0, 2, 3); }), "ABCABDE");
    EXPECT_EQ(s_After("ABCDE", [](CT_Buffer& b) { b.v_AtInsertCopy(3, 2, 1); }), "ADEBCDE");
    EXPECT_EQ(s_After("ABCDE", [](CT_Buffer& b) { b.v_AtInsertCopy(1, 3, 2); }), "ABBCDCDE");
    // A block larger than the local holding area in a full buffer.
    std::string big(60, '.');
    for (int i = 0; i < 60; ++i) big[i] = static_cast<char>('0' + i % 40);
    CT_Buffer full(big.data(), 60, 1);
    ASSERT_EQ(full.n_GetMaximumSize(), 60u);
    full.v_AtInsertMove(0, 40, 60);
    EXPECT_EQ(s_Content(full), big.substr(40) + big.substr(0, 40));

    // No room: the result is built anew with growth 32.
    CT_Buffer tight("ABCDE", 5, 1);
    ASSERT_EQ(tight.n_GetMaximumSize(), 5u);
    tight.v_AtInsertCopy(0, 2, 3);
    EXPECT_EQ(s_Content(tight), "ABCABDE");
    EXPECT_EQ(tight.n_GetGrowth(), 32u);
    EXPECT_EQ(tight.n_GetMaximumSize(), 20u);

    // Moving between buffers: insert here, remove there.
    CT_Buffer to("xy", 2, 32);
    CT_Buffer from("12345", 5, 32);
    to.v_AtInsertMove(&from, 1, 3, 1);
    EXPECT_EQ(s_Content(to), "x234y");
    EXPECT_EQ(s_Content(from), "15");
}

}  // namespace
