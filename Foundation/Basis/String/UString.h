// CT_UString: the wide string, UTF-16 code units.
// (The first cut: layout, type identity and reading.)
#pragma once

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/String.h"

class BASIS_API CT_UString : public CT_String {
    BASIS_DECLARE_TYPE(CT_UString)
    BASIS_DECLARE_POOL()

public:
    CT_UString();
    CT_UString(unsigned short const* text, unsigned count);
    CT_UString(CT_UString const& other);
    CT_UString& operator=(CT_UString const& other);
    ~CT_UString() override;

    unsigned short const* qcuz_Get() const;
    unsigned n_GetLength() const;

protected:
    explicit CT_UString(CT_Type* type);
};
