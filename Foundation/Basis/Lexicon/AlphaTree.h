// CT_AlphaTree: maps words to 32-bit values with a character tree (a trie)
// in ordinary memory, one node per distinct prefix, each carrying the value
// of the word that ends there. Built for quick changes, removal included,
// rather than for storage (see the compressed list for that).
//
// One tree takes narrow words (characters 1 to 255, each byte taken as
// unsigned) or wide words (1 to 65535); the caller keeps to one kind per
// tree. A node's children lie in one array of exactly their number, in
// order of creation, except that a removal moves the last child into the
// freed place. The value 0xFFFFFFFF means no word ends at a node, so a word
// stored with that value reads back as absent.
//
// Not locked: one tree, one thread at a time.
#pragma once

#include <cstdint>

#include "Foundation/Basis/TestOut/TestOut.h"
#include "Foundation/Platform/Export.h"

class CT_CString;
class CT_UString;

class BASIS_API CT_AlphaTree {
public:
    // The character width of v_DebugPrint: 1 narrow, anything else wide.
    enum et_ElementSize : unsigned { e_Narrow = 1, e_Wide = 2 };
    enum : std::uint32_t { e_None = 0xFFFFFFFF };

    struct st_Node {
        std::uint16_t n2_Character;   // on the edge from the parent; 0xFFFF in the root
        std::uint16_t n2_ChildCount;
        std::uint32_t n4_Value;       // e_None when no word ends here
        st_Node* pso_Children;        // child-count nodes, or null
    };

    CT_AlphaTree();
    // The copy has its own nodes; its debug output is its own, not the
    // source's (a CT_TestOut is not copied).
    CT_AlphaTree(CT_AlphaTree const& other);
    CT_AlphaTree& operator=(CT_AlphaTree const& other);
    ~CT_AlphaTree();

    // Empties the tree.
    void v_Set();

    // Stores a zero-terminated word with its value, replacing the value of
    // a word stored already. A string object without text is the empty
    // word, whose value is the root's.
    void v_Add(char const* word, std::uint32_t value);
    void v_Add(unsigned short const* word, std::uint32_t value);
    void v_Add(CT_CString const* word, std::uint32_t value);
    void v_Add(CT_UString const* word, std::uint32_t value);

    // The word's value, or 0xFFFFFFFF.
    unsigned n_Search(char const* word) const;
    unsigned n_Search(unsigned short const* word) const;
    unsigned n_Search(CT_CString const* word) const;
    unsigned n_Search(CT_UString const* word) const;

    // Removes the word; non-zero when it was stored.
    int b_Remove(char const* word);
    int b_Remove(unsigned short const* word);
    int b_Remove(CT_CString const* word);
    int b_Remove(CT_UString const* word);

    // The number of stored words, the empty word included.
    unsigned n_Entries() const;

    // Where the debug print goes (see CT_TestOut::v_Set).
    void v_SetDebugPrint(char const* file, char const* label, unsigned type);
    // One line "word : value" for every stored word but the empty one,
    // depth first: a word before the longer words that continue it.
    void v_DebugPrint(et_ElementSize elementSize) const;

    // The root, for looking at the tree's shape.
    st_Node const* pcso_GetRoot() const { return &so_Root; }

private:
    enum : unsigned { e_DebugWordLength = 256 };

    void v_Null();
    void v_Init();
    void v_Init(CT_AlphaTree const* other);
    void v_Exit();

    static st_Node* pso_FindBranch(st_Node* nodes, unsigned count, unsigned short c);
    static st_Node* pso_AugmentBranches(st_Node** nodes, unsigned count, unsigned short c);
    template <class Char>
    static void v_Insert(st_Node* node, Char const* word, std::uint32_t value);
    template <class Char>
    static std::uint32_t n4_Search(st_Node const* node, Char const* word);
    template <class Char>
    static int b_Remove(st_Node* node, Char const* word);
    template <class Char>
    void v_DebugPrint(st_Node const* node, Char* word, unsigned depth) const;
    static unsigned n_Count(st_Node const* node);
    static void v_Delete(st_Node* node);
    static void v_Copy(st_Node* to, st_Node const* from);

    st_Node so_Root;
    CT_TestOut co_TestOut;
};
