#include "Foundation/Basis/File/WinFile.h"

#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Platform/SystemError.h"

BASIS_DEFINE_POOL(CT_WinFile)

namespace {

char const* const qcz_Location = "Foundation/Basis/FILE/WinFile";

unsigned short const au_OneName[] = {'%', 's', 0};
unsigned short const au_TwoNames[] = {'%', 's', ' ', ':', ' ', '%', 's', 0};

bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

// Sizes and offsets are 32-bit: a mapping or a write that would reach
// beyond 0xFFFFFFFF bytes is refused with "Limits violated" (60021) rather
// than wrapped round to a small size.
void v_LimitsViolated(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError())
        errors->v_SetError(CT_ErrorManager::e_LimitsViolated, nullptr, CT_ErrorManager::e_LimitsViolated);
    errors->v_AddLocation(qcz_Location, line);
}

// The smallest multiple of the mapping step not below wanted; false when
// that does not fit in 32 bits (above 0xFFF00000).
bool b_MapSizeFor(unsigned long long wanted, unsigned* size) {
    unsigned long long steps = (wanted + CT_WinFile::e_MapGrowth - 1) / CT_WinFile::e_MapGrowth;
    if (steps * CT_WinFile::e_MapGrowth > 0xFFFFFFFFull) return false;
    *size = static_cast<unsigned>(steps * CT_WinFile::e_MapGrowth);
    return true;
}

// The open attributes and flags bit by bit into the platform's values.
unsigned n_PlatformAttributes(unsigned attributes, unsigned flags) {
    static unsigned const an_Attributes[] = {0x80, 0x20, 0x800, 0x02, 0x01, 0x04, 0x10, 0x100};
    static unsigned const an_Flags[] = {0x80000000u, 0x40000000u, 0x20000000u, 0x10000000u, 0x08000000u, 0x04000000u};
    unsigned result = 0;
    for (unsigned bit = 0; bit < 8; ++bit)
        if (attributes & (1u << bit)) result |= an_Attributes[bit];
    for (unsigned bit = 0; bit < 6; ++bit)
        if (flags & (1u << bit)) result |= an_Flags[bit];
    return result;
}

}  // namespace

// A failed platform call: the system's code and text with the file's
// name, unless an error is already set; then the location.
void CT_WinFile::v_SystemError(unsigned line) const {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) errors->v_SetSystemError(au_OneName, pcco_GetFullName()->qcuz_Get());
    errors->v_AddLocation(qcz_Location, line);
}

void CT_WinFile::v_Null() {
    h_File = nullptr;
    n_Offset = 0;
    h_Mapping = nullptr;
    puc_View = nullptr;
    n_MapSize = 0;
}

void CT_WinFile::v_Exit() {
    if (b_IsOpen()) vv_Close();
}

CT_WinFile::CT_WinFile() { v_Null(); }

CT_WinFile::CT_WinFile(CT_String const* name, unsigned bufferSize) : CT_File(name, bufferSize) { v_Null(); }

CT_WinFile::CT_WinFile(CT_WinFile const* other) : CT_File(other) { v_Null(); }

CT_WinFile::~CT_WinFile() {
    v_Exit();
    if (b_Failed(__LINE__)) return;
}

// Assignment takes names and settings but never a handle or a mapping:
// one handle has one owner. The target is closed first and stays closed.
CT_WinFile& CT_WinFile::operator=(CT_WinFile const& other) {
    if (this == &other) return *this;
    v_Exit();
    CT_File::operator=(other);
    v_SetClosed();
    v_Null();
    return *this;
}

void CT_WinFile::vv_Set(CT_File const* other) {
    v_Exit();
    if (b_Failed(__LINE__)) return;
    CT_File::vv_Set(other);
    v_Null();
}

void CT_WinFile::vv_Set(CT_String const* name, unsigned bufferSize) {
    CT_UString copy(name);
    v_Exit();
    if (b_Failed(__LINE__)) return;
    CT_File::vv_Set(&copy, bufferSize);
    v_Null();
}

void CT_WinFile::vv_Set() {
    v_Exit();
    if (b_Failed(__LINE__)) return;
    CT_File::vv_Set();
    v_Null();
}

void CT_WinFile::vv_Open(et_Access access, et_Open open, et_Share share, unsigned attributes, unsigned flags) {
    // A failed append-mode open is reported as it is; the program's
    // second attempt with an undocumented disposition is not repeated.
    void* file = Platform::h_OpenFile(pcco_GetFullName()->qcuz_Get(), static_cast<unsigned>(access) & 3,
                                      static_cast<unsigned>(share) & 3, static_cast<unsigned>(open),
                                      n_PlatformAttributes(attributes, flags));
    if (file == nullptr) {
        v_SystemError(__LINE__);
        return;
    }
    Platform::v_SetLastError(0);  // "already exists" after opening an existing file
    unsigned offset = 0;
    if (open == e_OpenAppend) {
        offset = Platform::n_SetFilePointer(file, 0, e_End);
        if (offset == 0xFFFFFFFFu) {
            // The handle is given back: a failed open leaves nothing open.
            unsigned code = Platform::n_GetLastError();
            Platform::b_CloseFile(file);
            Platform::v_SetLastError(code);
            v_SystemError(__LINE__);
            return;
        }
    }
    h_File = file;
    n_Offset = offset;
    v_SetOpened(access, open, share, attributes, flags);
}

void CT_WinFile::vv_Close() {
    if (puc_View || h_Mapping) {
        v_CloseMap(0);
        b_Failed(__LINE__);  // noted; closing goes on
    }
    // A failed close keeps the state, handle included: CloseHandle fails
    // only on a handle that stays the caller's to close (a protected one)
    // or was never valid, and the seam keeps a failed handle valid for one
    // more close, which the next vv_Close or the destructor makes.
    if (h_File && !Platform::b_CloseFile(h_File)) {
        v_SystemError(__LINE__);
        return;
    }
    h_File = nullptr;
    n_Offset = 0;
    v_SetClosed();
}

void CT_WinFile::vv_Flush() {
    if (!Platform::b_FlushFile(h_File)) v_SystemError(__LINE__);
}

void CT_WinFile::vv_Remove() {
    if (!Platform::b_DeleteFile(pcco_GetFullName()->qcuz_Get())) v_SystemError(__LINE__);
}

void CT_WinFile::vv_Rename(CT_String const* newName) {
    CT_UString target(newName);
    if (!Platform::b_MoveFile(pcco_GetFullName()->qcuz_Get(), target.qcuz_Get())) {
        CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
        if (!errors->b_IsSetError())
            errors->v_SetSystemError(au_TwoNames, pcco_GetFullName()->qcuz_Get(), target.qcuz_Get());
        errors->v_AddLocation(qcz_Location, __LINE__);
        return;
    }
    vv_Set(&target, 16384);
    b_Failed(__LINE__);
}

unsigned CT_WinFile::vn_Read(void* data, unsigned n) {
    if (n == 0) return 0;
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    unsigned count;
    if (puc_View) {
        count = n_ReadMap(n_Offset, data, n);
    } else if (!Platform::b_ReadFileAt(h_File, n_Offset, data, n, &count)) {
        v_SystemError(__LINE__);
        return 0;
    }
    n_Offset += count;
    return count;
}

unsigned CT_WinFile::vn_Write(void const* data, unsigned n) {
    v_SetAccess(e_LastWrite);
    if (b_Failed(__LINE__)) return 0;
    // The offset member is 32-bit: a write ending beyond 0xFFFFFFFF bytes
    // would wrap it, so it is refused whole.
    if (static_cast<unsigned long long>(n_Offset) + n > 0xFFFFFFFFull) {
        v_LimitsViolated(__LINE__);
        return 0;
    }
    unsigned count;
    // A read-only view cannot take the bytes (the copy would fault), so a
    // file opened for reading writes through its handle, which the system
    // refuses with its own error, mapped or not.
    if (puc_View && ec_GetOpenAccess() != e_Read) {
        count = n_WriteMap(n_Offset, data, n);
        if (b_Failed(__LINE__)) return 0;
    } else if (!Platform::b_WriteFileAt(h_File, n_Offset, data, n, &count)) {
        // What reached the file before the failure stays there; the
        // offset follows it, so the next write goes on behind it.
        n_Offset += count;
        v_SystemError(__LINE__);
        return 0;
    }
    n_Offset += count;
    return count;
}

unsigned CT_WinFile::vn_GetSize() const {
    if (!b_IsOpen()) {
        CT_WinFile probe(this);
        probe.vv_Open(e_Read, e_OpenExisting, e_ShareRead, e_AttributeNormal, 0);
        if (b_Failed(__LINE__)) return 0;
        unsigned size = probe.vn_GetSize();
        if (b_Failed(__LINE__)) return 0;
        probe.vv_Close();
        if (b_Failed(__LINE__)) return 0;
        return size;
    }
    unsigned size = Platform::n_GetFileSize(h_File);
    if (size == 0xFFFFFFFFu) {
        v_SystemError(__LINE__);
        return 0;
    }
    return size;
}

unsigned CT_WinFile::vn_GetOffset() const { return n_Offset; }

void CT_WinFile::vv_SetOffset(et_Origin origin, int offset) {
    // Reads and writes, mapped or not, take their place from the offset
    // member alone, never from the handle's position: a move from the
    // start or from the current offset is only that member, with no
    // system call. The handle is brought to the offset before
    // v_SetEndOfFile, the one call that uses its position. A move that the
    // system would refuse (before the start, beyond 32 bits) takes the
    // system's path below, so it fails with the system's own error; so
    // does any move of a closed file.
    if (h_File && (origin == e_Begin || origin == e_Current)) {
        long long target = origin == e_Begin ? offset : static_cast<long long>(n_Offset) + offset;
        if (target >= 0 && target < 0xFFFFFFFFll) {
            n_Offset = static_cast<unsigned>(target);
            return;
        }
        // A move from the current offset needs the handle where the
        // object is.
        if (!b_PlaceHandle()) {
            v_SystemError(__LINE__);
            return;
        }
    }
    if (Platform::n_SetFilePointer(h_File, offset, static_cast<unsigned>(origin)) == 0xFFFFFFFFu) {
        v_SystemError(__LINE__);
        return;
    }
    switch (origin) {
        case e_Begin: n_Offset = static_cast<unsigned>(offset); break;
        case e_Current: n_Offset += static_cast<unsigned>(offset); break;
        case e_End: {
            unsigned size = vn_GetSize();
            if (b_Failed(__LINE__)) return;
            n_Offset = size + static_cast<unsigned>(offset);
            break;
        }
    }
}

// Moves the handle to the offset member, which reads and writes use.
// Offsets beyond the signed 32-bit displacement take a second step.
int CT_WinFile::b_PlaceHandle() {
    unsigned first = n_Offset > 0x7FFFFFFFu ? 0x7FFFFFFFu : n_Offset;
    if (Platform::n_SetFilePointer(h_File, static_cast<std::int32_t>(first), e_Begin) == 0xFFFFFFFFu) return 0;
    if (first == n_Offset) return 1;
    return Platform::n_SetFilePointer(h_File, static_cast<std::int32_t>(n_Offset - first), e_Current) != 0xFFFFFFFFu;
}

int CT_WinFile::vb_IsEof() const {
    unsigned size = vn_GetSize();
    if (b_Failed(__LINE__)) return 0;
    return vn_GetOffset() >= size;
}

// ---- mapping ----------------------------------------------------------------

void CT_WinFile::v_CreateMap(unsigned minimumSize) {
    unsigned size = vn_GetSize();
    if (b_Failed(__LINE__)) return;
    int readOnly = ec_GetOpenAccess() == e_Read;
    unsigned mapSize = size;
    if (!readOnly && minimumSize != 0xFFFFFFFFu) {
        if (!b_MapSizeFor(minimumSize > size ? minimumSize : size, &mapSize)) {
            v_LimitsViolated(__LINE__);
            return;
        }
    }
    n_MapSize = mapSize;
    h_Mapping = Platform::h_CreateFileMapping(h_File, !readOnly, n_MapSize);
    if (h_Mapping == nullptr) {
        v_SystemError(__LINE__);
        return;
    }
    puc_View = static_cast<unsigned char*>(Platform::pv_MapViewOfFile(h_Mapping, !readOnly, n_MapSize));
    if (puc_View == nullptr) {
        v_SystemError(__LINE__);
        return;
    }
    // What lies beyond the old end was added to be written: its pages are
    // made writable in one pass rather than by one fault each.
    if (!readOnly && n_MapSize > size) Platform::v_PrepareViewForWriting(puc_View, size, n_MapSize - size);
}

unsigned CT_WinFile::n_ReadMap(unsigned offset, void* data, unsigned n) {
    if (offset >= n_MapSize) return 0;
    unsigned count = n_MapSize - offset < n ? n_MapSize - offset : n;
    std::memcpy(data, puc_View + offset, count);
    return count;
}

unsigned CT_WinFile::n_WriteMap(unsigned offset, void const* data, unsigned n) {
    unsigned long long end = static_cast<unsigned long long>(offset) + n;
    if (end > n_MapSize) {
        unsigned size = vn_GetSize();
        if (b_Failed(__LINE__)) return 0;
        // No view reaches beyond 32 bits: such a write is refused, not
        // copied past a view whose size wrapped round.
        unsigned grown;
        if (!b_MapSizeFor(end > size ? end : size, &grown)) {
            v_LimitsViolated(__LINE__);
            return 0;
        }
        // Where the platform can lengthen the view in place, it grows to
        // the size that closing and mapping anew would give, and the pages
        // already touched stay mapped.
        void* view = Platform::pv_GrowView(h_Mapping, puc_View, n_MapSize, grown);
        if (view) {
            puc_View = static_cast<unsigned char*>(view);
            n_MapSize = grown;
            if (n_MapSize > size) Platform::v_PrepareViewForWriting(puc_View, size, n_MapSize - size);
        } else {
            v_CloseMap(0);
            if (b_Failed(__LINE__)) return 0;
            v_CreateMap(static_cast<unsigned>(end));
            if (b_Failed(__LINE__)) return 0;
        }
    }
    std::memcpy(puc_View + offset, data, n);
    return n;
}

void CT_WinFile::v_CloseMap(unsigned finalLength) {
    if (puc_View && !Platform::b_UnmapViewOfFile(puc_View, n_MapSize)) v_SystemError(__LINE__);
    puc_View = nullptr;
    if (h_Mapping && !Platform::b_CloseFileMapping(h_Mapping)) v_SystemError(__LINE__);
    h_Mapping = nullptr;
    n_MapSize = 0;
    if (ec_GetOpenAccess() != e_Read && finalLength != 0) {
        vv_SetOffset(e_Begin, static_cast<int>(finalLength));
        if (b_Failed(__LINE__)) return;
        v_SetEndOfFile();
        b_Failed(__LINE__);
    }
}

void CT_WinFile::v_FlushMap() {
    if (!Platform::b_FlushViewOfFile(puc_View, n_MapSize)) v_SystemError(__LINE__);
}

// ---- locks, attributes, copy ------------------------------------------------

void CT_WinFile::v_LockFile(unsigned offset, unsigned length) {
    if (!Platform::b_LockFile(h_File, offset, length)) v_SystemError(__LINE__);
}

void CT_WinFile::v_UnlockFile(unsigned offset, unsigned length) {
    if (!Platform::b_UnlockFile(h_File, offset, length)) v_SystemError(__LINE__);
}

void CT_WinFile::v_SetEndOfFile() {
    // The file ends at the object's offset; the handle's position is not
    // kept up with it.
    if (!b_PlaceHandle()) {
        v_SystemError(__LINE__);
        return;
    }
    if (!Platform::b_SetEndOfFile(h_File)) v_SystemError(__LINE__);
}

void CT_WinFile::v_SetAttributes(unsigned attributes) {
    if (!Platform::b_SetFileAttributes(pcco_GetFullName()->qcuz_Get(), attributes)) v_SystemError(__LINE__);
}

unsigned CT_WinFile::n_GetAttributes() {
    unsigned attributes = Platform::n_GetFileAttributes(pcco_GetFullName()->qcuz_Get());
    if (attributes == 0xFFFFFFFFu) v_SystemError(__LINE__);
    return attributes;
}

void CT_WinFile::v_CopyFile(CT_String const* target) const {
    CT_UString wideTarget(target);
    if (!Platform::b_CopyFile(pcco_GetFullName()->qcuz_Get(), wideTarget.qcuz_Get())) {
        CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
        if (!errors->b_IsSetError())
            errors->v_SetSystemError(au_TwoNames, pcco_GetFullName()->qcuz_Get(), wideTarget.qcuz_Get());
        errors->v_AddLocation(qcz_Location, __LINE__);
    }
}

void CT_WinFile::v_GetFileInfo(st_FileInformation* information) {
    if (!Platform::b_GetFileInformation(h_File, information)) v_SystemError(__LINE__);
}

void CT_WinFile::sv_SetHandleCount(unsigned count) { Platform::n_SetHandleCount(count); }
