// The runtime library's stream and file-name calls with wide names. Each
// leaves the runtime's error number (errno) as the runtime sets it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "Foundation/Platform/Export.h"

namespace Platform {

// fopen with a wide name and mode (Windows: _wfopen). A runtime without
// the mode letter 'n' (commit on flush off) is given the mode without it.
BASIS_API std::FILE* pso_OpenStream(unsigned short const* name, unsigned short const* mode);
// remove, rename; 0 on success, -1 with errno on failure.
BASIS_API int i_RemoveFile(unsigned short const* name);
BASIS_API int i_RenameFile(unsigned short const* from, unsigned short const* to);
// chmod reduced to what Windows honours: writable or read-only.
BASIS_API int i_ChangeMode(unsigned short const* name, int writable);

// The runtime's status record of a named file.
struct st_FileStatus {
    std::uint32_t n4_Mode;  // the runtime's mode bits (0x4000 directory, 0x8000 file, 0x0100 read, 0x0080 write)
    std::uint64_t n8_Size;
    std::int64_t i8_Accessed;  // seconds since 1970
    std::int64_t i8_Modified;
    std::int64_t i8_Created;  // Linux: the last status change
};
BASIS_API int i_StatFile(unsigned short const* name, st_FileStatus* status);

}  // namespace Platform
