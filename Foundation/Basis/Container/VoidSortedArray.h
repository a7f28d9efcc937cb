// CT_VoidSortedArray: an array of fixed-size items kept in the order of a
// comparison callback.
//
// The callback is called as compare(address of a stored item, address of
// the other item or key) and returns a negative value, 0 or a positive
// value; for consecutive items a, b, compare(a, b) <= 0 always holds.
// Lookups halve the range; single items go in at their sorted place; a
// whole array taken over is put in order by one quicksort (not stable).
//
// The reading operations of the plain array stay as they are; the changing
// ones that could break the order are replaced or closed.
#pragma once

#include "Foundation/Basis/Container/VoidArray.h"

class BASIS_API CT_VoidSortedArray : public CT_VoidArray {
public:
    typedef int (*tpf_Compare)(void const*, void const*);

    CT_VoidSortedArray(unsigned itemSize, tpf_Compare compare, unsigned growth = e_DefaultGrowth,
                       unsigned capacity = 0);
    // Same item size and callback; shares the other's storage.
    explicit CT_VoidSortedArray(CT_VoidSortedArray const* other);
    CT_VoidSortedArray(CT_VoidSortedArray const& other) : CT_VoidSortedArray(&other) {}
    // Same item size; takes the array's items and sorts them. The storage
    // is unshared before the sort, so the array keeps its own order.
    CT_VoidSortedArray(CT_VoidArray const* array, tpf_Compare compare);

    void v_Set(unsigned growth, unsigned capacity, int reuse) { CT_VoidArray::v_Set(growth, capacity, reuse); }
    // Shares the other's storage; this array's own callback stays.
    void v_Set(CT_VoidSortedArray const* other);
    // Takes the array's items and sorts them with this array's callback.
    void v_Set(CT_VoidArray const* array);
    CT_VoidSortedArray& operator=(CT_VoidSortedArray const& other) {
        v_Set(&other);
        return *this;
    }
    CT_VoidSortedArray& operator=(CT_VoidArray const& array) {
        v_Set(&array);
        return *this;
    }

    // Inserts at the sorted place: directly before an equal item the
    // search meets, else where the search ends.
    void v_Insert(void const* item);
    // The position of an item equal to key (among several equal ones, the
    // one the halving reaches first), or 0.
    unsigned n_Find(void const* key) const;

    void v_GetAt(void* out, unsigned position) const { CT_VoidArray::v_GetAt(out, static_cast<int>(position)); }
    // Removes the item at position and inserts the new one at its sorted
    // place, which need not be position.
    void v_SetAt(void const* item, unsigned position);
    void v_RemoveAt(unsigned position) { CT_VoidArray::v_RemoveAt(position); }
    void v_RemoveAt(void* out, unsigned position);

    // Same count, same callback, same item size, and each item compares
    // equal to its counterpart.
    int b_IsEqual(CT_VoidSortedArray const* other) const;
    using CT_VoidArray::b_IsEqual;

    CT_VoidArray const* pcco_GetArray() const { return this; }
    tpf_Compare pf_GetCompare() const { return pf_Compare; }

    BASIS_DECLARE_POOL()

private:
    // Changing operations of the plain array that would break the order.
    using CT_VoidArray::v_Append;
    using CT_VoidArray::v_AtInsertCopy;
    using CT_VoidArray::v_AtInsertMove;
    using CT_VoidArray::v_InsertAt;
    using CT_VoidArray::v_Replace;

    int i_Compare(unsigned i, unsigned j) const { return pf_Compare(pcuc_Item(i), pcuc_Item(j)); }
    int i_Compare(unsigned i, void const* key) const { return pf_Compare(pcuc_Item(i), key); }
    void v_Swap(unsigned i, unsigned j, CT_Buffer* temp);
    void v_QuickSort();
    void v_QuickSort(CT_Buffer* temp, unsigned lo, unsigned hi);
    void v_Keep(tpf_Compare compare) { pf_Compare = compare; }

    tpf_Compare pf_Compare;
};
