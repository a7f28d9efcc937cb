#include "Foundation/Basis/Frame/ReferenceCount.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

int i_Deleted = 0;

struct Counted : CT_ReferenceCount {
    ~Counted() override { ++i_Deleted; }
};

struct SharedThing : CT_Shared {
protected:
    ~SharedThing() override { ++i_Deleted; }
};

struct Component : CT_VirtualReferenceCount {
    ULONG i_Refs = 1;
    ULONG AddRef() override { return ++i_Refs; }
    ULONG Release() override {
        if (--i_Refs == 0) {
            delete this;
            return 0;
        }
        return i_Refs;
    }
    ~Component() override { ++i_Deleted; }
};

TEST(ReferenceCount, PlainAndInterlockedCounts) {
    i_Deleted = 0;
    Counted* object = new Counted;
    EXPECT_EQ(object->i4_GetCount(), 0);
    object->v_Upcount();
    object->v_Upcount();
    object->v_Downcount();
    EXPECT_EQ(object->i4_GetCount(), 1);
    EXPECT_EQ(i_Deleted, 0);
    EXPECT_EQ(object->i4_MTUpcount(), 2);
    EXPECT_EQ(object->i4_MTDowncount(), 1);
    object->v_Downcount();  // was 1: gone
    EXPECT_EQ(i_Deleted, 1);

    Counted* mt = new Counted;
    mt->i4_MTUpcount();
    EXPECT_EQ(mt->i4_MTDowncount(), 0);
    EXPECT_EQ(i_Deleted, 2);

    Counted a;
    a.v_Upcount();
    Counted b(a);
    EXPECT_EQ(b.i4_GetCount(), 1);
}

TEST(ReferenceCount, SharedDiesWithTheLastReferenceFromAnyThread) {
    i_Deleted = 0;
    SharedThing* thing = new SharedThing;
    thing->v_TakeReference();
    thing->v_GiveReference();
    EXPECT_EQ(i_Deleted, 1);

    SharedThing* busy = new SharedThing;
    busy->v_TakeReference();  // held by the test until both threads are done
    auto churn = [busy] {
        for (int i = 0; i < 100000; ++i) {
            busy->v_TakeReference();
            busy->v_GiveReference();
        }
    };
    std::thread one(churn), two(churn);
    one.join();
    two.join();
    EXPECT_EQ(busy->n_GetReferences(), 1u);
    EXPECT_EQ(i_Deleted, 1);
    busy->v_GiveReference();
    EXPECT_EQ(i_Deleted, 2);
}

TEST(ReferenceCount, QueryInterfaceAnswersOnlyForTheBaseInterface) {
    i_Deleted = 0;
    Component* component = new Component;
    _GUID unknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    void* out = nullptr;
    EXPECT_EQ(component->QueryInterface(unknown, &out), 0);
    EXPECT_EQ(out, static_cast<IUnknown*>(component));
    EXPECT_EQ(component->i_Refs, 2u);
    _GUID other = unknown;
    other.Data4[7] = 0x47;
    out = component;
    EXPECT_EQ(static_cast<std::uint32_t>(component->QueryInterface(other, &out)), 0x80004002u);
    EXPECT_EQ(out, nullptr);
    component->v_Downcount();
    component->v_Downcount();
    EXPECT_EQ(i_Deleted, 1);
}

}  // namespace
