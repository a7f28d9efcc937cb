#include "Foundation/Platform/Profile.h"

#include <windows.h>

namespace Platform {

unsigned n_GetProfileString(char const* section, char const* key, char const* defaultText, char* buffer,
                            unsigned size, char const* fileName) {
    // The system writes a terminating zero even for a size of 0 on some
    // versions; nothing is asked of it without room.
    if (buffer == nullptr || size == 0) return 0;
    return ::GetPrivateProfileStringA(section, key, defaultText, buffer, size, fileName);
}

int b_WriteProfileString(char const* section, char const* key, char const* value, char const* fileName) {
    return ::WritePrivateProfileStringA(section, key, value, fileName) ? 1 : 0;
}

}  // namespace Platform
