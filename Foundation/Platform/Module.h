// The library's own module: its instance handle and the path of its file.
#pragma once

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

namespace Platform {

// The instance handle of the module that holds this code (basis.dll or
// libbasis.so): on Windows the module's base address as the loader gives it,
// on Linux the base address at which the shared object is mapped.
BASIS_API HINSTANCE h_GetOwnModuleInstance();

// Writes the full path of the module named by the instance as narrow text
// (the ANSI code page on Windows, the file-system bytes on Linux) into
// buffer, zero-terminated and cut to size - 1 characters. Returns the number
// of characters written without the zero, or 0 on failure (the last error
// is then set).
BASIS_API unsigned n_GetModuleFileName(HINSTANCE instance, char* buffer, unsigned size);

}  // namespace Platform

namespace Platform {

// The library's entry function: (instance, reason, reserved) -> 1.
typedef int (*pf_EntryFunction)(HINSTANCE instance, unsigned reason, void* reserved);

// Called by the last of the library's static objects. On Linux it runs the
// entry function at once with reason 1 (process attach), since nothing
// else would; on Windows it only remembers the function, which the
// system's call of DllMain (after the static objects) then runs.
BASIS_API void v_RunEntryAfterStaticObjects(pf_EntryFunction entry);

}  // namespace Platform
