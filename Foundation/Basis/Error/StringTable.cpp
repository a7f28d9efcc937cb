#include "Foundation/Basis/Error/StringTable.h"

namespace {

#define BASIS_STRING(id, text) {id, text},
Platform::st_StringResource const aso_Strings[] = {
#include "Foundation/Basis/Error/StringTable.inc"
};
#undef BASIS_STRING

}  // namespace

namespace StringTable {

Platform::st_StringResource const* spcso_Get() { return aso_Strings; }

unsigned sn_GetCount() { return sizeof aso_Strings / sizeof aso_Strings[0]; }

}  // namespace StringTable
