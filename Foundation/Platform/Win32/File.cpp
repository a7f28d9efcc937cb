#include "Foundation/Platform/File.h"

#include <stdio.h>
#include <windows.h>

namespace Platform {

namespace {

wchar_t const* pw(unsigned short const* text) { return reinterpret_cast<wchar_t const*>(text); }

std::uint64_t n8_Time(FILETIME const& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

void* h_OpenFile(unsigned short const* name, unsigned access, unsigned share, unsigned disposition,
                 unsigned attributesAndFlags) {
    DWORD desired = ((access & 1) ? GENERIC_READ : 0) | ((access & 2) ? GENERIC_WRITE : 0);
    DWORD shareMode = ((share & 1) ? FILE_SHARE_READ : 0) | ((share & 2) ? FILE_SHARE_WRITE : 0);
    DWORD creation = disposition == 1 ? OPEN_EXISTING : disposition == 2 ? CREATE_ALWAYS : OPEN_ALWAYS;
    HANDLE file = ::CreateFileW(pw(name), desired, shareMode, nullptr, creation, attributesAndFlags, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

int b_CloseFile(void* file) { return ::CloseHandle(file) != 0; }
int b_FlushFile(void* file) { return ::FlushFileBuffers(file) != 0; }

int b_ReadFile(void* file, void* data, unsigned n, unsigned* count) {
    DWORD done = 0;
    BOOL ok = ::ReadFile(file, data, n, &done, nullptr);
    *count = done;
    return ok != 0;
}

int b_WriteFile(void* file, void const* data, unsigned n, unsigned* count) {
    DWORD done = 0;
    BOOL ok = ::WriteFile(file, data, n, &done, nullptr);
    *count = done;
    return ok != 0;
}

// Both kinds of handle read and write at the OVERLAPPED offset. A handle
// opened with FILE_FLAG_OVERLAPPED may return at once with the transfer
// still pending (ERROR_IO_PENDING) while the OVERLAPPED record and the
// caller's bytes are still in use: the call waits for the end of it here
// (GetOverlappedResult with wait), so the record on this stack and the
// bytes are free when the function returns, for either kind of handle.
// Without an event in the record the wait is on the handle itself, which
// is sound since one object and so one handle has one transfer at a time.
// At and past the end of the file a read fails with ERROR_HANDLE_EOF,
// which is the ordinary end: nothing read.
namespace {

int b_Finish(void* file, OVERLAPPED* at, BOOL ok, DWORD* done) {
    if (!ok && ::GetLastError() == ERROR_IO_PENDING) ok = ::GetOverlappedResult(file, at, done, TRUE);
    if (!ok && ::GetLastError() == ERROR_HANDLE_EOF) {
        *done = 0;
        ::SetLastError(NO_ERROR);
        return 1;
    }
    return ok != 0;
}

}  // namespace

int b_ReadFileAt(void* file, unsigned offset, void* data, unsigned n, unsigned* count) {
    OVERLAPPED at = {};
    at.Offset = offset;
    DWORD done = 0;
    BOOL ok = ::ReadFile(file, data, n, &done, &at);
    int result = b_Finish(file, &at, ok, &done);
    *count = done;
    return result;
}

int b_WriteFileAt(void* file, unsigned offset, void const* data, unsigned n, unsigned* count) {
    OVERLAPPED at = {};
    at.Offset = offset;
    DWORD done = 0;
    BOOL ok = ::WriteFile(file, data, n, &done, &at);
    int result = b_Finish(file, &at, ok, &done);
    *count = done;
    return result;
}

unsigned n_GetFileSize(void* file) {
    DWORD size = ::GetFileSize(file, nullptr);
    return size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR ? 0xFFFFFFFFu : size;
}

unsigned n_SetFilePointer(void* file, std::int32_t displacement, unsigned origin) {
    ::SetLastError(NO_ERROR);
    DWORD position = ::SetFilePointer(file, displacement, nullptr, origin);
    return position == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR ? 0xFFFFFFFFu : position;
}

int b_SetEndOfFile(void* file) { return ::SetEndOfFile(file) != 0; }
int b_LockFile(void* file, unsigned offset, unsigned length) { return ::LockFile(file, offset, 0, length, 0) != 0; }
int b_UnlockFile(void* file, unsigned offset, unsigned length) {
    return ::UnlockFile(file, offset, 0, length, 0) != 0;
}

int b_GetFileInformation(void* file, st_FileInformation* information) {
    BY_HANDLE_FILE_INFORMATION record;
    if (!::GetFileInformationByHandle(file, &record)) return 0;
    information->n4_Attributes = record.dwFileAttributes;
    information->n8_Created = n8_Time(record.ftCreationTime);
    information->n8_Accessed = n8_Time(record.ftLastAccessTime);
    information->n8_Written = n8_Time(record.ftLastWriteTime);
    information->n4_VolumeSerial = record.dwVolumeSerialNumber;
    information->n4_SizeHigh = record.nFileSizeHigh;
    information->n4_SizeLow = record.nFileSizeLow;
    information->n4_Links = record.nNumberOfLinks;
    information->n4_IndexHigh = record.nFileIndexHigh;
    information->n4_IndexLow = record.nFileIndexLow;
    return 1;
}

int b_DeleteFile(unsigned short const* name) { return ::DeleteFileW(pw(name)) != 0; }
int b_MoveFile(unsigned short const* from, unsigned short const* to) {
    return ::MoveFileExW(pw(from), pw(to), MOVEFILE_COPY_ALLOWED) != 0;
}
int b_CopyFile(unsigned short const* from, unsigned short const* to) {
    return ::CopyFileW(pw(from), pw(to), FALSE) != 0;
}
unsigned n_GetFileAttributes(unsigned short const* name) { return ::GetFileAttributesW(pw(name)); }
int b_SetFileAttributes(unsigned short const* name, unsigned attributes) {
    return ::SetFileAttributesW(pw(name), attributes) != 0;
}

void* h_CreateFileMapping(void* file, int writable, unsigned size) {
    return ::CreateFileMappingA(file, nullptr, writable ? PAGE_READWRITE : PAGE_READONLY, 0, size, nullptr);
}

void* pv_MapViewOfFile(void* mapping, int writable, unsigned size) {
    return ::MapViewOfFile(mapping, writable ? FILE_MAP_ALL_ACCESS : FILE_MAP_READ, 0, 0, size);
}

// A view cannot be lengthened in place: the caller maps anew.
void* pv_GrowView(void*, void*, unsigned, unsigned) { return nullptr; }
int b_UnmapViewOfFile(void* view, unsigned) { return ::UnmapViewOfFile(view) != 0; }
int b_CloseFileMapping(void* mapping) { return ::CloseHandle(mapping) != 0; }
int b_FlushViewOfFile(void* view, unsigned) { return ::FlushViewOfFile(view, 0) != 0; }
// Windows resolves first writes to a mapped file cheaply enough; there is
// no request to prefault pages for writing.
void v_PrepareViewForWriting(void*, unsigned, unsigned) {}

// SetHandleCount is a no-op on 32-bit and later Windows; the runtime's
// stream limit is what it once raised.
unsigned n_SetHandleCount(unsigned count) {
    int granted = ::_setmaxstdio(static_cast<int>(count));
    return granted < 0 ? static_cast<unsigned>(::_getmaxstdio()) : static_cast<unsigned>(granted);
}

}  // namespace Platform
