#include "Foundation/Basis/Container/HashTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>

#include "Foundation/Basis/Character/Compare.h"
#include "Foundation/Basis/Character/HashFunction.h"

namespace {

typedef CT_HashTable<std::uint32_t, double> tco_Numbers;
typedef CT_HashIterator<std::uint32_t, double> tco_NumberIterator;

tco_Numbers co_Numbers() { return tco_Numbers(&CT_HashFunction::sn_HashPN4, &CT_Compare::si_ComparePN, 13); }

// An iterator of another kind over the same data type.
class CT_OtherIterator : public CT_Iterator<double> {
public:
    CT_Iterator<double>* vpco_Copy() const override { return new CT_OtherIterator; }
    void vv_Set(CT_Iterator<double> const*) override {}
    void vv_Set() override {}
    int vb_Next() override { return 0; }
    int vb_IsValid() const override { return 0; }
    int vb_AtEnd() const override { return 1; }
    double vpco_Get() const override { return 0; }
    double vpco_Remove() override { return 0; }
    unsigned vn_GetCount() const override { return 0; }
};

TEST(HashTable, TypedTableTakesItsSizesFromItsTypes) {
    tco_Numbers table = co_Numbers();
    EXPECT_EQ(table.n_GetKeySize(), 4u);
    EXPECT_EQ(table.n_GetDataSize(), sizeof(double));
    for (std::uint32_t key = 0; key < 100; ++key) EXPECT_EQ(table.b_Insert(key, key / 4.0), 0);
    EXPECT_NE(table.b_Insert(10u, -1.5), 0);
    double value = 0;
    EXPECT_TRUE(table.b_Get(10u, &value));
    EXPECT_EQ(value, -1.5);
    EXPECT_TRUE(table.b_Get(99u, &value));
    EXPECT_EQ(value, 24.75);
    EXPECT_FALSE(table.b_Get(100u, &value));
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(table.b_Remove(99u, &value));
    EXPECT_EQ(table.n_GetCount(), 99u);
    // The untyped forms stay reachable.
    std::uint32_t key = 3;
    EXPECT_TRUE(table.b_Get(&key, &value));
    EXPECT_EQ(value, 0.75);

    // Copies are independent, and destroy through the base pointer.
    std::unique_ptr<tco_Numbers> copy(new tco_Numbers(&table));
    copy->b_Insert(3u, 9.0);
    EXPECT_TRUE(table.b_Get(3u, &value));
    EXPECT_EQ(value, 0.75);
    tco_Numbers assigned = co_Numbers();
    assigned = *copy;
    EXPECT_TRUE(assigned.b_Get(3u, &value));
    EXPECT_EQ(value, 9.0);
}

TEST(HashTable, TypedIteratorWalksRemovesAndCompares) {
    tco_Numbers table = co_Numbers();
    for (std::uint32_t key = 1; key <= 30; ++key) table.b_Insert(key, key * 2.0);
    tco_NumberIterator it(&table);
    CT_Iterator<double>& base = it;
    EXPECT_FALSE(base.vb_IsValid());
    EXPECT_FALSE(base.vb_AtEnd());
    EXPECT_EQ(base.vn_GetCount(), 30u);

    std::set<std::uint32_t> seen;
    while (base.vb_Next()) {
        EXPECT_TRUE(base.vb_IsValid());
        std::uint32_t key;
        it.v_GetKey(&key);
        EXPECT_EQ(base.vpco_Get(), key * 2.0);
        EXPECT_TRUE(seen.insert(key).second);
    }
    EXPECT_EQ(seen.size(), 30u);
    EXPECT_TRUE(base.vb_AtEnd());
    EXPECT_FALSE(base.vb_IsValid());

    // Back to the start; a copy stands where the original stands.
    base.vv_Set();
    base.vb_Next();
    base.vb_Next();
    std::unique_ptr<CT_Iterator<double>> copy(base.vpco_Copy());
    EXPECT_TRUE(copy->vb_IsEqual(&base));
    EXPECT_EQ(copy->vpco_Get(), base.vpco_Get());
    copy->vb_Next();
    EXPECT_FALSE(copy->vb_IsEqual(&base));
    copy->vv_Set(&base);
    EXPECT_TRUE(copy->vb_IsEqual(&base));

    // Another kind of iterator is never equal; the base answers true.
    CT_OtherIterator other;
    EXPECT_FALSE(base.vb_IsEqual(&other));
    EXPECT_TRUE(other.vb_IsEqual(&base));
    base.vv_Set(&other);  // nothing to take over
    EXPECT_TRUE(copy->vb_IsEqual(&base));

    // Removing everything through the interface.
    base.vv_Set();
    base.vb_Next();
    double sum = 0;
    while (!base.vb_AtEnd()) sum += base.vpco_Remove();
    EXPECT_EQ(sum, 930.0);  // 2 * (1 + ... + 30)
    EXPECT_EQ(table.n_GetCount(), 0u);
    EXPECT_EQ(base.vn_GetCount(), 0u);
}

TEST(HashTable, TextKeysWithTheCaseSensitiveCallbacks) {
    CT_HashTable<char const*, int> table(&CT_HashFunction::sn_HashCasePQCZ, &CT_Compare::si_CompareCasePQCZ, 5);
    char const* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta", "Alpha"};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(table.b_Insert(words[i], i), 0);
    EXPECT_EQ(table.n_GetCount(), 9u);
    int value = -1;
    char const probe[] = "theta";  // another pointer, the same text
    EXPECT_TRUE(table.b_Get(probe, &value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(table.b_Get("Alpha", &value));
    EXPECT_EQ(value, 8);
    EXPECT_FALSE(table.b_Get("ALPHA", &value));
}

}  // namespace
