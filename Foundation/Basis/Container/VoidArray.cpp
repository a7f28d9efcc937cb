#include "Foundation/Basis/Container/VoidArray.h"

#include <cstring>

#include "Foundation/Basis/Container/ItemCopy.h"

namespace {

constexpr unsigned n_All = ~0u;

}  // namespace

BASIS_DEFINE_POOL(CT_VoidArray)

CT_VoidArray::CT_VoidArray(unsigned itemSize) : n_ItemSize(0) {
    v_Keep(itemSize);
    co_Buffer.v_SetGrowth(e_DefaultGrowth * n_ItemSize);
}

CT_VoidArray::CT_VoidArray(unsigned itemSize, unsigned growth, unsigned capacity) : n_ItemSize(0) {
    v_Keep(itemSize);
    v_Init(growth, capacity);
}

CT_VoidArray::CT_VoidArray(CT_Buffer const* buffer, unsigned itemSize) : n_ItemSize(0) {
    v_Keep(itemSize);
    v_Init(buffer);
}

CT_VoidArray::CT_VoidArray(CT_VoidArray const* other) : n_ItemSize(0) {
    v_Keep(other->n_ItemSize);
    v_Init(other);
}

// Storage for capacity items made by the buffer's first rule (the request
// rounded to the growth). A capacity of 0 leaves the array without storage,
// as a new array has none: no bytes are held for an array that asked for
// no room.
void CT_VoidArray::v_Init(unsigned growth, unsigned capacity) {
    co_Buffer.v_SetGrowth(growth * n_ItemSize);
    if (capacity == 0) co_Buffer.v_SetSize(0, 0);
    else co_Buffer.v_Set(capacity * n_ItemSize, n_All, 0);
}

void CT_VoidArray::v_Set(unsigned growth, unsigned capacity, int reuse) {
    if (reuse && capacity <= n_GetMaxItems()) {
        co_Buffer.v_SetGrowth(growth * n_ItemSize);
        // Storage shared with another array is unshared on the way, so
        // the other keeps its items.
        co_Buffer.v_SetUsedSize(0);
        return;
    }
    v_Init(growth, capacity);
}

int CT_VoidArray::b_IsEqual(CT_VoidArray const* other) const {
    unsigned count = n_GetCount();
    if (count != other->n_GetCount() || n_ItemSize != other->n_ItemSize) return 0;
    return count == 0 || std::memcmp(co_Buffer.qcv_Get(), other->co_Buffer.qcv_Get(), count * n_ItemSize) == 0;
}

void CT_VoidArray::v_SetSize(unsigned items) {
    if (items == n_GetMaxItems()) return;
    co_Buffer.v_SetSize(items * n_ItemSize, 1);
    // The buffer keeps whole bytes; a cut that fell inside an item drops
    // the part of it that was left.
    unsigned used = co_Buffer.n_GetUsedSize();
    if (used % n_ItemSize != 0) co_Buffer.v_SetUsedSize(used - used % n_ItemSize);
}

void const* CT_VoidArray::pcv_GrowKeeping(void const* item, unsigned items) {
    unsigned char const* data = static_cast<unsigned char const*>(co_Buffer.qcv_Get());
    unsigned char const* bytes = static_cast<unsigned char const*>(item);
    if (data == nullptr || bytes < data || bytes >= data + co_Buffer.n_GetMaximumSize()) {
        v_SetSize(items);
        return item;
    }
    std::size_t offset = static_cast<std::size_t>(bytes - data);
    v_SetSize(items);
    return static_cast<unsigned char const*>(co_Buffer.qcv_Get()) + offset;
}

void CT_VoidArray::v_GetAt(void* out, int position) const {
    Container::v_CopyItem(out, pcuc_Item(static_cast<unsigned>(position)), n_ItemSize);
}

void CT_VoidArray::v_SetAt(void const* item, int position) {
    // Unsharing leaves the old storage with its other owners, so an item
    // read from there stays valid.
    v_MakeWritable();
    Container::v_CopyItem(puc_Writable() + (static_cast<unsigned>(position) - 1) * n_ItemSize, item, n_ItemSize);
}

void CT_VoidArray::v_Insert(void const* item) {
    unsigned capacity = n_GetMaxItems();
    if (n_GetCount() == capacity) item = pcv_GrowKeeping(item, capacity + n_GetGrowth());
    co_Buffer.v_Append(item, n_ItemSize);
}

void CT_VoidArray::v_Insert(void const* item, unsigned n) {
    if (n == 0) return;
    unsigned count = n_GetCount();
    if (count + n > n_GetMaxItems()) item = pcv_GrowKeeping(item, count + n);
    // The first copy may unshare the storage; the rest read from that copy.
    co_Buffer.v_Append(item, n_ItemSize);
    unsigned char const* first = pcuc_Item(count + 1);
    for (unsigned i = 1; i < n; ++i) co_Buffer.v_Append(first, n_ItemSize);
}

void CT_VoidArray::v_InsertAt(void const* item, unsigned position) {
    unsigned capacity = n_GetMaxItems();
    if (n_GetCount() == capacity) item = pcv_GrowKeeping(item, capacity + n_GetGrowth());
    co_Buffer.v_Insert(item, n_ItemSize, (position - 1) * n_ItemSize);
}

// Every range form takes ~0 as "to the last item", the moves and copies
// within one array too.
unsigned CT_VoidArray::n_RangeCount(CT_VoidArray const* other, unsigned from, unsigned count) const {
    if (count != n_All) return count;
    unsigned items = other->co_Buffer.n_GetUsedSize() / n_ItemSize;
    return from <= items ? items - from + 1 : 0;
}

void CT_VoidArray::v_Insert(CT_VoidArray const* other, unsigned from, unsigned count, unsigned at) {
    count = n_RangeCount(other, from, count);
    if (count == 0) return;
    co_Buffer.v_Insert(&other->co_Buffer, (from - 1) * n_ItemSize, count * n_ItemSize, (at - 1) * n_ItemSize);
}

void CT_VoidArray::v_Replace(CT_VoidArray const* other, unsigned from, unsigned count, unsigned at) {
    count = n_RangeCount(other, from, count);
    if (count == 0) return;
    co_Buffer.v_Replace(&other->co_Buffer, (from - 1) * n_ItemSize, count * n_ItemSize, (at - 1) * n_ItemSize);
}

void CT_VoidArray::v_AtInsertCopy(unsigned from, unsigned count, unsigned at) {
    count = n_RangeCount(this, from, count);
    if (count == 0) return;
    co_Buffer.v_AtInsertCopy((from - 1) * n_ItemSize, count * n_ItemSize, (at - 1) * n_ItemSize);
}

void CT_VoidArray::v_AtInsertMove(unsigned from, unsigned count, unsigned at) {
    count = n_RangeCount(this, from, count);
    if (count == 0 || at == from || at == from + count) return;
    co_Buffer.v_AtInsertMove((from - 1) * n_ItemSize, count * n_ItemSize, (at - 1) * n_ItemSize);
}

void CT_VoidArray::v_AtInsertCopy(CT_VoidArray const* other, unsigned from, unsigned count, unsigned at) {
    v_Insert(other, from, count, at);
}

void CT_VoidArray::v_AtInsertMove(CT_VoidArray* other, unsigned from, unsigned count, unsigned at) {
    // Moving between an array and itself is the move within it; inserting
    // first and removing after would take the wrong items away.
    if (other == this) {
        v_AtInsertMove(from, count, at);
        return;
    }
    count = n_RangeCount(other, from, count);
    if (count == 0) return;
    v_Insert(other, from, count, at);
    other->v_Remove(from, from + count - 1);
}

// A last position past the count (~0 among them) removes to the end.
void CT_VoidArray::v_Remove(unsigned first, unsigned last) {
    unsigned count = n_GetCount();
    if (last > count) last = count;
    if (first == 0 || first > last) return;
    co_Buffer.v_Remove((last - first + 1) * n_ItemSize, (first - 1) * n_ItemSize);
}

unsigned CT_VoidArray::n_Find(void const* item) const {
    unsigned count = n_GetCount();
    unsigned char const* data = static_cast<unsigned char const*>(co_Buffer.qcv_Get());
    for (unsigned i = 0; i < count; ++i, data += n_ItemSize)
        if (std::memcmp(data, item, n_ItemSize) == 0) return i + 1;
    return 0;
}
