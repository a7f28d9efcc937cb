// Profile files on disk: reads through a small cache of parsed files, and
// writes that replace the file as a whole under a lock (see Profile.h).
#pragma once

#include <memory>
#include <string>

#include "Foundation/Platform/Posix/ProfileText.h"

namespace Platform {
namespace Posix {

// The parsed text of the file at path; a missing or unreadable file reads
// as empty. Never null.
std::shared_ptr<CT_ProfileText const> pco_ReadProfile(std::string const& path);

// The next read of path asks the system for the file's state.
void v_ForgetProfile(std::string const& path);

// Applies one profile write (CT_ProfileText::b_Edit) to the file at path.
// Returns non-zero on success, also when nothing had to change; on failure
// errno holds the system's code.
int b_EditProfile(std::string const& path, char const* section, char const* key, char const* value);

}  // namespace Posix
}  // namespace Platform
