#include "Foundation/Basis/Container/VoidSortedArray.h"

#include <cstdlib>
#include <cstring>

#include "Foundation/Basis/Container/ItemCopy.h"

namespace {

// A private copy of one item, for an item that must outlive a change to
// the storage it was read from.
class CT_HeldItem {
public:
    CT_HeldItem(void const* item, unsigned size) : puc_Bytes(auc_Local) {
        if (size > sizeof auc_Local) {
            puc_Bytes = static_cast<unsigned char*>(std::malloc(size));
            // Without memory there is no copy: pcv_Get gives null.
            if (puc_Bytes == nullptr) return;
        }
        std::memcpy(puc_Bytes, item, size);
    }
    CT_HeldItem(CT_HeldItem const&) = delete;
    CT_HeldItem& operator=(CT_HeldItem const&) = delete;
    ~CT_HeldItem() {
        if (puc_Bytes != auc_Local) std::free(puc_Bytes);  // free(null) is nothing
    }
    void const* pcv_Get() const { return puc_Bytes; }

private:
    unsigned char auc_Local[32];
    unsigned char* puc_Bytes;
};

}  // namespace

BASIS_DEFINE_POOL(CT_VoidSortedArray)

CT_VoidSortedArray::CT_VoidSortedArray(unsigned itemSize, tpf_Compare compare, unsigned growth, unsigned capacity)
    : CT_VoidArray(itemSize), pf_Compare(nullptr) {
    v_Keep(compare);
    v_Set(growth, capacity, 0);
}

CT_VoidSortedArray::CT_VoidSortedArray(CT_VoidSortedArray const* other)
    : CT_VoidArray(other), pf_Compare(nullptr) {
    v_Keep(other->pf_Compare);
}

CT_VoidSortedArray::CT_VoidSortedArray(CT_VoidArray const* array, tpf_Compare compare)
    : CT_VoidArray(array), pf_Compare(nullptr) {
    v_Keep(compare);
    v_QuickSort();
}

void CT_VoidSortedArray::v_Set(CT_VoidSortedArray const* other) {
    // The reset would let go of the very storage about to be shared.
    if (other == this) return;
    CT_VoidArray::v_Set(e_DefaultGrowth, 0, 0);
    CT_VoidArray::v_Set(static_cast<CT_VoidArray const*>(other));
}

void CT_VoidSortedArray::v_Set(CT_VoidArray const* array) {
    if (array != pcco_GetArray()) {
        CT_VoidArray::v_Set(e_DefaultGrowth, 0, 0);
        CT_VoidArray::v_Set(array);
    }
    v_QuickSort();
}

void CT_VoidSortedArray::v_Insert(void const* item) {
    unsigned lo = 1;
    unsigned hi = n_GetCount();
    while (lo <= hi) {
        unsigned mid = (lo + hi) / 2;
        int r = i_Compare(mid, item);
        if (r < 0) lo = mid + 1;
        else if (r > 0) hi = mid - 1;
        else {
            lo = mid;
            break;
        }
    }
    v_InsertAt(item, lo);
}

unsigned CT_VoidSortedArray::n_Find(void const* key) const {
    unsigned lo = 1;
    unsigned hi = n_GetCount();
    while (lo <= hi) {
        unsigned mid = (lo + hi) / 2;
        int r = i_Compare(mid, key);
        if (r < 0) lo = mid + 1;
        else if (r > 0) hi = mid - 1;
        else return mid;
    }
    return 0;
}

void CT_VoidSortedArray::v_SetAt(void const* item, unsigned position) {
    // The new item may be read from this array's own storage, which the
    // removal shifts: hold a copy of it first.
    CT_HeldItem held(item, n_GetItemSize());
    if (held.pcv_Get() == nullptr) return;  // out of memory: the array stays as it is
    v_RemoveAt(position);
    v_Insert(held.pcv_Get());
}

void CT_VoidSortedArray::v_RemoveAt(void* out, unsigned position) {
    v_GetAt(out, position);
    v_RemoveAt(position);
}

int CT_VoidSortedArray::b_IsEqual(CT_VoidSortedArray const* other) const {
    unsigned count = n_GetCount();
    if (count != other->n_GetCount() || pf_Compare != other->pf_Compare ||
        n_GetItemSize() != other->n_GetItemSize())
        return 0;
    for (unsigned i = 1; i <= count; ++i)
        if (pf_Compare(pcuc_Item(i), other->pcuc_Item(i)) != 0) return 0;
    return 1;
}

void CT_VoidSortedArray::v_Swap(unsigned i, unsigned j, CT_Buffer* temp) {
    if (i == j) return;
    unsigned size = n_GetItemSize();
    unsigned char* hold = static_cast<unsigned char*>(const_cast<void*>(temp->qcv_Get()));
    unsigned char* a = puc_Writable() + (i - 1) * size;
    unsigned char* b = puc_Writable() + (j - 1) * size;
    Container::v_CopyItem(hold, a, size);
    Container::v_CopyItem(a, b, size);
    Container::v_CopyItem(b, hold, size);
}

void CT_VoidSortedArray::v_QuickSort() {
    unsigned count = n_GetCount();
    if (count < 2) return;
    v_MakeWritable();
    CT_Buffer temp(n_GetItemSize(), 32);
    v_QuickSort(&temp, 1, count);
}

// Sorts lo..hi: the middle item is exchanged to the front and taken as the
// pivot; every later item that orders before it is gathered behind it,
// from lo + 1 on, and the pivot is then exchanged to the end of that run
// (at last). lo..last - 1 orders at or before the pivot and
// last + 1..hi at or after it, and each part of two or more items is
// sorted the same way. The order in which the two parts are taken changes
// neither part, so the smaller one recurses and the larger one is the
// next turn of the loop: the recursion goes at most log2(count) deep.
void CT_VoidSortedArray::v_QuickSort(CT_Buffer* temp, unsigned lo, unsigned hi) {
    while (lo < hi) {
        v_Swap(lo, lo + (hi - lo) / 2, temp);
        unsigned last = lo;
        for (unsigned i = lo + 1; i <= hi; ++i)
            if (i_Compare(lo, i) > 0) v_Swap(++last, i, temp);
        v_Swap(lo, last, temp);
        // last >= lo >= 1, so last - 1 does not wrap.
        if (last - lo < hi - last) {
            if (lo + 1 < last) v_QuickSort(temp, lo, last - 1);
            lo = last + 1;
        } else {
            if (last + 1 < hi) v_QuickSort(temp, last + 1, hi);
            hi = last - 1;
        }
    }
}
