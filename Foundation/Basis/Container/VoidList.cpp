#include "Foundation/Basis/Container/VoidList.h"

#include <cstring>
#include <new>
#include <vector>

#include "Foundation/Basis/Container/ItemCopy.h"

BASIS_DEFINE_POOL(CT_VoidList)

CT_VoidList::CT_VoidList(unsigned itemSize) : n_Count(0), n_ItemSize(0), pso_Last(nullptr), pso_First(nullptr) {
    v_Keep(itemSize);
    v_Init();
}

CT_VoidList::CT_VoidList(CT_VoidList const* other)
    : n_Count(0), n_ItemSize(0), pso_Last(nullptr), pso_First(nullptr) {
    v_Keep(other->n_ItemSize);
    v_Init(other);
}

void CT_VoidList::v_Init() {
    n_Count = 0;
    pso_First = pso_Last = nullptr;
}

// The other's items are read with this list's item size. Where the other's
// items are shorter, only their own bytes are read and the rest of each new
// item is zero, rather than reading past the end of the other's nodes.
void CT_VoidList::v_Init(CT_VoidList const* other) {
    v_Init();
    if (other->n_ItemSize >= n_ItemSize) {
        for (st_Position const* node = other->pso_First; node; node = node->pso_Next)
            v_InsertAfter(spcuc_Data(node), pso_Last);
        return;
    }
    std::vector<unsigned char> item(n_ItemSize, 0);
    for (st_Position const* node = other->pso_First; node; node = node->pso_Next) {
        std::memcpy(item.data(), spcuc_Data(node), other->n_ItemSize);
        v_InsertAfter(item.data(), pso_Last);
    }
}

void CT_VoidList::v_Exit() {
    st_Position* node = pso_First;
    while (node) {
        st_Position* next = node->pso_Next;
        ::operator delete(node);
        node = next;
    }
    v_Init();
}

void CT_VoidList::v_Set() { v_Exit(); }

void CT_VoidList::v_Set(CT_VoidList const* other) {
    // Emptying first would leave nothing to copy from.
    if (other == this) return;
    v_Exit();
    v_Init(other);
}

void CT_VoidList::v_SetData(void* to, void const* from) const { Container::v_CopyItem(to, from, n_ItemSize); }

CT_VoidList::st_Position* CT_VoidList::pso_NewNode(void const* item) const {
    st_Position* node = static_cast<st_Position*>(::operator new(sizeof(st_Position) + n_ItemSize));
    node->pso_Next = node->pso_Previous = nullptr;
    v_SetData(spuc_Data(node), item);
    return node;
}

// Numbers outside 1 to count have no node: null.
CT_VoidList::st_Position* CT_VoidList::pso_GetPosition(unsigned n) const {
    if (n == 0 || n > n_Count) return nullptr;
    st_Position* node;
    if (n > n_Count / 2) {
        node = pso_Last;
        for (unsigned i = n_Count - n; i > 0; --i) node = node->pso_Previous;
    } else {
        node = pso_First;
        for (unsigned i = n - 1; i > 0; --i) node = node->pso_Next;
    }
    return node;
}

// Each full round of the list ends where it began, so only the steps
// beyond whole rounds are walked.
CT_VoidList::st_Position* CT_VoidList::pso_Skip(st_Position* node, int steps) const {
    if (node == nullptr || n_Count == 0 || steps == 0) return node;
    if (steps > 0) {
        for (unsigned i = static_cast<unsigned>(steps) % n_Count; i > 0; --i)
            node = node->pso_Next ? node->pso_Next : pso_First;
    } else {
        for (unsigned i = (0u - static_cast<unsigned>(steps)) % n_Count; i > 0; --i)
            node = node->pso_Previous ? node->pso_Previous : pso_Last;
    }
    return node;
}

CT_VoidList::st_Position* CT_VoidList::pso_Find(void const* item, unsigned* position) const {
    unsigned n = 1;
    for (st_Position* node = pso_First; node; node = node->pso_Next, ++n) {
        if (std::memcmp(spcuc_Data(node), item, n_ItemSize) == 0) {
            if (position) *position = n;
            return node;
        }
    }
    if (position) *position = 0;
    return nullptr;
}

void CT_VoidList::v_GetAt(void* out, st_Position const* node) const { v_SetData(out, spcuc_Data(node)); }

void CT_VoidList::v_SetAt(void const* item, st_Position* node) { v_SetData(spuc_Data(node), item); }

void CT_VoidList::v_InsertAfter(void const* item, st_Position* node) {
    st_Position* fresh = pso_NewNode(item);
    if (node == nullptr) {
        fresh->pso_Next = pso_First;
        if (pso_First) pso_First->pso_Previous = fresh;
        else pso_Last = fresh;
        pso_First = fresh;
    } else {
        fresh->pso_Previous = node;
        fresh->pso_Next = node->pso_Next;
        if (node->pso_Next) node->pso_Next->pso_Previous = fresh;
        else pso_Last = fresh;
        node->pso_Next = fresh;
    }
    ++n_Count;
}

void CT_VoidList::v_InsertBefore(void const* item, st_Position* node) {
    st_Position* fresh = pso_NewNode(item);
    if (node == nullptr) {
        fresh->pso_Previous = pso_Last;
        if (pso_Last) pso_Last->pso_Next = fresh;
        else pso_First = fresh;
        pso_Last = fresh;
    } else {
        fresh->pso_Next = node;
        fresh->pso_Previous = node->pso_Previous;
        if (node->pso_Previous) node->pso_Previous->pso_Next = fresh;
        else pso_First = fresh;
        node->pso_Previous = fresh;
    }
    ++n_Count;
}

// Removing from an empty list does nothing.
void CT_VoidList::v_RemoveAt(void* out, st_Position* node) {
    if (node == nullptr) node = pso_First;
    if (node == nullptr) return;
    if (out) v_SetData(out, spcuc_Data(node));
    if (node->pso_Previous) node->pso_Previous->pso_Next = node->pso_Next;
    else pso_First = node->pso_Next;
    if (node->pso_Next) node->pso_Next->pso_Previous = node->pso_Previous;
    else pso_Last = node->pso_Previous;
    ::operator delete(node);
    --n_Count;
}

// Where the other's items are shorter, the bytes they lack count as zero,
// as in a copy made by v_Set.
int CT_VoidList::b_IsEqual(CT_VoidList const* other) const {
    if (n_Count != other->n_Count) return 0;
    unsigned common = other->n_ItemSize < n_ItemSize ? other->n_ItemSize : n_ItemSize;
    st_Position const* mine = pso_First;
    for (st_Position const* theirs = other->pso_First; theirs; theirs = theirs->pso_Next, mine = mine->pso_Next) {
        unsigned char const* bytes = spcuc_Data(mine);
        if (std::memcmp(bytes, spcuc_Data(theirs), common) != 0) return 0;
        for (unsigned i = common; i < n_ItemSize; ++i)
            if (bytes[i] != 0) return 0;
    }
    return 1;
}
