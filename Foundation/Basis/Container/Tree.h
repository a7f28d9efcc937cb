// CT_VoidTree: maps character strings to a fixed-size datum through a
// character tree (a trie). Each node stands for one character, the path
// from the root spells a key, and a node that ends a key holds its own
// copy of the datum.
//
// Narrow and wide keys share one tree: a narrow key's bytes are the
// characters U+0000 to U+00FF, so the narrow and the wide key with the same
// letters below U+0100 are one key. The tree is neither balanced nor
// ordered: each node keeps its children in a small array, appended to in
// order of arrival and searched linearly, which suits the small fan-out of
// natural-language words.
//
// The debug-print callback is one static shared by every tree; making or
// clearing any tree sets it back to the default. Not locked: one tree, one
// thread at a time, and no two threads printing at once.
#pragma once

#include <cstdint>

#include "Foundation/Basis/TestOut/TestOut.h"
#include "Foundation/Platform/Export.h"

class CT_CString;
class CT_UString;

class BASIS_API CT_VoidTree {
public:
    // The character width of v_DebugPrint: 1 narrow, anything else wide.
    enum et_ElementSize : unsigned { e_Narrow = 1, e_Wide = 2 };

    struct st_Node {
        std::uint16_t n2_Character;    // 0xFFFF in the root
        std::uint16_t n2_BranchCount;  // the number of children
        void* pv_Data;                 // the datum of a key ending here, or null
        st_Node* pso_Branches;         // the children, by value, or null
    };

    explicit CT_VoidTree(unsigned dataSize);
    ~CT_VoidTree();
    CT_VoidTree(CT_VoidTree const&) = delete;
    CT_VoidTree& operator=(CT_VoidTree const&) = delete;

    // Removes every key.
    void v_Set();

    // Adds the key, or replaces its datum when it is present. A string
    // object without text is the empty key, whose datum sits at the root.
    void v_Add(char const* key, void const* data);
    void v_Add(unsigned short const* key, void const* data);
    void v_Add(CT_CString const* key, void const* data);
    void v_Add(CT_UString const* key, void const* data);

    // Non-zero when the key is present; its datum is then copied to data
    // (data-size bytes, never null). data is untouched when it is absent.
    int b_Search(char const* key, void* data) const;
    int b_Search(unsigned short const* key, void* data) const;
    int b_Search(CT_CString const* key, void* data) const;
    int b_Search(CT_UString const* key, void* data) const;

    // Non-zero when the key was present and is gone now.
    int b_Remove(char const* key);
    int b_Remove(unsigned short const* key);
    int b_Remove(CT_CString const* key);
    int b_Remove(CT_UString const* key);

    // The number of keys, the empty key included.
    unsigned n_Entries() const;

    // The callback of v_DebugPrint (shared by all trees).
    void v_SetDebugPrint(void (*debugPrint)(void* key, void* data));
    // Where the default callback writes (see CT_TestOut::v_Set).
    void v_SetDebugPrint(char const* file, char const* label, unsigned type);
    // Calls the callback for every key, depth first, each node before its
    // children and the children in array order, with the key as a
    // zero-terminated narrow or wide text (keys of up to 255 characters).
    void v_DebugPrint(et_ElementSize elementSize) const;
    // Writes "key: data pointer" to sco_TestOut.
    static void sv_DebugPrintDefault(void* key, void* data);

    static void (*spfv_DebugPrint)(void* key, void* data);
    static CT_TestOut sco_TestOut;

private:
    enum : unsigned { e_DebugKeyLength = 256 };

    void v_Null();
    void v_Keep(unsigned dataSize);
    void v_Init();
    void v_Exit();
    static void v_Delete(st_Node* node);

    template <class Char>
    void v_Insert(st_Node* node, Char const* key, void const* data);
    template <class Char>
    int b_Search(st_Node const* node, Char const* key, void* data) const;
    template <class Char>
    static int b_Remove(st_Node* node, Char const* key);
    static unsigned n_Count(st_Node const* node);
    static st_Node* pso_FindBranch(st_Node* branches, unsigned count, unsigned short c);
    static st_Node* pso_AugmentBranches(st_Node** branches, unsigned count, unsigned short c);
    template <class Char>
    static void v_DebugPrint(st_Node const* node, Char* key, unsigned depth);

    st_Node so_Root;
    std::uint32_t n_DataSize;
};
