// The component-object base interface. On Windows the declaration comes
// from the system headers (included only by the Win32 half of the seam);
// elsewhere this declares an interface with the same three slots in the
// same order, so a class built on it has the same dispatch-table layout.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#  include <unknwn.h>
#else

typedef std::int32_t HRESULT;
typedef std::uint32_t ULONG;

struct _GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
typedef _GUID GUID;
typedef _GUID IID;

struct IUnknown {
    virtual HRESULT QueryInterface(_GUID const& riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};

#endif
