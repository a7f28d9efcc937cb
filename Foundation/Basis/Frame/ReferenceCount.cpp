#include "Foundation/Basis/Frame/ReferenceCount.h"

#include "Foundation/Platform/Interlocked.h"

void CT_ReferenceCount::v_Downcount() const {
    if (i4_Count-- == 1) delete this;
}

std::int32_t CT_ReferenceCount::i4_MTUpcount() const {
    Platform::i4_InterlockedIncrement(&i4_Count);
    return __atomic_load_n(&i4_Count, __ATOMIC_RELAXED);
}

std::int32_t CT_ReferenceCount::i4_MTDowncount() const {
    std::int32_t count = Platform::i4_InterlockedDecrement(&i4_Count);
    if (count == 0) delete this;
    return count;
}

CT_Shared::CT_Shared() : i4_Count(0) { Platform::i4_InterlockedExchange(&i4_Count, 0); }

CT_Shared::CT_Shared(CT_Shared const*) : i4_Count(0) { Platform::i4_InterlockedExchange(&i4_Count, 0); }

void CT_Shared::v_TakeReference() { Platform::i4_InterlockedIncrement(&i4_Count); }

void CT_Shared::v_GiveReference() {
    if (Platform::i4_InterlockedDecrement(&i4_Count) == 0) delete this;
}

namespace {
// 00000000-0000-0000-C000-000000000046
bool b_IsUnknownId(_GUID const& id) {
    static unsigned char const tail[8] = {0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    if (id.Data1 != 0 || id.Data2 != 0 || id.Data3 != 0) return false;
    for (int i = 0; i < 8; ++i)
        if (id.Data4[i] != tail[i]) return false;
    return true;
}
}  // namespace

HRESULT CT_VirtualReferenceCount::QueryInterface(_GUID const& riid, void** ppv) {
    if (b_IsUnknownId(riid)) {
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return 0;
    }
    *ppv = nullptr;
    return static_cast<HRESULT>(e_NoInterface);
}
