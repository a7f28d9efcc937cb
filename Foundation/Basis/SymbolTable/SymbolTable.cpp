#include "Foundation/Basis/SymbolTable/SymbolTable.h"

#include "Foundation/Basis/Character/Compare.h"
#include "Foundation/Basis/Character/HashFunction.h"
#include "Foundation/Basis/Error/ErrorManager.h"

namespace {

char const qccz_Location[] = "Foundation/Basis/SymbolTable/SymbolTable";

typedef CT_VoidHashTable::tpf_Hash tpf_Hash;
typedef CT_VoidHashTable::tpf_Compare tpf_Compare;

tpf_Hash pf_NameHash(int caseSensitive) {
    return caseSensitive ? static_cast<tpf_Hash>(&CT_HashFunction::sn_HashCasePQUZ)
                         : static_cast<tpf_Hash>(&CT_HashFunction::sn_HashNoCasePQUZ);
}

tpf_Compare pf_NameCompare(int caseSensitive) {
    return caseSensitive ? static_cast<tpf_Compare>(&CT_Compare::si_CompareCasePQUZ)
                         : static_cast<tpf_Compare>(&CT_Compare::si_CompareNoCasePQUZ);
}

}  // namespace

BASIS_DEFINE_POOL(CT_SymbolTable)

CT_SymbolTable::CT_SymbolTable(int caseSensitive)
    : co_NameTable(pf_NameHash(caseSensitive), pf_NameCompare(caseSensitive), e_TableSize),
      co_IdTable(static_cast<tpf_Hash>(&CT_HashFunction::sn_HashPN4), static_cast<tpf_Compare>(&CT_Compare::si_ComparePN),
                 e_TableSize),
      n4_LastId(0) {}

CT_SymbolTable::CT_SymbolTable(CT_SymbolTable const& other)
    : co_NameTable(other.co_NameTable.pf_GetHash(), other.co_NameTable.pf_GetCompare(), e_TableSize),
      co_IdTable(static_cast<tpf_Hash>(&CT_HashFunction::sn_HashPN4), static_cast<tpf_Compare>(&CT_Compare::si_ComparePN),
                 e_TableSize),
      n4_LastId(other.n4_LastId) {
    v_CopySymbols(other);
}

CT_SymbolTable& CT_SymbolTable::operator=(CT_SymbolTable const& other) {
    if (&other == this) return *this;
    v_Exit();
    v_UpdateLastId(other.n4_LastId);
    v_CopySymbols(other);
    return *this;
}

void CT_SymbolTable::v_CopySymbols(CT_SymbolTable const& other) {
    tco_NameIterator names(&other.co_NameTable);
    while (names.vb_Next()) b_Take(new CT_Symbol(names.vpco_Get()));
    // Symbols that only their id still leads to keep only that entry.
    CT_VoidHashIterator byId(&other.co_IdTable);
    while (byId.b_Next()) {
        CT_Symbol* symbol;
        byId.v_Get(&symbol);
        CT_Symbol* named = nullptr;
        other.co_NameTable.b_Get(spu_Key(symbol), &named);
        if (named == symbol) continue;
        CT_Symbol* copy = new CT_Symbol(symbol);
        CT_Symbol* displaced = nullptr;
        co_IdTable.b_Get(copy->n4_Id, &displaced);
        co_IdTable.b_Insert(copy->n4_Id, copy);
        v_Release(displaced, copy);
    }
}

int CT_SymbolTable::b_LeadsTo(CT_Symbol const* symbol) const {
    CT_Symbol* found = nullptr;
    if (co_NameTable.b_Get(spu_Key(symbol), &found) && found == symbol) return 1;
    return co_IdTable.b_Get(symbol->n4_Id, &found) && found == symbol;
}

void CT_SymbolTable::v_Release(CT_Symbol* displaced, CT_Symbol const* taken) {
    if (displaced != nullptr && displaced != taken && !b_LeadsTo(displaced)) delete displaced;
}

int CT_SymbolTable::b_Take(CT_Symbol* symbol) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    // The key is the symbol's name (an empty name gives the empty text).
    unsigned short* key = spu_Key(symbol);
    if (symbol->n4_Id == CT_Symbol::e_NoId) symbol->n4_Id = n4_GetNextId();
    else v_UpdateLastId(symbol->n4_Id);

    // An entry of the same name is replaced as a whole, so that its key
    // points into the new symbol's name rather than the displaced one's.
    CT_Symbol* byName = nullptr;
    int existed = co_NameTable.b_Get(key, &byName);
    if (existed) co_NameTable.b_Remove(key, nullptr);
    co_NameTable.b_Insert(key, symbol);
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qccz_Location, __LINE__);
        return existed;
    }
    CT_Symbol* byId = nullptr;
    co_IdTable.b_Get(symbol->n4_Id, &byId);
    co_IdTable.b_Insert(symbol->n4_Id, symbol);
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qccz_Location, __LINE__);
        return existed;
    }
    v_Release(byName, symbol);
    if (byId != byName) v_Release(byId, symbol);
    return existed;
}

CT_Symbol* CT_SymbolTable::pco_Get(unsigned short const* name) const {
    if (name == nullptr) return nullptr;
    CT_Symbol* symbol = nullptr;
    co_NameTable.b_Get(const_cast<unsigned short*>(name), &symbol);
    return symbol;
}

CT_Symbol* CT_SymbolTable::pco_Get(CT_UString const* name) const {
    return name != nullptr ? pco_Get(name->qcuz_Get()) : nullptr;
}

CT_Symbol* CT_SymbolTable::pco_Get(std::uint32_t id) const {
    CT_Symbol* symbol = nullptr;
    co_IdTable.b_Get(id, &symbol);
    return symbol;
}

void CT_SymbolTable::v_Forget(CT_Symbol const* symbol) {
    CT_Symbol* found = nullptr;
    if (co_NameTable.b_Get(spu_Key(symbol), &found) && found == symbol) co_NameTable.b_Remove(spu_Key(symbol), nullptr);
    if (co_IdTable.b_Get(symbol->n4_Id, &found) && found == symbol) co_IdTable.b_Remove(symbol->n4_Id, nullptr);
}

CT_Symbol* CT_SymbolTable::pco_Give(unsigned short const* name) {
    CT_Symbol* symbol = pco_Get(name);
    if (symbol != nullptr) v_Forget(symbol);
    return symbol;
}

CT_Symbol* CT_SymbolTable::pco_Give(CT_UString const* name) {
    CT_Symbol* symbol = pco_Get(name);
    if (symbol != nullptr) v_Forget(symbol);
    return symbol;
}

CT_Symbol* CT_SymbolTable::pco_Give(std::uint32_t id) {
    CT_Symbol* symbol = pco_Get(id);
    if (symbol != nullptr) v_Forget(symbol);
    return symbol;
}

CT_SymbolTable::tco_NameIterator* CT_SymbolTable::pco_GiveIterator() const {
    return new tco_NameIterator(&co_NameTable);
}

// First the symbols only their id leads to (their names lead elsewhere or
// nowhere), then every symbol of the name table; then both tables start
// anew.
void CT_SymbolTable::v_Exit() {
    CT_VoidHashIterator byId(&co_IdTable);
    while (byId.b_Next()) {
        CT_Symbol* symbol;
        byId.v_Get(&symbol);
        CT_Symbol* named = nullptr;
        co_NameTable.b_Get(spu_Key(symbol), &named);
        if (named != symbol) delete symbol;
    }
    CT_VoidHashIterator byName(&co_NameTable);
    while (byName.b_Next()) {
        CT_Symbol* symbol;
        byName.v_Get(&symbol);
        delete symbol;
    }
    co_NameTable.v_Set(e_TableSize);
    co_IdTable.v_Set(e_TableSize);
}
