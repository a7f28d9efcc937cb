// Native file handles: open, read, write, seek, size, byte-range locks,
// mapping, and the name-taking operations on files. Names are
// zero-terminated UTF-16. A failing call leaves the system's code as the
// thread's last error (n_GetLastError).
//
// Windows: CreateFile and its companions. Linux: open/read/write/lseek,
// ftruncate and mmap; share modes follow the Windows rule between handles
// and processes, recorded as OFD locks on mark bytes far beyond any 32-bit
// offset, and byte-range locks are OFD locks (F_OFD_SETLK) that are
// exclusive whatever the handle's access and never wait. A share conflict
// is ERROR_SHARING_VIOLATION on Windows and EBUSY on Linux.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

namespace Platform {

// Access: bit 0 read, bit 1 write. Share: bit 0 others may read, bit 1
// others may write. Disposition: 1 open an existing file, 2 create or
// truncate, 3 open or create. Attributes and flags: the Windows values
// (FILE_ATTRIBUTE_*, FILE_FLAG_*), which the Linux half interprets.
// Returns the handle, or null on failure.
BASIS_API void* h_OpenFile(unsigned short const* name, unsigned access, unsigned share, unsigned disposition,
                           unsigned attributesAndFlags);
// A failed close leaves the handle valid for one more close (Windows: a
// handle protected from closing; Linux: a record whose descriptor the
// system took back, on which every other call fails), so its owner may
// keep it and close it again without touching another file.
BASIS_API int b_CloseFile(void* file);
BASIS_API int b_FlushFile(void* file);
// Reads up to n bytes at the handle's position; *count 0 at the end.
BASIS_API int b_ReadFile(void* file, void* data, unsigned n, unsigned* count);
// Writes n bytes; on failure *count holds what was written before it.
BASIS_API int b_WriteFile(void* file, void const* data, unsigned n, unsigned* count);
// The same at a given offset, without a seek before: the handle's own
// position is not used (Linux leaves it as it was, Windows moves it behind
// the bytes transferred). Files without positions (pipes) read and write
// in order. Both return when the transfer has ended, also on a handle
// opened for asynchronous (overlapped) access.
BASIS_API int b_ReadFileAt(void* file, unsigned offset, void* data, unsigned n, unsigned* count);
BASIS_API int b_WriteFileAt(void* file, unsigned offset, void const* data, unsigned n, unsigned* count);
// 32-bit size; 0xFFFFFFFF on failure (and for files of 4 GiB and more).
BASIS_API unsigned n_GetFileSize(void* file);
// Moves the position (origin 0 begin, 1 current, 2 end); returns the new
// position, 0xFFFFFFFF on failure.
BASIS_API unsigned n_SetFilePointer(void* file, std::int32_t displacement, unsigned origin);
BASIS_API int b_SetEndOfFile(void* file);
// Exclusive lock of a byte range; fails at once when another handle holds
// any part of it. Unlocking releases exactly a range locked before.
BASIS_API int b_LockFile(void* file, unsigned offset, unsigned length);
BASIS_API int b_UnlockFile(void* file, unsigned offset, unsigned length);

// The platform's record of an open file (BY_HANDLE_FILE_INFORMATION's
// fields; times in 100-nanosecond units since 1601).
struct st_FileInformation {
    std::uint32_t n4_Attributes;
    std::uint64_t n8_Created;
    std::uint64_t n8_Accessed;
    std::uint64_t n8_Written;
    std::uint32_t n4_VolumeSerial;
    std::uint32_t n4_SizeHigh;
    std::uint32_t n4_SizeLow;
    std::uint32_t n4_Links;
    std::uint32_t n4_IndexHigh;
    std::uint32_t n4_IndexLow;
};
BASIS_API int b_GetFileInformation(void* file, st_FileInformation* information);

BASIS_API int b_DeleteFile(unsigned short const* name);
// Renames or moves; an existing target is a failure.
BASIS_API int b_MoveFile(unsigned short const* from, unsigned short const* to);
// Copies content and attributes (Linux: the mode); an existing target is
// replaced. The source is opened for reading and the target for writing,
// each sharing reading and writing, so other handles' share modes can
// refuse the copy; a target that is the source itself (by its own name or
// another) is refused as a sharing violation, and a refused copy leaves
// the target untouched.
BASIS_API int b_CopyFile(unsigned short const* from, unsigned short const* to);
// Windows attribute bits (read-only 0x01, hidden 0x02, directory 0x10,
// archive 0x20, normal 0x80); 0xFFFFFFFF on failure. Linux maps them to
// the file's mode: read-only when no one may write, hidden for a name with
// a leading dot.
BASIS_API unsigned n_GetFileAttributes(unsigned short const* name);
BASIS_API int b_SetFileAttributes(unsigned short const* name, unsigned attributes);

// A mapping of the file's first size bytes; a writable mapping longer than
// the file lengthens the file. Null on failure.
BASIS_API void* h_CreateFileMapping(void* file, int writable, unsigned size);
BASIS_API void* pv_MapViewOfFile(void* mapping, int writable, unsigned size);
// Lengthens a writable mapping of size oldSize and its view to newSize
// bytes, the file with them, keeping the pages already mapped in place.
// Returns the view, which may have moved; null when the platform cannot
// (Windows), and then mapping and view are as they were.
BASIS_API void* pv_GrowView(void* mapping, void* view, unsigned oldSize, unsigned newSize);
BASIS_API int b_UnmapViewOfFile(void* view, unsigned size);
BASIS_API int b_CloseFileMapping(void* mapping);
BASIS_API int b_FlushViewOfFile(void* view, unsigned size);
// A hint before a writable view's bytes [offset, offset + length) are
// written: makes their pages present and writable in one call instead of
// one page fault each (Linux; nothing on Windows). The contents do not
// change, and a failure is of no consequence.
BASIS_API void v_PrepareViewForWriting(void* view, unsigned offset, unsigned length);

BASIS_API unsigned n_SetHandleCount(unsigned count);

}  // namespace Platform
