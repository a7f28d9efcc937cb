#include "Foundation/Basis/Container/Tree.h"

#include <cstdlib>
#include <cstring>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"

void (*CT_VoidTree::spfv_DebugPrint)(void*, void*) = &CT_VoidTree::sv_DebugPrintDefault;
CT_TestOut CT_VoidTree::sco_TestOut;

namespace {

// A narrow key's byte is the character of its unsigned value.
inline unsigned short u_Char(char c) { return static_cast<unsigned char>(c); }
inline unsigned short u_Char(unsigned short c) { return c; }

// The width of the print under way, for the default callback, which is
// handed the key as an untyped pointer. Shared like the callback itself.
unsigned sn_PrintWidth = CT_VoidTree::e_Wide;

}  // namespace

CT_VoidTree::CT_VoidTree(unsigned dataSize) {
    v_Null();
    v_Keep(dataSize);
    v_Init();
}

CT_VoidTree::~CT_VoidTree() { v_Exit(); }

void CT_VoidTree::v_Null() {
    so_Root.n2_Character = 0xFFFF;
    so_Root.n2_BranchCount = 0;
    so_Root.pv_Data = nullptr;
    so_Root.pso_Branches = nullptr;
    n_DataSize = 0;
}

void CT_VoidTree::v_Keep(unsigned dataSize) { n_DataSize = dataSize; }

void CT_VoidTree::v_Init() {
    so_Root.n2_Character = 0xFFFF;
    so_Root.n2_BranchCount = 0;
    so_Root.pv_Data = nullptr;
    so_Root.pso_Branches = nullptr;
    spfv_DebugPrint = &sv_DebugPrintDefault;
}

void CT_VoidTree::v_Exit() { v_Delete(&so_Root); }

void CT_VoidTree::v_Set() {
    v_Exit();
    v_Init();
}

void CT_VoidTree::v_Delete(st_Node* node) {
    std::free(node->pv_Data);
    node->pv_Data = nullptr;
    for (unsigned i = 0; i < node->n2_BranchCount; ++i) v_Delete(&node->pso_Branches[i]);
    std::free(node->pso_Branches);
    node->pso_Branches = nullptr;
    node->n2_BranchCount = 0;
}

CT_VoidTree::st_Node* CT_VoidTree::pso_FindBranch(st_Node* branches, unsigned count, unsigned short c) {
    if (branches == nullptr || count == 0) return nullptr;
    for (unsigned i = 0; i < count; ++i)
        if (branches[i].n2_Character == c) return &branches[i];
    return nullptr;
}

CT_VoidTree::st_Node* CT_VoidTree::pso_AugmentBranches(st_Node** branches, unsigned count, unsigned short c) {
    // Nodes are plain records, so the array may move byte for byte.
    st_Node* grown = static_cast<st_Node*>(std::realloc(*branches, (count + 1) * sizeof(st_Node)));
    if (grown == nullptr) std::abort();  // exhaustion is the allocator's matter
    *branches = grown;
    st_Node* added = &grown[count];
    added->n2_Character = c;
    added->n2_BranchCount = 0;
    added->pv_Data = nullptr;
    added->pso_Branches = nullptr;
    return added;
}

template <class Char>
void CT_VoidTree::v_Insert(st_Node* node, Char const* key, void const* data) {
    for (; *key; ++key) {
        unsigned short c = u_Char(*key);
        st_Node* next = pso_FindBranch(node->pso_Branches, node->n2_BranchCount, c);
        if (next == nullptr) {
            next = pso_AugmentBranches(&node->pso_Branches, node->n2_BranchCount, c);
            ++node->n2_BranchCount;
        }
        node = next;
    }
    std::free(node->pv_Data);
    // A data size of 0 still takes a byte, so that the key counts as
    // present (a null datum means no key ends here).
    node->pv_Data = std::malloc(n_DataSize ? n_DataSize : 1);
    if (node->pv_Data == nullptr) std::abort();
    if (n_DataSize) std::memcpy(node->pv_Data, data, n_DataSize);
}

template <class Char>
int CT_VoidTree::b_Search(st_Node const* node, Char const* key, void* data) const {
    for (;; ++key) {
        if (*key == 0 && node->pv_Data) {
            if (n_DataSize) std::memcpy(data, node->pv_Data, n_DataSize);
            return 1;
        }
        // The terminator is looked for too; no child has it.
        node = pso_FindBranch(node->pso_Branches, node->n2_BranchCount, u_Char(*key));
        if (node == nullptr) return 0;
    }
}

template <class Char>
int CT_VoidTree::b_Remove(st_Node* node, Char const* key) {
    if (*key == 0 && node->pv_Data) {
        std::free(node->pv_Data);
        node->pv_Data = nullptr;
        return 1;
    }
    st_Node* child = pso_FindBranch(node->pso_Branches, node->n2_BranchCount, u_Char(*key));
    if (child == nullptr) return 0;
    int removed = b_Remove(child, key + 1);
    // A bare child is only taken out below a node that holds no datum
    // itself: below a key's node it stays, empty, until that key goes too
    // and a later removal through it prunes the path. Searches and counts
    // see no difference.
    if (removed && child->n2_BranchCount == 0 && node->pv_Data == nullptr) {
        --node->n2_BranchCount;
        if (node->n2_BranchCount == 0) {
            std::free(node->pso_Branches);
            node->pso_Branches = nullptr;
        } else {
            st_Node* last = &node->pso_Branches[node->n2_BranchCount];
            // The bare child owns nothing: the last record simply takes
            // its place.
            if (child != last) *child = *last;
            st_Node* shrunk =
                static_cast<st_Node*>(std::realloc(node->pso_Branches, node->n2_BranchCount * sizeof(st_Node)));
            if (shrunk) node->pso_Branches = shrunk;
        }
    }
    return removed;
}

unsigned CT_VoidTree::n_Count(st_Node const* node) {
    unsigned count = node->pv_Data ? 1 : 0;
    for (unsigned i = 0; i < node->n2_BranchCount; ++i) count += n_Count(&node->pso_Branches[i]);
    return count;
}

void CT_VoidTree::v_Add(char const* key, void const* data) { v_Insert(&so_Root, key, data); }
void CT_VoidTree::v_Add(unsigned short const* key, void const* data) { v_Insert(&so_Root, key, data); }
void CT_VoidTree::v_Add(CT_CString const* key, void const* data) { v_Insert(&so_Root, key->qccz_Get(), data); }
void CT_VoidTree::v_Add(CT_UString const* key, void const* data) { v_Insert(&so_Root, key->qcuz_Get(), data); }

int CT_VoidTree::b_Search(char const* key, void* data) const { return b_Search(&so_Root, key, data); }
int CT_VoidTree::b_Search(unsigned short const* key, void* data) const { return b_Search(&so_Root, key, data); }
int CT_VoidTree::b_Search(CT_CString const* key, void* data) const {
    return b_Search(&so_Root, key->qccz_Get(), data);
}
int CT_VoidTree::b_Search(CT_UString const* key, void* data) const {
    return b_Search(&so_Root, key->qcuz_Get(), data);
}

int CT_VoidTree::b_Remove(char const* key) { return b_Remove(&so_Root, key); }
int CT_VoidTree::b_Remove(unsigned short const* key) { return b_Remove(&so_Root, key); }
int CT_VoidTree::b_Remove(CT_CString const* key) { return b_Remove(&so_Root, key->qccz_Get()); }
int CT_VoidTree::b_Remove(CT_UString const* key) { return b_Remove(&so_Root, key->qcuz_Get()); }

unsigned CT_VoidTree::n_Entries() const { return n_Count(&so_Root); }

void CT_VoidTree::v_SetDebugPrint(void (*debugPrint)(void*, void*)) { spfv_DebugPrint = debugPrint; }

void CT_VoidTree::v_SetDebugPrint(char const* file, char const* label, unsigned type) {
    sco_TestOut.v_Set(file, label, type);
}

template <class Char>
void CT_VoidTree::v_DebugPrint(st_Node const* node, Char* key, unsigned depth) {
    for (unsigned i = 0; i < node->n2_BranchCount; ++i) {
        st_Node const* child = &node->pso_Branches[i];
        // Keys longer than the buffer holds are not printed, nor is
        // anything below them.
        if (depth + 1 >= e_DebugKeyLength) continue;
        key[depth] = static_cast<Char>(child->n2_Character);
        key[depth + 1] = 0;
        if (child->pv_Data) spfv_DebugPrint(key, child->pv_Data);
        v_DebugPrint(child, key, depth + 1);
    }
    key[depth] = 0;
}

void CT_VoidTree::v_DebugPrint(et_ElementSize elementSize) const {
    if (spfv_DebugPrint == nullptr) return;  // printing switched off
    // The empty key at the root is not printed: it would be an empty text.
    if (elementSize == e_Narrow) {
        char key[e_DebugKeyLength] = {};
        sn_PrintWidth = e_Narrow;
        v_DebugPrint(&so_Root, key, 0);
    } else {
        unsigned short key[e_DebugKeyLength] = {};
        sn_PrintWidth = e_Wide;
        v_DebugPrint(&so_Root, key, 0);
    }
}

void CT_VoidTree::sv_DebugPrintDefault(void* key, void* data) {
    // "%S" prints the key as text of the other width than the format's;
    // the print under way tells which width the key has, so the format is
    // chosen to match it (the library's wide formatter reads %S as narrow
    // and %s as wide text, and prints %p alike on every platform).
    static unsigned short const narrowKey[] = {'%', 'S', ':', ' ', '%', 'p', '\n', 0};
    static unsigned short const wideKey[] = {'%', 's', ':', ' ', '%', 'p', '\n', 0};
    sco_TestOut.v_Out(sn_PrintWidth == CT_VoidTree::e_Narrow ? narrowKey : wideKey, key, data);
}
