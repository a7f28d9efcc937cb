#include "Foundation/Basis/File/FileSystem.h"

#include <cstring>
#include <ctime>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Platform/Debug.h"
#include "Foundation/Platform/FileSystem.h"
#include "Foundation/Platform/Thread.h"
#include "Foundation/System/SysInfo/OS.h"

namespace {

char const* const qcz_Location = "Foundation/Basis/File/FileSystem";

unsigned short const au_Empty[] = {0};

bool b_IsSeparator(unsigned short c) { return c == '\\' || c == '/'; }

// The runtime's pseudo-random generator: seed x 214013 + 2531011 modulo
// 2^32, returning bits 16 to 30. One per thread, as the runtime keeps it.
thread_local std::uint32_t n4_RandomSeed = 1;

void v_SeedRandom(std::uint32_t seed) { n4_RandomSeed = seed; }

int i_Random() {
    n4_RandomSeed = n4_RandomSeed * 214013u + 2531011u;
    return static_cast<int>((n4_RandomSeed >> 16) & 0x7FFF);
}

// The temporary directory with a separator at its end: the wide call on
// the NT family, so that a directory whose name the ANSI code page cannot
// spell is still found; the narrow one, in that code page, elsewhere.
CT_UString co_TemporaryDirectory() {
    CT_UString result;
    if (CT_OS::sb_GetIsWindowsNT()) {
        unsigned short directory[CT_FileSystem::e_MaxPath];
        if (Platform::n_GetTemporaryPathW(directory, CT_FileSystem::e_MaxPath) == 0) directory[0] = 0;
        result.v_Set(directory, ~0u);
    } else {
        char directory[CT_FileSystem::e_MaxPath];
        if (Platform::n_GetTempPath(directory, sizeof directory) == 0) directory[0] = 0;
        result = CT_UString(directory, ~0u, 0);
    }
    unsigned length = result.n_GetLength();
    // A Linux directory ends with '/', which serves as well as '\'.
    if (length == 0 || !b_IsSeparator(result.u_GetAt(length - 1))) result.v_Append(static_cast<unsigned short>('\\'));
    return result;
}

void v_SetSemanticError(unsigned short const* text) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    // Message 60012 has one placeholder; it names the path concerned.
    if (!errors->b_IsSetError())
        errors->v_SetError(CT_ErrorManager::e_SemanticError, nullptr, CT_ErrorManager::e_SemanticError, text);
}

}  // namespace

void CT_FileSystem::sv_SplitPath(CT_String const* path, CT_String* drive, CT_String* directory, CT_String* name,
                                 CT_String* extension) {
    CT_UString wide(path);
    unsigned short const* text = wide.qcuz_Get();
    unsigned length = wide.n_GetLength();
    unsigned at = 0;
    if (length >= 2 && text[1] == ':') at = 2;
    if (drive) drive->v_Set(text, at);

    unsigned lastSeparator = ~0u;
    for (unsigned i = at; i < length; ++i)
        if (b_IsSeparator(text[i])) lastSeparator = i;
    unsigned directoryEnd = lastSeparator == ~0u ? at : lastSeparator + 1;
    if (directory) {
        unsigned count = directoryEnd - at;
        directory->v_Set(text + at, count > e_MaxComponent ? e_MaxComponent : count);
    }

    unsigned dot = ~0u;
    for (unsigned i = directoryEnd; i < length; ++i)
        if (text[i] == '.') dot = i;
    unsigned nameEnd = dot == ~0u ? length : dot;
    if (name) {
        unsigned count = nameEnd - directoryEnd;
        name->v_Set(text + directoryEnd, count > e_MaxComponent ? e_MaxComponent : count);
    }
    if (extension) {
        unsigned count = length - nameEnd;
        extension->v_Set(text + nameEnd, count > e_MaxComponent ? e_MaxComponent : count);
    }
}

void CT_FileSystem::sv_MakePath(CT_String* path, CT_String const* drive, CT_String const* directory,
                                CT_String const* name, CT_String const* extension) {
    CT_UString result;
    if (drive && drive->vn_GetLength()) {
        result.v_Append(drive->vu_GetAt(0));
        result.v_Append(static_cast<unsigned short>(':'));
    }
    if (directory && directory->vn_GetLength()) {
        result.v_Append(directory, ~0u);
        if (!b_IsSeparator(directory->vu_GetAt(directory->vn_GetLength() - 1)))
            result.v_Append(static_cast<unsigned short>('\\'));
    }
    if (name) result.v_Append(name, ~0u);
    if (extension && extension->vn_GetLength()) {
        if (extension->vu_GetAt(0) != '.') result.v_Append(static_cast<unsigned short>('.'));
        result.v_Append(extension, ~0u);
    }
    // The result lives in a buffer of the platform's maximum path length.
    if (result.n_GetLength() > e_MaxPath - 1) result.vv_SetLength(e_MaxPath - 1);
    path->v_Set(&result);
}

void CT_FileSystem::sv_FullPath(CT_String* path) {
    CT_UString wide(path);
    unsigned short full[e_MaxPath];
    if (Platform::n_GetFullPath(wide.qcuz_Get(), full, e_MaxPath) == 0) {
        v_SetSemanticError(wide.qcuz_Get());
        CT_ErrorManager::spco_Get()->v_AddLocation(qcz_Location, __LINE__);
        return;
    }
    path->v_Set(full, ~0u);
}

void CT_FileSystem::sv_GetCurrentPath(CT_String* path, unsigned drive) {
    unsigned short buffer[e_MaxPath] = {0};
    unsigned number = Platform::n_GetCurrentDirectory(drive, buffer, e_MaxPath);
    if (number != 0) {
        buffer[0] = 0;
        CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
        static unsigned short const au_Call[] = {'t', 'g', 'e', 't', 'd', 'c', 'w', 'd', 0};
        if (!errors->b_IsSetError())
            errors->v_SetError(number, nullptr, CT_ErrorManager::e_FileError, buffer, au_Call, number);
        errors->v_AddLocation(qcz_Location, __LINE__);
    }
    path->v_Set(buffer, ~0u);
}

void CT_FileSystem::sv_MakeDisplayString(CT_String* path, unsigned maximumLength) {
    CT_UString wide(path);
    unsigned length = wide.n_GetLength();
    if (length <= maximumLength) return;
    CT_UString drive;
    sv_SplitPath(&wide, &drive, nullptr, nullptr, nullptr);
    unsigned start = drive.n_GetLength();
    if (start < length && b_IsSeparator(wide.u_GetAt(start))) ++start;

    unsigned cut = 0;
    unsigned from = start;
    for (;;) {
        unsigned separator = wide.vn_Find(static_cast<unsigned short>('\\'), from);
        if (separator == ~0u) separator = wide.vn_Find(static_cast<unsigned short>('/'), from);
        if (separator == ~0u) break;
        cut = separator - start;
        if (length + 3 - cut <= maximumLength) break;
        from = separator + 1;
    }
    if (cut == 0) return;
    static unsigned short const au_Dots[] = {'.', '.', '.', 0};
    wide.vv_Remove(cut, start);
    wide.v_Insert(au_Dots, 3, start);
    path->v_Set(&wide);
}

void CT_FileSystem::sv_MakeTemporaryName(CT_String* name, CT_String const* prefix, CT_String const* extension,
                                         CT_String const*) {
    CT_UString directory = co_TemporaryDirectory();
    CT_UString widePrefix(prefix);
    CT_UString wideExtension(extension);
    v_SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    static unsigned short const au_Format[] = {'%', 's', '%', 's', '%', 'd', '%', 'd', '.', '%', 's', 0};
    CT_UString candidate;
    do {
        candidate.v_Format(au_Format, directory.qcuz_Get(), widePrefix.qcuz_Get(),
                           static_cast<int>(Platform::n_GetCurrentThreadId()), i_Random(), wideExtension.qcuz_Get());
    } while (sb_IsExistent(&candidate));
    // The name is the candidate made absolute. A failed sv_FullPath leaves
    // it as made, with its error set: the caller learns of the failure
    // and still has the name that was found unused.
    sv_FullPath(&candidate);
    name->v_Set(&candidate);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors->b_IsSetError()) errors->v_AddLocation(qcz_Location, __LINE__);
}

void CT_FileSystem::sv_MakeTemporaryName(CT_String* name, unsigned short const* prefix,
                                         unsigned short const* extension, int shortName) {
    static unsigned short const au_Tmp[] = {'t', 'm', 'p', 0};
    CT_UString widePrefix(prefix ? prefix : au_Empty, ~0u);
    if (shortName && widePrefix.n_GetLength() > 7) widePrefix.vv_SetLength(7);
    CT_UString wideExtension(extension ? extension : au_Tmp, ~0u);
    CT_UString directory = co_TemporaryDirectory();
    v_SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
    static unsigned short const au_Format[] = {'%', 's', '%', 's', '%', 'd', '%', 'd', '.', '%', 's', 0};

    unsigned thread = Platform::n_GetCurrentThreadId();
    unsigned threadModulus = 0, randomModulus = 0;
    if (shortName) {
        unsigned d = 8 - widePrefix.n_GetLength();
        unsigned digits = d > 3 ? d - 2 : d - 1;
        threadModulus = d > 3 ? 100 : 10;
        randomModulus = 1;
        while (digits--) randomModulus *= 10;
    }
    CT_UString candidate;
    for (unsigned round = 0;; ++round) {
        if (round == 100000) {
            name->vv_SetLength(0);
            v_SetSemanticError(candidate.qcuz_Get());
            CT_ErrorManager::spco_Get()->v_AddLocation(qcz_Location, __LINE__);
            return;
        }
        int random = i_Random();
        unsigned threadNumber = thread;
        if (shortName) {
            threadNumber = Platform::n_GetCurrentThreadId() % threadModulus;
            random = static_cast<int>(static_cast<unsigned>(random) % randomModulus);
        }
        candidate.v_Format(au_Format, directory.qcuz_Get(), widePrefix.qcuz_Get(), static_cast<int>(threadNumber),
                           random, wideExtension.qcuz_Get());
        if (!sb_IsExistent(&candidate)) break;
    }
    // The name is the candidate made absolute. A failed sv_FullPath leaves
    // it as made, with its error set: the caller learns of the failure
    // and still has the name that was found unused.
    sv_FullPath(&candidate);
    name->v_Set(&candidate);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors->b_IsSetError()) errors->v_AddLocation(qcz_Location, __LINE__);
}

int CT_FileSystem::sb_IsExistent(CT_String const* path) {
    CT_UString wide(path);
    return Platform::b_PathExists(wide.qcuz_Get());
}

int CT_FileSystem::sb_ChangePath(CT_String const* path) {
    CT_UString wide(path);
    return Platform::b_ChangeDirectory(wide.qcuz_Get());
}

int CT_FileSystem::sb_MakePath(CT_String const* path) {
    CT_UString wide(path);
    return Platform::b_MakeDirectory(wide.qcuz_Get());
}

int CT_FileSystem::sb_RemovePath(CT_String const* path) {
    CT_UString wide(path);
    return Platform::b_RemoveDirectory(wide.qcuz_Get());
}

// ---- CT_FindFile ----------------------------------------------------------

CT_FindFile::CT_FindFile(CT_String* pattern, unsigned required, unsigned excluded, int withPath) : i_Search(-1) {
    v_Set(pattern, required, excluded, withPath);
}

// A copy takes the settings but not the running search: one search handle
// has one owner, which ends it.
CT_FindFile::CT_FindFile(CT_FindFile const& other)
    : so_Record(other.so_Record),
      i_Search(-1),
      co_Prefix(other.co_Prefix),
      co_Pattern(other.co_Pattern),
      n_Required(other.n_Required),
      n_Excluded(other.n_Excluded),
      b_WithPath(other.b_WithPath) {}

CT_FindFile& CT_FindFile::operator=(CT_FindFile const& other) {
    if (this == &other) return *this;
    v_EndSearch();
    so_Record = other.so_Record;
    co_Prefix = other.co_Prefix;
    co_Pattern = other.co_Pattern;
    n_Required = other.n_Required;
    n_Excluded = other.n_Excluded;
    b_WithPath = other.b_WithPath;
    return *this;
}

// The search handle is released here and whenever a search ends or is
// restarted, so that no handle outlives its search.
CT_FindFile::~CT_FindFile() { v_EndSearch(); }

void CT_FindFile::v_EndSearch() {
    Platform::v_FindClose(i_Search);
    i_Search = -1;
}

void CT_FindFile::v_Set(CT_String* pattern, unsigned required, unsigned excluded, int withPath) {
    v_EndSearch();
    co_Prefix.vv_SetLength(0);
    co_Pattern.vv_SetLength(0);
    co_Pattern.v_Set(pattern);
    n_Required = required;
    n_Excluded = excluded;
    b_WithPath = withPath;
    so_Record = st_FindRecord();
    if (withPath) {
        CT_UString drive, directory;
        CT_FileSystem::sv_SplitPath(&co_Pattern, &drive, &directory, nullptr, nullptr);
        co_Prefix.v_Set(&drive);
        co_Prefix.v_Append(&directory, ~0u);
    }
}

int CT_FindFile::b_Passes(unsigned bits) const {
    return (n_Required == 0 || (bits & n_Required) != 0) && (n_Excluded == 0 || (bits & n_Excluded) == 0);
}

int CT_FindFile::b_Deliver(CT_String* name, unsigned* attributes) {
    CT_UString result;
    if (b_WithPath) result.v_Set(&co_Prefix);
    result.v_Append(so_Record.au_Name, ~0u);
    if (name) name->v_Set(&result);
    if (attributes) *attributes = so_Record.n_Attributes;
    return 1;
}

static_assert(sizeof(CT_FindFile::st_FindRecord) == sizeof(Platform::st_FindData), "one record layout");

int CT_FindFile::b_FindFirst(CT_String* name, unsigned* attributes) {
    v_EndSearch();
    Platform::st_FindData data;
    i_Search = Platform::i_FindFirst(co_Pattern.qcuz_Get(), &data);
    if (i_Search == -1) return 0;
    while (!b_Passes(data.n_Attributes)) {
        if (!Platform::b_FindNext(i_Search, &data)) {
            v_EndSearch();
            return 0;
        }
    }
    std::memcpy(&so_Record, &data, sizeof so_Record);
    return b_Deliver(name, attributes);
}

int CT_FindFile::b_FindNext(CT_String* name, unsigned* attributes) {
    if (i_Search == -1) return 0;
    Platform::st_FindData data;
    do {
        if (!Platform::b_FindNext(i_Search, &data)) {
            v_EndSearch();
            return 0;
        }
    } while (!b_Passes(data.n_Attributes));
    std::memcpy(&so_Record, &data, sizeof so_Record);
    return b_Deliver(name, attributes);
}
