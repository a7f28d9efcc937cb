#include "Foundation/Basis/Container/VoidSortedArray.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "Foundation/Basis/Container/ItemCopy.h"

namespace {

// A private copy of one item, for an item that must outlive a change to
// the storage it was read from.
class CT_HeldItem {
public:
    CT_HeldItem(void const* item, unsigned size) : puc_Bytes(auc_Local) {
        if (size > sizeof auc_Local) {
            puc_Bytes = static_cast<unsigned char*>(std::malloc(size));
            if (puc_Bytes == nullptr) throw std::bad_alloc();
        }
        std::memcpy(puc_Bytes, item, size);
    }
    CT_HeldItem(CT_HeldItem const&) = delete;
    CT_HeldItem& operator=(CT_HeldItem const&) = delete;
    ~CT_HeldItem() {
        if (puc_Bytes != auc_Local) std::free(puc_Bytes);
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

// Partitions three ways around a copy of the middle item: the items that
// order before it, those equal to it, those after it. Equal items are
// placed in the one pass, so an array of many equal keys sorts in linear
// time instead of quadratic. The smaller side recurses, the larger loops,
// which bounds the depth of the recursion.
void CT_VoidSortedArray::v_QuickSort(CT_Buffer* temp, unsigned lo, unsigned hi) {
    unsigned size = n_GetItemSize();
    CT_Buffer pivotBuffer(size, 32);
    unsigned char* pivot = static_cast<unsigned char*>(const_cast<void*>(pivotBuffer.qcv_Get()));
    while (lo < hi) {
        Container::v_CopyItem(pivot, pcuc_Item(lo + (hi - lo) / 2), size);
        unsigned less = lo;
        unsigned i = lo;
        unsigned greater = hi;
        while (i <= greater) {
            int r = i_Compare(i, pivot);
            if (r < 0) {
                v_Swap(less++, i++, temp);
            } else if (r > 0) {
                v_Swap(i, greater, temp);
                --greater;  // never below lo - 1 >= 0: positions start at 1
            } else {
                ++i;
            }
        }
        // [lo, less) before the pivot, [less, greater] equal, (greater, hi] after.
        if (less - lo < hi - greater) {
            if (less > lo + 1) v_QuickSort(temp, lo, less - 1);
            lo = greater + 1;
        } else {
            if (hi > greater + 1) v_QuickSort(temp, greater + 1, hi);
            hi = less - 1;
        }
    }
}
