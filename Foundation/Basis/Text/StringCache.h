// CT_StringCache: a bounded, set-associative cache from wide key texts to
// wide value texts.
//
// The slots are divided into sets of a fixed number of ways; a key's text
// hash (case-sensitive, CT_HashFunction::sn_HashCaseQUZ) picks its set. In
// a set the occupied slots come first, way 0 the most recently used; an
// empty slot ends the occupied part. A lookup hit moves its entry to way 0;
// an insertion fills the first empty way, or, in a full set, evicts the
// entry in the last way. The cache never grows, and every operation touches
// the slots of one set only. It owns a copy of both texts of each entry.
//
// Not locked: a lookup reorders its set, so one cache belongs to one thread
// at a time.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

class BASIS_API CT_StringCache {
public:
    enum : unsigned { e_DefaultSize = 1000, e_DefaultWays = 4 };

    // size / ways sets, rounded up to a prime, of ways slots each.
    CT_StringCache(unsigned size = e_DefaultSize, unsigned ways = e_DefaultWays);
    // Two caches must not own one slot array: no copies.
    CT_StringCache(CT_StringCache const&) = delete;
    CT_StringCache& operator=(CT_StringCache const&) = delete;
    ~CT_StringCache() { v_Exit(); }

    // Frees everything and sets up anew.
    void v_Set(unsigned size, unsigned ways);
    // Frees all texts; the slots stay, all empty.
    void v_Clear();

    // The cached value of key, or null. The text belongs to the cache and
    // lasts until its entry is removed, evicted or cleared.
    unsigned short const* qcuz_Lookup(unsigned short const* key);
    // Caches copies of key and value (nothing without slots or with a null
    // text). An entry of the same key is not looked for: a key inserted
    // twice has two entries, and a lookup finds the one nearer way 0.
    void v_Insert(unsigned short const* key, unsigned short const* value);
    // Removes the entry of key, if any.
    void v_Remove(unsigned short const* key);

    // The total number of slots; the number of ways per set.
    unsigned n_GetSize() const { return n_Size; }
    unsigned n_GetCollisions() const { return n_Ways; }

    // The smallest v at or above m with no divisor from 2 to floor(sqrt(v));
    // values below 4 come back unchanged.
    static unsigned sn_GetNextPrim(unsigned m);

private:
    struct st_Slot {
        unsigned short* pu_Key;
        unsigned short* pu_Value;
    };

    void v_Null();
    void v_Init(unsigned size, unsigned ways);
    void v_Exit();
    // The set of key (0-based).
    unsigned n_Hash(unsigned short const* key) const;
    // The first slot of key's set, and the way holding key (or ways when it
    // is not there).
    st_Slot* pso_Set(unsigned short const* key) const;
    unsigned n_FindWay(st_Slot const* set, unsigned short const* key) const;
    static void sv_Free(st_Slot* slot);

    st_Slot* pso_Entries;
    std::uint32_t n_Size;
    std::uint32_t n_Ways;
};
