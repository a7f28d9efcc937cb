// CT_IniFile: settings in an initialization file (sections in square
// brackets, lines of a key, an equals sign and a value) through the
// platform's profile functions (Foundation/Platform/Profile.h): text,
// unsigned numbers, truth values written as "Yes" and "No", deletion of
// keys and sections, and the names of sections and keys.
//
// Every name and value passes as narrow text in the system's ANSI code
// page; the CT_String forms convert their arguments first. Only the
// char const* form of v_WriteString reports a failure (a system error);
// everything else reports nothing, and a missing file reads as empty.
//
// On Windows a file name without a folder names a file in the Windows
// folder, as the system's profile functions have it; elsewhere it is taken
// from the current folder.
#pragma once

#include "Foundation/Basis/Container/Array.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_IniFile {
    BASIS_DECLARE_POOL()

public:
    explicit CT_IniFile(CT_String const* fileName);
    ~CT_IniFile();

    void v_Set(CT_String const* fileName);
    CT_CString const* pcco_GetName() const { return &co_FileName; }

    // Writes value under key in section, creating both as needed.
    void v_WriteString(char const* section, char const* key, char const* value);
    void v_WriteString(CT_String const* section, CT_String const* key, CT_String const* value);
    // n as "%d": values from 0x80000000 up appear negative.
    void v_WriteN(char const* section, char const* key, unsigned n);
    void v_WriteN(CT_String const* section, CT_String const* key, unsigned n);
    // "Yes" for non-zero, else "No".
    void v_WriteB(char const* section, char const* key, int b);
    void v_WriteB(CT_String const* section, CT_String const* key, int b);

    // The value, or defaultText when the key is missing; at most 1023
    // characters.
    void v_ReadString(char const* section, char const* key, CT_String* result, char const* defaultText);
    void v_ReadString(CT_String const* section, CT_String const* key, CT_String* result,
                      CT_String const* defaultText);
    // The decimal number at the start of the value (leading blanks and a
    // sign allowed, no digits gives 0); a missing key reads as the default.
    void v_ReadN(char const* section, char const* key, unsigned* result, unsigned defaultValue);
    void v_ReadN(CT_String const* section, CT_String const* key, unsigned* result, unsigned defaultValue);
    // '0', 'F', 'N' (either case) give 0, '1', 'T', 'Y' give 1, by the first
    // character after blanks; anything else, or nothing, the default.
    void v_ReadB(char const* section, char const* key, int* result, int defaultValue);
    void v_ReadB(CT_String const* section, CT_String const* key, int* result, int defaultValue);

    void v_DeleteSection(char const* section);
    void v_DeleteSection(CT_String const* section);
    void v_DeleteKey(char const* section, char const* key);
    void v_DeleteKey(CT_String const* section, CT_String const* key);

    // Append one new CT_CString per name, in file order; the caller owns
    // and deletes them.
    void v_GetSectionNames(CT_Array<CT_CString*>* names);
    void v_GetKeysInSection(char const* section, CT_Array<CT_CString*>* keys);
    void v_GetKeysInSection(CT_String const* section, CT_Array<CT_CString*>* keys);

    // Letter case does not matter.
    int b_SectionExists(char const* section);
    int b_SectionExists(CT_String const* section);
    int b_KeyExists(char const* section, char const* key);
    int b_KeyExists(CT_String const* section, CT_String const* key);

    // Non-zero if an element equals text without regard to letter case.
    static int sb_StringIsInArray(CT_String const* text, CT_Array<CT_CString*> const* array);

private:
    // The platform's write; returns its result without reporting.
    int b_Write(char const* section, char const* key, char const* value);
    // The platform's listing (null section: the section names) split into
    // new strings appended to names.
    void v_GetNames(char const* section, CT_Array<CT_CString*>* names);

    CT_CString co_FileName;
};
