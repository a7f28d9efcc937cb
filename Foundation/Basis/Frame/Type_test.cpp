#include "Foundation/Basis/Frame/Type.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/String.h"

namespace {

// A small hierarchy of the test's own, registered the way the library
// registers its classes: Root <- Left, Root <- Right, Left + Right <- Both
// (so Both holds two Root parts and a cast to Root is ambiguous).
class Root {
    BASIS_DECLARE_TYPE(Root)
public:
    Root() { BASIS_TYPE_CONSTRUCT(Root); }
    explicit Root(CT_Type*) { BASIS_TYPE_CONSTRUCT(Root); }
    virtual ~Root() { (void)BASIS_TYPE_DESTRUCT(Root); }
    int i_Root = 1;
};

class Left : public Root {
    BASIS_DECLARE_DERIVED_TYPE(Left)
public:
    Left() { BASIS_TYPE_CONSTRUCT(Left); }
    explicit Left(CT_Type* type) : Root(type) { BASIS_TYPE_CONSTRUCT(Left); }
    int i_Left = 2;
};

class Right : public Root {
    BASIS_DECLARE_DERIVED_TYPE(Right)
public:
    Right() { BASIS_TYPE_CONSTRUCT(Right); }
    explicit Right(CT_Type* type) : Root(type) { BASIS_TYPE_CONSTRUCT(Right); }
    int i_Right = 3;
};

class Both : public Left, public Right {
    BASIS_DECLARE_DERIVED_TYPE(Both)
public:
    Both() { BASIS_TYPE_CONSTRUCT(Both); }
    explicit Both(CT_Type* type) : Left(type), Right(type) { BASIS_TYPE_CONSTRUCT(Both); }
};

BASIS_DEFINE_TYPE_OPERATIONS(Root)
BASIS_DEFINE_TYPE_OPERATIONS(Left)
BASIS_DEFINE_TYPE_OPERATIONS(Right)
BASIS_DEFINE_TYPE_OPERATIONS(Both)

}  // namespace

// Derived types first: a base's type object need not exist yet when a
// derived prototype records it.
CT_Type Both::sco_Type(const_cast<char*>("Both"), &Both::sco_Object, sizeof(Both));
Both Both::sco_Object(&Both::sco_Type);
CT_Type Left::sco_Type(const_cast<char*>("Left"), &Left::sco_Object, sizeof(Left));
Left Left::sco_Object(&Left::sco_Type);
CT_Type Right::sco_Type(const_cast<char*>("Right"), &Right::sco_Object, sizeof(Right));
Right Right::sco_Object(&Right::sco_Type);
CT_Type Root::sco_Type(const_cast<char*>("Root"), &Root::sco_Object, sizeof(Root));
Root Root::sco_Object(&Root::sco_Type);

namespace {

TEST(Type, BaseTablesRecordEveryLevelWithItsOffset) {
    CT_Type const* both = Both::spcco_GetType();
    ASSERT_EQ(both->n_GetTypes(), 5u);  // Root, Left, Root, Right, Both
    CT_Type::st_Type const* table = both->pcso_GetTypes();
    CT_Type const* const levels[] = {Root::spcco_GetType(), Left::spcco_GetType(), Root::spcco_GetType(),
                                     Right::spcco_GetType(), Both::spcco_GetType()};
    for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(table[i].pco_Type, levels[i]) << i;
    Both object;
    char* start = reinterpret_cast<char*>(&object);
    EXPECT_EQ(table[0].n_Offset, 0u);
    EXPECT_EQ(table[3].n_Offset, static_cast<unsigned long long>(reinterpret_cast<char*>(static_cast<Right*>(&object)) - start));
    EXPECT_NE(table[3].n_Offset, 0u);
    EXPECT_EQ(Root::spcco_GetType()->n_GetTypes(), 1u);
    EXPECT_STREQ(Both::spcco_GetType()->qccz_GetName(), "Both");
    EXPECT_EQ(Both::spcco_GetType()->pcv_GetObject(), &Both::sco_Object);
    // Collection is over once every prototype is entered.
    EXPECT_EQ(CT_Type::spco_GetConstruct(), nullptr);
    EXPECT_EQ(CT_Type::sn_Types, 0u);
}

TEST(Type, IsAIsKindOfAndCasting) {
    Both object;
    Right* right = &object;
    // Through a base pointer the object still answers for its own class.
    EXPECT_EQ(right->vpcco_GetType(), Both::spcco_GetType());
    EXPECT_EQ(right->vpv_IsA(Both::spcco_GetType()), static_cast<void*>(&object));
    EXPECT_EQ(right->vpv_IsA(Right::spcco_GetType()), nullptr);
    EXPECT_EQ(right->vpv_IsKindOf(Right::spcco_GetType()), static_cast<void*>(static_cast<Right*>(&object)));
    EXPECT_EQ(right->vpv_IsKindOf(Left::spcco_GetType()), static_cast<void*>(static_cast<Left*>(&object)));
    EXPECT_EQ(right->vpv_IsKindOf(Both::spcco_GetType()), static_cast<void*>(&object));
    // Two Root parts: ambiguous, so null.
    EXPECT_EQ(right->vpv_IsKindOf(Root::spcco_GetType()), nullptr);
    EXPECT_EQ(right->vpv_IsKindOf(CT_String::spcco_GetType()), nullptr);
    Left plain;
    EXPECT_EQ(plain.vpv_IsKindOf(Root::spcco_GetType()), static_cast<void*>(&plain));
    EXPECT_EQ(Both::spcco_GetType()->pv_CastTo(nullptr, Left::spcco_GetType()), nullptr);
}

TEST(Type, LibraryStringClassesAreRegistered) {
    CT_Type const* narrow = CT_CString::spcco_GetType();
    ASSERT_EQ(narrow->n_GetTypes(), 2u);
    EXPECT_EQ(narrow->pcso_GetTypes()[0].pco_Type, CT_String::spcco_GetType());
    EXPECT_EQ(narrow->pcso_GetTypes()[0].n_Offset, 0u);
    EXPECT_EQ(narrow->pcso_GetTypes()[1].pco_Type, narrow);
    EXPECT_STREQ(narrow->qccz_GetName(), "CT_CString");
    EXPECT_EQ(narrow->n_GetSize(), sizeof(CT_CString));

    CT_CString text("abc", ~0u, 0);
    CT_String* any = &text;
    EXPECT_EQ(any->vpv_IsA(CT_String::spcco_GetType()), nullptr);
    EXPECT_EQ(any->vpv_IsA(CT_CString::spcco_GetType()), any);
    EXPECT_EQ(any->vpv_IsKindOf(CT_String::spcco_GetType()), any);

    // Every library type is on the list of all types.
    bool sawString = false, sawNarrow = false;
    for (CT_Type const* type = CT_Type::spco_GetAny(); type; type = type->pco_GetNext()) {
        sawString = sawString || std::strcmp(type->qccz_GetName(), "CT_String") == 0;
        sawNarrow = sawNarrow || type == narrow;
    }
    EXPECT_TRUE(sawString && sawNarrow);
}

TEST(Type, PrototypeDestructionIsRecognised) {
    // Simulates the unload of a prototype on a type of the test's own:
    // every level is told it is inside the prototype, and the count runs
    // down to 0 with the last level.
    static char storage[64];
    char name[] = "Probe";
    CT_Type probe(name, storage, sizeof storage);
    CT_Type::sv_Enter(storage, &probe);
    CT_Type::sv_Enter(storage + 8, &probe);
    probe.v_Enter();
    ASSERT_EQ(probe.n_GetTypes(), 2u);
    EXPECT_EQ(probe.pcso_GetTypes()[1].n_Offset, 8u);
    CT_Type::sv_ToDestruct(&probe);
    EXPECT_TRUE(CT_Type::sb_InDestruct(storage + 8));
    EXPECT_EQ(CT_Type::spco_GetDestruct(), &probe);
    EXPECT_TRUE(CT_Type::sb_InDestruct(storage));
    EXPECT_EQ(CT_Type::spco_GetDestruct(), nullptr);
    EXPECT_FALSE(CT_Type::sb_InDestruct(storage));  // nothing being destroyed
    // Undo the push onto the list of all types so the list stays valid.
    CT_Type::spco_Any = probe.pco_GetNext();
}

}  // namespace
