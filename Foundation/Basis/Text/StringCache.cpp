#include "Foundation/Basis/Text/StringCache.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "Foundation/Basis/Character/HashFunction.h"
#include "Foundation/Basis/Container/HashTablePrime.h"
#include "Foundation/Basis/String/StringText.h"

namespace {

using StringText::sn_Length;

// A separately allocated zero-terminated copy, or null when there is no
// memory for it.
unsigned short* pu_Copy(unsigned short const* text) {
    std::size_t bytes = (static_cast<std::size_t>(sn_Length(text)) + 1) * sizeof(unsigned short);
    unsigned short* copy = static_cast<unsigned short*>(std::malloc(bytes));
    if (copy != nullptr) std::memcpy(copy, text, bytes);
    return copy;
}

bool b_Equal(unsigned short const* a, unsigned short const* b) {
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a == *b;
}

}  // namespace

CT_StringCache::CT_StringCache(unsigned size, unsigned ways) {
    v_Null();
    v_Init(size, ways);
}

void CT_StringCache::v_Null() {
    pso_Entries = nullptr;
    n_Size = 0;
    n_Ways = 0;
}

// No slots when the size is 0, and also when the ways are 0 or more than
// the size (no whole set), rather than dividing by zero or keeping a cache
// that cannot hold anything.
void CT_StringCache::v_Init(unsigned size, unsigned ways) {
    v_Null();
    if (size == 0 || ways == 0) return;
    unsigned sets = sn_GetNextPrim(size / ways);
    if (sets == 0) return;
    unsigned slots = sets * ways;
    pso_Entries = new (std::nothrow) st_Slot[slots]();
    if (pso_Entries == nullptr) return;
    n_Size = slots;
    n_Ways = ways;
}

void CT_StringCache::v_Exit() {
    v_Clear();
    delete[] pso_Entries;
    v_Null();
}

void CT_StringCache::v_Set(unsigned size, unsigned ways) {
    v_Exit();
    v_Init(size, ways);
}

void CT_StringCache::sv_Free(st_Slot* slot) {
    std::free(slot->pu_Key);
    std::free(slot->pu_Value);
    slot->pu_Key = nullptr;
    slot->pu_Value = nullptr;
}

void CT_StringCache::v_Clear() {
    for (unsigned i = 0; i < n_Size; ++i) sv_Free(&pso_Entries[i]);
}

unsigned CT_StringCache::sn_GetNextPrim(unsigned m) { return Container::sn_NextPrime(m); }

unsigned CT_StringCache::n_Hash(unsigned short const* key) const {
    return CT_HashFunction::sn_HashCaseQUZ(key, n_Size / n_Ways) - 1;
}

CT_StringCache::st_Slot* CT_StringCache::pso_Set(unsigned short const* key) const {
    return pso_Entries + n_Hash(key) * n_Ways;
}

// A slot is empty when it holds neither text (a slot whose copies could not
// both be made still counts as occupied, matching no key).
unsigned CT_StringCache::n_FindWay(st_Slot const* set, unsigned short const* key) const {
    for (unsigned way = 0; way < n_Ways; ++way) {
        st_Slot const& slot = set[way];
        if (slot.pu_Key == nullptr && slot.pu_Value == nullptr) break;
        if (slot.pu_Key != nullptr && b_Equal(slot.pu_Key, key)) return way;
    }
    return n_Ways;
}

unsigned short const* CT_StringCache::qcuz_Lookup(unsigned short const* key) {
    if (key == nullptr || n_Size == 0) return nullptr;
    st_Slot* set = pso_Set(key);
    unsigned way = n_FindWay(set, key);
    if (way == n_Ways) return nullptr;
    // The hit moves to way 0; the ways before it move one back.
    st_Slot hit = set[way];
    std::memmove(set + 1, set, way * sizeof(st_Slot));
    set[0] = hit;
    return hit.pu_Value;
}

void CT_StringCache::v_Insert(unsigned short const* key, unsigned short const* value) {
    if (key == nullptr || value == nullptr || n_Size == 0) return;
    st_Slot* set = pso_Set(key);
    unsigned way = 0;
    while (way < n_Ways && (set[way].pu_Key != nullptr || set[way].pu_Value != nullptr)) ++way;
    if (way == n_Ways) {
        way = n_Ways - 1;  // a full set gives up its last way
        sv_Free(&set[way]);
    }
    set[way].pu_Key = pu_Copy(key);
    set[way].pu_Value = pu_Copy(value);
}

void CT_StringCache::v_Remove(unsigned short const* key) {
    if (key == nullptr || n_Size == 0) return;
    st_Slot* set = pso_Set(key);
    unsigned way = n_FindWay(set, key);
    if (way == n_Ways) return;
    sv_Free(&set[way]);
    // The occupied entries after it move one way forward.
    unsigned end = way + 1;
    while (end < n_Ways && (set[end].pu_Key != nullptr || set[end].pu_Value != nullptr)) ++end;
    std::memmove(set + way, set + way + 1, (end - way - 1) * sizeof(st_Slot));
    set[end - 1].pu_Key = nullptr;
    set[end - 1].pu_Value = nullptr;
}
