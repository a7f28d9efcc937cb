// Run-time class identity for the classes that take part in the type
// system. Each such class has a static CT_Type and a static prototype
// object; while the prototype is constructed, every constructor level
// records its own part, and the type keeps the result as its base table:
// (class, offset of that class's part in an object). Casting an object to
// one of its classes is a lookup in that table.
#pragma once

#include "Foundation/Platform/Export.h"

class BASIS_API CT_Type {
public:
    struct st_Type {
        CT_Type* pco_Type;
        // While collecting: the part's address. Once entered: its offset.
        unsigned long long n_Offset;
    };

    CT_Type(char* name, void* object, unsigned int size);
    CT_Type(CT_Type const& other);
    CT_Type& operator=(CT_Type const& other);
    virtual ~CT_Type();

    char const* qccz_GetName() const { return pcz_Name; }
    void const* pcv_GetObject() const { return pv_Object; }
    unsigned n_GetTypes() const { return n_TypeCount; }
    unsigned n_GetSize() const { return n_Size; }
    CT_Type* pco_GetNext() const { return pco_Next; }
    st_Type const* pcso_GetTypes() const { return pso_Types; }

    // Records one constructor level of the prototype under construction.
    static void sv_Enter(void* part, CT_Type* type);
    // Turns the collected levels into this type's base table.
    void v_Enter();
    static void sv_ToDestruct(void* type);
    // True when address lies inside the prototype now being constructed.
    static int sb_InConstruct(void const* address);
    // Counts one destructor level of the prototype now being destroyed;
    // true when address lies inside that prototype.
    static int sb_InDestruct(void const* address);

    // The address of the target-class part of an object of this type, or
    // null when the class is not among its bases or appears more than once.
    void* pv_CastTo(void* object, CT_Type const* target) const;

    static CT_Type* spco_GetAny() { return spco_Any; }
    static CT_Type* spco_GetConstruct() { return spco_Construct; }
    static CT_Type* spco_GetDestruct() { return spco_Destruct; }

    // A class hierarchy deeper than this is not supported.
    enum { e_MaxTypes = 32 };

    static st_Type saso_Types[e_MaxTypes];
    static unsigned sn_Types;
    static CT_Type* spco_Any;
    static CT_Type* spco_Construct;
    static CT_Type* spco_Destruct;

private:
    char* pcz_Name;
    void* pv_Object;
    unsigned n_Size;
    st_Type* pso_Types;
    unsigned n_TypeCount;
    CT_Type* pco_Next;
};

// The declarations every class of the type system carries. The prototype
// constructor is protected and takes the class's own CT_Type. A class whose
// base is already in the type system uses the DERIVED form, which marks the
// three operations as overrides.
#define BASIS_DECLARE_TYPE_MEMBERS(ClassName, Override)                                   \
public:                                                                                   \
    static CT_Type const* spcco_GetType() { return &sco_Type; }                           \
    virtual CT_Type const* vpcco_GetType() const Override;                                \
    virtual void* vpv_IsA(CT_Type const* type) const Override;                            \
    virtual void* vpv_IsKindOf(CT_Type const* type) const Override;                       \
    static CT_Type sco_Type;                                                              \
    static ClassName sco_Object;

#define BASIS_DECLARE_TYPE(ClassName) BASIS_DECLARE_TYPE_MEMBERS(ClassName, )
#define BASIS_DECLARE_DERIVED_TYPE(ClassName) BASIS_DECLARE_TYPE_MEMBERS(ClassName, override)

// Definitions of the three virtual operations for a class of the type system.
#define BASIS_DEFINE_TYPE_OPERATIONS(ClassName)                                           \
    CT_Type const* ClassName::vpcco_GetType() const { return &sco_Type; }                 \
    void* ClassName::vpv_IsA(CT_Type const* type) const {                                 \
        return type == &sco_Type ? const_cast<ClassName*>(this) : nullptr;               \
    }                                                                                     \
    void* ClassName::vpv_IsKindOf(CT_Type const* type) const {                            \
        /* The most derived class's table knows every part of this object. */           \
        CT_Type const* own = vpcco_GetType();                                             \
        void* object = dynamic_cast<void*>(const_cast<ClassName*>(this));                \
        return own->pv_CastTo(object, type);                                              \
    }

// Called by each constructor level of a type-system class, after its own
// dispatch table is in place (that is, in the constructor body).
#define BASIS_TYPE_CONSTRUCT(ClassName)                                                   \
    do {                                                                                  \
        if (CT_Type::sb_InConstruct(this)) {                                              \
            CT_Type::sv_Enter(this, &ClassName::sco_Type);                                \
            if (this == &ClassName::sco_Object) ClassName::sco_Type.v_Enter();            \
        }                                                                                 \
    } while (0)

// Called by each destructor level of a type-system class; evaluates to true
// when this object is a prototype (which must release nothing it holds).
#define BASIS_TYPE_DESTRUCT(ClassName)                                                    \
    ((this == &ClassName::sco_Object ? CT_Type::sv_ToDestruct(&ClassName::sco_Type) : (void)0), \
     CT_Type::sb_InDestruct(this))
