#include "Foundation/Platform/Stream.h"

#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <wchar.h>

namespace Platform {

namespace {
wchar_t const* pw(unsigned short const* text) { return reinterpret_cast<wchar_t const*>(text); }
}  // namespace

std::FILE* pso_OpenStream(unsigned short const* name, unsigned short const* mode) {
    return ::_wfopen(pw(name), pw(mode));
}

int i_RemoveFile(unsigned short const* name) { return ::_wremove(pw(name)); }

int i_RenameFile(unsigned short const* from, unsigned short const* to) { return ::_wrename(pw(from), pw(to)); }

int i_ChangeMode(unsigned short const* name, int writable) {
    return ::_wchmod(pw(name), writable ? (_S_IREAD | _S_IWRITE) : _S_IREAD);
}

int i_StatFile(unsigned short const* name, st_FileStatus* result) {
    struct _stat64 status;
    if (::_wstat64(pw(name), &status) != 0) return -1;
    result->n4_Mode = status.st_mode;
    result->n8_Size = static_cast<std::uint64_t>(status.st_size);
    result->i8_Accessed = status.st_atime;
    result->i8_Modified = status.st_mtime;
    result->i8_Created = status.st_ctime;
    return 0;
}

}  // namespace Platform
