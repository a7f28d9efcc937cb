#include "Foundation/Basis/Frame/Type.h"

// The type system's static members are touched only while the library's
// static objects are constructed or destroyed, on the loading thread, so
// they need no lock. Plain zero-initialised data: ready before any type.
CT_Type::st_Type CT_Type::saso_Types[CT_Type::e_MaxTypes];
unsigned CT_Type::sn_Types = 0;
CT_Type* CT_Type::spco_Any = nullptr;
CT_Type* CT_Type::spco_Construct = nullptr;
CT_Type* CT_Type::spco_Destruct = nullptr;

CT_Type::CT_Type(char* name, void* object, unsigned int size)
    : pcz_Name(name), pv_Object(object), n_Size(size), pso_Types(nullptr), n_TypeCount(0), pco_Next(spco_Any) {
    spco_Any = this;
    spco_Construct = this;
}

CT_Type::CT_Type(CT_Type const& other)
    : pcz_Name(other.pcz_Name),
      pv_Object(other.pv_Object),
      n_Size(other.n_Size),
      pso_Types(other.pso_Types),
      n_TypeCount(other.n_TypeCount),
      pco_Next(other.pco_Next) {}

CT_Type& CT_Type::operator=(CT_Type const& other) {
    // The copy shares the base table, as the original does.
    pcz_Name = other.pcz_Name;
    pv_Object = other.pv_Object;
    n_Size = other.n_Size;
    pso_Types = other.pso_Types;
    n_TypeCount = other.n_TypeCount;
    pco_Next = other.pco_Next;
    return *this;
}

CT_Type::~CT_Type() {
    pcz_Name = nullptr;
    pv_Object = nullptr;
    delete[] pso_Types;
    pso_Types = nullptr;
    n_TypeCount = 0;
}

void CT_Type::sv_Enter(void* part, CT_Type* type) {
    if (sn_Types >= e_MaxTypes) return;
    saso_Types[sn_Types].pco_Type = type;
    saso_Types[sn_Types].n_Offset = reinterpret_cast<unsigned long long>(part);
    ++sn_Types;
}

void CT_Type::v_Enter() {
    delete[] pso_Types;
    pso_Types = new st_Type[sn_Types ? sn_Types : 1];
    n_TypeCount = sn_Types;
    unsigned long long base = reinterpret_cast<unsigned long long>(pv_Object);
    for (unsigned i = 0; i < sn_Types; ++i) {
        pso_Types[i].pco_Type = saso_Types[i].pco_Type;
        pso_Types[i].n_Offset = saso_Types[i].n_Offset - base;
    }
    sn_Types = 0;
    spco_Construct = nullptr;
}

void CT_Type::sv_ToDestruct(void* type) { spco_Destruct = static_cast<CT_Type*>(type); }

static int b_InExtent(CT_Type const* type, void const* address) {
    char const* start = static_cast<char const*>(type->pcv_GetObject());
    char const* at = static_cast<char const*>(address);
    return start != nullptr && at >= start && at < start + type->n_GetSize();
}

int CT_Type::sb_InConstruct(void const* address) {
    return spco_Construct != nullptr && b_InExtent(spco_Construct, address);
}

int CT_Type::sb_InDestruct(void const* address) {
    CT_Type* type = spco_Destruct;
    if (type == nullptr) return 0;
    int inside = b_InExtent(type, address);
    if (type->n_TypeCount > 0) --type->n_TypeCount;
    if (type->n_TypeCount == 0) spco_Destruct = nullptr;
    return inside;
}

void* CT_Type::pv_CastTo(void* object, CT_Type const* target) const {
    unsigned matches = 0;
    unsigned long long offset = 0;
    for (unsigned i = 0; i < n_TypeCount; ++i) {
        if (pso_Types[i].pco_Type == target) {
            ++matches;
            offset = pso_Types[i].n_Offset;
        }
    }
    if (matches != 1 || object == nullptr) return nullptr;
    return static_cast<char*>(object) + offset;
}
