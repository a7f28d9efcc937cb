#include "Foundation/Basis/Input/Input.h"

#include <cstring>

#include "Foundation/Basis/Character/CharProperties.h"
#include "Foundation/Basis/Error/ErrorManager.h"

namespace {

char const* const qcz_Location = "Foundation/Basis/Input/Input";
unsigned const n_FileBufferSize = 16384;

bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

}  // namespace

CT_Input::~CT_Input() {}

// ---- memory ---------------------------------------------------------------

CT_MemoryInput::CT_MemoryInput(unsigned chunkSize, unsigned char const* data, unsigned length) : CT_Input(chunkSize) {
    v_Set(chunkSize, data, length);
}

void CT_MemoryInput::v_Set(unsigned chunkSize, unsigned char const* data, unsigned length) {
    n_ChunkSize = chunkSize;
    pcuc_Start = pcuc_Current = data;
    pcuc_End = data + length;
}

// Asks of the block from its start, wherever reading stands.
int CT_MemoryInput::vb_IsUnicode() {
    unsigned size = vn_GetSize();
    if (size < 2 || (size & 1) != 0) return 0;
    if (pcuc_Start[0] == 0xFF && pcuc_Start[1] == 0xFE) return 1;
    return CT_CharProperties::sb_IsTextUnicode(pcuc_Start, size < 100 ? size : 100, 0) ? 1 : 0;
}

int CT_MemoryInput::vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) {
    if (pcuc_Current >= pcuc_End) return 0;
    unsigned left = static_cast<unsigned>(pcuc_End - pcuc_Current);
    *length = n < left ? n : left;
    *data = pcuc_Current;
    pcuc_Current += *length;
    return 1;
}

int CT_MemoryInput::vb_GetNextBuffer(unsigned char const** data, unsigned* length) {
    return vb_GetNextBuffer(n_ChunkSize, data, length);
}

// Bounded by the block as the mapped stream is: a request beyond the end
// copies what is left and answers 0, instead of reading past the block.
int CT_MemoryInput::vb_CopyNextBuffer(unsigned char* target, unsigned n) {
    if (pcuc_Current >= pcuc_End) return 0;
    unsigned left = static_cast<unsigned>(pcuc_End - pcuc_Current);
    unsigned count = n < left ? n : left;
    std::memcpy(target, pcuc_Current, count);
    pcuc_Current += count;
    return count == n;
}

int CT_MemoryInput::vb_Skip(unsigned n) {
    // The position may pass the end only here; it is kept as a count so
    // that no pointer beyond the block is formed.
    unsigned left = static_cast<unsigned>(pcuc_End - pcuc_Current);
    if (n >= left) {
        pcuc_Current = pcuc_End;
        return 0;
    }
    pcuc_Current += n;
    return 1;
}

// ---- file -----------------------------------------------------------------

CT_FileInput::CT_FileInput(unsigned chunkSize, CT_String const* fileName)
    : CT_Input(chunkSize), co_File(fileName, n_FileBufferSize), n_Size(0), n_Offset(0) {}

CT_FileInput::~CT_FileInput() {
    vv_Close();
    b_Failed(__LINE__);
}

void CT_FileInput::v_Set(unsigned chunkSize, CT_String const* fileName) {
    vv_Close();
    if (b_Failed(__LINE__)) return;
    n_ChunkSize = chunkSize;
    co_File.vv_Set(fileName, n_FileBufferSize);
    if (b_Failed(__LINE__)) return;
    n_Size = 0;
    n_Offset = 0;
}

void CT_FileInput::vv_Open() {
    co_Buffer.v_SetMinSize(n_ChunkSize, 0);
    if (b_Failed(__LINE__)) return;
    n_Size = co_File.vn_GetSize();
    n_Offset = 0;
    if (b_Failed(__LINE__)) return;
    co_File.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    b_Failed(__LINE__);
}

void CT_FileInput::vv_Close() {
    if (co_File.b_IsOpen()) co_File.vv_Close();
    b_Failed(__LINE__);
}

int CT_FileInput::vb_IsUnicode() {
    int wide = co_File.b_IsUnicode();
    if (b_Failed(__LINE__)) return 0;
    return wide;
}

// A read that delivered nothing: the file shrank or the read failed.
int CT_FileInput::b_EndOfRead(unsigned line) {
    b_Failed(line);
    vv_Close();
    return 0;
}

int CT_FileInput::vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) {
    if (n_Offset >= n_Size) return 0;
    unsigned count = co_File.n_Read(&co_Buffer, n);
    if (count == 0) return b_EndOfRead(__LINE__);
    *data = static_cast<unsigned char const*>(co_Buffer.qcv_Get());
    *length = count;
    n_Offset += count;
    return 1;
}

int CT_FileInput::vb_GetNextBuffer(unsigned char const** data, unsigned* length) {
    return vb_GetNextBuffer(n_ChunkSize, data, length);
}

int CT_FileInput::vb_CopyNextBuffer(unsigned char* target, unsigned n) {
    if (n_Offset >= n_Size) return 0;
    unsigned count = co_File.vn_Read(target, n);
    if (count == 0) return b_EndOfRead(__LINE__);
    n_Offset += count;
    return count == n;
}

int CT_FileInput::vb_Skip(unsigned n) {
    if (n_Offset >= n_Size) return 0;
    n_Offset = n >= n_Size - n_Offset ? n_Size : n_Offset + n;
    co_File.vv_SetOffset(CT_File::e_Begin, static_cast<int>(n_Offset));
    if (b_Failed(__LINE__)) return 0;
    return 1;
}

// ---- mapped file ----------------------------------------------------------

CT_MappedFileInput::CT_MappedFileInput(unsigned chunkSize, CT_String const* fileName)
    : CT_Input(chunkSize),
      co_File(fileName, n_FileBufferSize),
      pcuc_Start(nullptr),
      pcuc_End(nullptr),
      pcuc_Current(nullptr) {}

CT_MappedFileInput::~CT_MappedFileInput() {
    vv_Close();
    b_Failed(__LINE__);
}

void CT_MappedFileInput::v_Set(unsigned chunkSize, CT_String const* fileName) {
    vv_Close();
    if (b_Failed(__LINE__)) return;
    n_ChunkSize = chunkSize;
    co_File.vv_Set(fileName, n_FileBufferSize);
    if (b_Failed(__LINE__)) return;
    pcuc_Start = pcuc_End = pcuc_Current = nullptr;
}

void CT_MappedFileInput::vv_Open() {
    unsigned size = co_File.vn_GetSize();
    if (b_Failed(__LINE__)) return;
    co_File.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) return;
    // An empty file has nothing to map (the system refuses an empty
    // mapping): the stream is simply empty.
    if (size == 0) {
        pcuc_Start = pcuc_End = pcuc_Current = nullptr;
        return;
    }
    co_File.v_CreateMap(size);
    if (b_Failed(__LINE__)) return;
    pcuc_Start = static_cast<unsigned char const*>(co_File.pv_GetMapping());
    pcuc_End = pcuc_Start + size;
    pcuc_Current = pcuc_Start;
}

void CT_MappedFileInput::vv_Close() {
    if (co_File.b_IsOpen()) co_File.vv_Close();
    pcuc_Start = pcuc_End = pcuc_Current = nullptr;
    b_Failed(__LINE__);
}

int CT_MappedFileInput::vb_IsUnicode() {
    int wide = co_File.b_IsUnicode();
    if (b_Failed(__LINE__)) return 0;
    return wide;
}

int CT_MappedFileInput::vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) {
    if (pcuc_Current >= pcuc_End) return 0;
    unsigned left = static_cast<unsigned>(pcuc_End - pcuc_Current);
    *length = n < left ? n : left;
    *data = pcuc_Current;
    pcuc_Current += *length;
    return 1;
}

int CT_MappedFileInput::vb_GetNextBuffer(unsigned char const** data, unsigned* length) {
    return vb_GetNextBuffer(n_ChunkSize, data, length);
}

int CT_MappedFileInput::vb_CopyNextBuffer(unsigned char* target, unsigned n) {
    if (pcuc_Current >= pcuc_End) return 0;
    unsigned left = static_cast<unsigned>(pcuc_End - pcuc_Current);
    unsigned count = n < left ? n : left;
    std::memcpy(target, pcuc_Current, count);
    pcuc_Current += count;
    return count == n;
}

int CT_MappedFileInput::vb_Skip(unsigned n) {
    if (pcuc_Current >= pcuc_End) return 0;
    unsigned left = static_cast<unsigned>(pcuc_End - pcuc_Current);
    pcuc_Current += n < left ? n : left;
    return 1;
}
