#include "Foundation/Basis/Container/Tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Debug.h"

namespace {

using StringTesting::W;

int n_Find(CT_VoidTree const& tree, char const* key) {
    int value = -1;
    return tree.b_Search(key, &value) ? value : -1;
}

std::vector<std::string> ao_Printed;

void v_RecordNarrow(void* key, void* data) {
    ao_Printed.push_back(std::string(static_cast<char*>(key)) + "=" + std::to_string(*static_cast<int*>(data)));
}

void v_RecordWide(void* key, void*) {
    std::string text;
    for (unsigned short* p = static_cast<unsigned short*>(key); *p; ++p) text += *p < 0x80 ? char(*p) : '?';
    ao_Printed.push_back(text);
}

}  // namespace

TEST(VoidTree, AddSearchAcrossKeyKinds) {
    CT_VoidTree tree(sizeof(int));
    int one = 1, two = 2, three = 3;
    tree.v_Add("abc", &one);
    int found = 0;
    EXPECT_TRUE(tree.b_Search(W(u"abc"), &found));
    EXPECT_EQ(found, 1);
    CT_UString wide(W(u"abc"), ~0u);
    CT_CString narrow("abc", ~0u, 1252);
    EXPECT_TRUE(tree.b_Search(&wide, &found));
    EXPECT_TRUE(tree.b_Search(&narrow, &found));

    // A narrow byte above 0x7F is the character of its unsigned value.
    tree.v_Add("\xE9t\xE9", &two);
    found = 0;
    EXPECT_TRUE(tree.b_Search(W(u"\u00E9t\u00E9"), &found));
    EXPECT_EQ(found, 2);

    // Beyond U+00FF only wide keys reach.
    tree.v_Add(W(u"\u0100x"), &three);
    EXPECT_EQ(n_Find(tree, "\x01x"), -1);
    EXPECT_EQ(n_Find(tree, "ab"), -1);     // a prefix only
    EXPECT_EQ(n_Find(tree, "abcd"), -1);   // runs past a key
    EXPECT_EQ(n_Find(tree, ""), -1);       // no empty key yet
    EXPECT_EQ(tree.n_Entries(), 3u);

    // Replacing keeps the count; the datum is a copy.
    found = 77;
    tree.v_Add("abc", &found);
    found = 0;
    EXPECT_EQ(n_Find(tree, "abc"), 77);
    EXPECT_EQ(tree.n_Entries(), 3u);

    // A failed search leaves the output alone.
    found = 5;
    EXPECT_FALSE(tree.b_Search("zzz", &found));
    EXPECT_EQ(found, 5);
}

TEST(VoidTree, EmptyKeyAndStringsWithoutText) {
    CT_VoidTree tree(sizeof(int));
    int value = 9;
    CT_UString unset;
    tree.v_Add(&unset, &value);
    EXPECT_EQ(tree.n_Entries(), 1u);
    EXPECT_EQ(n_Find(tree, ""), 9);
    CT_CString narrowUnset;
    EXPECT_TRUE(tree.b_Remove(&narrowUnset));
    EXPECT_FALSE(tree.b_Remove(""));
    EXPECT_EQ(tree.n_Entries(), 0u);
}

TEST(VoidTree, RemovalPrunesOnlyWhatNoKeyNeeds) {
    CT_VoidTree tree(sizeof(int));
    int a = 1, b = 2;
    tree.v_Add("ab", &a);
    tree.v_Add("abc", &b);
    EXPECT_EQ(tree.n_Entries(), 2u);

    // A prefix that is no key, and a longer key, are not removed.
    EXPECT_FALSE(tree.b_Remove("a"));
    EXPECT_FALSE(tree.b_Remove("abcd"));
    EXPECT_FALSE(tree.b_Remove("x"));
    EXPECT_EQ(tree.n_Entries(), 2u);

    // Removing the key that is a prefix of the other keeps the other.
    EXPECT_TRUE(tree.b_Remove("ab"));
    EXPECT_FALSE(tree.b_Remove("ab"));
    EXPECT_EQ(n_Find(tree, "ab"), -1);
    EXPECT_EQ(n_Find(tree, "abc"), 2);
    EXPECT_EQ(tree.n_Entries(), 1u);

    // Removing the last key prunes the whole path: nothing is printed and
    // the root has no branches left.
    EXPECT_TRUE(tree.b_Remove(W(u"abc")));
    EXPECT_EQ(tree.n_Entries(), 0u);
    ao_Printed.clear();
    tree.v_SetDebugPrint(&v_RecordWide);
    tree.v_DebugPrint(CT_VoidTree::e_Wide);
    EXPECT_TRUE(ao_Printed.empty());

    // Shared prefixes: taking out a middle child moves the last one into
    // its place, and the siblings stay reachable.
    int values[4] = {10, 11, 12, 13};
    char const* keys[4] = {"xa", "xb", "xc", "xd"};
    for (int i = 0; i < 4; ++i) tree.v_Add(keys[i], &values[i]);
    EXPECT_TRUE(tree.b_Remove("xb"));
    EXPECT_EQ(n_Find(tree, "xa"), 10);
    EXPECT_EQ(n_Find(tree, "xc"), 12);
    EXPECT_EQ(n_Find(tree, "xd"), 13);
    EXPECT_EQ(n_Find(tree, "xb"), -1);
    ao_Printed.clear();
    tree.v_SetDebugPrint(&v_RecordNarrow);
    tree.v_DebugPrint(CT_VoidTree::e_Narrow);
    EXPECT_EQ(ao_Printed, (std::vector<std::string>{"xa=10", "xd=13", "xc=12"}));
    EXPECT_TRUE(tree.b_Remove("xd"));
    EXPECT_TRUE(tree.b_Remove("xa"));
    EXPECT_TRUE(tree.b_Remove("xc"));
    EXPECT_EQ(tree.n_Entries(), 0u);

    // A key below another key: the shorter one stays whole.
    tree.v_Add("k", &a);
    tree.v_Add("kl", &b);
    EXPECT_TRUE(tree.b_Remove("kl"));
    EXPECT_EQ(n_Find(tree, "k"), 1);
    EXPECT_EQ(n_Find(tree, "kl"), -1);
    EXPECT_EQ(tree.n_Entries(), 1u);
    tree.v_Add("kl", &b);
    EXPECT_EQ(n_Find(tree, "kl"), 2);
    EXPECT_EQ(tree.n_Entries(), 2u);

    // After clearing, the tree works as a new one.
    tree.v_Set();
    EXPECT_EQ(tree.n_Entries(), 0u);
    EXPECT_EQ(n_Find(tree, "k"), -1);
    tree.v_Add("k", &b);
    EXPECT_EQ(n_Find(tree, "k"), 2);
}

TEST(VoidTree, DebugPrintOrderAndDefault) {
    CT_VoidTree tree(sizeof(int));
    int b = 2, a = 1, ba = 3;
    tree.v_Add("b", &b);
    tree.v_Add("a", &a);
    tree.v_Add("ba", &ba);
    ao_Printed.clear();
    tree.v_SetDebugPrint(&v_RecordNarrow);
    tree.v_DebugPrint(CT_VoidTree::e_Narrow);
    EXPECT_EQ(ao_Printed, (std::vector<std::string>{"b=2", "ba=3", "a=1"}));

    // Keys of 255 characters are printed; longer ones are not.
    std::string longKey(255, 'q');
    tree.v_Add(longKey.c_str(), &a);
    tree.v_Add((longKey + "q").c_str(), &b);
    ao_Printed.clear();
    tree.v_DebugPrint(CT_VoidTree::e_Narrow);
    ASSERT_EQ(ao_Printed.size(), 4u);
    EXPECT_EQ(ao_Printed[3], longKey + "=1");

    // Making another tree puts the default callback back.
    CT_VoidTree other(1);
    EXPECT_EQ(CT_VoidTree::spfv_DebugPrint, &CT_VoidTree::sv_DebugPrintDefault);

    // The default callback writes each key and its datum's address.
    char temporary[261];
    Platform::n_GetTempPath(temporary, sizeof temporary);
    std::string path = std::string(temporary) + "basis_tree_print.txt";
    tree.v_SetDebugPrint(path.c_str(), "", CT_TestOut::e_File);
    tree.b_Remove(longKey.c_str());
    tree.b_Remove((longKey + "q").c_str());
    tree.v_DebugPrint(CT_VoidTree::e_Narrow);
    tree.v_DebugPrint(CT_VoidTree::e_Wide);
    CT_VoidTree::sco_TestOut.v_Set();  // closes the file
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(all, line)) lines.push_back(line.substr(0, line.find(':')));
    EXPECT_EQ(lines, (std::vector<std::string>{"b", "ba", "a", "b", "ba", "a"}));
    in.close();
    std::remove(path.c_str());
}
