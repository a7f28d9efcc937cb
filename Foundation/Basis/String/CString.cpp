#include "Foundation/Basis/String/CString.h"

#include <cstring>

BASIS_DEFINE_TYPE_OPERATIONS(CT_CString)
BASIS_DEFINE_POOL(CT_CString)

CT_CString::CT_CString(unsigned codePage) : n_CodePage(codePage) { BASIS_TYPE_CONSTRUCT(CT_CString); }

CT_CString::CT_CString(char const* text, unsigned count, unsigned codePage) : n_CodePage(codePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
    v_Set(text, count, codePage);
}

CT_CString::CT_CString(CT_CString const& other) : CT_String(other), n_CodePage(other.n_CodePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
}

CT_CString::CT_CString(CT_Type* type) : CT_String(type), n_CodePage(0) { BASIS_TYPE_CONSTRUCT(CT_CString); }

CT_CString& CT_CString::operator=(CT_CString const& other) {
    CT_String::operator=(other);
    n_CodePage = other.n_CodePage;
    return *this;
}

CT_CString::~CT_CString() { (void)BASIS_TYPE_DESTRUCT(CT_CString); }

char const* CT_CString::qccz_Get() const {
    return co_Buffer.n_GetUsedSize() ? static_cast<char const*>(co_Buffer.qcv_Get()) : "";
}

unsigned CT_CString::n_GetLength() const {
    unsigned used = co_Buffer.n_GetUsedSize();
    return used ? used - 1 : 0;
}

void CT_CString::v_Set(char const* text, unsigned count, unsigned codePage) {
    if (count == ~0u) count = text ? static_cast<unsigned>(std::strlen(text)) : 0;
    n_CodePage = codePage;
    co_Buffer.v_Set(count + 1, ~0u, 0);
    co_Buffer.v_Replace(text, count, 0);
    co_Buffer.v_Append(static_cast<unsigned char>(0));
}
