#include "Foundation/Platform/Stream.h"

#include <errno.h>
#include <sys/stat.h>

#include <string>

#include "Foundation/Platform/Posix/PathText.h"

namespace Platform {

std::FILE* pso_OpenStream(unsigned short const* name, unsigned short const* mode) {
    std::string narrowMode;
    for (unsigned short const* m = mode; *m; ++m)
        if (*m != 'n' && *m < 0x80) narrowMode.push_back(static_cast<char>(*m));
    return std::fopen(Posix::s_NativePath(name).c_str(), narrowMode.c_str());
}

int i_RemoveFile(unsigned short const* name) { return std::remove(Posix::s_NativePath(name).c_str()); }

int i_RenameFile(unsigned short const* from, unsigned short const* to) {
    return std::rename(Posix::s_NativePath(from).c_str(), Posix::s_NativePath(to).c_str());
}

int i_ChangeMode(unsigned short const* name, int writable) {
    std::string path = Posix::s_NativePath(name);
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) return -1;
    mode_t mode = status.st_mode & 07777;
    if (writable) mode |= S_IWUSR;
    else mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    return ::chmod(path.c_str(), mode);
}

int i_StatFile(unsigned short const* name, st_FileStatus* result) {
    struct stat status;
    if (::stat(Posix::s_NativePath(name).c_str(), &status) != 0) return -1;
    result->n4_Mode = (S_ISDIR(status.st_mode) ? 0x4000u : 0x8000u) | ((status.st_mode & S_IRUSR) ? 0x0100u : 0u) |
                      ((status.st_mode & S_IWUSR) ? 0x0080u : 0u) | ((status.st_mode & S_IXUSR) ? 0x0040u : 0u);
    result->n8_Size = static_cast<std::uint64_t>(status.st_size);
    result->i8_Accessed = status.st_atime;
    result->i8_Modified = status.st_mtime;
    result->i8_Created = status.st_ctime;
    return 0;
}

}  // namespace Platform
