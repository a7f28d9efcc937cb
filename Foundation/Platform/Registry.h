// The registry: hierarchical keys named by backslash-separated paths below
// a few predefined roots, each key holding typed named values. Every call
// returns the Windows result code (0 success, 2 missing key or value, 5
// access denied or a store that cannot be written, 87 an invalid argument,
// 234 a buffer too small, 259 no more items); it does not touch the
// thread's last error, as the registry functions of Windows do not.
//
// Names are zero-terminated UTF-16 and match without regard to case, by the
// library's upper-case mapping, while keeping the case they were created
// with. A value keeps its exact bytes and type.
//
// Windows: the Reg*W functions. Linux: one SQLite database per root (see
// Posix/RegistryStore.h for where the files live and their tables), each
// change one transaction, so a process killed at any moment leaves every
// change either whole or absent, and several processes may write at once.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

// The predefined roots, with the values Windows gives them (sign-extended
// 32-bit numbers), so the Windows half hands them on unchanged.
#ifndef HKEY_CLASSES_ROOT
#define HKEY_CLASSES_ROOT ((HKEY)(std::uintptr_t)(std::intptr_t)(std::int32_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(std::uintptr_t)(std::intptr_t)(std::int32_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(std::uintptr_t)(std::intptr_t)(std::int32_t)0x80000002u)
#define HKEY_USERS ((HKEY)(std::uintptr_t)(std::intptr_t)(std::int32_t)0x80000003u)
#endif

namespace Platform {

// Value types and access rights, as Windows numbers them.
constexpr unsigned e_RegNone = 0;
constexpr unsigned e_RegText = 1;
constexpr unsigned e_RegExpandText = 2;
constexpr unsigned e_RegBinary = 3;
constexpr unsigned e_RegNumber = 4;
constexpr unsigned e_RegMultiText = 7;
constexpr unsigned e_KeyQueryValue = 0x0001;
constexpr unsigned e_KeySetValue = 0x0002;
constexpr unsigned e_KeyCreateSubKey = 0x0004;
constexpr unsigned e_KeyEnumerateSubKeys = 0x0008;
constexpr unsigned e_KeyRead = 0x20019;
constexpr unsigned e_KeyWrite = 0x20006;
constexpr unsigned e_KeyAllAccess = 0xF003F;
// Result codes the registry calls give.
constexpr unsigned e_RegSuccess = 0;
constexpr unsigned e_RegNotFound = 2;
constexpr unsigned e_RegAccessDenied = 5;
constexpr unsigned e_RegInvalidParameter = 87;
constexpr unsigned e_RegMoreData = 234;
constexpr unsigned e_RegNoMoreItems = 259;
constexpr unsigned e_RegCorrupt = 1009;
constexpr unsigned e_RegKeyDeleted = 1018;

// Opens path below key (null or empty: the key itself, opened again).
BASIS_API unsigned n_RegOpenKey(HKEY key, unsigned short const* path, unsigned access, HKEY* result);
// Opens path below key, creating every missing level.
BASIS_API unsigned n_RegCreateKey(HKEY key, unsigned short const* path, unsigned access, HKEY* result);
// A predefined root closes without effect.
BASIS_API unsigned n_RegCloseKey(HKEY key);
// The value's type and size in bytes; the bytes too when data is not null.
// With a size too small for them, 234 and *size the size needed. A null
// or empty name is the key's default value.
BASIS_API unsigned n_RegQueryValue(HKEY key, unsigned short const* name, unsigned* type, void* data,
                                   unsigned* size);
BASIS_API unsigned n_RegSetValue(HKEY key, unsigned short const* name, unsigned type, void const* data,
                                 unsigned size);
BASIS_API unsigned n_RegDeleteValue(HKEY key, unsigned short const* name);
// Deletes the subkey name of key; a subkey that has subkeys of its own is
// refused with 5, as on Windows.
BASIS_API unsigned n_RegDeleteKey(HKEY key, unsigned short const* name);
// The name of the subkey at index (in order of their names); *length in
// units, the room on the way in, the name's length on the way out. 259
// past the last.
BASIS_API unsigned n_RegEnumKey(HKEY key, unsigned index, unsigned short* name, unsigned* length);
// The value at index: name as above, then type, bytes and size as for
// n_RegQueryValue (each pointer may be null).
BASIS_API unsigned n_RegEnumValue(HKEY key, unsigned index, unsigned short* name, unsigned* length,
                                  unsigned* type, void* data, unsigned* size);
// Counts and longest lengths (names in units, data in bytes); any pointer
// may be null.
BASIS_API unsigned n_RegQueryInfoKey(HKEY key, unsigned* subKeys, unsigned* longestSubKey, unsigned* values,
                                     unsigned* longestValueName, unsigned* longestValue);

// Points the stores at folder (UTF-16, zero-terminated), for tests and
// tools that must not touch the real ones; null goes back to the usual
// places (read from the environment again). Keys opened before keep their
// stores. Windows has one registry: there the call does nothing.
BASIS_API void v_SetRegistryFolder(unsigned short const* folder);

}  // namespace Platform
