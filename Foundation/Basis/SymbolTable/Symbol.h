// CT_Symbol: a wide name with a 32-bit id, the entry of a CT_SymbolTable.
//
// The id is 0xFFFFFFFF (e_NoId) until one is given; a table hands one out
// when it takes a symbol without. While a table holds the symbol, the table
// keys its name table with a pointer into the symbol's own name, so the
// name must not change then.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_Symbol {
    BASIS_DECLARE_POOL()

public:
    enum : std::uint32_t { e_NoId = 0xFFFFFFFFu };

    // Empty name, no id.
    CT_Symbol();
    // The name shared with the string (a null string: empty), and the id.
    CT_Symbol(CT_UString const* name, std::uint32_t id);
    // The name copied from the text (a null text: empty), and the id.
    CT_Symbol(unsigned short const* name, std::uint32_t id);
    // A copy with a name of its own.
    explicit CT_Symbol(CT_Symbol const* other);
    CT_Symbol(CT_Symbol const& other) : CT_Symbol(&other) {}
    CT_Symbol& operator=(CT_Symbol const& other) {
        v_Set(&other);
        return *this;
    }
    virtual ~CT_Symbol();

    void v_Set();
    void v_Set(CT_UString const* name, std::uint32_t id);
    void v_Set(CT_Symbol const* other);

    CT_UString const* pcco_GetName() const { return &co_Name; }
    std::uint32_t n4_GetId() const { return n4_Id; }

private:
    // The table gives an id to a symbol it takes without one.
    friend class CT_SymbolTable;

    // An error set by the name's set-up gets this class's location.
    static void sv_AddLocation(unsigned line);

    CT_UString co_Name;
    std::uint32_t n4_Id;
};
