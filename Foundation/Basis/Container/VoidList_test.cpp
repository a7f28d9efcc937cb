#include "Foundation/Basis/Container/VoidList.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

typedef CT_VoidList::st_Position st_Position;

CT_VoidList o_Letters(std::string const& text) {
    CT_VoidList list(1);
    for (char c : text) list.v_InsertLast(&c);
    return list;
}

char c_At(CT_VoidList const& list, st_Position const* node) {
    char c = 0;
    list.v_GetAt(&c, node);
    return c;
}

// The items walked forwards, checked against the walk backwards, so a
// broken back link shows as well as a broken forward one.
std::string s_Letters(CT_VoidList const& list) {
    std::string forward, backward;
    for (st_Position* node = list.pso_GetFirst(); node; node = node->pso_Next) forward += c_At(list, node);
    for (st_Position* node = list.pso_GetLast(); node; node = node->pso_Previous) backward.insert(0, 1, c_At(list, node));
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward.size(), list.n_GetCount());
    return forward;
}

TEST(VoidList, InsertsAtBothEndsAndBesideNodes) {
    CT_VoidList list(1);
    list.v_InsertFirst("A");
    list.v_InsertLast("B");
    list.v_InsertBefore("C", nullptr);  // null: the new node becomes the last
    EXPECT_EQ(s_Letters(list), "ABC");
    list.v_InsertAfter("D", nullptr);  // null: the new node becomes the first
    EXPECT_EQ(s_Letters(list), "DABC");
    st_Position* nodeA = list.pso_GetPosition(2);
    st_Position* nodeC = list.pso_GetLast();
    list.v_InsertAfter("x", nodeA);
    list.v_InsertBefore("y", nodeA);
    list.v_InsertAfter("z", nodeC);                // a new last
    list.v_InsertBefore("w", list.pso_GetFirst());  // a new first
    EXPECT_EQ(s_Letters(list), "wDyAxBCz");
    EXPECT_EQ(c_At(list, nodeA), 'A');  // handles stay on their items
    EXPECT_EQ(list.pso_GetPosition(4), nodeA);
    EXPECT_EQ(list.pso_GetLast()->pso_Next, nullptr);
    EXPECT_EQ(list.pso_GetFirst()->pso_Previous, nullptr);

    CT_MemPool* pool = CT_VoidList::spso_GetMemPool();
    std::int32_t before = pool->i4_GetBlocksInUse();
    CT_VoidList* pooled = new CT_VoidList(8);
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before + 1);
    delete pooled;
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before);
}

TEST(VoidList, NumberedPositionsAndWrappingSkips) {
    // Every number on lists of several lengths, from either end.
    for (unsigned length = 0; length <= 7; ++length) {
        CT_VoidList list = o_Letters(std::string("abcdefg", length));
        st_Position* node = list.pso_GetFirst();
        for (unsigned n = 1; n <= length; ++n, node = node->pso_Next) ASSERT_EQ(list.pso_GetPosition(n), node);
        EXPECT_EQ(list.pso_GetPosition(0), nullptr);
        EXPECT_EQ(list.pso_GetPosition(length + 1), nullptr);
    }
    CT_VoidList list = o_Letters("abc");
    st_Position* first = list.pso_GetFirst();
    st_Position* last = list.pso_GetLast();
    EXPECT_EQ(list.pso_Skip(last, 1), first);
    EXPECT_EQ(list.pso_Skip(first, -1), last);
    EXPECT_EQ(list.pso_Skip(last, 0), last);
    EXPECT_EQ(c_At(list, list.pso_Skip(first, 4)), 'b');
    EXPECT_EQ(c_At(list, list.pso_Skip(first, -4)), 'c');
    EXPECT_EQ(c_At(list, list.pso_Skip(first, INT_MIN)), 'b');  // 2^31 = 3k + 2 steps back
    EXPECT_EQ(c_At(list, list.pso_Skip(first, INT_MAX)), 'b');  // 2^31 - 1 = 3k + 1 forward
    std::string around;
    st_Position* node = first;
    for (int i = 0; i < 4; ++i, node = list.pso_Skip(node, 1)) around += c_At(list, node);
    for (int i = 0; i < 4; ++i, node = list.pso_Skip(node, -1)) around += c_At(list, node);
    EXPECT_EQ(around, "abcabacb");
}

TEST(VoidList, RemovalRelinksTheNeighbours) {
    CT_VoidList list = o_Letters("ABCDE");
    st_Position* nodeB = list.pso_GetPosition(2);
    st_Position* nodeD = list.pso_GetPosition(4);
    char out = 0;
    list.v_RemoveAt(&out, list.pso_GetPosition(3));
    EXPECT_EQ(out, 'C');
    EXPECT_EQ(nodeB->pso_Next, nodeD);
    EXPECT_EQ(list.pso_GetPosition(3), nodeD);
    list.v_RemoveAt(nullptr, nullptr);  // null node: the first; null out: no copy
    list.v_RemoveFirst(&out);
    EXPECT_EQ(out, 'B');
    list.v_RemoveLast(&out);
    EXPECT_EQ(out, 'E');
    EXPECT_EQ(s_Letters(list), "D");
    list.v_RemoveLast(nullptr);
    EXPECT_EQ(list.pso_GetFirst(), nullptr);
    EXPECT_EQ(list.pso_GetLast(), nullptr);
    list.v_InsertBefore("Z", nullptr);
    list.v_InsertAfter("Y", list.pso_GetFirst());
    EXPECT_EQ(s_Letters(list), "ZY");
    list.v_Set();
    EXPECT_EQ(s_Letters(list), "");
}

TEST(VoidList, FindOverwriteAndIndependentCopies) {
    CT_VoidList list = o_Letters("ABCB");
    unsigned position = 99;
    EXPECT_EQ(list.pso_Find("B", &position), list.pso_GetPosition(2));  // the first equal item
    EXPECT_EQ(position, 2u);
    EXPECT_EQ(list.pso_Find("Z", &position), nullptr);
    EXPECT_EQ(position, 0u);
    list.v_SetAt("x", list.pso_GetLast());
    EXPECT_NE(list.pso_Find("x", &position), nullptr);
    EXPECT_EQ(position, 4u);

    CT_VoidList copy(&list);
    EXPECT_TRUE(copy.b_IsEqual(&list));
    copy.v_SetAt("y", copy.pso_GetPosition(2));
    EXPECT_EQ(s_Letters(list), "ABCx");
    EXPECT_EQ(s_Letters(copy), "AyCx");
    EXPECT_FALSE(copy.b_IsEqual(&list));
    copy = list;
    EXPECT_TRUE(copy.b_IsEqual(&list));
    CT_VoidList& alias = copy;
    copy = alias;
    EXPECT_EQ(s_Letters(copy), "ABCx");
    copy.v_RemoveLast(nullptr);
    EXPECT_FALSE(copy.b_IsEqual(&list));
    CT_VoidList empty1(1), empty4(4);
    EXPECT_TRUE(empty1.b_IsEqual(&empty4));

    // Read with the own item size: longer items are cut, shorter ones
    // filled with zeros.
    CT_VoidList wide(4);
    std::uint32_t value = 0x41414141;
    wide.v_InsertLast(&value);
    CT_VoidList narrow(1);
    narrow.v_Set(&wide);
    EXPECT_EQ(s_Letters(narrow), "A");
    CT_VoidList widened(4);
    widened.v_Set(&narrow);
    widened.v_GetAt(&value, widened.pso_GetFirst());
    EXPECT_EQ(value, 0x41u);
    EXPECT_TRUE(widened.b_IsEqual(&narrow));
    EXPECT_FALSE(wide.b_IsEqual(&narrow));
}

}  // namespace
