#include "Foundation/Platform/Module.h"

#include <windows.h>

namespace Platform {

HINSTANCE h_GetOwnModuleInstance() {
    // The module that holds this function is basis.dll.
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&h_GetOwnModuleInstance), &module))
        return nullptr;
    return reinterpret_cast<HINSTANCE>(module);
}

unsigned n_GetModuleFileName(HINSTANCE instance, char* buffer, unsigned size) {
    if (size == 0) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    DWORD length = ::GetModuleFileNameA(reinterpret_cast<HMODULE>(instance), buffer, size);
    // A path cut to the buffer is still zero-terminated from Windows XP on.
    if (length >= size) length = size - 1;
    buffer[length] = 0;
    return length;
}

}  // namespace Platform
