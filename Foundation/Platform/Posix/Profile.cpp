#include "Foundation/Platform/Profile.h"

#include <errno.h>

#include <cstring>
#include <vector>

#include "Foundation/Platform/CodePage.h"
#include "Foundation/Platform/Posix/PathText.h"
#include "Foundation/Platform/Posix/ProfileFile.h"

namespace Platform {

namespace {

// The narrow file name (ANSI code page) as the system's path.
std::string s_ProfilePath(char const* fileName) {
    unsigned length = static_cast<unsigned>(std::strlen(fileName));
    // ASCII reads the same in every ANSI code page: no conversion needed.
    unsigned i = 0;
    while (i < length && static_cast<unsigned char>(fileName[i]) < 0x80) ++i;
    if (i == length) {
        std::string path(fileName, length);
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }
    std::vector<unsigned short> wide(static_cast<std::size_t>(length) + 1, 0);
    int units = length ? i_MultiToWide(0, fileName, length, wide.data(), length) : 0;
    wide[units > 0 ? static_cast<unsigned>(units) : 0] = 0;
    return Posix::s_NativePath(wide.data());
}

}  // namespace

unsigned n_GetProfileString(char const* section, char const* key, char const* defaultText, char* buffer,
                            unsigned size, char const* fileName) {
    if (buffer == nullptr || size == 0) return 0;
    // Without a file name there is nothing to read: the default, or an
    // empty listing.
    static Posix::CT_ProfileText const noFile;
    if (fileName == nullptr || fileName[0] == 0) return noFile.n_Read(section, key, defaultText, buffer, size);
    return Posix::pco_ReadProfile(s_ProfilePath(fileName))->n_Read(section, key, defaultText, buffer, size);
}

int b_WriteProfileString(char const* section, char const* key, char const* value, char const* fileName) {
    // Writes reach the file at once, so the system's call to flush its cache
    // (everything null) has nothing to write: it makes the next read look
    // at the file on disk, and like the system's it answers 0.
    if (section == nullptr && key == nullptr && value == nullptr) {
        if (fileName != nullptr && fileName[0] != 0) Posix::v_ForgetProfile(s_ProfilePath(fileName));
        return 0;
    }
    if (section == nullptr || fileName == nullptr || fileName[0] == 0) {
        errno = EINVAL;
        return 0;
    }
    return Posix::b_EditProfile(s_ProfilePath(fileName), section, key, value);
}

}  // namespace Platform
