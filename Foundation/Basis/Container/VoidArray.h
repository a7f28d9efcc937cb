// CT_VoidArray: an untyped vector of fixed-size items.
//
// The items lie one after another as bytes in a CT_Buffer, so copying an
// array shares the storage and the first change to either copy duplicates
// it. The array knows only the item size: items are copied in and out byte
// for byte, and whatever an item points to is never looked at or freed.
//
// Positions are counted from 1; a position of 0 returned by a search means
// not found. The buffer's growth is kept in bytes (item size times the
// growth in items), its used size is count times item size, and its
// maximum size divided by the item size is the capacity.
//
// Limits the caller keeps (not tested): positions from 1 to the count
// (count + 1 where an operation inserts), an item size above 0, ranges
// inside the source array.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_VoidArray {
public:
    enum : unsigned { e_DefaultGrowth = 8 };

    // Growth 8 items, no storage.
    explicit CT_VoidArray(unsigned itemSize);
    // Growth in items, storage for capacity items.
    CT_VoidArray(unsigned itemSize, unsigned growth, unsigned capacity);
    // Shares the buffer's storage and growth; the item size is given.
    CT_VoidArray(CT_Buffer const* buffer, unsigned itemSize);
    // Shares the other's storage; same item size.
    explicit CT_VoidArray(CT_VoidArray const* other);
    CT_VoidArray(CT_VoidArray const& other) : CT_VoidArray(&other) {}
    CT_VoidArray& operator=(CT_VoidArray const& other) {
        v_Set(&other);
        return *this;
    }
    ~CT_VoidArray() { v_Exit(); }

    // With reuse and a capacity not above the present one only the growth
    // and the count change; otherwise new storage for capacity items.
    void v_Set(unsigned growth, unsigned capacity, int reuse);
    // Share the other's storage; the item size stays.
    void v_Set(CT_VoidArray const* other) { v_Init(other); }
    void v_Set(CT_Buffer const* buffer) { v_Init(buffer); }

    unsigned n_GetCount() const { return co_Buffer.n_GetUsedSize() / n_ItemSize; }
    unsigned n_GetMaxItems() const { return co_Buffer.n_GetMaximumSize() / n_ItemSize; }
    unsigned n_GetGrowth() const { return co_Buffer.n_GetGrowth() / n_ItemSize; }
    unsigned n_GetItemSize() const { return n_ItemSize; }
    CT_Buffer const* pcco_GetBuffer() const { return &co_Buffer; }
    // Same count, same item size and the same used bytes.
    int b_IsEqual(CT_VoidArray const* other) const;

    void v_SetGrowth(unsigned items) { co_Buffer.v_SetGrowth(items * n_ItemSize); }
    // Resizes to room for items, keeping what fits (the count is cut).
    void v_SetSize(unsigned items);

    void v_GetAt(void* out, int position) const;
    void v_SetAt(void const* item, int position);

    // Appends one item, growing by the growth when full.
    void v_Insert(void const* item);
    // Appends n copies of the item, growing to exactly the room needed.
    void v_Insert(void const* item, unsigned n);
    // Inserts before position (count + 1 appends).
    void v_InsertAt(void const* item, unsigned position);

    // Ranges of another array's items, taken with this array's item size.
    // A count of ~0 runs to the other's last item.
    void v_Insert(CT_VoidArray const* other, unsigned from, unsigned count, unsigned at);
    void v_Append(CT_VoidArray const* other, unsigned from, unsigned count) {
        v_Insert(other, from, count, n_GetCount() + 1);
    }
    // Overwrites from at on, extending the array where the range runs past.
    void v_Replace(CT_VoidArray const* other, unsigned from, unsigned count, unsigned at);

    // Copies or moves count items from from to the insertion point at.
    void v_AtInsertCopy(unsigned from, unsigned count, unsigned at);
    void v_AtInsertMove(unsigned from, unsigned count, unsigned at);
    void v_AtInsertCopy(CT_VoidArray const* other, unsigned from, unsigned count, unsigned at);
    // Inserts the other's items, then removes them from the other.
    void v_AtInsertMove(CT_VoidArray* other, unsigned from, unsigned count, unsigned at);

    // Removes items first to last inclusive.
    void v_Remove(unsigned first, unsigned last);
    void v_RemoveAt(unsigned position) { v_Remove(position, position); }

    // Linear search comparing the item's bytes: the first equal item's
    // position, or 0.
    unsigned n_Find(void const* item) const;

    BASIS_DECLARE_POOL()

protected:
    unsigned char const* pcuc_Item(unsigned position) const {
        return static_cast<unsigned char const*>(co_Buffer.qcv_Get()) + (position - 1) * n_ItemSize;
    }
    // The bytes for changing in place; the storage must be writable first.
    unsigned char* puc_Writable() { return static_cast<unsigned char*>(const_cast<void*>(co_Buffer.qcv_Get())); }
    void v_MakeWritable() { co_Buffer.v_CopyWeWrite(); }

private:
    void v_Init(unsigned growth, unsigned capacity);
    void v_Init(CT_VoidArray const* other) { co_Buffer.v_Set(&other->co_Buffer); }
    void v_Init(CT_Buffer const* buffer) { co_Buffer.v_Set(buffer); }
    void v_Keep(unsigned itemSize) { n_ItemSize = itemSize; }
    void v_Exit() { co_Buffer.v_SetSize(0, 0); }
    // Grows to room for items. An item that lies in this array's own
    // storage moves with it; the returned address is where it is now.
    void const* pcv_GrowKeeping(void const* item, unsigned items);
    // The count of a range, ~0 resolved against the other's items.
    unsigned n_RangeCount(CT_VoidArray const* other, unsigned from, unsigned count) const;

    std::uint32_t n_ItemSize;
    CT_Buffer co_Buffer;
};
