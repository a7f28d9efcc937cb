// The registry editor's text files, version 5.00: UTF-16LE with a BOM,
// a header line, then [ROOT\key] sections with "name"="text", @=...,
// "name"=dword:0000002a, "name"=hex:01,02 and hex(N): lines; [-ROOT\key]
// and "name"=- delete. Export writes them; import reads one whole before it
// changes anything, so a file it refuses leaves the registry as it was.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Platform/Registry.h"

namespace RegistryText {

struct st_Operation {
    enum et_Kind { e_CreateKey, e_DeleteKey, e_SetValue, e_DeleteValue } e_Kind;
    HKEY h_Root;
    std::u16string s_Path;
    std::u16string s_Name;  // empty: the key's default value
    unsigned n_Type;
    std::string s_Data;
};

// A key as written on the command line or in a file: a root by its full
// name or its short one (HKCU, HKLM, HKCR, HKU), then the path. False
// for an unknown root or an empty level.
bool b_ParseKey(std::u16string const& text, HKEY* root, std::u16string* path);
char const* qcz_RootName(HKEY root);

// Reads a whole file; false with the line and what was wrong in *error.
bool b_Parse(std::string const& bytes, std::vector<st_Operation>* operations, std::string* error);
// Carries out parsed operations; the first failing call's code, 0 if none.
unsigned n_Apply(std::vector<st_Operation> const& operations);
// The file of a key and everything below it; 0, or the code of the call
// that failed.
unsigned n_Export(HKEY root, std::u16string const& path, std::string* bytes);

// Helpers shared with the command: UTF-8 and UTF-16 conversion.
std::string s_Utf8(std::u16string const& text);
std::u16string s_Utf16(std::string const& text);
std::u16string s_Utf16(char const* text);
// Reads a value's bytes at key (null name: the default value).
unsigned n_ReadValue(HKEY key, unsigned index, std::u16string* name, unsigned* type, std::string* data);
// The names of key's subkeys in the store's order; 0, or the code of the
// listing that failed (the names read before it are kept).
unsigned n_ReadSubkeyNames(HKEY key, std::vector<std::u16string>* children);

}  // namespace RegistryText
