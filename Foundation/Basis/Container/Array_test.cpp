#include "Foundation/Basis/Container/Array.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Foundation/Basis/Container/VoidSortedArray.h"
#include "Foundation/Basis/String/CString.h"

namespace {

template <class T>
std::vector<T> ao_Items(CT_Array<T> const& array) {
    std::vector<T> items(array.n_GetCount());
    for (unsigned i = 0; i < items.size(); ++i) array.v_GetAt(&items[i], static_cast<int>(i + 1));
    return items;
}

int i_CompareNames(void const* a, void const* b) {
    CT_CString const *x, *y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return std::strcmp(x->qccz_Get(), y->qccz_Get());
}

TEST(Array, TypedItemsOfPointerAndWiderSize) {
    // Pointers to strings, as the library keeps them: not owned.
    CT_CString gamma("gamma", 5, 0), alpha("alpha", 5, 0), beta("beta", 4, 0);
    CT_Array<CT_CString*> names;
    EXPECT_EQ(names.n_GetItemSize(), sizeof(CT_CString*));
    names.v_Insert(&gamma);
    names.v_Insert(&alpha);
    names.v_InsertAt(&beta, 2);
    EXPECT_EQ(ao_Items(names), (std::vector<CT_CString*>{&gamma, &beta, &alpha}));
    EXPECT_EQ(names.n_Find(&alpha), 3u);
    // A typed array is an array: a sorted one can be built from it.
    CT_VoidSortedArray sorted(&names, &i_CompareNames);
    CT_CString* first = nullptr;
    sorted.v_GetAt(&first, 1u);
    EXPECT_EQ(first, &alpha);
    EXPECT_EQ(ao_Items(names).front(), &gamma);

    CT_Array<double> values(4, 2);
    for (double v : {1.5, -2.25, 1e300}) values.v_Insert(v);
    values.v_Insert(0.5, 2);
    values.v_SetAt(7.0, 1);
    EXPECT_EQ(ao_Items(values), (std::vector<double>{7.0, -2.25, 1e300, 0.5, 0.5}));
    EXPECT_EQ(values.n_Find(1e300), 3u);
}

TEST(Array, TypedRangesAndSharing) {
    CT_Array<int> a, b;
    for (int v : {1, 2, 3}) a.v_Insert(v);
    for (int v : {7, 8}) b.v_Insert(v);
    a.v_Insert(&b, 1, ~0u, 2);
    a.v_Append(&b, 2, 1);
    a.v_Replace(&b, 1, 1, 1);
    EXPECT_EQ(ao_Items(a), (std::vector<int>{7, 7, 8, 2, 3, 8}));
    a.v_AtInsertMove(&b, 1, 2, 1);
    EXPECT_EQ(b.n_GetCount(), 0u);
    a.v_AtInsertMove(1, 2, 9);
    a.v_AtInsertCopy(1, 1, 1);
    EXPECT_EQ(ao_Items(a), (std::vector<int>{7, 7, 7, 8, 2, 3, 8, 7, 8}));

    CT_Array<int> copy(a);
    EXPECT_EQ(a.pcco_GetBuffer()->n_GetUseCount(), 2u);
    copy.v_SetAt(0, 1);
    EXPECT_EQ(ao_Items(a).front(), 7);
    EXPECT_FALSE(copy.b_IsEqual(&a));
    copy = a;
    EXPECT_TRUE(copy.b_IsEqual(&a));
    EXPECT_EQ(ao_Items(CT_Array<int>(a.pcco_GetBuffer())), ao_Items(a));
}

}  // namespace
