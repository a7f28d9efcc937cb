// Profile files (INI files): sections in square brackets and lines of a
// key, an equals sign and a value. Names, values and the file name are
// narrow text in the system's ANSI code page. A failing call leaves the
// system's code as the thread's last error (n_GetLastError).
//
// Windows: GetPrivateProfileStringA and WritePrivateProfileStringA. Linux:
// the library's own reader and writer of the same format and rules. Names
// match without regard to the case of A to Z; the first of duplicate
// sections or keys wins; blanks around names and values are trimmed; a
// value in matching quotes reads without them; lines beginning with ';'
// are comments. A write changes only its own line and keeps every other
// byte; new keys go at the end of their section, new sections at the end
// of the file, and a new file ends its lines with CR LF. A write replaces
// the file as a whole (a temporary file in the same folder, then a
// rename), so a process killed at any moment leaves the old file or the
// new one; writers in several processes wait for each other on a lock of
// the file, so no update is lost. Reads parse a file once and keep it
// while its name, size, modification time and identity stay the same,
// asking the system at most once per tick of its coarse clock: another
// process's write is seen at most one tick (a few milliseconds) late,
// or at once after the flush request.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// With section and key: the value, or defaultText when the key is missing
// (trailing blanks of defaultText dropped; null reads as ""), cut to
// size - 1 characters and zero-terminated; returns the characters copied.
// With a null section: the names of all sections; with a null key: the
// names of the section's keys. A listing is zero-separated names ending
// with an empty name; when it does not fit with a byte to spare, the last
// name is cut, two zeros end the buffer and the result is size - 2. A
// missing section, or one without keys to list, gives the default instead. A null buffer or a size
// of 0 reads nothing and returns 0. A missing file reads as empty.
BASIS_API unsigned n_GetProfileString(char const* section, char const* key, char const* defaultText, char* buffer,
                                      unsigned size, char const* fileName);

// Writes value under key in section, creating both as needed; a null value
// deletes the key, a null key deletes the section. Returns non-zero on
// success. All three null: a request to flush what is held back (on Linux:
// the next read of the file looks at the disk), which always answers 0.
BASIS_API int b_WriteProfileString(char const* section, char const* key, char const* value, char const* fileName);

}  // namespace Platform
