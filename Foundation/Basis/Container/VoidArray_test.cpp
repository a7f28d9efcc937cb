#include "Foundation/Basis/Container/VoidArray.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Arrays of one-byte items, read as text so contents compare at a glance.
CT_VoidArray o_Letters(char const* text) {
    CT_VoidArray array(1);
    for (char const* p = text; *p; ++p) array.v_Insert(p);
    return array;
}

std::string s_Letters(CT_VoidArray const& array) {
    return std::string(static_cast<char const*>(array.pcco_GetBuffer()->qcv_Get()), array.n_GetCount());
}

std::int32_t i4_At(CT_VoidArray const& array, int position) {
    std::int32_t value = 0;
    array.v_GetAt(&value, position);
    return value;
}

TEST(VoidArray, GrowsByItsGrowthRoundedByTheBuffer) {
    CT_VoidArray array(4);
    EXPECT_EQ(array.n_GetCount() + array.n_GetMaxItems(), 0u);
    EXPECT_EQ(array.n_GetGrowth(), 8u);
    // The first append asks for 8 items; the buffer (growth 32 bytes)
    // rounds 32 + 12 up to 64, so the capacity becomes 13.
    std::int32_t value = 0;
    array.v_Insert(&value);
    EXPECT_EQ(array.n_GetMaxItems(), 13u);
    for (value = 1; value < 14; ++value) array.v_Insert(&value);
    EXPECT_EQ(array.n_GetMaxItems(), 21u);  // the 14th asks for 21: 84 + 12 = 96
    // Past 1024 bytes the buffer enlarges on its own; nothing is lost.
    for (; value < 1000; ++value) array.v_Insert(&value);
    EXPECT_EQ(i4_At(array, 1000), 999);
    EXPECT_EQ(i4_At(array, 14), 13);

    EXPECT_EQ(CT_VoidArray(4, 10, 10).n_GetMaxItems(), 17u);  // 40 + 12 -> 80 (growth 40 bytes)
    EXPECT_EQ(CT_VoidArray(4, 8, 0).n_GetMaxItems(), 0u);
    // n copies grow to exactly the room needed, rounded by the buffer.
    CT_VoidArray copies(4);
    copies.v_Insert(&value, 30);
    EXPECT_EQ(copies.n_GetMaxItems(), 37u);  // 120 + 12 -> 160
    EXPECT_EQ(i4_At(copies, 30), 1000);

    CT_MemPool* pool = CT_VoidArray::spso_GetMemPool();
    std::int32_t before = pool->i4_GetBlocksInUse();
    CT_VoidArray* pooled = new CT_VoidArray(4);
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before + 1);
    delete pooled;
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before);
}

TEST(VoidArray, SetAtReplacesInsertAtInsertsFindTakesTheFirst) {
    CT_VoidArray array = o_Letters("ABC");
    char c = 'X';
    array.v_SetAt(&c, 2);
    EXPECT_EQ(s_Letters(array), "AXC");
    c = 'Y';
    array.v_InsertAt(&c, 2);
    array.v_InsertAt(&c, array.n_GetCount() + 1);  // count + 1 appends
    EXPECT_EQ(s_Letters(array), "AYXCY");
    EXPECT_EQ(array.n_Find(&c), 2u);
    c = 'Z';
    EXPECT_EQ(array.n_Find(&c), 0u);

    // Pointer items: the buffer's bytes are only 4-byte aligned, so every
    // second item is misaligned for a typed read.
    CT_VoidArray pointers(sizeof(void*));
    int targets[9];
    for (int& target : targets) {
        void* pointer = &target;
        pointers.v_InsertAt(&pointer, 1);
    }
    for (int i = 1; i <= 9; ++i) {
        void* pointer = nullptr;
        pointers.v_GetAt(&pointer, i);
        EXPECT_EQ(pointer, &targets[9 - i]);
    }
    void* last = &targets[0];
    EXPECT_EQ(pointers.n_Find(&last), 9u);

    // Equality: count, item size and the used bytes, not the spare room.
    CT_VoidArray same = o_Letters("AYXCY");
    same.v_SetSize(100);
    EXPECT_TRUE(array.b_IsEqual(&same));
    same.v_RemoveAt(5);
    EXPECT_FALSE(array.b_IsEqual(&same));
    CT_VoidArray empty2(2);
    EXPECT_FALSE(CT_VoidArray(4).b_IsEqual(&empty2));  // item sizes differ
}

TEST(VoidArray, CopiesShareUntilTheFirstChange) {
    CT_VoidArray original = o_Letters("ABCD");
    CT_VoidArray copy(&original);
    EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 2u);
    EXPECT_EQ(copy.pcco_GetBuffer()->qcv_Get(), original.pcco_GetBuffer()->qcv_Get());
    // Every changing operation unshares first.
    void (*changes[])(CT_VoidArray*) = {
        [](CT_VoidArray* a) { a->v_SetAt("x", 1); },
        [](CT_VoidArray* a) { a->v_Insert("x"); },
        [](CT_VoidArray* a) { a->v_Insert("x", 2); },
        [](CT_VoidArray* a) { a->v_InsertAt("x", 1); },
        [](CT_VoidArray* a) { a->v_Remove(1, 2); },
        [](CT_VoidArray* a) { a->v_AtInsertMove(1, 1, 4); },
        [](CT_VoidArray* a) { a->v_AtInsertCopy(1, 2, 3); },
        [](CT_VoidArray* a) { a->v_SetGrowth(1), a->v_SetSize(2); },
        [](CT_VoidArray* a) { a->v_Set(8, 1, 1); },
    };
    for (auto change : changes) {
        CT_VoidArray sharer = original;
        change(&sharer);
        EXPECT_FALSE(sharer.b_IsEqual(&original));
        EXPECT_EQ(s_Letters(original), "ABCD");
        EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 2u);  // only the copy above
    }
    // Sharing a buffer keeps the given item size.
    CT_VoidArray pairs(original.pcco_GetBuffer(), 2);
    EXPECT_EQ(pairs.n_GetCount(), 2u);
    EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 3u);
    pairs = original;
    EXPECT_EQ(pairs.n_GetItemSize(), 2u);
    CT_VoidArray& alias = pairs;
    pairs = alias;
    EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 3u);
}

TEST(VoidArray, SizingAndReuse) {
    CT_VoidArray array = o_Letters("ABCDEFGHIJ");
    array.v_SetSize(4);  // 4 + 12 -> 16: the count is cut to the capacity
    EXPECT_EQ(s_Letters(array), "ABCD");
    // A cut inside a wider item drops that item.
    CT_VoidArray wide(8, 1, 5);
    std::uint64_t value = 1;
    wide.v_Insert(&value, 5);
    wide.v_SetSize(2);  // 16 + 12 -> 32 (growth 8 bytes): 20 bytes
    EXPECT_EQ(wide.n_GetCount(), 2u);
    EXPECT_EQ(wide.pcco_GetBuffer()->n_GetUsedSize(), 16u);

    // Reuse keeps large enough storage; otherwise new storage.
    CT_VoidArray reused(4, 8, 20);
    reused.v_Insert(&value, 5);
    void const* storage = reused.pcco_GetBuffer()->qcv_Get();
    reused.v_Set(4, 10, 1);
    EXPECT_EQ(reused.n_GetCount(), 0u);
    EXPECT_EQ(reused.n_GetGrowth(), 4u);
    EXPECT_EQ(reused.pcco_GetBuffer()->qcv_Get(), storage);
    reused.v_Set(8, 100, 1);
    EXPECT_GE(reused.n_GetMaxItems(), 100u);
    reused.v_Set(8, 2, 0);
    EXPECT_EQ(reused.n_GetMaxItems(), 5u);  // 8 + 12 -> 32 (growth 32 bytes)
}

TEST(VoidArray, RangesMovesAndRemovals) {
    CT_VoidArray source = o_Letters("abcde");
    CT_VoidArray array = o_Letters("XY");
    array.v_Insert(&source, 2, 2, 2);
    array.v_Insert(&source, 4, ~0u, 1);  // ~0: to the other's last item
    array.v_Append(&source, 6, ~0u);     // nothing from past the end
    EXPECT_EQ(s_Letters(array), "deXbcY");
    CT_VoidArray target = o_Letters("1234");
    target.v_Replace(&source, 1, 2, 2);
    EXPECT_EQ(s_Letters(target), "1ab4");
    target.v_Replace(&source, 3, ~0u, 4);  // runs past the end: extends
    EXPECT_EQ(s_Letters(target), "1abcde");
    CT_VoidArray sharer(&target);
    target.v_Insert(&sharer, 5, ~0u, 1);
    EXPECT_EQ(s_Letters(target), "de1abcde");
    // Another item size: five bytes are two whole two-byte items.
    CT_VoidArray pairs(2);
    pairs.v_Append(&source, 2, ~0u);
    EXPECT_EQ(pairs.n_GetCount(), 1u);
    EXPECT_EQ(std::string(static_cast<char const*>(pairs.pcco_GetBuffer()->qcv_Get()), 2), "cd");

    array = o_Letters("ABCD");
    array.v_Remove(2, 3);
    EXPECT_EQ(s_Letters(array), "AD");
    array = o_Letters("ABCDE");
    array.v_Remove(2, ~0u);  // a last past the count runs to the end
    EXPECT_EQ(s_Letters(array), "A");

    CT_VoidArray moved = o_Letters("ABCDEFG");
    CT_VoidArray keeper(&moved);
    moved.v_AtInsertMove(1, 2, 1);
    moved.v_AtInsertMove(1, 2, 3);
    EXPECT_EQ(moved.pcco_GetBuffer()->n_GetUseCount(), 2u);  // nothing to do, nothing copied
    moved.v_AtInsertMove(1, 2, 5);
    EXPECT_EQ(s_Letters(moved), "CDABEFG");
    moved.v_AtInsertMove(5, 2, 2);
    EXPECT_EQ(s_Letters(moved), "CEFDABG");
    moved.v_AtInsertCopy(1, 2, 8);
    EXPECT_EQ(s_Letters(moved), "CEFDABGCE");
    EXPECT_EQ(s_Letters(keeper), "ABCDEFG");

    CT_VoidArray from = o_Letters("abcd");
    CT_VoidArray to = o_Letters("XY");
    to.v_AtInsertMove(&from, 2, 2, 2);
    EXPECT_EQ(s_Letters(to) + "|" + s_Letters(from), "XbcY|ad");
    to.v_AtInsertCopy(&from, 1, ~0u, 5);
    to.v_AtInsertMove(&from, 1, ~0u, 1);
    EXPECT_EQ(s_Letters(to) + "|" + s_Letters(from), "adXbcYad|");
    to.v_AtInsertMove(&to, 1, 2, 9);  // itself as the other: a move within
    EXPECT_EQ(s_Letters(to), "XbcYadad");
}

TEST(VoidArray, ItemsReadFromTheOwnStorageSurviveGrowth) {
    unsigned char item[16];
    for (int i = 0; i < 16; ++i) item[i] = static_cast<unsigned char>(i);
    CT_VoidArray array(16, 1, 1);
    array.v_Insert(item);
    for (int round = 0; round < 6; ++round) {
        ASSERT_EQ(array.n_GetCount(), array.n_GetMaxItems());  // the next insert grows
        void const* own = array.pcco_GetBuffer()->qcv_Get();
        if (round % 2) array.v_Insert(own);
        else array.v_InsertAt(own, 1);
    }
    array.v_Insert(static_cast<unsigned char const*>(array.pcco_GetBuffer()->qcv_Get()) + 16, 3);
    ASSERT_EQ(array.n_GetCount(), 10u);
    for (int i = 1; i <= 10; ++i) {
        unsigned char out[16];
        array.v_GetAt(out, i);
        EXPECT_EQ(0, std::memcmp(out, item, 16)) << i;
    }
}

}  // namespace
