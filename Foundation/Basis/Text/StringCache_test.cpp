#include "Foundation/Basis/Text/StringCache.h"

#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis/String/StringTesting.h"

using StringTesting::W;

namespace {

std::u16string Text(unsigned short const* units) {
    std::u16string text;
    if (units)
        while (*units) text.push_back(static_cast<char16_t>(*units++));
    return text;
}

bool b_Has(CT_StringCache* cache, char16_t const* key) { return cache->qcuz_Lookup(W(key)) != nullptr; }

TEST(StringCache, SizesAndTheNextPrime) {
    CT_StringCache cache;
    EXPECT_EQ(cache.n_GetSize(), 1004u);  // 251 sets of 4
    EXPECT_EQ(cache.n_GetCollisions(), 4u);
    unsigned const primes[][2] = {{250, 251}, {26, 29}, {29, 29}, {4, 5}, {1, 1}, {0, 0}, {3, 3}, {120, 127}};
    for (auto const& p : primes) EXPECT_EQ(CT_StringCache::sn_GetNextPrim(p[0]), p[1]) << p[0];

    CT_StringCache none(0, 4);
    EXPECT_EQ(none.n_GetSize(), 0u);
    EXPECT_EQ(none.n_GetCollisions(), 0u);
    none.v_Insert(W(u"key"), W(u"value"));
    EXPECT_EQ(none.qcuz_Lookup(W(u"key")), nullptr);
    none.v_Remove(W(u"key"));
    // Fewer slots than ways, or no ways: no slots either.
    CT_StringCache tooSmall(3, 4), noWays(10, 0);
    EXPECT_EQ(tooSmall.n_GetSize(), 0u);
    EXPECT_EQ(noWays.n_GetSize(), 0u);
    // 10 / 3 = 3 sets of 3.
    cache.v_Set(10, 3);
    EXPECT_EQ(cache.n_GetSize(), 9u);
    EXPECT_EQ(cache.n_GetCollisions(), 3u);
}

// A cache of 4 slots and 4 ways has one set: every key falls into it.
TEST(StringCache, AFullSetEvictsItsLastWay) {
    CT_StringCache cache(4, 4);
    ASSERT_EQ(cache.n_GetSize(), 4u);
    for (char16_t const* key : {u"K1", u"K2", u"K3", u"K4", u"K5"}) cache.v_Insert(W(key), W(key));
    EXPECT_FALSE(b_Has(&cache, u"K4"));  // the last way went
    for (char16_t const* key : {u"K1", u"K2", u"K3", u"K5"}) EXPECT_TRUE(b_Has(&cache, key)) << static_cast<int>(key[1] - u'0');

    // Had K4 been looked up first, it would have moved to way 0, and K3,
    // then in the last way, would have gone.
    cache.v_Clear();
    for (char16_t const* key : {u"K1", u"K2", u"K3", u"K4"}) cache.v_Insert(W(key), W(key));
    EXPECT_TRUE(b_Has(&cache, u"K4"));
    cache.v_Insert(W(u"K5"), W(u"K5"));
    EXPECT_FALSE(b_Has(&cache, u"K3"));
    for (char16_t const* key : {u"K1", u"K2", u"K4", u"K5"}) EXPECT_TRUE(b_Has(&cache, key));
}

TEST(StringCache, AHitMovesToWayZeroAndTheWaysBeforeItMoveBack) {
    CT_StringCache cache(4, 4);
    for (char16_t const* key : {u"K1", u"K2", u"K3", u"K4"}) cache.v_Insert(W(key), W(key));
    // K3 from way 2: K3 K1 K2 K4. Then K4 from way 3: K4 K3 K1 K2, so the
    // next insertion evicts K2 (a swap of K3 with way 0 would have left K1
    // last instead).
    EXPECT_EQ(Text(cache.qcuz_Lookup(W(u"K3"))), u"K3");
    EXPECT_TRUE(b_Has(&cache, u"K4"));
    cache.v_Insert(W(u"K5"), W(u"K5"));
    EXPECT_FALSE(b_Has(&cache, u"K2"));
    for (char16_t const* key : {u"K1", u"K3", u"K4", u"K5"}) EXPECT_TRUE(b_Has(&cache, key));
}

TEST(StringCache, RemovalClosesTheGap) {
    CT_StringCache cache(4, 4);
    for (char16_t const* key : {u"K1", u"K2", u"K3"}) cache.v_Insert(W(key), W(key));
    cache.v_Remove(W(u"K1"));  // way 0 of three: K2 K3 and two empty ways
    EXPECT_FALSE(b_Has(&cache, u"K1"));
    cache.v_Remove(W(u"K9"));  // absent: nothing
    // Filling up: K4 and K5 take ways 2 and 3, so K6 evicts K5. Had the
    // removal left K2 and K3 in place, K4 would have taken way 0.
    cache.v_Insert(W(u"K4"), W(u"K4"));
    cache.v_Insert(W(u"K5"), W(u"K5"));
    cache.v_Insert(W(u"K6"), W(u"K6"));
    EXPECT_FALSE(b_Has(&cache, u"K5"));
    // The lookups below reorder; each one checks a key found behind way 0.
    for (char16_t const* key : {u"K2", u"K3", u"K4", u"K6"}) EXPECT_TRUE(b_Has(&cache, key)) << static_cast<int>(key[1] - u'0');

    // Removing the last occupied way and the middle one.
    cache.v_Remove(W(u"K2"));
    cache.v_Remove(W(u"K3"));
    EXPECT_TRUE(b_Has(&cache, u"K4"));
    EXPECT_TRUE(b_Has(&cache, u"K6"));
    EXPECT_FALSE(b_Has(&cache, u"K2"));
}

TEST(StringCache, KeysAreExactAndValuesBelongToTheCache) {
    CT_StringCache cache;
    cache.v_Insert(W(u"Name"), W(u"first"));
    EXPECT_EQ(cache.qcuz_Lookup(W(u"name")), nullptr);
    EXPECT_EQ(cache.qcuz_Lookup(W(u"Nam")), nullptr);
    EXPECT_EQ(cache.qcuz_Lookup(W(u"Names")), nullptr);
    EXPECT_EQ(Text(cache.qcuz_Lookup(W(u"Name"))), u"first");
    EXPECT_EQ(cache.qcuz_Lookup(nullptr), nullptr);
    cache.v_Insert(nullptr, W(u"x"));
    cache.v_Insert(W(u"x"), nullptr);
    EXPECT_EQ(cache.qcuz_Lookup(W(u"x")), nullptr);

    // A key inserted twice has two entries; the one nearer way 0 answers,
    // and removing it uncovers the other.
    cache.v_Insert(W(u"Name"), W(u"second"));
    EXPECT_EQ(Text(cache.qcuz_Lookup(W(u"Name"))), u"first");
    cache.v_Remove(W(u"Name"));
    EXPECT_EQ(Text(cache.qcuz_Lookup(W(u"Name"))), u"second");
    // The empty key is a key like any other.
    cache.v_Insert(W(u""), W(u"empty"));
    EXPECT_EQ(Text(cache.qcuz_Lookup(W(u""))), u"empty");

    // Many keys: each set keeps at most its four most recent, and every hit
    // gives its own value.
    CT_StringCache big;
    unsigned hits = 0;
    // Key i behind "key", its value behind "vkey".
    auto text = [](char16_t const* prefix, int i) {
        std::u16string t(prefix);
        t += static_cast<char16_t>(u'A' + i % 26);
        t += static_cast<char16_t>(0x100 + i);
        return t;
    };
    for (int i = 0; i < 5000; ++i) big.v_Insert(W(text(u"key", i).c_str()), W(text(u"vkey", i).c_str()));
    for (int i = 0; i < 5000; ++i) {
        unsigned short const* value = big.qcuz_Lookup(W(text(u"key", i).c_str()));
        if (value) {
            ++hits;
            EXPECT_EQ(Text(value), text(u"vkey", i));
        }
    }
    EXPECT_LE(hits, 1004u);
    EXPECT_GT(hits, 900u);
    big.v_Clear();
    EXPECT_EQ(big.n_GetSize(), 1004u);
    EXPECT_EQ(big.qcuz_Lookup(W(u"keyA\u0100")), nullptr);
}

}  // namespace
