#include "Foundation/Basis/String/UString.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_UString)
BASIS_DEFINE_POOL(CT_UString)

namespace {
unsigned short const u_Empty = 0;
}

CT_UString::CT_UString() { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString::CT_UString(unsigned short const* text, unsigned count) {
    BASIS_TYPE_CONSTRUCT(CT_UString);
    if (count == ~0u)
        for (count = 0; text[count]; ++count) {
        }
    unsigned short const zero = 0;
    co_Buffer.v_Set(text, count * 2, ~0u);
    co_Buffer.v_Append(&zero, 2);
}

CT_UString::CT_UString(CT_UString const& other) : CT_String(other) { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString::CT_UString(CT_Type* type) : CT_String(type) { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString& CT_UString::operator=(CT_UString const& other) {
    CT_String::operator=(other);
    return *this;
}

CT_UString::~CT_UString() { (void)BASIS_TYPE_DESTRUCT(CT_UString); }

unsigned short const* CT_UString::qcuz_Get() const {
    return co_Buffer.n_GetUsedSize() >= 2 ? static_cast<unsigned short const*>(co_Buffer.qcv_Get()) : &u_Empty;
}

unsigned CT_UString::n_GetLength() const {
    unsigned used = co_Buffer.n_GetUsedSize();
    return used >= 2 ? used / 2 - 1 : 0;
}
