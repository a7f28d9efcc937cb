// String resources of a module and the message box.
//
// Windows: the module's STRINGTABLE resources (LoadStringW / LoadStringA)
// and MessageBoxW / MessageBoxA. Linux has no resources in its shared
// objects: a module registers its compiled-in string table for its
// instance handle at start-up, and the loaders read that; the message box
// writes its caption and text to standard error and answers as its OK
// button would.
#pragma once

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

namespace Platform {

struct st_StringResource {
    unsigned n_Id;
    char const* qccz_Text;  // UTF-8
};

// Makes a compiled-in table the string resources of a module. On Windows
// the module's own resources are used and the table is ignored.
BASIS_API void v_RegisterStringTable(HINSTANCE module, st_StringResource const* table, unsigned count);

// Loads string resource id of module into buffer (capacity in characters,
// terminator included), cut to capacity - 1 characters. Returns the length,
// 0 when the module has no such string (the buffer then holds "").
BASIS_API unsigned n_LoadStringW(HINSTANCE module, unsigned id, unsigned short* buffer, unsigned capacity);
// The same as narrow text in the ANSI code page (Linux: UTF-8 bytes).
BASIS_API unsigned n_LoadStringA(HINSTANCE module, unsigned id, char* buffer, unsigned capacity);

// Shows a message box without an owner window; returns the button chosen
// (1 = OK, 3 = Abort, ...), 0 on failure.
BASIS_API int i_MessageBoxW(unsigned short const* text, unsigned short const* caption, unsigned style);
BASIS_API int i_MessageBoxA(char const* text, char const* caption, unsigned style);

// Replaces the message box (both forms; the narrow one's texts arrive
// converted to wide) by a function, or restores it with null. For callers
// that run without a user, such as tests and services. Returns the
// previous function.
typedef int (*pf_MessageBoxHook)(unsigned short const* text, unsigned short const* caption, unsigned style);
BASIS_API pf_MessageBoxHook pf_SetMessageBoxHook(pf_MessageBoxHook hook);
BASIS_API pf_MessageBoxHook pf_GetMessageBoxHook();

// Ends the process at once, abnormally, without running clean-up.
[[noreturn]] BASIS_API void v_AbortProcess();

}  // namespace Platform
