// Static operations on path names and the file system, and the search of
// directory entries by wildcard pattern and attribute bits.
#pragma once

#include <cstdint>

#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_FileSystem {
public:
    enum : unsigned { e_MaxPath = 260, e_MaxComponent = 255 };

    // Any output may be null.
    static void sv_SplitPath(CT_String const* path, CT_String* drive, CT_String* directory, CT_String* name,
                             CT_String* extension);
    static void sv_MakePath(CT_String* path, CT_String const* drive, CT_String const* directory,
                            CT_String const* name, CT_String const* extension);
    static void sv_FullPath(CT_String* path);
    static void sv_GetCurrentPath(CT_String* path, unsigned drive);
    static void sv_MakeDisplayString(CT_String* path, unsigned maximumLength);
    static void sv_MakeTemporaryName(CT_String* name, CT_String const* prefix, CT_String const* extension,
                                     CT_String const* unused);
    static void sv_MakeTemporaryName(CT_String* name, unsigned short const* prefix, unsigned short const* extension,
                                     int shortName);
    static int sb_IsExistent(CT_String const* path);
    static int sb_ChangePath(CT_String const* path);
    static int sb_MakePath(CT_String const* path);
    static int sb_RemovePath(CT_String const* path);
};

class BASIS_API CT_FindFile {
public:
    // Attribute bits of the runtime's search.
    enum : unsigned {
        e_Normal = 0x00,
        e_ReadOnly = 0x01,
        e_Hidden = 0x02,
        e_System = 0x04,
        e_Directory = 0x10,
        e_Archive = 0x20,
    };

    // One entry of the search, the same on every platform: attribute bits,
    // creation, access and write times, size and name.
    struct st_FindRecord {
        unsigned n_Attributes;
        std::int64_t i8_Created;
        std::int64_t i8_Accessed;
        std::int64_t i8_Written;
        std::uint64_t n8_Size;
        unsigned short au_Name[CT_FileSystem::e_MaxPath];
    };

    CT_FindFile(CT_String* pattern, unsigned required, unsigned excluded, int withPath);
    CT_FindFile(CT_FindFile const& other);
    ~CT_FindFile();
    CT_FindFile& operator=(CT_FindFile const& other);

    void v_Set(CT_String* pattern, unsigned required, unsigned excluded, int withPath);
    int b_FindFirst(CT_String* name, unsigned* attributes);
    int b_FindNext(CT_String* name, unsigned* attributes);

private:
    int b_Passes(unsigned bits) const;
    int b_Deliver(CT_String* name, unsigned* attributes);
    void v_EndSearch();

    st_FindRecord so_Record;
    std::intptr_t i_Search;  // -1 when no search is running
    CT_UString co_Prefix;
    CT_UString co_Pattern;
    unsigned n_Required;
    unsigned n_Excluded;
    int b_WithPath;
};
