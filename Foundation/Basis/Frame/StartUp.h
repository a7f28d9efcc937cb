// The library's start-up list: its static objects, constructed in one
// fixed order when the library is loaded and destroyed in the reverse order
// when it is unloaded (see StartUp.cpp, where the list is).
#pragma once

#include "Foundation/Basis/Frame/Init.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

namespace StartUp {

// Gives the library's instance to the classes that need it at attach time;
// called by the entry function after the module data is set.
void sv_HandOverInstance(HINSTANCE instance);

// The names of the start-up steps in the order they ran ("CT_CString type",
// "CT_ErrorManager::sv_Init", ...), for the tour and the tests.
BASIS_API unsigned sn_GetStepCount();
BASIS_API char const* sqccz_GetStep(unsigned index);

}  // namespace StartUp
