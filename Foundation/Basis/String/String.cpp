#include "Foundation/Basis/String/String.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_String)

CT_String::CT_String() { BASIS_TYPE_CONSTRUCT(CT_String); }

CT_String::CT_String(CT_Buffer const* buffer) : co_Buffer(buffer) { BASIS_TYPE_CONSTRUCT(CT_String); }

CT_String::CT_String(CT_Type*) { BASIS_TYPE_CONSTRUCT(CT_String); }

CT_String::~CT_String() { (void)BASIS_TYPE_DESTRUCT(CT_String); }
