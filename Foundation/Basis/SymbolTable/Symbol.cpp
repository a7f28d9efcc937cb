#include "Foundation/Basis/SymbolTable/Symbol.h"

#include "Foundation/Basis/Error/ErrorManager.h"

namespace {

char const qccz_Location[] = "Foundation/Basis/SymbolTable/Symbol";

}  // namespace

BASIS_DEFINE_POOL(CT_Symbol)

void CT_Symbol::sv_AddLocation(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors->b_IsSetError()) errors->v_AddLocation(qccz_Location, line);
}

CT_Symbol::CT_Symbol() : n4_Id(e_NoId) { sv_AddLocation(__LINE__); }

CT_Symbol::CT_Symbol(CT_UString const* name, std::uint32_t id) : n4_Id(id) {
    if (name != nullptr) co_Name = *name;
    sv_AddLocation(__LINE__);
}

CT_Symbol::CT_Symbol(unsigned short const* name, std::uint32_t id) : n4_Id(id) {
    if (name != nullptr) co_Name.v_Set(name, ~0u);
    sv_AddLocation(__LINE__);
}

CT_Symbol::CT_Symbol(CT_Symbol const* other) : n4_Id(e_NoId) {
    v_Set(other);
    sv_AddLocation(__LINE__);
}

CT_Symbol::~CT_Symbol() {}

void CT_Symbol::v_Set() {
    co_Name = CT_UString();
    n4_Id = e_NoId;
}

void CT_Symbol::v_Set(CT_UString const* name, std::uint32_t id) {
    if (name != nullptr) co_Name = *name;
    else co_Name = CT_UString();
    n4_Id = id;
}

// The copy's name is a text of its own, not a share of the other's.
void CT_Symbol::v_Set(CT_Symbol const* other) {
    if (other == this) return;
    co_Name.v_Set(other->co_Name.qcuz_Get(), other->co_Name.n_GetLength());
    n4_Id = other->n4_Id;
}
