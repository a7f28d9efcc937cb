#include "Foundation/Basis/Container/VoidSortedArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

typedef std::vector<std::int32_t> Ints;

// Items compared by their first four bytes only, so that equal items can
// still be told apart by a tag behind the key.
int i_CompareInts(void const* a, void const* b) {
    std::int32_t x, y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x < y ? -1 : x > y ? 1 : 0;
}

int i_CompareIntsDown(void const* a, void const* b) { return i_CompareInts(b, a); }

// Item i's four bytes at the given offset (0 the key, 4 the tag).
Ints ao_Field(CT_VoidArray const& array, unsigned offset = 0) {
    Ints values;
    std::vector<unsigned char> item(array.n_GetItemSize());
    for (unsigned i = 1; i <= array.n_GetCount(); ++i) {
        array.v_GetAt(item.data(), static_cast<int>(i));
        std::int32_t value;
        std::memcpy(&value, item.data() + offset, sizeof value);
        values.push_back(value);
    }
    return values;
}

CT_VoidSortedArray o_Sorted(Ints const& values) {
    CT_VoidSortedArray array(4, &i_CompareInts);
    for (std::int32_t value : values) array.v_Insert(&value);
    return array;
}

void v_Add(CT_VoidSortedArray* array, std::int32_t key, std::int32_t tag) {
    std::int32_t item[2] = {key, tag};
    array->v_Insert(item);
}

TEST(VoidSortedArray, InsertPlacesEqualItemsBeforeTheOneTheSearchMeets) {
    EXPECT_EQ(ao_Field(o_Sorted({5, 1, 3})), (Ints{1, 3, 5}));
    EXPECT_EQ(ao_Field(o_Sorted({1, 2, 3, 4, 5, 3})), (Ints{1, 2, 3, 3, 4, 5}));

    // The halving need not meet the first of the equal items.
    CT_VoidSortedArray keys(8, &i_CompareInts);
    v_Add(&keys, 1, 1);
    v_Add(&keys, 3, 2);
    v_Add(&keys, 3, 3);  // lo 1, hi 2: mid 1 is less, mid 2 is tag 2
    v_Add(&keys, 3, 4);  // lo 1, hi 3: mid 2 is tag 3
    EXPECT_EQ(ao_Field(keys, 4), (Ints{1, 4, 3, 2}));
    v_Add(&keys, 3, 5);  // mid 2 is tag 4
    v_Add(&keys, 3, 6);  // lo 1, hi 5: mid 3 is tag 4 again, now third
    EXPECT_EQ(ao_Field(keys, 4), (Ints{1, 5, 6, 4, 3, 2}));
    // Without an equal item the search ends where the key belongs.
    v_Add(&keys, 0, 7);
    v_Add(&keys, 9, 8);
    v_Add(&keys, 2, 9);
    EXPECT_EQ(ao_Field(keys, 4), (Ints{7, 1, 9, 5, 6, 4, 3, 2, 8}));
}

TEST(VoidSortedArray, FindHalvesTheRange) {
    CT_VoidSortedArray array = o_Sorted({10, 20, 30, 40, 50, 60, 70});
    for (std::int32_t i = 1; i <= 7; ++i) {
        std::int32_t key = i * 10;
        EXPECT_EQ(array.n_Find(&key), static_cast<unsigned>(i));
    }
    for (std::int32_t absent : {5, 15, 45, 65, 75}) EXPECT_EQ(array.n_Find(&absent), 0u) << absent;
    std::int32_t key = 3;
    EXPECT_EQ(CT_VoidSortedArray(4, &i_CompareInts).n_Find(&key), 0u);
    // Among equal items, the one the halving reaches first.
    EXPECT_EQ(o_Sorted({1, 3, 3, 3, 3}).n_Find(&key), 3u);
    EXPECT_EQ(o_Sorted({1, 3, 3, 3, 3, 3, 3, 3, 3}).n_Find(&key), 5u);
}

TEST(VoidSortedArray, BulkLoadSortsACopyAndLeavesTheSourceInItsOrder) {
    std::mt19937 random(12345);
    CT_VoidArray source(4);
    for (int i = 0; i < 2000; ++i) {
        std::int32_t value = static_cast<std::int32_t>(random() % 500);
        source.v_Insert(&value);
    }
    Ints before = ao_Field(source);
    CT_VoidSortedArray sorted(&source, &i_CompareInts);
    EXPECT_EQ(ao_Field(source), before);
    EXPECT_EQ(source.pcco_GetBuffer()->n_GetUseCount(), 1u);
    Ints expected = before;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ao_Field(sorted), expected);
    for (std::int32_t key = -1; key <= 500; ++key) {
        unsigned position = sorted.n_Find(&key);
        if (!std::binary_search(expected.begin(), expected.end(), key)) {
            ASSERT_EQ(position, 0u) << key;
            continue;
        }
        ASSERT_NE(position, 0u) << key;
        ASSERT_EQ(expected[position - 1], key);
    }

    // The partition's hard cases; v_Set from a plain array sorts with the
    // receiver's own callback.
    for (Ints const& values : {Ints{1, 2, 3, 4, 5, 6, 7, 8, 9}, Ints{9, 8, 7, 6, 5, 4, 3, 2, 1}, Ints{4, 4, 4, 4},
                               Ints{2, 1}, Ints{1}, Ints{}}) {
        CT_VoidArray plain(4);
        for (std::int32_t value : values) plain.v_Insert(&value);
        Ints up = values, down = values;
        std::sort(up.begin(), up.end());
        std::sort(down.rbegin(), down.rend());
        EXPECT_EQ(ao_Field(CT_VoidSortedArray(&plain, &i_CompareInts)), up);
        CT_VoidSortedArray reversed(4, &i_CompareIntsDown, 2, 10);
        reversed = plain;
        EXPECT_EQ(ao_Field(reversed), down);
        EXPECT_EQ(reversed.pf_GetCompare(), &i_CompareIntsDown);
        EXPECT_EQ(reversed.n_GetGrowth(), 8u);
    }

    // Long runs of equal keys: every item ends up in order with its own tag.
    CT_VoidArray runs(8);
    std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
    for (std::int32_t tag = 0; tag < 3000; ++tag) {
        std::int32_t item[2] = {static_cast<std::int32_t>(random() % 3) - (tag % 7 == 0 ? 0 : 1), tag};
        runs.v_Insert(item);
        pairs.emplace_back(item[0], item[1]);
    }
    CT_VoidSortedArray sortedRuns(&runs, &i_CompareInts);
    Ints keys = ao_Field(sortedRuns), tags = ao_Field(sortedRuns, 4);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    std::vector<std::pair<std::int32_t, std::int32_t>> after;
    for (std::size_t i = 0; i < keys.size(); ++i) after.emplace_back(keys[i], tags[i]);
    std::sort(pairs.begin(), pairs.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, pairs);
}

// The sort's exchanges decide where equal keys land. (2,a)(1,b)(2,c)(1,d):
// on 1..4 the middle item 2 (1,b) goes to the front as the pivot; nothing
// orders before it, so last stays 1 and only 2..4 is left. On 2..4 the
// middle item 3 (2,c) is exchanged with item 2, giving b c a d; (2,a) is
// not before it, (1,d) is, so last becomes 3 and d and a change places:
// b c d a; the pivot goes to 3: b d c a. Both parts have one item.
TEST(VoidSortedArray, BulkLoadPlacesEqualKeysByTheExchanges) {
    CT_VoidArray plain(8);
    std::int32_t const items[4][2] = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}};
    for (auto const& item : items) plain.v_Insert(item);
    CT_VoidSortedArray sorted(&plain, &i_CompareInts);
    EXPECT_EQ(ao_Field(sorted, 4), (Ints{'b', 'd', 'c', 'a'}));
    EXPECT_EQ(ao_Field(plain, 4), (Ints{'a', 'b', 'c', 'd'}));

    // (2,0)(1,1)(2,2)(1,3)(1,4): on 1..5 the pivot (2,2) comes to the
    // front; (1,1), (1,3), (1,4) gather at 2..4 (giving 2 1 3 4 0) and the
    // pivot goes to 4: 4 1 3 2 0. The left part 1..3 is the larger: its
    // pivot (1,1) comes to the front (1 4 3), nothing orders before it,
    // and 2..3 keeps 4 3. Through the constructor and through v_Set alike.
    CT_VoidArray five(8);
    std::int32_t const fiveItems[5][2] = {{2, 0}, {1, 1}, {2, 2}, {1, 3}, {1, 4}};
    for (auto const& item : fiveItems) five.v_Insert(item);
    EXPECT_EQ(ao_Field(CT_VoidSortedArray(&five, &i_CompareInts), 4), (Ints{1, 4, 3, 2, 0}));
    CT_VoidSortedArray viaSet(8, &i_CompareInts, 8, 0);
    viaSet = five;
    EXPECT_EQ(ao_Field(viaSet, 4), (Ints{1, 4, 3, 2, 0}));
}

TEST(VoidSortedArray, SetAtAndRemoveKeepTheOrder) {
    CT_VoidSortedArray array = o_Sorted({1, 2, 3, 4, 5});
    std::int32_t value = 10;
    array.v_SetAt(&value, 2);  // a larger value moves to its sorted place
    EXPECT_EQ(ao_Field(array), (Ints{1, 3, 4, 5, 10}));
    // An item read from the array's own storage is held across the removal.
    array.v_SetAt(array.pcco_GetBuffer()->qcv_Get(), 4);
    EXPECT_EQ(ao_Field(array), (Ints{1, 1, 3, 4, 10}));
    std::int32_t out = -1;
    array.v_RemoveAt(&out, 4);
    EXPECT_EQ(out, 4);
    array.v_RemoveAt(1);
    array.v_Remove(2, 2);  // removing ranges keeps the order and stays open
    EXPECT_EQ(ao_Field(array), (Ints{1, 10}));
}

TEST(VoidSortedArray, CopiesShareAndEqualityGoesByTheCallback) {
    CT_VoidSortedArray array(8, &i_CompareInts);
    v_Add(&array, 2, 1);
    v_Add(&array, 1, 2);
    CT_VoidSortedArray copy(&array);
    EXPECT_EQ(array.pcco_GetBuffer()->n_GetUseCount(), 2u);
    v_Add(&copy, 0, 3);
    EXPECT_EQ(array.n_GetCount(), 2u);
    EXPECT_EQ(array.pcco_GetBuffer()->n_GetUseCount(), 1u);

    // Equal under the callback is equal, whatever else the bytes hold.
    CT_VoidSortedArray other(8, &i_CompareInts);
    v_Add(&other, 1, 20);
    v_Add(&other, 2, 10);
    EXPECT_TRUE(array.b_IsEqual(&other));
    EXPECT_FALSE(array.b_IsEqual(other.pcco_GetArray()));  // byte for byte they differ
    // A different callback is never equal, even over the same items.
    CT_VoidSortedArray ints = o_Sorted({7}), down(4, &i_CompareIntsDown);
    down.v_Insert(ints.pcco_GetBuffer()->qcv_Get());
    EXPECT_FALSE(ints.b_IsEqual(&down));
    EXPECT_TRUE(ints.b_IsEqual(down.pcco_GetArray()));

    // Taking a sorted array shares its storage and keeps the own callback.
    CT_VoidSortedArray two = o_Sorted({1, 2});
    down.v_Set(&two);
    EXPECT_EQ(down.pf_GetCompare(), &i_CompareIntsDown);
    EXPECT_EQ(two.pcco_GetBuffer()->n_GetUseCount(), 2u);
    CT_VoidSortedArray& alias = down;
    down = alias;
    EXPECT_EQ(down.n_GetCount(), 2u);

    CT_MemPool* pool = CT_VoidSortedArray::spso_GetMemPool();
    EXPECT_NE(pool, CT_VoidArray::spso_GetMemPool());
    std::int32_t before = pool->i4_GetBlocksInUse();
    CT_VoidSortedArray* pooled = new CT_VoidSortedArray(4, &i_CompareInts, 4, 4);
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before + 1);
    delete pooled;
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before);
}

}  // namespace
