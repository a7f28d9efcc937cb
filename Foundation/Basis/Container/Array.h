// CT_Array<T>: a typed view of a CT_VoidArray whose items are values of T
// (pointers, numbers, small plain structures). The operations are those of
// the untyped array with T in place of the untyped item; the item size is
// sizeof(T). Items are copied byte for byte, so T must be trivially
// copyable, and an array never frees what its items point to.
#pragma once

#include <type_traits>

#include "Foundation/Basis/Container/VoidArray.h"

template <class T>
class CT_Array : public CT_VoidArray {
    static_assert(std::is_trivially_copyable_v<T>, "CT_Array copies its items byte for byte");

public:
    CT_Array() : CT_VoidArray(sizeof(T)) {}
    CT_Array(unsigned growth, unsigned capacity) : CT_VoidArray(sizeof(T), growth, capacity) {}
    explicit CT_Array(CT_Buffer const* buffer) : CT_VoidArray(buffer, sizeof(T)) {}
    explicit CT_Array(CT_Array const* other) : CT_VoidArray(other) {}
    CT_Array(CT_Array const& other) : CT_VoidArray(&other) {}
    CT_Array& operator=(CT_Array const& other) {
        CT_VoidArray::v_Set(&other);
        return *this;
    }

    void v_Set(unsigned growth, unsigned capacity, int reuse) { CT_VoidArray::v_Set(growth, capacity, reuse); }
    void v_Set(CT_Array const* other) { CT_VoidArray::v_Set(other); }
    void v_Set(CT_Buffer const* buffer) { CT_VoidArray::v_Set(buffer); }

    void v_GetAt(T* out, int position) const { CT_VoidArray::v_GetAt(out, position); }
    void v_SetAt(T const& item, int position) { CT_VoidArray::v_SetAt(&item, position); }

    void v_Insert(T const& item) { CT_VoidArray::v_Insert(&item); }
    void v_Insert(T const& item, unsigned n) { CT_VoidArray::v_Insert(&item, n); }
    void v_InsertAt(T const& item, unsigned position) { CT_VoidArray::v_InsertAt(&item, position); }

    void v_Insert(CT_Array const* other, unsigned from, unsigned count, unsigned at) {
        CT_VoidArray::v_Insert(other, from, count, at);
    }
    void v_Append(CT_Array const* other, unsigned from, unsigned count) { CT_VoidArray::v_Append(other, from, count); }
    void v_Replace(CT_Array const* other, unsigned from, unsigned count, unsigned at) {
        CT_VoidArray::v_Replace(other, from, count, at);
    }
    void v_AtInsertCopy(unsigned from, unsigned count, unsigned at) { CT_VoidArray::v_AtInsertCopy(from, count, at); }
    void v_AtInsertMove(unsigned from, unsigned count, unsigned at) { CT_VoidArray::v_AtInsertMove(from, count, at); }
    void v_AtInsertCopy(CT_Array const* other, unsigned from, unsigned count, unsigned at) {
        CT_VoidArray::v_AtInsertCopy(other, from, count, at);
    }
    void v_AtInsertMove(CT_Array* other, unsigned from, unsigned count, unsigned at) {
        CT_VoidArray::v_AtInsertMove(other, from, count, at);
    }

    unsigned n_Find(T const& item) const { return CT_VoidArray::n_Find(&item); }
    int b_IsEqual(CT_Array const* other) const { return CT_VoidArray::b_IsEqual(other); }
};
