// The system's code pages: conversion between narrow text in a Windows
// code page and UTF-16, code-page validity and the ANSI code page.
//
// Windows: MultiByteToWideChar (precomposed characters preferred where the
// code page takes flags), WideCharToMultiByte, IsValidCodePage, GetACP.
// Linux: every Windows code page that ICU has a converter for, from the
// converter whose mapping is closest to the Windows one (see
// Posix/CodePage.cpp); the ANSI code page follows the process locale as a
// Windows system set to that locale would.
//
// The library's own UTF-7 and UTF-8 coders never come here. Code page 0 is
// the ANSI code page. A conversion that fails returns 0 and leaves a system
// error code as the thread's last error (Platform::n_GetLastError).
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// True when the system converts with this code page (IsValidCodePage).
BASIS_API int b_IsValidCodePage(unsigned codePage);

// The system's ANSI code page (GetACP).
BASIS_API unsigned n_GetAnsiCodePage();

// The ANSI code page of a system set to the locale with the given name, a
// POSIX locale name such as "ru_RU.UTF-8" or "sr_RS@latin"; the C and POSIX
// locales and an empty name give 1252.
BASIS_API unsigned n_GetAnsiCodePageOfLocale(char const* localeName);

// Converts count bytes of source to at most room UTF-16 units at target.
// Returns the units written; 0 on failure (unknown code page, or room too
// small: then some units may have been written).
BASIS_API int i_MultiToWide(unsigned codePage, char const* source, unsigned count, unsigned short* target,
                            unsigned room);

// Converts count units of source to at most room bytes at target. A unit
// without a mapping becomes the default character: defaultChar, a
// zero-terminated text whose first byte is taken (in a double-byte code
// page its first two when it has two), or the code page's own default
// character when defaultChar is null; *usedDefault (when not null) tells
// whether that happened. The code pages converted by a shift state or an
// algorithm (ISO-2022 50220-50229, HZ 52936, GB 18030 54936, ISCII
// 57002-57011) take no default character: theirs, "?", is used. Returns
// the bytes written; 0 on failure as above.
BASIS_API int i_WideToMulti(unsigned codePage, unsigned short const* source, unsigned count, char* target,
                            unsigned room, char const* defaultChar, int* usedDefault);

}  // namespace Platform
