#include "Foundation/Basis/Container/VoidHashTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "Foundation/Basis/Character/CaseLocaleTesting.h"
#include "Foundation/Basis/Character/Compare.h"
#include "Foundation/Basis/Character/HashFunction.h"

namespace {

typedef std::uint32_t u4;

CT_VoidHashTable co_IntTable(unsigned tableSize) {
    return CT_VoidHashTable(sizeof(u4), sizeof(u4), &CT_VoidHashTable::sn_HashInteger,
                            &CT_VoidHashTable::si_CompareInteger, tableSize);
}

u4 n4_Get(CT_VoidHashTable const& table, u4 key) {
    u4 data = 0xDEADBEEF;
    EXPECT_TRUE(table.b_Get(&key, &data)) << key;
    return data;
}

// Every key of the table in iteration order, with a check that the
// iterator's own count agrees.
std::vector<u4> an4_Keys(CT_VoidHashTable const& table) {
    std::vector<u4> keys;
    CT_VoidHashIterator it(&table);
    EXPECT_TRUE(it.b_AtHome());
    while (it.b_Next()) {
        u4 key;
        it.v_GetKey(&key);
        keys.push_back(key);
    }
    EXPECT_TRUE(it.b_AtEnd());
    EXPECT_FALSE(it.b_Next());  // and stays at the end
    EXPECT_EQ(it.n_GetCount(), table.n_GetCount());
    return keys;
}

TEST(VoidHashTable, CollisionsAboveAQuarterGrowToTheNextPrimeAboveTwice) {
    CT_VoidHashTable table = co_IntTable(13);
    EXPECT_EQ(table.n_GetTableSize(), 13u);
    EXPECT_EQ(table.n_GetKeySize(), 4u);
    EXPECT_EQ(table.n_GetDataSize(), 4u);
    for (u4 key : {1u, 14u, 27u, 40u}) {
        u4 data = key * 10;
        EXPECT_EQ(table.b_Insert(&key, &data), 0);
    }
    // All four in bucket 2: three collisions, not above 13 / 4 = 3.
    EXPECT_EQ(table.n_GetCollisions(), 3u);
    EXPECT_EQ(table.n_GetTableSize(), 13u);
    for (unsigned b = 1; b <= 13; ++b) EXPECT_EQ(table.pso_GetAt(b) != nullptr, b == 2) << b;
    // The newest first: 40 27 14 1.
    std::vector<u4> chain;
    for (auto const* item = table.pso_GetAt(2); item; item = item->pcso_GetFollowing()) {
        u4 key;
        std::memcpy(&key, item->pcv_GetKey(), 4);
        chain.push_back(key);
        u4 data;
        std::memcpy(&data, item->pcv_GetData(), 4);
        EXPECT_EQ(data, key * 10);
    }
    EXPECT_EQ(chain, (std::vector<u4>{40, 27, 14, 1}));
    auto const* first = table.pso_GetAt(2);

    u4 key = 53, data = 530;
    EXPECT_EQ(table.b_Insert(&key, &data), 0);
    // Four collisions: 29 buckets, where 1 14 27 40 53 all part (mod 29:
    // 1 14 27 11 24), so the collisions are counted anew as 0.
    EXPECT_EQ(table.n_GetTableSize(), 29u);
    EXPECT_EQ(table.n_GetCollisions(), 0u);
    EXPECT_EQ(table.n_GetCount(), 5u);
    // Items are relinked, not copied.
    EXPECT_EQ(table.pso_GetAt(12), first);  // 40 mod 29 = 11
    for (u4 k : {1u, 14u, 27u, 40u, 53u}) EXPECT_EQ(n4_Get(table, k), k * 10);

    // Nine more keys in bucket 3 make 8 collisions, above 29 / 4 = 7: the
    // next growth, 29 -> 59 (the next prime above 58).
    for (u4 k = 0; k < 9; ++k) {
        u4 same = 2 + 29 * k;  // all into bucket 3
        table.b_Insert(&same, &same);
    }
    EXPECT_EQ(table.n_GetTableSize(), 59u);
}

// Every bucket's chain, as item addresses from the head.
typedef std::vector<std::vector<CT_VoidHashTable::st_HashItem const*>> Chains;
Chains ao_Chains(CT_VoidHashTable const& table) {
    Chains chains(table.n_GetTableSize());
    for (unsigned b = 1; b <= table.n_GetTableSize(); ++b)
        for (auto const* item = table.pso_GetAt(b); item; item = item->pcso_GetFollowing()) chains[b - 1].push_back(item);
    return chains;
}

TEST(VoidHashTable, GrowthMovesItemsInBucketOrderToTheHeadsOfTheirNewBuckets) {
    // Integer keys and narrow text keys: the chains after a resize are
    // those of moving every item, bucket by bucket and each chain from its
    // head, to the front of its new bucket. Enough items for a resize of a
    // large table to move them from a list.
    std::vector<std::string> texts;
    for (unsigned i = 0; i < 9000; ++i) texts.push_back("key" + std::to_string(i * 7919u % 100003u));
    for (bool text : {false, true}) {
        CT_VoidHashTable table = text ? CT_VoidHashTable(sizeof(u4), sizeof(char const*), &CT_HashFunction::sn_HashCasePQCZ,
                                                         &CT_Compare::si_CompareCasePQCZ, 13)
                                      : co_IntTable(13);
        for (u4 i = 0; i < texts.size(); ++i) {
            char const* name = texts[i].c_str();
            u4 key = i * 37u;
            table.b_Insert(text ? static_cast<void const*>(&name) : &key, &i);
        }
        // Asked sizes that the collisions keep or double.
        for (unsigned asked : {101u, 1009u, 53u, 0u}) {
            Chains before = ao_Chains(table);
            table.v_Resize(asked);
            unsigned size = table.n_GetTableSize();
            Chains expected(size);
            for (auto const& chain : before)
                for (auto const* item : chain) {
                    unsigned b = table.pf_GetHash()(item->pcv_GetKey(), size);
                    expected[b - 1].insert(expected[b - 1].begin(), item);
                }
            EXPECT_EQ(ao_Chains(table), expected) << asked << (text ? " text" : " integer");
        }
        EXPECT_EQ(table.n_GetCount(), texts.size());
    }
}

TEST(VoidHashTable, ExplicitResizeKeepsItsSizeUnlessCollisionsReachAQuarter) {
    CT_VoidHashTable table = co_IntTable(13);
    for (u4 key = 0; key < 10; ++key) table.b_Insert(&key, &key);
    EXPECT_EQ(table.n_GetCollisions(), 0u);
    // 100 is not prime, and 0 collisions are below 25: it stays 100.
    table.v_Resize(100);
    EXPECT_EQ(table.n_GetTableSize(), 100u);
    // 3 buckets: 0 >= 3 / 4 = 0, so the next prime above 6 = 7.
    table.v_Resize(3);
    EXPECT_EQ(table.n_GetTableSize(), 7u);
    EXPECT_EQ(table.n_GetCollisions(), 3u);  // 10 keys in 7 buckets
    // Present size (0): 3 collisions >= 7 / 4 = 1, so next prime above 14.
    table.v_Resize(0);
    EXPECT_EQ(table.n_GetTableSize(), 17u);
    for (u4 key = 0; key < 10; ++key) EXPECT_EQ(n4_Get(table, key), key);
    // The rule of the next prime: 4 -> 5; 1 and 0 stay as they are.
    table.v_Resize(2);  // 0 collisions >= 0: next prime above 4 = 5
    EXPECT_EQ(table.n_GetTableSize(), 5u);
    CT_VoidHashTable one = co_IntTable(1);
    u4 key = 7;
    one.b_Insert(&key, &key);
    EXPECT_EQ(one.n_GetTableSize(), 1u);
    EXPECT_EQ(n4_Get(one, 7), 7u);
}

TEST(VoidHashTable, InsertGetAndRemove) {
    CT_VoidHashTable table = co_IntTable(13);
    u4 key = 5, data = 50;
    EXPECT_EQ(table.b_Insert(&key, &data), 0);
    data = 51;
    EXPECT_NE(table.b_Insert(&key, &data), 0);  // present: datum replaced
    EXPECT_EQ(table.n_GetCount(), 1u);
    EXPECT_EQ(n4_Get(table, 5), 51u);

    u4 absent = 6, out = 0xFFFFFFFF;
    EXPECT_EQ(table.b_Get(&absent, &out), 0);
    EXPECT_EQ(out, 0u);  // zero-filled
    EXPECT_EQ(table.b_Get(&absent, nullptr), 0);
    EXPECT_NE(table.b_Get(&key, nullptr), 0);
    out = 0xFFFFFFFF;
    EXPECT_EQ(table.b_Remove(&absent, &out), 0);
    EXPECT_EQ(out, 0u);
    EXPECT_NE(table.b_Remove(&key, &out), 0);
    EXPECT_EQ(out, 51u);
    EXPECT_EQ(table.n_GetCount(), 0u);
    EXPECT_EQ(table.b_Get(&key, &out), 0);
    EXPECT_EQ(table.b_Insert(&key, &data), 0);  // new again
    EXPECT_EQ(table.n_GetCount(), 1u);

    // Keys and data of other sizes: 12-byte keys, 1-byte data.
    struct st_Key {
        u4 a, b, c;
    };
    auto hash = [](void const* k, unsigned n) -> unsigned {
        st_Key key;
        std::memcpy(&key, k, sizeof key);
        return (key.a ^ key.b ^ key.c) % n + 1;
    };
    auto compare = [](void const* x, void const* y) -> int { return std::memcmp(x, y, sizeof(st_Key)); };
    CT_VoidHashTable wide(1, sizeof(st_Key), hash, compare, 5);
    for (u4 i = 0; i < 50; ++i) {
        st_Key k = {i, i * 3, 7};
        unsigned char d = static_cast<unsigned char>(i + 100);
        EXPECT_EQ(wide.b_Insert(&k, &d), 0);
    }
    for (u4 i = 0; i < 50; ++i) {
        st_Key k = {i, i * 3, 7};
        unsigned char d = 0;
        EXPECT_TRUE(wide.b_Get(&k, &d));
        EXPECT_EQ(d, i + 100);
    }
    st_Key missing = {1, 3, 8};
    EXPECT_FALSE(wide.b_Get(&missing, nullptr));
}

TEST(VoidHashTable, RemovingAHeadKeepsTheCollisionCountRemovingTheSecondLowersIt) {
    CT_VoidHashTable table = co_IntTable(13);
    u4 a = 1, b = 14;
    table.b_Insert(&a, &a);
    table.b_Insert(&b, &b);  // bucket 2: 14 then 1
    EXPECT_EQ(table.n_GetCollisions(), 1u);
    EXPECT_TRUE(table.b_Remove(&b, nullptr));  // the head
    EXPECT_EQ(table.n_GetCollisions(), 1u);
    table.b_Insert(&b, &b);
    EXPECT_EQ(table.n_GetCollisions(), 2u);
    EXPECT_TRUE(table.b_Remove(&a, nullptr));  // second in the chain
    EXPECT_EQ(table.n_GetCollisions(), 1u);
    EXPECT_EQ(table.n_GetCount(), 1u);

    // v_RemoveAt with the item in hand, head and inner alike.
    u4 c = 27;
    table.b_Insert(&c, &c);  // bucket 2: 27 14
    auto* head = table.pso_GetAt(2);
    auto* second = head->pso_Following;
    table.v_RemoveAt(2, second);
    EXPECT_EQ(table.pso_GetAt(2), head);
    EXPECT_EQ(head->pso_Following, nullptr);
    table.v_RemoveAt(2, head);
    EXPECT_EQ(table.pso_GetAt(2), nullptr);
    EXPECT_EQ(table.n_GetCount(), 0u);
}

TEST(VoidHashTable, IterationVisitsBucketsInOrderNewestFirst) {
    CT_VoidHashTable table = co_IntTable(13);
    for (u4 key : {3u, 1u, 14u, 13u}) table.b_Insert(&key, &key);
    // Bucket 1: 13; bucket 2: 14 then 1; bucket 4: 3.
    EXPECT_EQ(an4_Keys(table), (std::vector<u4>{13, 14, 1, 3}));

    CT_VoidHashTable empty = co_IntTable(13);
    CT_VoidHashIterator it(&empty);
    EXPECT_FALSE(it.b_AtEnd());
    EXPECT_FALSE(it.b_Next());
    EXPECT_TRUE(it.b_AtEnd());
    EXPECT_FALSE(it.b_AtHome());

    // Copies of an iterator, and equality.
    CT_VoidHashIterator a(&table), b(&table);
    EXPECT_TRUE(a.b_IsEqual(&b));
    a.b_Next();
    EXPECT_FALSE(a.b_IsEqual(&b));
    b.b_Next();
    EXPECT_TRUE(a.b_IsEqual(&b));
    a.b_Next();
    CT_VoidHashIterator c(&a);
    EXPECT_TRUE(c.b_IsEqual(&a));
    u4 key;
    c.v_GetKey(&key);
    EXPECT_EQ(key, 14u);
    c.v_Set();
    EXPECT_TRUE(c.b_AtHome());
    EXPECT_FALSE(c.b_IsEqual(&a));
    c.v_Set(&a);
    EXPECT_TRUE(c.b_IsEqual(&a));
    CT_VoidHashIterator d(&empty), fresh(&table);
    EXPECT_FALSE(d.b_IsEqual(&fresh));
    d.v_Set(&table);
    EXPECT_TRUE(d.b_IsEqual(&fresh));
}

TEST(VoidHashTable, RemovingThroughTheIteratorStandsOnTheNextItem) {
    CT_VoidHashTable table = co_IntTable(13);
    for (u4 key : {3u, 1u, 14u, 27u, 13u, 12u}) table.b_Insert(&key, &key);
    // Order: 13 | 27 14 1 | 3 | 12.
    EXPECT_EQ(an4_Keys(table), (std::vector<u4>{13, 27, 14, 1, 3, 12}));
    CT_VoidHashIterator it(&table);
    it.b_Next();
    it.b_Next();  // on 27, the head of bucket 2
    u4 data = 0;
    it.v_Remove(&data);
    EXPECT_EQ(data, 27u);
    u4 key = 0;
    it.v_GetKey(&key);  // no b_Next needed
    EXPECT_EQ(key, 14u);
    it.b_Next();
    it.v_RemoveKey(&key);  // 1, the last of its chain: on to bucket 4
    EXPECT_EQ(key, 1u);
    it.v_GetKey(&key);
    EXPECT_EQ(key, 3u);
    it.b_Next();
    it.v_Remove(nullptr);  // 12, the last item: at the end
    EXPECT_TRUE(it.b_AtEnd());
    EXPECT_FALSE(it.b_Next());
    EXPECT_EQ(an4_Keys(table), (std::vector<u4>{13, 14, 3}));

    // Removing every item while iterating, several in one bucket.
    for (u4 key2 : {40u, 53u, 66u, 5u}) table.b_Insert(&key2, &key2);
    std::multiset<u4> removed;
    CT_VoidHashIterator all(&table);
    all.b_Next();
    while (!all.b_AtEnd()) {
        u4 k;
        all.v_RemoveKey(&k);
        removed.insert(k);
    }
    EXPECT_EQ(removed, (std::multiset<u4>{13, 14, 3, 40, 53, 66, 5}));
    EXPECT_EQ(table.n_GetCount(), 0u);
    for (unsigned b = 1; b <= table.n_GetTableSize(); ++b) EXPECT_EQ(table.pso_GetAt(b), nullptr);
}

// A model check: random inserts, overwrites and removals against std::map,
// through growth; every item seen exactly once by the iterator.
TEST(VoidHashTable, GrowthAndRemovalsKeepEveryItemOnce) {
    std::mt19937 random(12345);
    CT_VoidHashTable table = co_IntTable(13);
    std::map<u4, u4> model;
    for (int round = 0; round < 20000; ++round) {
        u4 key = random() % 5000;
        u4 data = random();
        int action = random() % 3;
        if (action < 2) {
            EXPECT_EQ(table.b_Insert(&key, &data) != 0, model.count(key) != 0);
            model[key] = data;
        } else {
            u4 out = 1;
            EXPECT_EQ(table.b_Remove(&key, &out) != 0, model.erase(key) != 0);
        }
    }
    EXPECT_EQ(table.n_GetCount(), model.size());
    EXPECT_GT(table.n_GetTableSize(), 1000u);
    std::vector<u4> keys = an4_Keys(table);
    std::set<u4> seen(keys.begin(), keys.end());
    EXPECT_EQ(seen.size(), keys.size());  // none twice
    EXPECT_EQ(keys.size(), model.size());
    for (auto const& [key, data] : model) EXPECT_EQ(n4_Get(table, key), data);
    // Every item lies in the bucket its key hashes to.
    for (unsigned b = 1; b <= table.n_GetTableSize(); ++b)
        for (auto const* item = table.pso_GetAt(b); item; item = item->pcso_GetFollowing())
            EXPECT_EQ(CT_VoidHashTable::sn_HashInteger(item->pcv_GetKey(), table.n_GetTableSize()), b);
}

TEST(VoidHashTable, AWalkOverALargeTableVisitsEveryItemOnce) {
    // Large enough for the walk that fetches items ahead.
    CT_VoidHashTable table = co_IntTable(13);
    std::set<u4> inserted;
    for (u4 key = 1; key <= 30000; ++key) {
        u4 spread = key * 2654435761u;
        table.b_Insert(&spread, &key);
        inserted.insert(spread);
    }
    ASSERT_GT(table.n_GetTableSize(), 30000u);
    std::vector<u4> keys = an4_Keys(table);
    EXPECT_EQ(std::set<u4>(keys.begin(), keys.end()), inserted);
    EXPECT_EQ(keys.size(), inserted.size());
}

TEST(VoidHashTable, CopiesOwnTheirItems) {
    CT_VoidHashTable table = co_IntTable(13);
    for (u4 key = 0; key < 40; ++key) table.b_Insert(&key, &key);
    CT_VoidHashTable copy(&table);
    EXPECT_EQ(copy.n_GetTableSize(), table.n_GetTableSize());
    EXPECT_EQ(copy.n_GetCount(), 40u);
    u4 key = 7, data = 700;
    copy.b_Insert(&key, &data);
    EXPECT_EQ(n4_Get(table, 7), 7u);
    EXPECT_EQ(n4_Get(copy, 7), 700u);
    EXPECT_NE(copy.pso_GetAt(8), table.pso_GetAt(8));

    // v_Set from another: the other's bucket count and items, own callbacks.
    CT_VoidHashTable other = co_IntTable(3);
    other.v_Set(&table);
    EXPECT_EQ(other.n_GetTableSize(), table.n_GetTableSize());
    EXPECT_EQ(other.n_GetCount(), 40u);
    for (u4 k = 0; k < 40; ++k) EXPECT_EQ(n4_Get(other, k), k);
    other = other;  // self-assignment keeps the items
    EXPECT_EQ(other.n_GetCount(), 40u);
    other = copy;
    EXPECT_EQ(n4_Get(other, 7), 700u);

    // v_Set(size) empties.
    other.v_Set(5u);
    EXPECT_EQ(other.n_GetCount(), 0u);
    EXPECT_EQ(other.n_GetCollisions(), 0u);
    EXPECT_EQ(other.n_GetTableSize(), 5u);
    EXPECT_FALSE(other.b_Get(&key, nullptr));
}

TEST(VoidHashTable, ATableWithoutBuckets) {
    CT_VoidHashTable table = co_IntTable(0);
    u4 key = 9, out = 5;
    EXPECT_EQ(table.n_GetTableSize(), 0u);
    EXPECT_FALSE(table.b_Get(&key, &out));
    EXPECT_EQ(out, 0u);
    EXPECT_FALSE(table.b_Remove(&key, nullptr));
    CT_VoidHashIterator it(&table);
    EXPECT_FALSE(it.b_Next());
    // A resize by 0 keeps it without buckets, hashing nothing; so does a
    // copy, and a bucket it does not have has no head and nothing to remove.
    table.v_Resize(0);
    EXPECT_EQ(table.n_GetTableSize(), 0u);
    EXPECT_EQ(table.n_GetCollisions(), 0u);
    CT_VoidHashTable copy(&table);
    EXPECT_EQ(copy.n_GetTableSize(), 0u);
    copy.v_Set(&table);
    copy.v_Resize(0);
    EXPECT_EQ(copy.n_GetTableSize(), 0u);
    EXPECT_EQ(table.pso_GetAt(1), nullptr);
    table.v_RemoveAt(1, nullptr);
    EXPECT_EQ(table.n_GetCount(), 0u);
    // An insertion first gives it buckets.
    EXPECT_EQ(table.b_Insert(&key, &key), 0);
    EXPECT_EQ(table.n_GetTableSize(), 2u);
    EXPECT_EQ(n4_Get(table, 9), 9u);
    // An item handed to v_RemoveAt with a bucket it is not in stays.
    unsigned home = CT_VoidHashTable::sn_HashInteger(&key, table.n_GetTableSize());
    CT_VoidHashTable::st_HashItem* item = table.pso_GetAt(home);
    ASSERT_NE(item, nullptr);
    table.v_RemoveAt(home == 1 ? 2 : 1, item);
    table.v_RemoveAt(0, item);
    table.v_RemoveAt(3, item);
    EXPECT_EQ(table.n_GetCount(), 1u);
    EXPECT_EQ(n4_Get(table, 9), 9u);
    table.v_RemoveAt(home, item);
    EXPECT_EQ(table.n_GetCount(), 0u);
}

// The number of items behind another in their chain, recounted.
unsigned n_CountCollisions(CT_VoidHashTable const& table) {
    unsigned collisions = 0;
    for (unsigned b = 1; b <= table.n_GetTableSize(); ++b)
        for (auto const* item = table.pso_GetAt(b); item; item = item->pcso_GetFollowing())
            if (item != table.pso_GetAt(b)) ++collisions;
    return collisions;
}

// A text hash of the caller's own, which the table knows nothing about.
unsigned n_HashByLength(void const* key, unsigned n) {
    char const* text;
    std::memcpy(&text, key, sizeof text);
    return static_cast<unsigned>(std::strlen(text)) * 7919u % n + 1;
}

TEST(VoidHashTable, GrowthPlacesTextKeysWhereTheirCallbacksSay) {
    // Narrow texts of 1 to 19 characters of lower-case letters: a to z and
    // some bytes from E0 up (lower case in code page 1252); wide copies of
    // the same, with Cyrillic lower case (430 up) for those bytes. No two
    // fold alike in any locale. Growth moves every item many times; each
    // must end in the bucket its callback gives.
    std::mt19937 random(7);
    std::vector<std::string> narrow;
    std::vector<std::vector<unsigned short>> wide;
    std::set<std::string> seen;
    while (narrow.size() < 3000) {
        std::string text;
        unsigned length = 1 + random() % 19;
        for (unsigned i = 0; i < length; ++i) text += static_cast<char>(random() % 8 == 0 ? 0xE0 + random() % 32 : 'a' + random() % 26);
        if (!seen.insert(text).second) continue;
        narrow.push_back(text);
        wide.emplace_back(text.begin(), text.end());
        for (auto& u : wide.back()) {
            unsigned byte = static_cast<unsigned char>(u);
            u = static_cast<unsigned short>(byte >= 0xE0 ? 0x430 + (byte - 0xE0) : byte);
        }
        wide.back().push_back(0);
    }
    struct st_Case {
        CT_VoidHashTable::tpf_Hash pf_Hash;
        CT_VoidHashTable::tpf_Compare pf_Compare;
        bool b_Wide;
    };
    st_Case const cases[] = {
        {&CT_HashFunction::sn_HashCasePQCZ, &CT_Compare::si_CompareCasePQCZ, false},
        {&CT_HashFunction::sn_HashNoCasePQCZ, &CT_Compare::si_CompareNoCasePQCZ, false},
        {&CT_HashFunction::sn_HashCasePQUZ, &CT_Compare::si_CompareCasePQUZ, true},
        {&CT_HashFunction::sn_HashNoCasePQUZ, &CT_Compare::si_CompareNoCasePQUZ, true},
        {&n_HashByLength, &CT_Compare::si_CompareCasePQCZ, false},
    };
    // In the "C" locale, and in one whose case mapping goes beyond a to z
    // (where the wide keys' Cyrillic units fold too).
    for (int folding = 0; folding < 2; ++folding) {
        for (st_Case const& c : cases) {
            std::unique_ptr<CaseLocaleTesting::CT_FoldingLocale> locale;
            if (folding) locale = std::make_unique<CaseLocaleTesting::CT_FoldingLocale>();
            CT_VoidHashTable table(sizeof(u4), sizeof(void const*), c.pf_Hash, c.pf_Compare, 13);
            for (u4 i = 0; i < narrow.size(); ++i) {
                void const* key = c.b_Wide ? static_cast<void const*>(wide[i].data()) : narrow[i].c_str();
                EXPECT_EQ(table.b_Insert(&key, &i), 0);
            }
            EXPECT_EQ(table.n_GetCount(), narrow.size());
            EXPECT_GT(table.n_GetTableSize(), 1000u);
            EXPECT_EQ(table.n_GetCollisions(), n_CountCollisions(table));
            for (unsigned b = 1; b <= table.n_GetTableSize(); ++b)
                for (auto const* item = table.pso_GetAt(b); item; item = item->pcso_GetFollowing())
                    ASSERT_EQ(c.pf_Hash(item->pcv_GetKey(), table.n_GetTableSize()), b);
            // Found through another copy of each text, not the stored pointer.
            for (u4 i = 0; i < narrow.size(); ++i) {
                std::string copy = narrow[i];
                std::vector<unsigned short> wideCopy = wide[i];
                void const* key = c.b_Wide ? static_cast<void const*>(wideCopy.data()) : copy.c_str();
                u4 data = 0;
                EXPECT_TRUE(table.b_Get(&key, &data));
                EXPECT_EQ(data, i);
            }
            static char const absentNarrow[] = "not among them";
            static unsigned short const absentWide[] = {'n', 'o', 't', 0};
            void const* absent = c.b_Wide ? static_cast<void const*>(absentWide) : absentNarrow;
            EXPECT_FALSE(table.b_Get(&absent, nullptr));
        }
    }
}

// The exact text hashes behind callbacks the table does not know: a table
// using these calls them for every bucket it works out.
unsigned n_CalledNarrowHash(void const* key, unsigned n) { return CT_HashFunction::sn_HashCasePQCZ(key, n); }
unsigned n_CalledWideHash(void const* key, unsigned n) { return CT_HashFunction::sn_HashCasePQUZ(key, n); }
// Equal texts as the exact compares, by a path the table cannot inline.
int i_CalledNarrowCompare(void const* a, void const* b) { return CT_Compare::si_CompareCasePQCZ(a, b); }

// Every key pointer of the table, bucket by bucket, each chain from its head.
std::vector<void const*> apcv_Chains(CT_VoidHashTable const& table) {
    std::vector<void const*> keys;
    for (unsigned b = 1; b <= table.n_GetTableSize(); ++b) {
        keys.push_back(nullptr);  // bucket boundary
        for (auto const* item = table.pso_GetAt(b); item; item = item->pcso_GetFollowing()) {
            void const* key;
            std::memcpy(&key, item->pcv_GetKey(), sizeof key);
            keys.push_back(key);
        }
    }
    return keys;
}

TEST(VoidHashTable, KeptTextHashesGiveTheChainsOfCalledCallbacks) {
    // Tables of exact text hashes keep each key's hash and grow without
    // reading the texts; a twin whose look-alike callbacks are called at
    // every step must end with the same buckets, chains and counts through
    // inserts, overwrites, removals, explicit resizes and copies. Texts
    // with bytes from 0x80 up and of up to 30 characters reach the hash's
    // sign extension and its fold.
    std::mt19937 random(11);
    std::vector<std::string> narrow;
    std::vector<std::vector<unsigned short>> wide;
    std::set<std::string> seen;
    while (narrow.size() < 2500) {
        std::string text;
        unsigned length = random() % 31;
        for (unsigned i = 0; i < length; ++i) text += static_cast<char>(random() % 6 == 0 ? 0x80 + random() % 128 : 'a' + random() % 26);
        if (!seen.insert(text).second) continue;
        narrow.push_back(text);
        wide.emplace_back();
        for (char c : text) wide.back().push_back(static_cast<unsigned short>(static_cast<unsigned char>(c) * 0x101));
        wide.back().push_back(0);
    }
    struct st_Case {
        CT_VoidHashTable::tpf_Hash pf_Kept, pf_Called;
        CT_VoidHashTable::tpf_Compare pf_Compare;
        bool b_Wide;
    };
    st_Case const cases[] = {
        {&CT_HashFunction::sn_HashCasePQCZ, &n_CalledNarrowHash, &CT_Compare::si_CompareCasePQCZ, false},
        {&CT_HashFunction::sn_HashCasePQCZ, &n_CalledNarrowHash, &i_CalledNarrowCompare, false},
        {&CT_HashFunction::sn_HashCasePQUZ, &n_CalledWideHash, &CT_Compare::si_CompareCasePQUZ, true},
    };
    for (st_Case const& c : cases) {
        CT_VoidHashTable kept(sizeof(u4), sizeof(void const*), c.pf_Kept, c.pf_Compare, 13);
        CT_VoidHashTable called(sizeof(u4), sizeof(void const*), c.pf_Called, c.pf_Compare, 13);
        auto key = [&](std::size_t i) {
            return c.b_Wide ? static_cast<void const*>(wide[i].data()) : narrow[i].c_str();
        };
        auto both = [&](auto step) {
            EXPECT_EQ(step(kept), step(called));
            ASSERT_EQ(kept.n_GetTableSize(), called.n_GetTableSize());
            ASSERT_EQ(kept.n_GetCollisions(), called.n_GetCollisions());
            ASSERT_EQ(kept.n_GetCount(), called.n_GetCount());
        };
        for (u4 i = 0; i < narrow.size(); ++i) {
            void const* k = key(i);
            both([&](CT_VoidHashTable& t) { return t.b_Insert(&k, &i); });
            if (i % 3 == 0) {  // an overwrite, found through a copy of an earlier text
                std::string copy = narrow[i / 2];
                std::vector<unsigned short> wideCopy = wide[i / 2];
                void const* again = c.b_Wide ? static_cast<void const*>(wideCopy.data()) : copy.c_str();
                both([&](CT_VoidHashTable& t) { return t.b_Insert(&again, &i); });
            }
            if (i % 7 == 0) {
                void const* gone = key(i / 3);
                both([&](CT_VoidHashTable& t) {
                    u4 data = 0;
                    int found = t.b_Remove(&gone, &data);
                    return found * 100000 + static_cast<int>(data);
                });
            }
            if (i == 1200) both([](CT_VoidHashTable& t) { t.v_Resize(101); return 0; });
            if (i == 1800) both([](CT_VoidHashTable& t) { t.v_Resize(5000); return 0; });
        }
        ASSERT_EQ(apcv_Chains(kept), apcv_Chains(called));
        CT_VoidHashTable copy(&kept);
        EXPECT_EQ(apcv_Chains(copy), apcv_Chains(CT_VoidHashTable(&called)));
        for (unsigned b = 1; b <= kept.n_GetTableSize(); ++b)
            for (auto const* item = kept.pso_GetAt(b); item; item = item->pcso_GetFollowing())
                ASSERT_EQ(c.pf_Called(item->pcv_GetKey(), kept.n_GetTableSize()), b);
    }
}

TEST(VoidHashTable, ExactNarrowTextsThatAreEachOthersStart) {
    // Keys that start with one another, the empty text, and bytes of 0x80
    // and above; found through copies, never through the stored pointers.
    CT_VoidHashTable table(sizeof(u4), sizeof(char const*), &CT_HashFunction::sn_HashCasePQCZ,
                           &CT_Compare::si_CompareCasePQCZ, 1);
    char const* const texts[] = {"ab", "abc", "a", "", "abd", "\xE9t\xE9"};
    for (u4 i = 0; i < 6; ++i) EXPECT_EQ(table.b_Insert(&texts[i], &i), 0) << texts[i];
    EXPECT_EQ(table.n_GetCount(), 6u);
    for (u4 i = 0; i < 6; ++i) {
        std::string copy = texts[i];
        char const* key = copy.c_str();
        u4 data = 99;
        EXPECT_TRUE(table.b_Get(&key, &data)) << texts[i];
        EXPECT_EQ(data, i);
    }
    char const* const absent[] = {"abcd", "b", "AB", "\xE9t"};
    for (char const* key : absent) EXPECT_FALSE(table.b_Get(&key, nullptr)) << key;
}

TEST(VoidHashTable, TextKeysThroughTheLibraryCallbacks) {
    // Keys are pointers to wide texts; the callbacks get pointers to them.
    CT_VoidHashTable table(sizeof(int), sizeof(unsigned short const*), &CT_HashFunction::sn_HashNoCasePQUZ,
                           &CT_Compare::si_CompareNoCasePQUZ, 13);
    static unsigned short const name[] = {'N', 'a', 'm', 'e', 0};
    static unsigned short const upper[] = {'N', 'A', 'M', 'E', 0};
    static unsigned short const other[] = {'O', 't', 'h', 'e', 'r', 0};
    unsigned short const* key = name;
    int data = 1;
    table.b_Insert(&key, &data);
    key = other;
    data = 2;
    table.b_Insert(&key, &data);
    key = upper;
    EXPECT_TRUE(table.b_Get(&key, &data));
    EXPECT_EQ(data, 1);
    data = 3;
    EXPECT_NE(table.b_Insert(&key, &data), 0);
    EXPECT_EQ(table.n_GetCount(), 2u);
    unsigned short const* stored;
    CT_VoidHashIterator it(&table);
    bool found = false;
    while (it.b_Next()) {
        it.v_GetKey(&stored);
        if (stored == name) found = true;  // the first key's pointer stays
    }
    EXPECT_TRUE(found);
}

}  // namespace
