// CT_String: the common base of the narrow and the wide string.
// (The first cut: layout, type identity and the buffer; the string
// operations arrive with the string classes proper.)
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Frame/Type.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_String {
    BASIS_DECLARE_TYPE(CT_String)

public:
    virtual ~CT_String();
    CT_String& operator=(CT_String const& other) {
        co_Buffer.v_Set(&other.co_Buffer);
        return *this;
    }
    CT_Buffer const* pcco_GetBuffer() const { return &co_Buffer; }
    void v_CopyWeWrite() { co_Buffer.v_CopyWeWrite(); }

protected:
    // The conversion functions fill strings of either kind in place.
    friend class CT_StringConvert;

    CT_String();
    explicit CT_String(CT_Buffer const* buffer);
    explicit CT_String(CT_Type* type);
    CT_String(CT_String const& other) : CT_String(&other.co_Buffer) {}

    CT_Buffer co_Buffer;
};
