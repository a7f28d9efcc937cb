// The library's compiled-in string table (the same texts as its Windows
// string resources), registered as the library's resources at load time
// where the system has none of its own.
#pragma once

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Resource.h"

namespace StringTable {

BASIS_API Platform::st_StringResource const* spcso_Get();
BASIS_API unsigned sn_GetCount();

}  // namespace StringTable
