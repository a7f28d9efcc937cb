#include "Foundation/Platform/Module.h"

#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

namespace Platform {

namespace {
// Any address inside this shared object identifies it to dladdr.
char c_ModuleAnchor;
}  // namespace

HINSTANCE h_GetOwnModuleInstance() {
    Dl_info info;
    if (::dladdr(&c_ModuleAnchor, &info) == 0) {
        errno = ENOENT;
        return nullptr;
    }
    return static_cast<HINSTANCE>(info.dli_fbase);
}

unsigned n_GetModuleFileName(HINSTANCE instance, char* buffer, unsigned size) {
    if (size == 0) {
        errno = EINVAL;
        return 0;
    }
    buffer[0] = 0;
    // The instance is a module's base address; dladdr on it names the module.
    Dl_info info;
    void const* address = instance ? static_cast<void const*>(instance) : static_cast<void const*>(&c_ModuleAnchor);
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr) {
        errno = ENOENT;
        return 0;
    }
    // dladdr gives the name the loader was given, which may be relative:
    // the full path is what the module path means.
    char resolved[PATH_MAX];
    char const* path = ::realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    size_t length = ::strlen(path);
    if (length >= size) length = size - 1;
    ::memcpy(buffer, path, length);
    buffer[length] = 0;
    return static_cast<unsigned>(length);
}

}  // namespace Platform

namespace Platform {

void v_RunEntryAfterStaticObjects(pf_EntryFunction entry) { entry(h_GetOwnModuleInstance(), 1, nullptr); }

}  // namespace Platform
