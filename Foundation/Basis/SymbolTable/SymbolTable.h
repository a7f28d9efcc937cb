// CT_SymbolTable: owns a set of CT_Symbol objects and finds them by name or
// by id through two hash tables.
//
// The name table is keyed by a pointer to each symbol's zero-terminated
// wide name (case-sensitive or not, as chosen at construction), the id
// table by the id; both lead to the symbol. Ids are the caller's or, for a
// symbol taken without one, handed out by the table: 1, 2, 3, ... above the
// highest id seen, which only grows (also across v_Set).
//
// Ownership: a symbol belongs to the caller until b_Take, to the table
// until pco_Give or the table's reset, and to the caller again after
// pco_Give. Taking a symbol whose name (or id) is already there makes the
// name (or id) lead to the new symbol; the one it displaced stays in the
// table as long as its other entry still leads to it (so it is still found
// by that), and is deleted when nothing leads to it any more. The reset
// deletes every symbol that either table leads to.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Container/HashTable.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/SymbolTable/Symbol.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_SymbolTable {
    BASIS_DECLARE_POOL()

public:
    typedef CT_HashTable<unsigned short*, CT_Symbol*> tco_NameTable;
    typedef CT_HashTable<std::uint32_t, CT_Symbol*> tco_IdTable;
    typedef CT_HashIterator<unsigned short*, CT_Symbol*> tco_NameIterator;
    enum : unsigned { e_TableSize = 13 };

    // Not case-sensitive unless asked.
    explicit CT_SymbolTable(int caseSensitive = 0);
    // A copy of every symbol; the case rule of the other.
    CT_SymbolTable(CT_SymbolTable const& other);
    // The target's symbols are deleted and copies of the other's taken; the
    // target keeps its own case rule, and its last id becomes the larger of
    // the two.
    CT_SymbolTable& operator=(CT_SymbolTable const& other);
    ~CT_SymbolTable() { v_Exit(); }

    // Takes ownership of the symbol and enters it by name and by id (a
    // symbol without an id gets the next one). Non-zero when a symbol of
    // that name was there already; the name then leads to the new symbol.
    int b_Take(CT_Symbol* symbol);

    // The symbol, or null. An empty string is the empty name.
    CT_Symbol* pco_Get(unsigned short const* name) const;
    CT_Symbol* pco_Get(CT_UString const* name) const;
    CT_Symbol* pco_Get(std::uint32_t id) const;
    // Takes the symbol out of both tables and hands it to the caller, who
    // then owns it; null when there is none.
    CT_Symbol* pco_Give(unsigned short const* name);
    CT_Symbol* pco_Give(CT_UString const* name);
    CT_Symbol* pco_Give(std::uint32_t id);
    // A new iterator over the name table, owned by the caller.
    tco_NameIterator* pco_GiveIterator() const;

    // Raises the last id by 1 and returns it.
    std::uint32_t n4_GetNextId() { return ++n4_LastId; }
    // The number of symbols in the name table.
    unsigned n_GetCount() const { return co_NameTable.n_GetCount(); }
    // Deletes every symbol and resets both tables; the last id stays.
    void v_Set() { v_Exit(); }

private:
    void v_UpdateLastId(std::uint32_t id) {
        if (id > n4_LastId) n4_LastId = id;
    }
    void v_Exit();
    // The name table's key of a symbol: a pointer into its own name.
    static unsigned short* spu_Key(CT_Symbol const* symbol) {
        return const_cast<unsigned short*>(symbol->pcco_GetName()->qcuz_Get());
    }
    // Whether the symbol's name or its id leads to it.
    int b_LeadsTo(CT_Symbol const* symbol) const;
    // Removes those entries that lead to the symbol.
    void v_Forget(CT_Symbol const* symbol);
    // Deletes a symbol that was displaced by another and that nothing
    // leads to any more.
    void v_Release(CT_Symbol* displaced, CT_Symbol const* taken);
    // Copies of every symbol of the other, entered as there.
    void v_CopySymbols(CT_SymbolTable const& other);

    tco_NameTable co_NameTable;
    tco_IdTable co_IdTable;
    std::uint32_t n4_LastId;
};
