// Typed views of the hash table: CT_HashTable<K, V> is a CT_VoidHashTable
// with keys of type K and data of type V; CT_Iterator<V> is the abstract
// iterator over data of type V, and CT_HashIterator<K, V> implements it on
// a CT_VoidHashIterator over a CT_HashTable<K, V>.
//
// Keys and data are copied byte for byte, so K and V are trivially
// copyable (numbers and pointers, as a rule). The typed operations only
// forward to the untyped ones; the callbacks still receive the address of
// the key (for a K that is a text pointer, a pointer to that pointer).
#pragma once

#include <cstring>
#include <type_traits>

#include "Foundation/Basis/Container/VoidHashTable.h"

template <class K, class V>
class CT_HashTable : public CT_VoidHashTable {
    static_assert(std::is_trivially_copyable_v<K> && std::is_trivially_copyable_v<V>,
                  "CT_HashTable copies its keys and data byte for byte");

public:
    CT_HashTable(tpf_Hash hash, tpf_Compare compare, unsigned tableSize)
        : CT_VoidHashTable(sizeof(V), sizeof(K), hash, compare, tableSize) {}
    explicit CT_HashTable(CT_HashTable const* other) : CT_VoidHashTable(other) {}
    CT_HashTable(CT_HashTable const& other) : CT_VoidHashTable(&other) {}
    CT_HashTable& operator=(CT_HashTable const& other) {
        CT_VoidHashTable::v_Set(&other);
        return *this;
    }
    virtual ~CT_HashTable() {}

    using CT_VoidHashTable::b_Get;
    using CT_VoidHashTable::b_Insert;
    using CT_VoidHashTable::b_Remove;
    int b_Insert(K const& key, V const& data) { return CT_VoidHashTable::b_Insert(&key, &data); }
    int b_Get(K const& key, V* data) const { return CT_VoidHashTable::b_Get(&key, data); }
    int b_Remove(K const& key, V* data) { return CT_VoidHashTable::b_Remove(&key, data); }
};

template <class V>
class CT_Iterator {
public:
    virtual ~CT_Iterator() {}
    // A new iterator at the same position, owned by the caller.
    virtual CT_Iterator* vpco_Copy() const = 0;
    // Takes the other's position; the other is of the same kind.
    virtual void vv_Set(CT_Iterator const* other) = 0;
    // Back to the start.
    virtual void vv_Set() = 0;
    virtual int vb_IsEqual(CT_Iterator const*) const { return 1; }
    // Moves to the next item; false when there is none.
    virtual int vb_Next() = 0;
    // Whether the iterator stands on an item.
    virtual int vb_IsValid() const = 0;
    virtual int vb_AtEnd() const = 0;
    // The current item's data.
    virtual V vpco_Get() const = 0;
    // Removes the current item and returns its data; the iterator then
    // stands on the item after it.
    virtual V vpco_Remove() = 0;
    // The number of items of what is iterated.
    virtual unsigned vn_GetCount() const = 0;
};

template <class K, class V>
class CT_HashIterator : public CT_Iterator<V> {
public:
    explicit CT_HashIterator(CT_HashTable<K, V> const* table) : co_Iterator(table) {}
    CT_HashIterator(CT_HashIterator const& other) : CT_Iterator<V>(), co_Iterator(&other.co_Iterator) {}
    CT_HashIterator& operator=(CT_HashIterator const& other) {
        co_Iterator.v_Set(&other.co_Iterator);
        return *this;
    }

    CT_Iterator<V>* vpco_Copy() const override { return new CT_HashIterator(*this); }
    // An iterator of another kind has no position here: nothing changes.
    void vv_Set(CT_Iterator<V> const* other) override {
        if (CT_HashIterator const* same = dynamic_cast<CT_HashIterator const*>(other))
            co_Iterator.v_Set(&same->co_Iterator);
    }
    void vv_Set() override { co_Iterator.v_Set(); }
    // False for an iterator of another kind.
    int vb_IsEqual(CT_Iterator<V> const* other) const override {
        CT_HashIterator const* same = dynamic_cast<CT_HashIterator const*>(other);
        return same != nullptr && co_Iterator.b_IsEqual(&same->co_Iterator);
    }
    int vb_Next() override { return co_Iterator.b_Next(); }
    int vb_IsValid() const override { return co_Iterator.pcso_GetItem() != nullptr; }
    int vb_AtEnd() const override { return co_Iterator.b_AtEnd(); }
    V vpco_Get() const override {
        V data;
        co_Iterator.v_Get(&data);
        return data;
    }
    V vpco_Remove() override {
        V data;
        co_Iterator.v_Remove(&data);
        return data;
    }
    unsigned vn_GetCount() const override { return co_Iterator.n_GetCount(); }

    // The current item's key.
    void v_GetKey(K* key) const { co_Iterator.v_GetKey(key); }
    CT_VoidHashIterator const* pcco_GetVoidIterator() const { return &co_Iterator; }

private:
    CT_VoidHashIterator co_Iterator;
};
