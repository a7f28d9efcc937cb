#include "Foundation/Basis/File/File.h"

#include <cstring>

#include "Foundation/Basis/Character/CharProperties.h"
#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/File/FileSystem.h"
#include "Foundation/Basis/String/CString.h"

namespace {

char const* const qcz_Location = "Foundation/Basis/File/File";

enum : unsigned {
    e_NarrowChunk = 256,
    e_WideChunk = 512,
    e_NarrowSequentialChunk = 4096,
    e_WideSequentialChunk = 8192,
};

// Passes an error on: true (and the location added) when one is set.
bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

// Narrow text onto a line: straight into a narrow string's buffer (its
// inline append), through the string interface for a wide one.
inline void v_AppendNarrow(CT_String* line, CT_CString* narrow, unsigned char const* text, unsigned count) {
    if (narrow) narrow->v_Append(reinterpret_cast<char const*>(text), count);
    else line->v_Append(reinterpret_cast<char const*>(text), count);
}

CT_CString* pco_AsNarrow(CT_String* line) {
    return line->vpv_IsA(CT_CString::spcco_GetType()) ? static_cast<CT_CString*>(line) : nullptr;
}

unsigned n_FindUnit(unsigned short const* units, unsigned from, unsigned count, unsigned short unit) {
    for (unsigned i = from; i < count; ++i)
        if (units[i] == unit) return i;
    return ~0u;
}

}  // namespace

// ---- construction and names ---------------------------------------------

void CT_File::v_Null() {
    n_SequentialPosition = 0;
    eo_LastTransfer = e_LastNone;
    b_Open = 0;
    eo_OpenAccess = e_NoAccess;
    eo_OpenMode = static_cast<et_Open>(0);
    eo_OpenShare = e_ShareNone;
    n_OpenAttributes = 0;
    n_OpenFlags = 0;
}

void CT_File::v_Init() { v_Null(); }

// A file built without a name has buffer size 0 until vv_Set gives one;
// callers set it before opening.
CT_File::CT_File() : n_BufferSize(0) { v_Init(); }

CT_File::CT_File(CT_String const* name, unsigned bufferSize) : n_BufferSize(sn_RoundBufferSize(bufferSize)) {
    v_Init();
    v_SetFullName(name);
}

CT_File::CT_File(CT_File const* other) : n_BufferSize(other->n_BufferSize) {
    v_Init();
    v_SetFullName(&other->co_FullName);
}

CT_File::~CT_File() {}

CT_File& CT_File::operator=(CT_File const& other) {
    if (this == &other) return *this;
    co_FullName = other.co_FullName;
    co_LineBuffer = other.co_LineBuffer;
    n_SequentialPosition = other.n_SequentialPosition;
    co_Drive = other.co_Drive;
    co_Directory = other.co_Directory;
    co_Name = other.co_Name;
    co_Extension = other.co_Extension;
    n_BufferSize = other.n_BufferSize;
    eo_LastTransfer = other.eo_LastTransfer;
    b_Open = other.b_Open;
    eo_OpenAccess = other.eo_OpenAccess;
    eo_OpenMode = other.eo_OpenMode;
    eo_OpenShare = other.eo_OpenShare;
    n_OpenAttributes = other.n_OpenAttributes;
    n_OpenFlags = other.n_OpenFlags;
    return *this;
}

void CT_File::vv_Set() {
    co_FullName.vv_SetLength(0);
    co_Drive.vv_SetLength(0);
    co_Directory.vv_SetLength(0);
    co_Name.vv_SetLength(0);
    co_Extension.vv_SetLength(0);
    co_LineBuffer.v_Set(0u, co_LineBuffer.n_GetGrowth(), 0);
    v_Init();
}

void CT_File::vv_Set(CT_String const* name, unsigned bufferSize) {
    CT_UString copy(name);  // the name may be one of this file's own strings
    CT_File::vv_Set();
    n_BufferSize = sn_RoundBufferSize(bufferSize);
    v_SetFullName(&copy);
}

void CT_File::vv_Set(CT_File const* other) {
    if (other == this) return;
    CT_File::vv_Set();
    n_BufferSize = other->n_BufferSize;
    v_SetFullName(&other->co_FullName);
}

void CT_File::v_SplitPath() { CT_FileSystem::sv_SplitPath(&co_FullName, &co_Drive, &co_Directory, &co_Name, &co_Extension); }

void CT_File::v_MakePath() { CT_FileSystem::sv_MakePath(&co_FullName, &co_Drive, &co_Directory, &co_Name, &co_Extension); }

void CT_File::v_SetFullName(CT_String const* name) {
    if (name) co_FullName.v_Set(name);
    else co_FullName.vv_SetLength(0);
    v_SplitPath();
}

void CT_File::v_SetDrive(CT_String const* drive) {
    co_Drive.v_Set(drive);
    v_MakePath();
}

void CT_File::v_SetDirectory(CT_String const* directory) {
    co_Directory.v_Set(directory);
    v_MakePath();
}

void CT_File::v_SetName(CT_String const* name) {
    co_Name.v_Set(name);
    v_MakePath();
}

void CT_File::v_SetExtension(CT_String const* extension) {
    co_Extension.v_Set(extension);
    v_MakePath();
}

void CT_File::v_FullPath() {
    CT_FileSystem::sv_FullPath(&co_FullName);
    if (b_Failed(__LINE__)) return;
    v_SplitPath();
}

int CT_File::b_IsExistent() const { return CT_FileSystem::sb_IsExistent(&co_FullName); }

// ---- state ----------------------------------------------------------------

void CT_File::v_SetOpened(et_Access access, et_Open open, et_Share share, unsigned attributes, unsigned flags) {
    b_Open = 1;
    eo_OpenAccess = access;
    eo_OpenMode = open;
    eo_OpenShare = share;
    n_OpenAttributes = attributes;
    n_OpenFlags = flags;
}

void CT_File::v_SetClosed() { v_Null(); }

void CT_File::v_SetAccess(et_FileAccess access) {
    if (access == eo_LastTransfer) return;
    vv_SetOffset(e_Begin, static_cast<int>(vn_GetOffset()));
    if (b_Failed(__LINE__)) return;
    eo_LastTransfer = access;
}

// ---- buffers ----------------------------------------------------------------

unsigned CT_File::n_Read(CT_Buffer* buffer, unsigned n) {
    if (n == 0) return 0;
    if (buffer->n_GetMaximumSize() < n) buffer->v_SetMinSize(n, 1);
    buffer->v_CopyWeWrite();
    unsigned count = vn_Read(const_cast<void*>(buffer->qcv_Get()), n);
    buffer->v_SetUsedSize(count);
    if (b_Failed(__LINE__)) return 0;
    return count;
}

unsigned CT_File::n_Write(CT_Buffer const* buffer, unsigned n) {
    if (n == 0) return 0;
    if (n == 0xFFFFFFFFu) n = buffer->n_GetUsedSize();
    if (buffer->qcv_Get() == nullptr || buffer->n_GetUsedSize() == 0) return 0;
    unsigned count = vn_Write(buffer->qcv_Get(), n);
    if (b_Failed(__LINE__)) return 0;
    return count;
}

// On an error both files are left as they are (whatever was opened stays
// open), so that the caller sees the state the failure left.
void CT_File::v_Append(CT_File const* source, unsigned chunkSize) {
    CT_Buffer temporary(chunkSize, CT_Buffer().n_GetGrowth());
    if (b_Failed(__LINE__)) return;
    CT_File* input = const_cast<CT_File*>(source);
    input->vv_Open(e_Read, e_OpenExisting, e_ShareNone, e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) return;
    vv_Open(e_Write, e_OpenAppend, e_ShareNone, e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) return;
    // A read failure ends the loop like the end of the file.
    while (input->n_Read(&temporary, chunkSize) != 0) {
        n_Write(&temporary, 0xFFFFFFFFu);
        if (b_Failed(__LINE__)) return;
    }
    vv_Close();
    input->vv_Close();
}

int CT_File::b_IsUnicode() {
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    unsigned size = vn_GetSize();
    if (b_Failed(__LINE__)) return 0;
    if (size < 2 || (size & 1) != 0) return 0;
    unsigned char bytes[100];
    unsigned count = vn_Read(bytes, sizeof bytes);
    if (b_Failed(__LINE__)) return 0;
    int wide;
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) wide = 1;
    else wide = CT_CharProperties::sb_IsTextUnicode(bytes, count, 0) ? 1 : 0;
    vv_SetOffset(e_Begin, 0);
    if (b_Failed(__LINE__)) return 0;
    return wide;
}

// ---- lines ----------------------------------------------------------------

unsigned char* CT_File::puc_LineBuffer(unsigned size) {
    if (co_LineBuffer.n_GetMaximumSize() < size) co_LineBuffer.v_SetMinSize(size, 0);
    co_LineBuffer.v_CopyWeWrite();
    return static_cast<unsigned char*>(const_cast<void*>(co_LineBuffer.qcv_Get()));
}

int CT_File::b_SkipByteOrderMark() {
    if (vn_GetOffset() != 0) return 1;
    unsigned char mark[2] = {0, 0};
    unsigned count = vn_Read(mark, 2);
    if (b_Failed(__LINE__)) return 0;
    if (count == 2 && mark[0] == 0xFF && mark[1] == 0xFE) return 1;
    vv_SetOffset(e_Begin, 0);
    return b_Failed(__LINE__) ? 0 : 1;
}

unsigned CT_File::n_ReadLineC(CT_String* line, CT_String const* strip) {
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    CT_CString* narrow = pco_AsNarrow(line);
    line->vv_SetLength(0);
    for (;;) {
        unsigned char* chunk = puc_LineBuffer(e_NarrowChunk);
        unsigned count = vn_Read(chunk, e_NarrowChunk);
        co_LineBuffer.v_SetUsedSize(count);
        if (b_Failed(__LINE__)) return 0;
        if (count == 0) break;
        void const* found = std::memchr(chunk, 0x0A, count);
        unsigned end = found ? static_cast<unsigned>(static_cast<unsigned char const*>(found) - chunk) : count;
        unsigned text = end;
        if (text > 0 && chunk[text - 1] == 0x0D) --text;
        v_AppendNarrow(line, narrow, chunk, text);
        if (found) {
            vv_SetOffset(e_Current, static_cast<int>(end + 1) - static_cast<int>(count));
            if (b_Failed(__LINE__)) return 0;
            unsigned result = line->vn_GetLength() + 1;
            if (strip) line->vv_Strip(strip);
            return result;
        }
    }
    unsigned result = line->vn_GetLength();
    if (strip) line->vv_Strip(strip);
    return result;
}

unsigned CT_File::n_ReadLineU(CT_String* line, CT_String const* strip) {
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    if (!b_SkipByteOrderMark()) return 0;
    line->vv_SetLength(0);
    for (;;) {
        unsigned char* chunk = puc_LineBuffer(e_WideChunk);
        unsigned count = vn_Read(chunk, e_WideChunk);
        co_LineBuffer.v_SetUsedSize(count);
        if (b_Failed(__LINE__)) return 0;
        if (count == 0) break;
        unsigned short const* units = reinterpret_cast<unsigned short const*>(chunk);
        unsigned unitCount = count / 2;  // an odd last byte is ignored
        unsigned found = n_FindUnit(units, 0, unitCount, 0x000A);
        unsigned end = found == ~0u ? unitCount : found;
        unsigned text = end;
        if (text > 0 && units[text - 1] == 0x000D) --text;
        line->v_Append(units, text);
        if (found != ~0u) {
            vv_SetOffset(e_Current, static_cast<int>(found * 2 + 2) - static_cast<int>(count));
            if (b_Failed(__LINE__)) return 0;
            unsigned result = line->vn_GetLength() * 2 + 2;
            if (strip) line->vv_Strip(strip);
            return result;
        }
    }
    unsigned result = line->vn_GetLength() * 2;
    if (strip) line->vv_Strip(strip);
    return result;
}

unsigned CT_File::n_ReadLineCSequential(CT_String* line, CT_String const* strip) {
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    CT_CString* narrow = pco_AsNarrow(line);
    // The line is emptied before its first piece is appended, by direct
    // calls for a narrow line: this runs once per line of the file. The
    // usual line, whole in the chunk read before, instead replaces a
    // narrow line's text in place: one copy and no call.
    bool emptied = false;
    auto v_Empty = [&] {
        if (narrow) narrow->CT_CString::vv_SetLength(0);
        else line->vv_SetLength(0);
        emptied = true;
    };
    for (;;) {
        if (n_SequentialPosition == 0) {
            if (!emptied) v_Empty();
            unsigned char* chunk = puc_LineBuffer(e_NarrowSequentialChunk);
            unsigned count = vn_Read(chunk, e_NarrowSequentialChunk);
            co_LineBuffer.v_SetUsedSize(count);
            if (b_Failed(__LINE__)) return 0;
            if (count == 0) {
                if (strip) line->vv_Strip(strip);
                return 0;
            }
        }
        unsigned char const* chunk = static_cast<unsigned char const*>(co_LineBuffer.qcv_Get());
        unsigned count = co_LineBuffer.n_GetUsedSize();
        unsigned start = n_SequentialPosition;
        void const* found = std::memchr(chunk + start, 0x0A, count - start);
        unsigned end = found ? static_cast<unsigned>(static_cast<unsigned char const*>(found) - chunk) : count;
        unsigned text = end;
        if (text > start && chunk[text - 1] == 0x0D) --text;
        if (!emptied) {
            if (found && narrow && narrow->b_SetTextInPlace(reinterpret_cast<char const*>(chunk + start), text - start)) {
                n_SequentialPosition = end + 1 >= count ? 0 : end + 1;
                if (strip) line->vv_Strip(strip);
                return text - start + 1;
            }
            v_Empty();
        }
        v_AppendNarrow(line, narrow, chunk + start, text - start);
        if (!found) {
            n_SequentialPosition = 0;
            continue;
        }
        n_SequentialPosition = end + 1 >= count ? 0 : end + 1;
        unsigned result = (narrow ? narrow->n_GetLength() : line->vn_GetLength()) + 1;
        if (strip) line->vv_Strip(strip);
        return result;
    }
}

unsigned CT_File::n_ReadLineUSequential(CT_String* line, CT_String const* strip) {
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    if (!b_SkipByteOrderMark()) return 0;
    line->vv_SetLength(0);
    for (;;) {
        if (n_SequentialPosition == 0) {
            unsigned char* chunk = puc_LineBuffer(e_WideSequentialChunk);
            unsigned count = vn_Read(chunk, e_WideSequentialChunk);
            co_LineBuffer.v_SetUsedSize(count);
            if (b_Failed(__LINE__)) return 0;
            if (count / 2 == 0) {
                if (strip) line->vv_Strip(strip);
                return 0;
            }
        }
        unsigned short const* units = static_cast<unsigned short const*>(co_LineBuffer.qcv_Get());
        unsigned count = co_LineBuffer.n_GetUsedSize() / 2;
        unsigned start = n_SequentialPosition;
        unsigned found = n_FindUnit(units, start, count, 0x000A);
        unsigned end = found == ~0u ? count : found;
        unsigned text = end;
        if (text > start && units[text - 1] == 0x000D) --text;
        line->v_Append(units + start, text - start);
        if (found == ~0u) {
            n_SequentialPosition = 0;
            continue;
        }
        n_SequentialPosition = end + 1 >= count ? 0 : end + 1;
        unsigned result = line->vn_GetLength() * 2 + 2;
        if (strip) line->vv_Strip(strip);
        return result;
    }
}

void CT_File::v_WriteLineC(CT_String const* line, int newline) {
    if (line && line->vn_GetLength()) {
        CT_CString narrow(line, 0);
        vn_Write(narrow.qccz_Get(), narrow.n_GetLength());
        if (b_Failed(__LINE__)) return;
    }
    if (newline) {
        static unsigned char const ac_NewLine[] = {0x0D, 0x0A};
        vn_Write(ac_NewLine, sizeof ac_NewLine);
        b_Failed(__LINE__);
    }
}

void CT_File::v_WriteLineU(CT_String const* line, int newline) {
    if (line && line->vn_GetLength()) {
        CT_UString wide(line);
        // The units are written as they lie in memory: little-endian on
        // every platform the library builds for.
        vn_Write(wide.qcuz_Get(), wide.n_GetLength() * 2);
        if (b_Failed(__LINE__)) return;
    }
    if (newline) {
        static unsigned char const ac_NewLine[] = {0x0D, 0x00, 0x0A, 0x00};
        vn_Write(ac_NewLine, sizeof ac_NewLine);
        b_Failed(__LINE__);
    }
}
