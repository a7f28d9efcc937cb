#include "Foundation/Basis/Container/VoidHashTable.h"

#include <cstdlib>
#include <cstring>

#include "Foundation/Basis/Character/TextHash.h"
#include "Foundation/Basis/Container/HashTablePrime.h"

namespace {

typedef CT_VoidHashTable::st_HashItem st_HashItem;

// A bucket array of tableSize null heads, made in one piece of exactly the
// size needed. The buffer's growth is that of an array of 8 heads, which
// the table never uses.
CT_Buffer co_MakeHeads(unsigned tableSize) {
    unsigned bytes = tableSize * static_cast<unsigned>(sizeof(st_HashItem*));
    CT_Buffer heads(bytes, CT_VoidArray::e_DefaultGrowth * sizeof(st_HashItem*));
    if (bytes != 0) heads.v_Replace(static_cast<unsigned char>(0), bytes, 0);
    return heads;
}

unsigned char* puc_Bytes(CT_Buffer* buffer) {
    return static_cast<unsigned char*>(const_cast<void*>(buffer->qcv_Get()));
}

// Moves every item of the table, bucket by bucket from 1 and along each
// chain from its head, to the head of bucketOf(item) in newHeads; gives the
// number of items that landed in a bucket already holding one.
//
// Working out an item's new bucket reads its key, and for a text key the
// text too: two loads from memory per item, each a wait when the items lie
// scattered over more memory than the caches hold. So the walk first
// lists the items in the order they move (a chase along the chains, with
// the heads fetched ahead), then takes them from the list, where every
// item and its key a few places on are known and are fetched in advance:
// fetchKey(item) starts the load of what the key refers to. The order of
// the moves, and so every new chain, is that of the walk without a list.
// A table small enough to stay in the caches, or one without memory for
// the list, is walked without it.
template <class FetchKey, class BucketOf>
unsigned sn_Relink(CT_VoidHashTable const* table, unsigned char* newHeads, FetchKey fetchKey, BucketOf bucketOf) {
    unsigned collisions = 0;
    auto move = [&](st_HashItem* item) {
        unsigned char* slot = newHeads + (bucketOf(item) - 1) * sizeof(st_HashItem*);
        st_HashItem* head;
        std::memcpy(&head, slot, sizeof head);
        if (head != nullptr) ++collisions;
        item->pso_Following = head;
        std::memcpy(slot, &item, sizeof item);
    };
    unsigned buckets = table->n_GetTableSize();
    unsigned count = table->n_GetCount();
    enum { e_ListFrom = 8192 };
    st_HashItem** items =
        count >= e_ListFrom ? static_cast<st_HashItem**>(std::malloc(sizeof(st_HashItem*) * count)) : nullptr;
    if (items != nullptr) {
        unsigned listed = 0;
        for (unsigned bucket = 1; bucket <= buckets; ++bucket) {
            if (bucket + Container::se_FetchAhead <= buckets)
                Container::sv_Prefetch(table->pso_GetAt(bucket + Container::se_FetchAhead));
            // The count bounds the list: a chain never holds more items.
            for (st_HashItem* item = table->pso_GetAt(bucket); item != nullptr && listed < count; item = item->pso_Following)
                items[listed++] = item;
        }
        unsigned const ahead = Container::se_FetchAhead;
        for (unsigned i = 0; i < listed; ++i) {
            if (i + 2 * ahead < listed) Container::sv_Prefetch(items[i + 2 * ahead]);
            if (i + ahead < listed) fetchKey(items[i + ahead]);
            move(items[i]);
        }
        std::free(items);
        return collisions;
    }
    // The old heads read from a local view: the moves write through
    // pointers the compiler cannot tell apart from the table's own fields.
    unsigned char const* heads = static_cast<unsigned char const*>(table->pcco_GetBuffer()->qcv_Get());
    for (unsigned k = 0; k < buckets; ++k) {
        st_HashItem* item;
        std::memcpy(&item, heads + k * sizeof item, sizeof item);
        while (item != nullptr) {
            st_HashItem* following = item->pso_Following;
            move(item);
            item = following;
        }
    }
    return collisions;
}

}  // namespace

BASIS_DEFINE_POOL(CT_VoidHashTable)

CT_VoidHashTable::CT_VoidHashTable(unsigned dataSize, unsigned keySize, tpf_Hash hash, tpf_Compare compare,
                                   unsigned tableSize)
    : CT_VoidArray(sizeof(st_HashItem*)) {
    v_Null();
    v_Keep(dataSize, keySize, hash, compare);
    v_Init(tableSize);
}

CT_VoidHashTable::CT_VoidHashTable(CT_VoidHashTable const* other) : CT_VoidArray(sizeof(st_HashItem*)) {
    v_Null();
    v_Keep(other->n_DataSize, other->n_KeySize, other->pf_Hash, other->pf_Compare);
    v_Init(other);
}

void CT_VoidHashTable::v_Null() {
    n_KeySize = n_DataSize = 0;
    n_Count = n_Collisions = 0;
    pf_Hash = nullptr;
    pf_Compare = nullptr;
}

void CT_VoidHashTable::v_Keep(unsigned dataSize, unsigned keySize, tpf_Hash hash, tpf_Compare compare) {
    n_DataSize = dataSize;
    n_KeySize = keySize;
    pf_Hash = hash;
    pf_Compare = compare;
}

void CT_VoidHashTable::v_Init(unsigned tableSize) {
    v_SetBuckets(tableSize);
    n_Count = 0;
    n_Collisions = 0;
}

void CT_VoidHashTable::v_Init(CT_VoidHashTable const* other) {
    v_Init(other->n_GetTableSize());
    v_InsertAll(other);
}

void CT_VoidHashTable::v_Exit() {
    unsigned buckets = n_GetTableSize();
    // Freeing reads each item's allocation header: with the heads walked in
    // order, the items a few buckets on are fetched now. A table whose items
    // fit the caches is freed without the fetches (as the iterator walks).
    bool fetch = buckets >= 8192;
    for (unsigned bucket = 1; bucket <= buckets; ++bucket) {
        if (fetch && bucket + Container::se_FetchAhead <= buckets)
            Container::sv_Prefetch(pso_Head(bucket + Container::se_FetchAhead));
        st_HashItem* item = pso_Head(bucket);
        while (item != nullptr) {
            st_HashItem* following = item->pso_Following;
            std::free(item);
            item = following;
        }
    }
    v_SetBuckets(0);
    n_Count = 0;
    n_Collisions = 0;
}

void CT_VoidHashTable::v_SetBuckets(unsigned tableSize) {
    CT_Buffer heads = co_MakeHeads(tableSize);
    CT_VoidArray::v_Set(&heads);
}

void CT_VoidHashTable::v_Set(unsigned tableSize) {
    v_Exit();
    v_Init(tableSize);
}

void CT_VoidHashTable::v_Set(CT_VoidHashTable const* other) {
    // Freeing first would free the very items to be copied.
    if (other == this) return;
    v_Exit();
    v_Init(other);
}

void CT_VoidHashTable::v_InsertAll(CT_VoidHashTable const* other) {
    unsigned buckets = other->n_GetTableSize();
    for (unsigned bucket = 1; bucket <= buckets; ++bucket)
        for (st_HashItem const* item = other->pso_Head(bucket); item != nullptr; item = item->pso_Following)
            b_Insert(item->pcv_GetKey(), item->pcv_GetData());
}

// A new item at the head of bucket; no lookup, no resize. Memory
// exhaustion is the allocator's to report; without an item nothing is
// added.
inline void CT_VoidHashTable::v_Add(unsigned bucket, void const* key, void const* data, std::uint32_t textHash) {
    bool keep = b_KeepsTextHash();
    unsigned size = sizeof(st_HashItem) + n_KeySize + n_DataSize;
    st_HashItem* item = static_cast<st_HashItem*>(std::malloc(size + (keep ? sizeof textHash : 0)));
    if (item == nullptr) return;
    item->v_Set(key, n_KeySize, data, n_DataSize);
    if (keep) std::memcpy(reinterpret_cast<unsigned char*>(item) + size, &textHash, sizeof textHash);
    st_HashItem* head = pso_Head(bucket);
    if (head != nullptr) ++n_Collisions;
    item->pso_Following = head;
    v_MakeWritable();
    v_SetHead(bucket, item);
    ++n_Count;
}

int CT_VoidHashTable::b_Insert(void const* key, void const* data) {
    // A table without buckets cannot hash; rather than divide by zero it
    // first takes the smallest size a resize gives (2 buckets).
    if (n_GetTableSize() == 0) v_Resize(1);
    unsigned bucket = 0;
    // The lookup's hash of a text key, kept in a new item.
    std::uint32_t textHash = 0;
    st_HashItem* item = pso_Find(key, &bucket, nullptr, &textHash);
    if (item != nullptr) {
        sv_Copy(item->pv_Data, data, n_DataSize);
        return 1;
    }
    v_Add(bucket, key, data, textHash);
    if (n_Collisions > n_GetTableSize() / 4) v_Resize(0);
    return 0;
}

int CT_VoidHashTable::b_Remove(void const* key, void* data) {
    unsigned bucket = 0;
    st_HashItem* previous = nullptr;
    st_HashItem* item = pso_Find(key, &bucket, &previous);
    if (item == nullptr) {
        if (data != nullptr) std::memset(data, 0, n_DataSize);
        return 0;
    }
    if (data != nullptr) sv_Copy(data, item->pv_Data, n_DataSize);
    v_RemoveData(bucket, item, previous);
    return 1;
}

void CT_VoidHashTable::v_RemoveAt(unsigned bucket, st_HashItem* item) {
    // pso_GetAt gives no head for a bucket out of range; an item missing
    // from the chain is not the table's to free.
    st_HashItem* previous = nullptr;
    st_HashItem* at = pso_GetAt(bucket);
    for (; at != nullptr && at != item; at = at->pso_Following) previous = at;
    if (at == nullptr || item == nullptr) return;
    v_RemoveData(bucket, item, previous);
}

void CT_VoidHashTable::v_RemoveData(unsigned bucket, st_HashItem* item, st_HashItem* previous) {
    if (previous != nullptr) {
        previous->pso_Following = item->pso_Following;
        --n_Collisions;
    } else {
        v_MakeWritable();
        v_SetHead(bucket, item->pso_Following);
    }
    std::free(item);
    --n_Count;
}

void CT_VoidHashTable::v_Resize(unsigned tableSize) {
    unsigned target = tableSize != 0 ? tableSize : n_GetTableSize();
    if (n_Collisions >= target / 4) target = n_GetNextPrim(target * 2);
    CT_Buffer heads = co_MakeHeads(target);
    if (target == 0) {
        // Only a table without buckets gets here (n_GetNextPrim(0) is 0),
        // and it holds no item: it takes the empty bucket array, and
        // nothing is hashed (a hash modulo 0 is not to be taken).
        n_Collisions = 0;
        CT_VoidArray::v_Set(&heads);
        return;
    }
    unsigned char* newHeads = puc_Bytes(&heads);
    // Every item moves, bucket by bucket and along each chain, to the head
    // of its new bucket. The bucket is the hash callback's; for the
    // library's own integer and text callbacks it is worked out here, to
    // the same value, with one divisor for the whole walk.
    Container::CT_Modulo modulo(target);
    auto fetchNothing = [](st_HashItem const*) {};
    auto fetchText = [](st_HashItem const* item) { Container::sv_Prefetch(spcx_KeyText<char>(item + 1)); };
    // The unreduced hash of the library's case-insensitive text-pointer
    // callbacks, by the same text hash and the same fold, through tables
    // taken from the current locale once for the walk.
    auto relinkText = [&](auto textHash) {
        return sn_Relink(this, newHeads, fetchText,
                         [&](st_HashItem const* item) { return modulo.n4_Of(textHash(item + 1)) + 1; });
    };
    if (b_KeepsTextHash()) {
        // Each item's own hash, reduced: the text is not read again.
        std::size_t const hashAt = sizeof(st_HashItem) + n_KeySize + n_DataSize;
        n_Collisions = sn_Relink(this, newHeads, fetchNothing, [&modulo, hashAt](st_HashItem const* item) {
            std::uint32_t hash;
            std::memcpy(&hash, reinterpret_cast<unsigned char const*>(item) + hashAt, sizeof hash);
            return modulo.n4_Of(hash) + 1;
        });
    } else if (b_IntegerKeys()) {
        n_Collisions = sn_Relink(this, newHeads, fetchNothing, [&](st_HashItem const* item) {
            std::uint32_t value;
            std::memcpy(&value, item + 1, sizeof value);
            return modulo.n4_Of(value) + 1;
        });
    } else if (pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashNoCasePQCZ)) {
        TextHash::CT_UpperTable upper;
        n_Collisions =
            relinkText([&upper](void const* key) { return TextHash::n4_Narrow(spcx_KeyText<char>(key), upper); });
    } else if (pf_Hash == static_cast<tpf_Hash>(&CT_HashFunction::sn_HashNoCasePQUZ)) {
        TextHash::CT_UpperTable upper;
        n_Collisions = relinkText(
            [&upper](void const* key) { return TextHash::n4_Wide(spcx_KeyText<unsigned short>(key), upper); });
    } else {
        tpf_Hash hash = pf_Hash;
        n_Collisions = sn_Relink(this, newHeads, fetchNothing,
                                 [&](st_HashItem const* item) { return hash(item + 1, target); });
    }
    CT_VoidArray::v_Set(&heads);
}

unsigned CT_VoidHashTable::n_GetNextPrim(unsigned m) const { return Container::sn_NextPrime(m); }

unsigned CT_VoidHashTable::sn_HashInteger(void const* key, unsigned bucketCount) {
    std::uint32_t value;
    std::memcpy(&value, key, sizeof value);
    return value % bucketCount + 1;
}

int CT_VoidHashTable::si_CompareInteger(void const* a, void const* b) {
    std::uint32_t x, y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x < y ? -1 : (x > y ? 1 : 0);
}

void CT_VoidHashIterator::v_Init(CT_VoidHashTable const* table) {
    pco_Table = table;
    pso_Item = nullptr;
    n_Bucket = 0;
    b_Home = 1;
}

void CT_VoidHashIterator::v_Init(CT_VoidHashIterator const* other) {
    pco_Table = other->pco_Table;
    pso_Item = other->pso_Item;
    n_Bucket = other->n_Bucket;
    b_Home = other->b_Home;
}

void CT_VoidHashIterator::v_RemoveCurrent() {
    st_HashItem* item = pso_Item;
    st_HashItem* following = item->pso_Following;
    // The table is changed through the iterator, as the iterator's own
    // operation.
    const_cast<CT_VoidHashTable*>(pco_Table)->v_RemoveAt(n_Bucket, item);
    pso_Item = following;
    if (pso_Item == nullptr) b_NextBucket();
}

void CT_VoidHashIterator::v_Remove(void* data) {
    if (data != nullptr) v_Get(data);
    v_RemoveCurrent();
}

void CT_VoidHashIterator::v_RemoveKey(void* key) {
    if (key != nullptr) v_GetKey(key);
    v_RemoveCurrent();
}
