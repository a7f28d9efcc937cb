// CT_CString: the narrow string, bytes in a code page that it carries.
// (The first cut: what the library frame needs.)
#pragma once

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/String.h"

class BASIS_API CT_CString : public CT_String {
    BASIS_DECLARE_TYPE(CT_CString)
    BASIS_DECLARE_POOL()

public:
    explicit CT_CString(unsigned codePage = 0);
    CT_CString(char const* text, unsigned count, unsigned codePage);
    CT_CString(CT_CString const& other);
    CT_CString& operator=(CT_CString const& other);
    ~CT_CString() override;

    // The zero-terminated bytes; an empty string gives "".
    char const* qccz_Get() const;
    unsigned n_GetLength() const;
    unsigned n_GetCodePage() const { return n_CodePage; }
    void v_SetCodePage(unsigned codePage) { n_CodePage = codePage; }
    void v_Set(char const* text, unsigned count, unsigned codePage);

protected:
    explicit CT_CString(CT_Type* type);

private:
    unsigned n_CodePage;
};
