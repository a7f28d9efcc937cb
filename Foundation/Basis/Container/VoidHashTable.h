// CT_VoidHashTable: keys of a fixed byte size mapped to data of a fixed
// byte size, by separate chaining; CT_VoidHashIterator walks its items.
//
// The table is an array of bucket heads (its CT_VoidArray base, one
// pointer per bucket, null for an empty one). Every item is one allocation
// holding the link to the next item of its bucket, a pointer to its datum,
// the key bytes and the data bytes; keys and data are copied in by value,
// and what they point to is never looked at or freed. New items go to the
// front of their bucket. Buckets are numbered from 1, as the hash
// callbacks of CT_HashFunction count them.
//
// The callbacks receive the address of the key bytes: hash(key, bucket
// count) gives a bucket from 1 to the count, compare(stored key, key) gives
// 0 for equal keys (only equality is asked). For a key that is a pointer to
// a text the callbacks get a pointer to that pointer (the P forms of
// CT_HashFunction and CT_Compare).
//
// Collisions count the items put into a bucket that already held one.
// When they exceed a quarter of the bucket count after an insertion, the
// table grows to the next prime above twice its size; items are relinked,
// never copied, and keep their addresses. Removing a bucket's head leaves
// the collision count alone; removing an item behind another lowers it.
//
// Limits the caller keeps (not tested): at least one bucket before an
// insertion (the hash divides by the bucket count); keys and data passed
// by address have the table's sizes; an iterator's reads and removals need
// a current item. An iterator stays valid while no item is inserted or
// removed other than through it. A text whose pointer is a key stays as it
// was while the key is in the table: with the exact text hashes the table
// keeps the hash the text had when it went in (as any hash table's lookups
// need their keys unchanged).
#pragma once

#include <cstdint>
#include <cstring>

#include "Foundation/Basis/Character/Compare.h"
#include "Foundation/Basis/Character/HashFunction.h"
#include "Foundation/Basis/Character/TextHash.h"
#include "Foundation/Basis/Container/MemoryAhead.h"
#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_VoidHashTable : public CT_VoidArray {
public:
    typedef unsigned (*tpf_Hash)(void const* key, unsigned bucketCount);
    typedef int (*tpf_Compare)(void const* storedKey, void const* key);

    // One item: the link and the datum's address, then key and data bytes
    // in the same allocation.
    struct st_HashItem {
        st_HashItem* pso_Following;
        void* pv_Data;

        void const* pcv_GetKey() const { return this + 1; }
        void const* pcv_GetData() const { return pv_Data; }
        st_HashItem const* pcso_GetFollowing() const { return pso_Following; }
        // Key, then data right after it; the link is cleared.
        void v_Set(void const* key, unsigned keySize, void const* data, unsigned dataSize) {
            pso_Following = nullptr;
            unsigned char* bytes = reinterpret_cast<unsigned char*>(this + 1);
            sv_Copy(bytes, key, keySize);
            pv_Data = bytes + keySize;
            sv_Copy(pv_Data, data, dataSize);
        }
        void v_SetData(void const* data, unsigned dataSize) { sv_Copy(pv_Data, data, dataSize); }
    };

    CT_VoidHashTable(unsigned dataSize, unsigned keySize, tpf_Hash hash, tpf_Compare compare, unsigned tableSize);
    // Same sizes, callbacks and bucket count; every item of the other
    // inserted anew.
    explicit CT_VoidHashTable(CT_VoidHashTable const* other);
    CT_VoidHashTable(CT_VoidHashTable const& other) : CT_VoidHashTable(&other) {}
    CT_VoidHashTable& operator=(CT_VoidHashTable const& other) {
        v_Set(&other);
        return *this;
    }
    ~CT_VoidHashTable() { v_Exit(); }

    // Frees every item; tableSize empty buckets.
    void v_Set(unsigned tableSize);
    // Frees every item, as many buckets as the other has, and every item of
    // the other inserted; the own sizes and callbacks stay.
    void v_Set(CT_VoidHashTable const* other);

    // Non-zero when the key was there (its datum is overwritten), 0 when a
    // new item was added.
    int b_Insert(void const* key, void const* data);
    // Non-zero when found, the datum copied to data; otherwise 0 and data
    // (when not null) zero-filled.
    int b_Get(void const* key, void* data) const {
        unsigned bucket = 0;
        st_HashItem const* item = pso_Find(key, &bucket, nullptr);
        if (data != nullptr) {
            if (item) sv_Copy(data, item->pv_Data, n_DataSize);
            else std::memset(data, 0, n_DataSize);
        }
        return item != nullptr;
    }
    // As b_Get, and a found item is removed after its datum is copied.
    int b_Remove(void const* key, void* data);
    // Removes the given item of the given bucket. An item that is not in
    // that bucket's chain (or a bucket out of range) is left alone: nothing
    // is removed.
    void v_RemoveAt(unsigned bucket, st_HashItem* item);
    // Rehashes into tableSize buckets (0: the present count); when the
    // collisions reach a quarter of that, into the next prime above twice
    // as many. A table of no buckets resized by 0 stays without buckets.
    void v_Resize(unsigned tableSize);

    // The head item of a bucket (1 to the bucket count), or null; null too
    // for a bucket outside that range, which has no head to read.
    st_HashItem* pso_GetAt(unsigned bucket) const {
        if (bucket == 0 || bucket > n_GetTableSize()) return nullptr;
        return pso_Head(bucket);
    }

    unsigned n_GetCount() const { return n_Count; }
    unsigned n_GetCollisions() const { return n_Collisions; }
    // The number of buckets.
    unsigned n_GetTableSize() const {
        return static_cast<unsigned>(pcco_GetBuffer()->n_GetUsedSize() / sizeof(st_HashItem*));
    }
    unsigned n_GetKeySize() const { return n_KeySize; }
    unsigned n_GetDataSize() const { return n_DataSize; }
    tpf_Hash pf_GetHash() const { return pf_Hash; }
    tpf_Compare pf_GetCompare() const { return pf_Compare; }

    // For 32-bit unsigned keys: the value mod the bucket count plus 1, and
    // the unsigned order (-1, 0, 1).
    static unsigned sn_HashInteger(void const* key, unsigned bucketCount);
    static int si_CompareInteger(void const* a, void const* b);

    BASIS_DECLARE_POOL()

private:
    friend class CT_VoidHashIterator;

    unsigned char const* pcuc_Heads() const { return static_cast<unsigned char const*>(pcco_GetBuffer()->qcv_Get()); }
    // The head of a bucket the table's own walks know to exist.
    st_HashItem* pso_Head(unsigned bucket) const {
        st_HashItem* head;
        std::memcpy(&head, pcuc_Heads() + (bucket - 1) * sizeof(st_HashItem*), sizeof head);
        return head;
    }
    void v_SetHead(unsigned bucket, st_HashItem* item) {
        std::memcpy(puc_Writable() + (bucket - 1) * sizeof(st_HashItem*), &item, sizeof item);
    }
    // The item of key, or null; the bucket it hashes to, and the item
    // before the found one in its chain (null for the head) when asked for;
    // for a table that keeps its text hashes, the key's unreduced hash in
    // *textHash when asked for. No bucket at all: not found.
    //
    // This is the hot path of every lookup, so it stays inline. Keys of 32
    // bits with the library's own integer callbacks (whose hash is the
    // value mod the bucket count plus 1, and whose compare is 0 exactly for
    // equal values), and text pointers with the library's exact text hash,
    // are hashed here without the call; with the exact narrow compare too,
    // they are compared here, an item whose kept hash differs being passed
    // over unread (equal texts hash alike). Any other callback is called.
    st_HashItem* pso_Find(void const* key, unsigned* bucket, st_HashItem** previous,
                          std::uint32_t* textHash = nullptr) const {
        unsigned buckets = n_GetTableSize();
        if (buckets == 0) return nullptr;
        st_HashItem* before = nullptr;
        if (b_IntegerKeys()) {
            std::uint32_t value;
            std::memcpy(&value, key, sizeof value);
            *bucket = value % buckets + 1;
            for (st_HashItem* item = pso_Head(*bucket); item != nullptr; before = item, item = item->pso_Following) {
                std::uint32_t stored;
                std::memcpy(&stored, item + 1, sizeof stored);
                if (stored == value) {
                    if (previous) *previous = before;
                    return item;
                }
            }
            return nullptr;
        }
        if (b_NarrowTextKeys()) {
            // Exact narrow texts: the callbacks' hash and equality, without
            // the calls; the same pointer is the same text.
            char const* text = spcx_KeyText<char>(key);
            std::uint32_t hash = TextHash::n4_Narrow<TextHash::st_Same>(text);
            if (textHash) *textHash = hash;
            *bucket = hash % buckets + 1;
            for (st_HashItem* item = pso_Head(*bucket); item != nullptr; before = item, item = item->pso_Following) {
                if (n4_KeptHash(item) != hash) continue;
                char const* stored = spcx_KeyText<char>(item + 1);
                if (stored == text || sb_SameText(stored, text)) {
                    if (previous) *previous = before;
                    return item;
                }
            }
            return nullptr;
        }
        if (b_KeepsTextHash()) {
            std::uint32_t hash = n4_TextHash(key);
            if (textHash) *textHash = hash;
            *bucket = hash % buckets + 1;
        } else {
            *bucket = pf_Hash(key, buckets);
        }
        for (st_HashItem* item = pso_Head(*bucket); item != nullptr; before = item, item = item->pso_Following) {
            if (pf_Compare(item + 1, key) == 0) {
                if (previous) *previous = before;
                return item;
            }
        }
        return nullptr;
    }
    // Whether two texts are equal, as strcmp gives 0. Keys mostly differ
    // within their first characters, where a call to strcmp would cost more
    // than the comparing.
    static bool sb_SameText(char const* a, char const* b) {
        for (; *a == *b; ++a, ++b)
            if (*a == 0) return true;
        return false;
    }
    int b_NarrowTextKeys() const {
        return n_KeySize == sizeof(char const*) &&
               pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashCasePQCZ) &&
               pf_Compare == static_cast<tpf_Compare>(&CT_Compare::si_CompareCasePQCZ);
    }
    // Text pointers hashed by the library's exact text hashes: the hash
    // (before it is reduced to a bucket) depends on the text alone, so each
    // item keeps it, computed once as the item goes in, in four bytes after
    // its data. Growth then reduces the kept hash, as the callback would
    // reduce the same one, without reading the text again. The folding
    // hashes are not kept: they read the current locale, which growth
    // asks anew.
    int b_KeepsTextHash() const {
        return n_KeySize == sizeof(char const*) &&
               (pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashCasePQCZ) ||
                pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashCasePQUZ));
    }
    // The unreduced hash of a text key of a table that keeps them.
    std::uint32_t n4_TextHash(void const* key) const {
        if (pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashCasePQCZ))
            return TextHash::n4_Narrow<TextHash::st_Same>(spcx_KeyText<char>(key));
        return TextHash::n4_Wide<TextHash::st_Same>(spcx_KeyText<unsigned short>(key));
    }
    // The hash an item of such a table keeps after its data.
    std::uint32_t n4_KeptHash(st_HashItem const* item) const {
        std::uint32_t hash;
        std::memcpy(&hash, reinterpret_cast<unsigned char const*>(item + 1) + n_KeySize + n_DataSize, sizeof hash);
        return hash;
    }
    int b_IntegerKeys() const {
        return n_KeySize == sizeof(std::uint32_t) &&
               (pf_Hash == &sn_HashInteger || pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashPN4)) &&
               (pf_Compare == &si_CompareInteger || pf_Compare == static_cast<tpf_Compare>(&CT_Compare::si_ComparePN) ||
                pf_Compare == static_cast<tpf_Compare>(&CT_Compare::si_ComparePN4));
    }
    // Reads a text key; copies a key or datum, the common sizes as one
    // move. Inlined into a caller's code, the compiler may see a 4-byte
    // object beside the 8-byte branch that the table's sizes never take and
    // warn of it; the warning is off for these lines only.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
    // The text pointer a key holds: only ever read from tables of pointer
    // keys, which the compiler cannot tell.
    template <class T>
    static T const* spcx_KeyText(void const* key) {
        T const* text;
        std::memcpy(&text, key, sizeof text);
        return text;
    }
    static void sv_Copy(void* to, void const* from, unsigned size) {
        switch (size) {
        case 4: std::memcpy(to, from, 4); break;
        case 8: std::memcpy(to, from, 8); break;
        default: std::memcpy(to, from, size); break;
        }
    }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    // A new item at the head of bucket, keeping textHash when the table
    // keeps text hashes; no lookup, no resize.
    void v_Add(unsigned bucket, void const* key, void const* data, std::uint32_t textHash);
    // Inserts every item of the other, bucket by bucket, each chain from
    // its head.
    void v_InsertAll(CT_VoidHashTable const* other);
    // The buckets as a zero-filled array of tableSize heads.
    void v_SetBuckets(unsigned tableSize);

    void v_Keep(unsigned dataSize, unsigned keySize, tpf_Hash hash, tpf_Compare compare);
    void v_Init(unsigned tableSize);
    void v_Init(CT_VoidHashTable const* other);
    void v_Null();
    void v_Exit();
    void v_RemoveData(unsigned bucket, st_HashItem* item, st_HashItem* previous);
    unsigned n_GetNextPrim(unsigned m) const;

    std::uint32_t n_KeySize;
    std::uint32_t n_DataSize;
    std::uint32_t n_Count;
    std::uint32_t n_Collisions;
    tpf_Hash pf_Hash;
    tpf_Compare pf_Compare;
};

class BASIS_API CT_VoidHashIterator {
    typedef CT_VoidHashTable::st_HashItem st_HashItem;

public:
    explicit CT_VoidHashIterator(CT_VoidHashTable const* table) { v_Init(table); }
    // A copy of the other's position.
    explicit CT_VoidHashIterator(CT_VoidHashIterator const* other) { v_Init(other); }
    CT_VoidHashIterator(CT_VoidHashIterator const& other) { v_Init(&other); }
    CT_VoidHashIterator& operator=(CT_VoidHashIterator const& other) {
        v_Init(&other);
        return *this;
    }

    // Back to before the first item (of the same, or of another table).
    void v_Set() { v_Init(pco_Table); }
    void v_Set(CT_VoidHashTable const* table) { v_Init(table); }
    void v_Set(CT_VoidHashIterator const* other) { v_Init(other); }

    // Steps to the next item: along the chain, then to the head of the next
    // non-empty bucket. Non-zero when there is one; past the last item 0,
    // and 0 from then on. Inline: it runs once per item of a walk.
    int b_Next() {
        if (pso_Item != nullptr) {
            pso_Item = pso_Item->pso_Following;
            if (pso_Item != nullptr) return 1;
            return b_NextBucket();
        }
        if (!b_Home) return 0;
        b_Home = 0;
        n_Bucket = 0;
        return b_NextBucket();
    }
    // Before the first step.
    int b_AtHome() const { return b_Home; }
    // Not at home and no current item.
    int b_AtEnd() const { return !b_Home && pso_Item == nullptr; }

    void v_Get(void* data) const { CT_VoidHashTable::sv_Copy(data, pso_Item->pv_Data, pco_Table->n_DataSize); }
    void v_GetKey(void* key) const { CT_VoidHashTable::sv_Copy(key, pso_Item + 1, pco_Table->n_KeySize); }
    // Copy the datum (or key) when the pointer is not null, remove the item,
    // and stand on the item that followed it: its follower in the chain or
    // the head of the next non-empty bucket (or the end). Reading that item
    // needs no b_Next.
    void v_Remove(void* data);
    void v_RemoveKey(void* key);

    // The table's item count.
    unsigned n_GetCount() const { return pco_Table->n_GetCount(); }
    // Same table, item, bucket and at-home flag.
    int b_IsEqual(CT_VoidHashIterator const* other) const {
        return pco_Table == other->pco_Table && pso_Item == other->pso_Item && n_Bucket == other->n_Bucket &&
               (b_Home != 0) == (other->b_Home != 0);
    }

    // The current item, or null.
    CT_VoidHashTable::st_HashItem const* pcso_GetItem() const { return pso_Item; }

private:
    void v_Init(CT_VoidHashTable const* table);
    void v_Init(CT_VoidHashIterator const* other);
    // Onto the head of the first non-empty bucket after the current one
    // (non-zero), or to the end (0).
    int b_NextBucket() {
        unsigned buckets = pco_Table->n_GetTableSize();
        unsigned char const* heads = pco_Table->pcuc_Heads();
        if (buckets >= se_LargeTable) {
            // The items of a large table lie scattered over more memory than
            // the caches hold: those a few buckets on are fetched now, to be
            // there when the walk comes. A small table needs no such help,
            // and walks its own loop: even a test per bucket of whether to
            // fetch made 1,000-item walks a quarter slower.
            while (n_Bucket < buckets) {
                if (n_Bucket + Container::se_FetchAhead < buckets)
                    Container::sv_Prefetch(sp_Head(heads, n_Bucket + Container::se_FetchAhead));
                st_HashItem* head = sp_Head(heads, n_Bucket++);
                if (head != nullptr) {
                    pso_Item = head;
                    return 1;
                }
            }
        }
        while (n_Bucket < buckets) {
            st_HashItem* head = sp_Head(heads, n_Bucket++);
            if (head != nullptr) {
                pso_Item = head;
                return 1;
            }
        }
        pso_Item = nullptr;
        return 0;
    }
    // The head of bucket k + 1 (the k-th counted from 0).
    static st_HashItem* sp_Head(unsigned char const* heads, unsigned k) {
        st_HashItem* head;
        std::memcpy(&head, heads + k * sizeof head, sizeof head);
        return head;
    }
    // From this many buckets on, a walk fetches items ahead.
    enum { se_LargeTable = 8192 };
    void v_RemoveCurrent();

    CT_VoidHashTable const* pco_Table;
    CT_VoidHashTable::st_HashItem* pso_Item;
    std::uint32_t n_Bucket;
    int b_Home;
};
