#include "Foundation/Basis/Lexicon/AlphaTree.h"

#include <cstdlib>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"

namespace {

inline unsigned short u_Char(char c) { return static_cast<unsigned char>(c); }
inline unsigned short u_Char(unsigned short c) { return c; }

}  // namespace

CT_AlphaTree::CT_AlphaTree() {
    v_Null();
    v_Init();
}

CT_AlphaTree::CT_AlphaTree(CT_AlphaTree const& other) {
    v_Null();
    v_Init(&other);
}

CT_AlphaTree& CT_AlphaTree::operator=(CT_AlphaTree const& other) {
    if (this != &other) {
        v_Exit();
        v_Init(&other);
    }
    return *this;
}

CT_AlphaTree::~CT_AlphaTree() { v_Exit(); }

void CT_AlphaTree::v_Null() {
    so_Root.n2_Character = 0xFFFF;
    so_Root.n2_ChildCount = 0;
    so_Root.n4_Value = e_None;
    so_Root.pso_Children = nullptr;
}

void CT_AlphaTree::v_Init() { v_Null(); }

void CT_AlphaTree::v_Init(CT_AlphaTree const* other) { v_Copy(&so_Root, &other->so_Root); }

void CT_AlphaTree::v_Exit() {
    v_Delete(&so_Root);
    v_Null();
}

void CT_AlphaTree::v_Set() {
    v_Exit();
    v_Init();
}

void CT_AlphaTree::v_Delete(st_Node* node) {
    for (unsigned i = 0; i < node->n2_ChildCount; ++i) v_Delete(&node->pso_Children[i]);
    std::free(node->pso_Children);
    node->pso_Children = nullptr;
    node->n2_ChildCount = 0;
}

void CT_AlphaTree::v_Copy(st_Node* to, st_Node const* from) {
    *to = *from;
    to->pso_Children = nullptr;
    if (from->n2_ChildCount == 0) return;
    to->pso_Children = static_cast<st_Node*>(std::malloc(from->n2_ChildCount * sizeof(st_Node)));
    if (to->pso_Children == nullptr) std::abort();  // exhaustion is the allocator's matter
    for (unsigned i = 0; i < from->n2_ChildCount; ++i) v_Copy(&to->pso_Children[i], &from->pso_Children[i]);
}

CT_AlphaTree::st_Node* CT_AlphaTree::pso_FindBranch(st_Node* nodes, unsigned count, unsigned short c) {
    if (nodes == nullptr || count == 0) return nullptr;
    for (unsigned i = 0; i < count; ++i)
        if (nodes[i].n2_Character == c) return &nodes[i];
    return nullptr;
}

CT_AlphaTree::st_Node* CT_AlphaTree::pso_AugmentBranches(st_Node** nodes, unsigned count, unsigned short c) {
    // Nodes are plain records: the array may move byte for byte.
    st_Node* grown = static_cast<st_Node*>(std::realloc(*nodes, (count + 1) * sizeof(st_Node)));
    if (grown == nullptr) std::abort();
    *nodes = grown;
    st_Node* added = &grown[count];
    added->n2_Character = c;
    added->n2_ChildCount = 0;
    added->n4_Value = e_None;
    added->pso_Children = nullptr;
    return added;
}

template <class Char>
void CT_AlphaTree::v_Insert(st_Node* node, Char const* word, std::uint32_t value) {
    for (; *word; ++word) {
        unsigned short c = u_Char(*word);
        st_Node* next = pso_FindBranch(node->pso_Children, node->n2_ChildCount, c);
        if (next == nullptr) {
            next = pso_AugmentBranches(&node->pso_Children, node->n2_ChildCount, c);
            ++node->n2_ChildCount;
        }
        node = next;
    }
    node->n4_Value = value;
}

template <class Char>
std::uint32_t CT_AlphaTree::n4_Search(st_Node const* node, Char const* word) {
    for (; *word; ++word) {
        node = pso_FindBranch(node->pso_Children, node->n2_ChildCount, u_Char(*word));
        if (node == nullptr) return e_None;
    }
    return node->n4_Value;
}

template <class Char>
int CT_AlphaTree::b_Remove(st_Node* node, Char const* word) {
    if (*word == 0 && node->n4_Value != e_None) {
        node->n4_Value = e_None;
        return 1;
    }
    // At the word's end with no value, the terminator finds no child.
    st_Node* child = pso_FindBranch(node->pso_Children, node->n2_ChildCount, u_Char(*word));
    if (child == nullptr) return 0;
    int removed = b_Remove(child, word + 1);
    if (removed && child->n2_ChildCount == 0 && child->n4_Value == e_None) {
        --node->n2_ChildCount;
        if (node->n2_ChildCount == 0) {
            std::free(node->pso_Children);
            node->pso_Children = nullptr;
        } else {
            // The bare child owns nothing: the last child takes its place
            // and the array shrinks to its exact size.
            st_Node* last = &node->pso_Children[node->n2_ChildCount];
            if (child != last) *child = *last;
            st_Node* shrunk =
                static_cast<st_Node*>(std::realloc(node->pso_Children, node->n2_ChildCount * sizeof(st_Node)));
            if (shrunk) node->pso_Children = shrunk;
        }
    }
    return removed;
}

unsigned CT_AlphaTree::n_Count(st_Node const* node) {
    unsigned count = node->n4_Value != e_None ? 1 : 0;
    for (unsigned i = 0; i < node->n2_ChildCount; ++i) count += n_Count(&node->pso_Children[i]);
    return count;
}

void CT_AlphaTree::v_Add(char const* word, std::uint32_t value) { v_Insert(&so_Root, word, value); }
void CT_AlphaTree::v_Add(unsigned short const* word, std::uint32_t value) { v_Insert(&so_Root, word, value); }
void CT_AlphaTree::v_Add(CT_CString const* word, std::uint32_t value) {
    v_Insert(&so_Root, word->qccz_Get(), value);
}
void CT_AlphaTree::v_Add(CT_UString const* word, std::uint32_t value) {
    v_Insert(&so_Root, word->qcuz_Get(), value);
}

unsigned CT_AlphaTree::n_Search(char const* word) const { return n4_Search(&so_Root, word); }
unsigned CT_AlphaTree::n_Search(unsigned short const* word) const { return n4_Search(&so_Root, word); }
unsigned CT_AlphaTree::n_Search(CT_CString const* word) const { return n4_Search(&so_Root, word->qccz_Get()); }
unsigned CT_AlphaTree::n_Search(CT_UString const* word) const { return n4_Search(&so_Root, word->qcuz_Get()); }

int CT_AlphaTree::b_Remove(char const* word) { return b_Remove(&so_Root, word); }
int CT_AlphaTree::b_Remove(unsigned short const* word) { return b_Remove(&so_Root, word); }
int CT_AlphaTree::b_Remove(CT_CString const* word) { return b_Remove(&so_Root, word->qccz_Get()); }
int CT_AlphaTree::b_Remove(CT_UString const* word) { return b_Remove(&so_Root, word->qcuz_Get()); }

unsigned CT_AlphaTree::n_Entries() const { return n_Count(&so_Root); }

void CT_AlphaTree::v_SetDebugPrint(char const* file, char const* label, unsigned type) {
    co_TestOut.v_Set(file, label, type);
}

namespace {

// The line of a narrow word, by the C library's formatting.
void v_PrintWord(CT_TestOut const& out, char const* word, std::uint32_t value) {
    out.v_Out("%s : %d\n", word, static_cast<int>(value));
}

// The line of a wide word, by the library's own wide formatter, in which
// %s reads wide text: the C library's %S cannot read 16-bit text where its
// wide character is 32 bits wide.
void v_PrintWord(CT_TestOut const& out, unsigned short const* word, std::uint32_t value) {
    static unsigned short const format[] = {'%', 's', ' ', ':', ' ', '%', 'd', '\n', 0};
    out.v_Out(format, word, static_cast<int>(value));
}

}  // namespace

template <class Char>
void CT_AlphaTree::v_DebugPrint(st_Node const* node, Char* word, unsigned depth) const {
    for (unsigned i = 0; i < node->n2_ChildCount; ++i) {
        st_Node const* child = &node->pso_Children[i];
        // Words of more than 255 characters do not fit the buffer: they and
        // the words that continue them are left out of the print.
        if (depth + 1 >= e_DebugWordLength) continue;
        word[depth] = static_cast<Char>(child->n2_Character);
        word[depth + 1] = 0;
        if (child->n4_Value != e_None) v_PrintWord(co_TestOut, word, child->n4_Value);
        v_DebugPrint(child, word, depth + 1);
        word[depth] = 0;
    }
}

void CT_AlphaTree::v_DebugPrint(et_ElementSize elementSize) const {
    if (elementSize == e_Narrow) {
        char word[e_DebugWordLength] = {};
        v_DebugPrint(&so_Root, word, 0);
    } else {
        unsigned short word[e_DebugWordLength] = {};
        v_DebugPrint(&so_Root, word, 0);
    }
}
