#include "Foundation/Platform/FileSystem.h"

#include <direct.h>
#include <errno.h>
#include <io.h>
#include <stdlib.h>
#include <windows.h>

namespace Platform {

namespace {

wchar_t const* pw(unsigned short const* text) { return reinterpret_cast<wchar_t const*>(text); }

void v_Copy(_wfinddata64_t const& entry, st_FindData* data) {
    data->n_Attributes = entry.attrib;
    data->i8_Created = entry.time_create;
    data->i8_Accessed = entry.time_access;
    data->i8_Written = entry.time_write;
    data->n8_Size = static_cast<std::uint64_t>(entry.size);
    unsigned i = 0;
    for (; i + 1 < e_MaxPath && entry.name[i]; ++i) data->au_Name[i] = static_cast<unsigned short>(entry.name[i]);
    data->au_Name[i] = 0;
}

}  // namespace

unsigned n_GetFullPath(unsigned short const* path, unsigned short* buffer, unsigned size) {
    if (::_wfullpath(reinterpret_cast<wchar_t*>(buffer), pw(path), size) == nullptr) return 0;
    return static_cast<unsigned>(::wcslen(reinterpret_cast<wchar_t*>(buffer)));
}

unsigned n_GetCurrentDirectory(unsigned drive, unsigned short* buffer, unsigned size) {
    errno = 0;
    if (::_wgetdcwd(static_cast<int>(drive), reinterpret_cast<wchar_t*>(buffer), static_cast<int>(size)) == nullptr)
        return errno ? static_cast<unsigned>(errno) : static_cast<unsigned>(EINVAL);
    return 0;
}

unsigned n_GetTemporaryPathW(unsigned short* buffer, unsigned size) {
    if (size == 0) return 0;
    DWORD length = ::GetTempPathW(size, reinterpret_cast<wchar_t*>(buffer));
    if (length == 0 || length >= size) {
        buffer[0] = 0;
        return 0;
    }
    return length;
}

int b_PathExists(unsigned short const* path) { return ::_waccess(pw(path), 0) == 0; }
int b_ChangeDirectory(unsigned short const* path) { return ::_wchdir(pw(path)) == 0; }
int b_MakeDirectory(unsigned short const* path) { return ::_wmkdir(pw(path)) == 0; }
int b_RemoveDirectory(unsigned short const* path) { return ::_wrmdir(pw(path)) == 0; }

std::intptr_t i_FindFirst(unsigned short const* pattern, st_FindData* data) {
    _wfinddata64_t entry;
    std::intptr_t search = ::_wfindfirst64(pw(pattern), &entry);
    if (search == -1) return -1;
    v_Copy(entry, data);
    return search;
}

int b_FindNext(std::intptr_t search, st_FindData* data) {
    if (search == -1) return 0;
    _wfinddata64_t entry;
    if (::_wfindnext64(search, &entry) != 0) return 0;
    v_Copy(entry, data);
    return 1;
}

void v_FindClose(std::intptr_t search) {
    if (search != -1) ::_findclose(search);
}

}  // namespace Platform
