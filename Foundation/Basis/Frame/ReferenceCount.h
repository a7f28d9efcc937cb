// Base classes that give an object a reference count and delete the object
// (through its virtual destructor) when the last reference goes: such
// objects must be made with new.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Unknown.h"

// A count with a plain (one thread) and an interlocked form of each change.
class BASIS_API CT_ReferenceCount {
public:
    CT_ReferenceCount() : i4_Count(0) {}
    CT_ReferenceCount(CT_ReferenceCount const& other) : i4_Count(other.i4_Count) {}
    CT_ReferenceCount& operator=(CT_ReferenceCount const& other) {
        i4_Count = other.i4_Count;
        return *this;
    }
    virtual ~CT_ReferenceCount() {}

    void v_Upcount() const { ++i4_Count; }
    // Deletes the object when the count was 1.
    void v_Downcount() const;
    std::int32_t i4_MTUpcount() const;
    // Deletes the object when the count reaches 0; returns the new count.
    std::int32_t i4_MTDowncount() const;
    std::int32_t i4_GetCount() const { return i4_Count; }

private:
    mutable std::int32_t i4_Count;
};

// An interlocked-only count.
class BASIS_API CT_Shared {
public:
    void v_TakeReference();
    // Deletes the object when the count reaches 0.
    void v_GiveReference();
    unsigned n_GetReferences() const { return static_cast<unsigned>(i4_Count); }

    CT_Shared(CT_Shared const& other) : i4_Count(other.i4_Count) {}
    CT_Shared& operator=(CT_Shared const& other) {
        i4_Count = other.i4_Count;
        return *this;
    }

protected:
    CT_Shared();
    explicit CT_Shared(CT_Shared const* other);
    virtual ~CT_Shared() {}

private:
    std::int32_t i4_Count;
};

// A base for objects that implement the component-object interface; the
// counting itself (AddRef, Release) is the derived class's.
class BASIS_API CT_VirtualReferenceCount : public IUnknown {
public:
    HRESULT QueryInterface(_GUID const& riid, void** ppv) override;
    virtual ~CT_VirtualReferenceCount() {}

    void v_Upcount() { AddRef(); }
    void v_Upcount() const { const_cast<CT_VirtualReferenceCount*>(this)->AddRef(); }
    void v_Downcount() { Release(); }
    void v_Downcount() const { const_cast<CT_VirtualReferenceCount*>(this)->Release(); }

    enum : std::uint32_t { e_NoInterface = 0x80004002u };
};
