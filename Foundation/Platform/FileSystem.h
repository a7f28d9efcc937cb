// Path names, directories and directory search. Every name is a
// zero-terminated UTF-16 text; the Linux half converts to UTF-8 and takes
// a backslash given by a caller as a separator (a Linux path has no drive).
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

namespace Platform {

enum : unsigned { e_MaxPath = 260 };

// The absolute form of path (".", ".." and repeated separators resolved)
// into buffer; the units written, 0 on failure (last error set).
BASIS_API unsigned n_GetFullPath(unsigned short const* path, unsigned short* buffer, unsigned size);

// The current directory of a drive (0 the current one, 1 = A, ...) into
// buffer. Returns 0 on success, otherwise the runtime's error number.
BASIS_API unsigned n_GetCurrentDirectory(unsigned drive, unsigned short* buffer, unsigned size);

// The directory for temporary files, with a separator at its end, as
// UTF-16 (GetTempPathW; Linux: /tmp/), cut to size - 1 units; the units
// written, 0 on failure.
BASIS_API unsigned n_GetTemporaryPathW(unsigned short* buffer, unsigned size);

// Existence test (access mode 0); directory change, creation (one level)
// and removal (of an empty directory). Non-zero on success.
BASIS_API int b_PathExists(unsigned short const* path);
BASIS_API int b_ChangeDirectory(unsigned short const* path);
BASIS_API int b_MakeDirectory(unsigned short const* path);
BASIS_API int b_RemoveDirectory(unsigned short const* path);

// One directory entry as the runtime's search reports it. Attribute bits
// are the runtime's: read-only 0x01, hidden 0x02, system 0x04,
// directory 0x10, archive 0x20; times in seconds since 1970.
struct st_FindData {
    unsigned n_Attributes;
    std::int64_t i8_Created;
    std::int64_t i8_Accessed;
    std::int64_t i8_Written;
    std::uint64_t n8_Size;
    unsigned short au_Name[e_MaxPath];
};

// Starts a search on a pattern whose last component may hold '*' and '?'.
// Returns a search handle and the first entry, or -1 when nothing matches.
BASIS_API std::intptr_t i_FindFirst(unsigned short const* pattern, st_FindData* data);
// The next entry; 0 at the end.
BASIS_API int b_FindNext(std::intptr_t search, st_FindData* data);
BASIS_API void v_FindClose(std::intptr_t search);

}  // namespace Platform
