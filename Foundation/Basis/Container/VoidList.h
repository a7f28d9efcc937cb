// CT_VoidList: an untyped doubly linked list of fixed-size items.
//
// Each item is copied by value into a node of its own; the list never
// looks at what an item holds and never frees what it points to. Callers
// walk the list with node handles (st_Position*), which stay valid until
// their item is removed or the list is cleared or destroyed. Positions
// counted by number start at 1.
//
// Copying a list copies every item into new nodes: lists share nothing.
//
// Limits the caller keeps (not tested): nodes passed in belong to this
// list.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_VoidList {
public:
    // A node: the two links, then the item's bytes in the same allocation.
    struct st_Position {
        st_Position* pso_Next;
        st_Position* pso_Previous;
    };

    explicit CT_VoidList(unsigned itemSize);
    // Same item size, a copy of every item in order.
    explicit CT_VoidList(CT_VoidList const* other);
    CT_VoidList(CT_VoidList const& other) : CT_VoidList(&other) {}
    CT_VoidList& operator=(CT_VoidList const& other) {
        v_Set(&other);
        return *this;
    }
    ~CT_VoidList() { v_Exit(); }

    // Frees every node.
    void v_Set();
    // Frees every node, then appends a copy of each of the other's items;
    // the own item size stays.
    void v_Set(CT_VoidList const* other);

    unsigned n_GetCount() const { return n_Count; }
    unsigned n_GetItemSize() const { return n_ItemSize; }

    st_Position* pso_GetFirst() const { return pso_First; }
    st_Position* pso_GetLast() const { return pso_Last; }
    // The node of item n (1 to count), walked to from the nearer end.
    st_Position* pso_GetPosition(unsigned n) const;
    // Walks steps forward (positive) or back (negative), wrapping around
    // from the last node to the first and back.
    st_Position* pso_Skip(st_Position* node, int steps) const;
    // The first node whose item equals item byte for byte, or null; the
    // position, when asked for, receives its number or 0.
    st_Position* pso_Find(void const* item, unsigned* position) const;

    void v_GetAt(void* out, st_Position const* node) const;
    void v_SetAt(void const* item, st_Position* node);

    // A null node puts the new item first (after) or last (before).
    void v_InsertAfter(void const* item, st_Position* node);
    void v_InsertBefore(void const* item, st_Position* node);
    void v_InsertFirst(void const* item) { v_InsertAfter(item, nullptr); }
    void v_InsertLast(void const* item) { v_InsertAfter(item, pso_Last); }

    // Copies the item to out (when out is not null), then unlinks and
    // frees the node; a null node means the first.
    void v_RemoveAt(void* out, st_Position* node);
    void v_RemoveFirst(void* out) { v_RemoveAt(out, nullptr); }
    void v_RemoveLast(void* out) { v_RemoveAt(out, pso_Last); }

    // Same count and pairwise equal items over the own item size.
    int b_IsEqual(CT_VoidList const* other) const;

    BASIS_DECLARE_POOL()

private:
    static unsigned char* spuc_Data(st_Position* node) { return reinterpret_cast<unsigned char*>(node + 1); }
    static unsigned char const* spcuc_Data(st_Position const* node) {
        return reinterpret_cast<unsigned char const*>(node + 1);
    }
    st_Position* pso_NewNode(void const* item) const;
    void v_Keep(unsigned itemSize) { n_ItemSize = itemSize; }
    void v_Init();
    void v_Init(CT_VoidList const* other);
    void v_Exit();
    void v_SetData(void* to, void const* from) const;

    std::uint32_t n_Count;
    std::uint32_t n_ItemSize;
    st_Position* pso_Last;
    st_Position* pso_First;
};
