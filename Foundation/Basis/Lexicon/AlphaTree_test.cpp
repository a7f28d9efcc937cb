#include "Foundation/Basis/Lexicon/AlphaTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Debug.h"

namespace {

using StringTesting::W;
using Node = CT_AlphaTree::st_Node;

unsigned const n_None = 0xFFFFFFFF;

Node const* pcso_Child(Node const* node, char c) {
    for (unsigned i = 0; i < node->n2_ChildCount; ++i)
        if (node->pso_Children[i].n2_Character == static_cast<unsigned char>(c)) return &node->pso_Children[i];
    return nullptr;
}

// The tree's debug print, read back from a file.
std::string o_Print(CT_AlphaTree& tree, CT_AlphaTree::et_ElementSize size) {
    char temporary[261];
    Platform::n_GetTempPath(temporary, sizeof temporary);
    std::string path = std::string(temporary) + "basis_alpha_tree_print.txt";
    tree.v_SetDebugPrint(path.c_str(), "", CT_TestOut::e_File);
    tree.v_DebugPrint(size);
    tree.v_SetDebugPrint("stdout", "", CT_TestOut::e_File);  // closes the file
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    in.close();
    std::remove(path.c_str());
    return all.str();
}

}  // namespace

TEST(AlphaTree, ShapeOfSharedPrefixesAndTheirRemoval) {
    CT_AlphaTree tree;
    tree.v_Add("cat", 1);
    tree.v_Add("car", 2);
    Node const* root = tree.pcso_GetRoot();
    ASSERT_EQ(root->n2_ChildCount, 1u);
    Node const* c = pcso_Child(root, 'c');
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->n2_ChildCount, 1u);
    Node const* a = pcso_Child(c, 'a');
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->n2_ChildCount, 2u);
    EXPECT_EQ(a->pso_Children[0].n2_Character, 't');  // order of creation
    EXPECT_EQ(a->pso_Children[1].n2_Character, 'r');
    EXPECT_EQ(a->n4_Value, n_None);
    EXPECT_EQ(tree.n_Entries(), 2u);

    // A prefix that is no word is neither found nor removed.
    EXPECT_EQ(tree.n_Search("ca"), n_None);
    EXPECT_FALSE(tree.b_Remove("ca"));
    EXPECT_FALSE(tree.b_Remove("cats"));
    EXPECT_EQ(a->n2_ChildCount, 2u);

    // Same word again: the value changes, the count does not.
    tree.v_Add("car", 20);
    EXPECT_EQ(tree.n_Search("car"), 20u);
    EXPECT_EQ(tree.n_Entries(), 2u);

    EXPECT_TRUE(tree.b_Remove("car"));
    EXPECT_FALSE(tree.b_Remove("car"));
    a = pcso_Child(pcso_Child(tree.pcso_GetRoot(), 'c'), 'a');
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->n2_ChildCount, 1u);
    EXPECT_EQ(a->pso_Children[0].n2_Character, 't');
    EXPECT_EQ(tree.n_Search("cat"), 1u);

    EXPECT_TRUE(tree.b_Remove("cat"));
    EXPECT_EQ(tree.pcso_GetRoot()->n2_ChildCount, 0u);
    EXPECT_EQ(tree.pcso_GetRoot()->pso_Children, nullptr);
    EXPECT_EQ(tree.n_Entries(), 0u);
}

TEST(AlphaTree, WordsThatArePrefixesOfOthers) {
    CT_AlphaTree tree;
    tree.v_Add("ab", 1);
    tree.v_Add("abc", 2);
    tree.v_Add("abd", 3);
    // Removing the shorter word keeps its node for the longer ones.
    EXPECT_TRUE(tree.b_Remove("ab"));
    EXPECT_EQ(tree.n_Search("ab"), n_None);
    EXPECT_EQ(tree.n_Search("abc"), 2u);
    EXPECT_EQ(tree.n_Search("abd"), 3u);
    // Removing the first of two siblings moves the last into its place.
    EXPECT_TRUE(tree.b_Remove("abc"));
    Node const* b = pcso_Child(pcso_Child(tree.pcso_GetRoot(), 'a'), 'b');
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->n2_ChildCount, 1u);
    EXPECT_EQ(b->pso_Children[0].n2_Character, 'd');
    EXPECT_EQ(tree.n_Search("abd"), 3u);

    // A longer word goes, the shorter one below it stays whole.
    tree.v_Add("ab", 4);
    EXPECT_TRUE(tree.b_Remove("abd"));
    b = pcso_Child(pcso_Child(tree.pcso_GetRoot(), 'a'), 'b');
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->n2_ChildCount, 0u);
    EXPECT_EQ(tree.n_Search("ab"), 4u);
    EXPECT_EQ(tree.n_Entries(), 1u);
}

TEST(AlphaTree, EmptyWordKindsAndNoneValue) {
    CT_AlphaTree tree;
    CT_UString unset;
    tree.v_Add(&unset, 7);
    EXPECT_EQ(tree.n_Search(""), 7u);
    EXPECT_EQ(tree.n_Entries(), 1u);
    tree.v_Add("x", 8);
    CT_CString empty;
    EXPECT_TRUE(tree.b_Remove(&empty));
    EXPECT_FALSE(tree.b_Remove(""));
    EXPECT_EQ(tree.n_Search("x"), 8u);
    EXPECT_EQ(tree.n_Entries(), 1u);

    // Narrow bytes are characters of their unsigned value; string objects
    // of either kind reach the same words.
    tree.v_Add("\xE9t\xE9", 9);
    EXPECT_EQ(tree.n_Search(W(u"\u00E9t\u00E9")), 9u);
    CT_UString wide(W(u"\u4E2D\u6587"), ~0u);
    tree.v_Add(&wide, 10);
    EXPECT_EQ(tree.n_Search(W(u"\u4E2D\u6587")), 10u);
    CT_CString narrow("x", ~0u, 1252);
    EXPECT_EQ(tree.n_Search(&narrow), 8u);
    EXPECT_EQ(tree.n_Search(&wide), 10u);
    EXPECT_TRUE(tree.b_Remove(&wide));
    EXPECT_EQ(tree.n_Search(&wide), n_None);

    // The none value stored reads back as absent and is not counted.
    tree.v_Add("gone", n_None);
    EXPECT_EQ(tree.n_Search("gone"), n_None);
    EXPECT_EQ(tree.n_Entries(), 2u);
    EXPECT_FALSE(tree.b_Remove("gone"));

    tree.v_Set();
    EXPECT_EQ(tree.n_Entries(), 0u);
    EXPECT_EQ(tree.n_Search("x"), n_None);
    tree.v_Add("x", 1);
    EXPECT_EQ(tree.n_Search("x"), 1u);
}

TEST(AlphaTree, CopiesOwnTheirNodes) {
    CT_AlphaTree tree;
    tree.v_Add("one", 1);
    tree.v_Add("two", 2);
    CT_AlphaTree copy;
    copy.v_Add("old", 9);
    copy = tree;
    EXPECT_EQ(copy.n_Search("old"), n_None);
    EXPECT_TRUE(tree.b_Remove("one"));
    tree.v_Add("two", 22);
    EXPECT_EQ(copy.n_Search("one"), 1u);
    EXPECT_EQ(copy.n_Search("two"), 2u);
    CT_AlphaTree third(copy);
    copy.v_Set();
    EXPECT_EQ(third.n_Entries(), 2u);
    copy = copy;
    third = third;
    EXPECT_EQ(third.n_Search("one"), 1u);
}

TEST(AlphaTree, DebugPrintOrder) {
    CT_AlphaTree tree;
    tree.v_Add("b", 2);
    tree.v_Add("ba", 3);
    tree.v_Add("a", 1);
    tree.v_Add("", 5);  // not printed
    tree.v_Add("bab", n_None - 1);
    EXPECT_EQ(o_Print(tree, CT_AlphaTree::e_Narrow), "b : 2\nba : 3\nbab : -2\na : 1\n");

    CT_AlphaTree wide;
    wide.v_Add(W(u"zy"), 1);
    wide.v_Add(W(u"z"), 0);
    EXPECT_EQ(o_Print(wide, CT_AlphaTree::e_Wide), "z : 0\nzy : 1\n");

    // Words beyond 255 characters are left out.
    CT_AlphaTree longWords;
    std::string word(255, 'w');
    longWords.v_Add(word.c_str(), 1);
    longWords.v_Add((word + "w").c_str(), 2);
    EXPECT_EQ(o_Print(longWords, CT_AlphaTree::e_Narrow), word + " : 1\n");
}
