#include "Foundation/Platform/FileSystem.h"

#include <dirent.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Platform/Debug.h"
#include "Foundation/Platform/Posix/PathText.h"

namespace Platform {

namespace {

// Resolves ".", ".." and repeated separators without asking the file
// system, as the Windows call does: the path need not exist.
std::string s_Normalise(std::string const& absolute) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= absolute.size()) {
        std::size_t end = absolute.find('/', at);
        if (end == std::string::npos) end = absolute.size();
        std::string part = absolute.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string result;
    for (std::string const& part : parts) result += "/" + part;
    // A trailing separator is kept, as GetFullPathName keeps it.
    if (result.empty() || (absolute.size() > 1 && absolute.back() == '/')) result += "/";
    return result;
}

std::string s_CurrentDirectory() {
    std::vector<char> buffer(4096);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) return std::string();
    return std::string(buffer.data());
}

unsigned n_RuntimeAttributes(struct stat const& status, char const* name) {
    unsigned bits = 0;
    if (S_ISDIR(status.st_mode)) bits |= 0x10;
    else bits |= 0x20;  // a Windows file normally carries the archive bit
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) bits |= 0x01;
    if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) bits |= 0x02;
    return bits;
}

// Wildcards of the runtime's search: '*' any run, '?' one character; a
// pattern "*.*" also matches names without a dot, as on Windows.
bool b_Match(char const* pattern, char const* name) {
    if (std::strcmp(pattern, "*.*") == 0) return true;
    char const* star = nullptr;
    char const* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0;
}

struct st_Search {
    DIR* pso_Directory;
    std::string s_Directory;
    std::string s_Pattern;
};

int b_NextEntry(st_Search* search, st_FindData* data) {
    while (dirent* entry = ::readdir(search->pso_Directory)) {
        if (!b_Match(search->s_Pattern.c_str(), entry->d_name)) continue;
        struct stat status;
        std::string full = search->s_Directory + entry->d_name;
        if (::lstat(full.c_str(), &status) != 0) continue;  // vanished meanwhile
        data->n_Attributes = n_RuntimeAttributes(status, entry->d_name);
        data->i8_Created = status.st_ctime;
        data->i8_Accessed = status.st_atime;
        data->i8_Written = status.st_mtime;
        data->n8_Size = static_cast<std::uint64_t>(status.st_size);
        Posix::n_WidePath(entry->d_name, data->au_Name, e_MaxPath);
        return 1;
    }
    return 0;
}

}  // namespace

unsigned n_GetFullPath(unsigned short const* path, unsigned short* buffer, unsigned size) {
    std::string native = Posix::s_NativePath(path);
    if (native.empty()) {
        errno = ENOENT;
        return 0;
    }
    if (native[0] != '/') native = s_CurrentDirectory() + "/" + native;
    std::string full = s_Normalise(native);
    if (full.size() >= size) {
        errno = ENAMETOOLONG;
        return 0;
    }
    return Posix::n_WidePath(full.c_str(), buffer, size);
}

// Linux has one tree and no drives: every drive number names it.
unsigned n_GetCurrentDirectory(unsigned, unsigned short* buffer, unsigned size) {
    std::vector<char> native(size * 3 + 1);
    if (::getcwd(native.data(), native.size()) == nullptr) return static_cast<unsigned>(errno);
    unsigned short wide[e_MaxPath * 2];
    unsigned length = Posix::n_WidePath(native.data(), wide, sizeof wide / sizeof wide[0]);
    if (length >= size) return ERANGE;
    for (unsigned i = 0; i <= length; ++i) buffer[i] = wide[i];
    return 0;
}

// The same directory as the narrow call gives; Linux names are UTF-8.
unsigned n_GetTemporaryPathW(unsigned short* buffer, unsigned size) {
    if (size == 0) return 0;
    char native[e_MaxPath * 3];
    if (n_GetTempPath(native, sizeof native) == 0) {
        buffer[0] = 0;
        return 0;
    }
    return Posix::n_WidePath(native, buffer, size);
}

int b_PathExists(unsigned short const* path) { return ::access(Posix::s_NativePath(path).c_str(), F_OK) == 0; }

int b_ChangeDirectory(unsigned short const* path) { return ::chdir(Posix::s_NativePath(path).c_str()) == 0; }

int b_MakeDirectory(unsigned short const* path) { return ::mkdir(Posix::s_NativePath(path).c_str(), 0777) == 0; }

int b_RemoveDirectory(unsigned short const* path) { return ::rmdir(Posix::s_NativePath(path).c_str()) == 0; }

std::intptr_t i_FindFirst(unsigned short const* pattern, st_FindData* data) {
    std::string native = Posix::s_NativePath(pattern);
    std::size_t slash = native.rfind('/');
    st_Search* search = new st_Search;
    search->s_Directory = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    search->s_Pattern = slash == std::string::npos ? native : native.substr(slash + 1);
    search->pso_Directory = ::opendir(search->s_Directory.empty() ? "." : search->s_Directory.c_str());
    if (search->pso_Directory == nullptr || !b_NextEntry(search, data)) {
        v_FindClose(reinterpret_cast<std::intptr_t>(search));
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(search);
}

int b_FindNext(std::intptr_t handle, st_FindData* data) {
    if (handle == -1) return 0;
    return b_NextEntry(reinterpret_cast<st_Search*>(handle), data);
}

void v_FindClose(std::intptr_t handle) {
    if (handle == -1) return;
    st_Search* search = reinterpret_cast<st_Search*>(handle);
    if (search->pso_Directory) ::closedir(search->pso_Directory);
    delete search;
}

}  // namespace Platform
