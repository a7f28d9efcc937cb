#include "Foundation/Basis/Output/Output.h"

#include <cstring>
#include <initializer_list>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/File/WinFile.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Platform/GlobalMemory.h"

namespace {

char const* const qcz_Location = "Foundation/Basis/Output/Output";
unsigned const n_CopyChunk = 0x10000;

bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

// A count of ~0 means the whole zero-terminated text.
unsigned n_NarrowLength(char const* text, unsigned n) { return n == 0xFFFFFFFFu ? StringText::sn_Length(text) : n; }

unsigned n_WideLength(unsigned short const* text, unsigned n) { return n == 0xFFFFFFFFu ? StringText::sn_Length(text) : n; }

CT_Buffer* pco_NewBuffer() {
    CT_Buffer* buffer = new CT_Buffer;
    buffer->v_SetGrowth(32);
    return buffer;
}

}  // namespace

CT_Output::~CT_Output() {}

// ---- memory ---------------------------------------------------------------

CT_MemoryOutput::CT_MemoryOutput() : pco_Buffer(pco_NewBuffer()) {}

CT_MemoryOutput::CT_MemoryOutput(CT_Buffer const* initial) : pco_Buffer(pco_NewBuffer()) {
    if (initial) pco_Buffer->v_Set(initial);
}

// A copy gets a buffer object of its own that shares the data until the
// first write: two outputs never own one buffer object.
CT_MemoryOutput::CT_MemoryOutput(CT_MemoryOutput const& other) : CT_Output(other), pco_Buffer(pco_NewBuffer()) {
    if (other.pco_Buffer) pco_Buffer->v_Set(other.pco_Buffer);
}

CT_MemoryOutput& CT_MemoryOutput::operator=(CT_MemoryOutput const& other) {
    if (this != &other) v_Set(other.pco_Buffer);
    return *this;
}

CT_MemoryOutput::~CT_MemoryOutput() { delete pco_Buffer; }

void CT_MemoryOutput::v_Set() {
    delete pco_Buffer;
    pco_Buffer = pco_NewBuffer();
}

void CT_MemoryOutput::v_Set(CT_Buffer const* initial) {
    CT_Buffer* buffer = pco_NewBuffer();
    if (initial) buffer->v_Set(initial);
    delete pco_Buffer;
    pco_Buffer = buffer;
}

CT_Buffer* CT_MemoryOutput::pco_GiveMemory() {
    CT_Buffer* buffer = pco_Buffer;
    pco_Buffer = nullptr;
    return buffer;
}

void CT_MemoryOutput::vv_Append(unsigned char c, unsigned count) {
    pco_Buffer->v_Insert(c, count, pco_Buffer->n_GetUsedSize());
    b_Failed(__LINE__);
}

void CT_MemoryOutput::vv_Append(void const* data, unsigned n) {
    pco_Buffer->v_Append(data, n);
    b_Failed(__LINE__);
}

void CT_MemoryOutput::vv_Append(CT_MemoryOutput const& other) {
    if (other.pco_Buffer == nullptr || other.pco_Buffer->n_GetUsedSize() == 0) return;
    CT_Buffer source(other.pco_Buffer);  // the other may be this output
    pco_Buffer->v_Append(source.qcv_Get(), source.n_GetUsedSize());
    b_Failed(__LINE__);
}

void CT_MemoryOutput::vv_Append(CT_FileOutput& other) {
    CT_File* file = other.pco_GetFile();
    if (file->b_IsOpen()) file->vv_Close();
    if (b_Failed(__LINE__)) return;
    file->vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) return;
    CT_Buffer temporary(n_CopyChunk, CT_Buffer().n_GetGrowth());
    if (b_Failed(__LINE__)) return;
    for (;;) {
        unsigned count = file->n_Read(&temporary, n_CopyChunk);
        if (count == 0) {
            file->vv_Close();
            b_Failed(__LINE__);
            return;
        }
        vv_Append(temporary.qcv_Get(), count);
        if (b_Failed(__LINE__)) return;
    }
}

void CT_MemoryOutput::vv_AppendC(char const* text, unsigned n, unsigned) { vv_Append(text, n_NarrowLength(text, n)); }

void CT_MemoryOutput::vv_AppendU(unsigned short const* text, unsigned n) { vv_Append(text, n_WideLength(text, n) * 2); }

void CT_MemoryOutput::vv_Replace(void const* data, unsigned n, unsigned offset) {
    pco_Buffer->v_Replace(data, n, offset);
    b_Failed(__LINE__);
}

unsigned CT_MemoryOutput::vn_GetSize() const { return pco_Buffer ? pco_Buffer->n_GetUsedSize() : 0; }

// ---- file -----------------------------------------------------------------

void CT_FileOutput::v_Open() {
    pco_File->vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    b_Failed(__LINE__);
}

CT_FileOutput::CT_FileOutput(CT_String const* fileName) : b_OwnsFile(0), b_CloseAtEnd(0), pco_File(nullptr) {
    v_Set(fileName);
}

CT_FileOutput::CT_FileOutput(CT_File* file) : b_OwnsFile(0), b_CloseAtEnd(0), pco_File(nullptr) { v_Set(file); }

// Copies write to the same file but never own it: the original output
// closes and deletes it, so it is never deleted twice.
CT_FileOutput::CT_FileOutput(CT_FileOutput const& other)
    : CT_Output(other), b_OwnsFile(0), b_CloseAtEnd(0), pco_File(other.pco_File) {}

CT_FileOutput& CT_FileOutput::operator=(CT_FileOutput const& other) {
    if (this == &other) return *this;
    v_End();
    pco_File = other.pco_File;
    return *this;
}

CT_FileOutput::~CT_FileOutput() { v_End(); }

void CT_FileOutput::v_End() {
    if (pco_File) {
        if (b_CloseAtEnd && pco_File->b_IsOpen()) pco_File->vv_Close();
        b_Failed(__LINE__);
        if (b_OwnsFile) delete pco_File;
    }
    pco_File = nullptr;
    b_OwnsFile = 0;
    b_CloseAtEnd = 0;
}

void CT_FileOutput::v_Set(CT_String const* fileName) {
    CT_UString name(fileName);
    v_End();
    pco_File = new CT_WinFile(&name, 16384);
    b_OwnsFile = 1;
    b_CloseAtEnd = 1;
    v_Open();
}

void CT_FileOutput::v_Set(CT_File* file) {
    v_End();
    pco_File = file;
    if (!file->b_IsOpen()) {
        b_CloseAtEnd = 1;
        v_Open();
        if (b_Failed(__LINE__)) return;
    }
    file->vv_SetOffset(CT_File::e_End, 0);
    b_Failed(__LINE__);
}

CT_File* CT_FileOutput::pco_GiveFile() {
    CT_File* file = pco_File;
    if (file && file->b_IsOpen()) file->vv_Close();
    b_Failed(__LINE__);
    pco_File = nullptr;
    b_OwnsFile = 0;
    b_CloseAtEnd = 0;
    return file;
}

void CT_FileOutput::vv_Append(void const* data, unsigned n) {
    pco_File->vn_Write(data, n);
    b_Failed(__LINE__);
}

void CT_FileOutput::vv_Append(unsigned char c, unsigned count) {
    CT_Buffer temporary;
    temporary.v_Insert(c, count, 0);
    vv_Append(temporary.qcv_Get(), count);
}

void CT_FileOutput::vv_Append(CT_MemoryOutput const& other) {
    CT_Buffer const* buffer = other.pcco_GetMemory();
    if (buffer == nullptr || buffer->n_GetUsedSize() == 0) return;
    vv_Append(buffer->qcv_Get(), buffer->n_GetUsedSize());
}

void CT_FileOutput::vv_Append(CT_FileOutput& other) {
    if (pco_File->b_IsOpen()) pco_File->vv_Close();
    if (b_Failed(__LINE__)) return;
    if (other.pco_File->b_IsOpen()) other.pco_File->vv_Close();
    if (b_Failed(__LINE__)) return;
    pco_File->v_Append(other.pco_File, n_CopyChunk);
    if (b_Failed(__LINE__)) return;
    for (CT_File* file : {pco_File, other.pco_File}) {
        file->vv_Open(CT_File::e_Write, CT_File::e_OpenExisting, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
        if (b_Failed(__LINE__)) return;
        file->vv_SetOffset(CT_File::e_End, 0);
        if (b_Failed(__LINE__)) return;
    }
}

void CT_FileOutput::vv_AppendC(char const* text, unsigned n, unsigned) { vv_Append(text, n_NarrowLength(text, n)); }

void CT_FileOutput::vv_AppendU(unsigned short const* text, unsigned n) { vv_Append(text, n_WideLength(text, n) * 2); }

void CT_FileOutput::vv_Replace(void const* data, unsigned n, unsigned offset) {
    pco_File->vv_SetOffset(CT_File::e_Begin, static_cast<int>(offset));
    if (b_Failed(__LINE__)) return;
    vv_Append(data, n);
    if (b_Failed(__LINE__)) return;
    pco_File->vv_SetOffset(CT_File::e_End, 0);
    b_Failed(__LINE__);
}

unsigned CT_FileOutput::vn_GetSize() const {
    unsigned size = pco_File->vn_GetSize();
    if (b_Failed(__LINE__)) return 0;
    return size;
}

// ---- string -----------------------------------------------------------------

CT_StringOutput::CT_StringOutput(CT_String& target) { v_Set(target); }

void CT_StringOutput::v_Set(CT_String& target) {
    pco_Target = &target;
    pco_WideTarget = target.vpv_IsA(CT_UString::spcco_GetType()) ? static_cast<CT_UString*>(&target) : nullptr;
}

void CT_StringOutput::vv_Append(void const* data, unsigned n) {
    pco_Target->v_Append(static_cast<char const*>(data), n);
    b_Failed(__LINE__);
}

void CT_StringOutput::vv_Append(unsigned char c, unsigned count) {
    pco_Target->vv_Replace(static_cast<char>(c), count, pco_Target->vn_GetLength());
    b_Failed(__LINE__);
}

void CT_StringOutput::vv_AppendC(char const* text, unsigned n, unsigned codePage) {
    if (pco_WideTarget) pco_WideTarget->v_Append(text, n, codePage);
    else pco_Target->v_Append(text, n);
    b_Failed(__LINE__);
}

void CT_StringOutput::vv_AppendU(unsigned short const* text, unsigned n) {
    pco_Target->v_Append(text, n);
    b_Failed(__LINE__);
}

void CT_StringOutput::vv_Append(CT_FileOutput&) {}
void CT_StringOutput::vv_Append(CT_MemoryOutput const&) {}
void CT_StringOutput::vv_Replace(void const*, unsigned, unsigned) {}

unsigned CT_StringOutput::vn_GetSize() const { return pco_Target->vn_GetLength(); }

// ---- huge -------------------------------------------------------------------

CT_HugeOutput::CT_HugeOutput(void* block, unsigned usedSize, unsigned growth)
    : n_Growth(growth), n_Used(0), n_Capacity(0), h_Block(block), pv_Data(nullptr) {
    if (block) {
        n_Used = usedSize;
        n_Capacity = Platform::n_GlobalSize(block);
        pv_Data = Platform::pv_GlobalLock(block);
    }
}

// A copy shares the block and holds a lock of its own on it; the block is
// freed when the last lock goes.
CT_HugeOutput::CT_HugeOutput(CT_HugeOutput const& other)
    : CT_Output(other),
      n_Growth(other.n_Growth),
      n_Used(other.n_Used),
      n_Capacity(other.n_Capacity),
      h_Block(other.h_Block),
      pv_Data(other.h_Block ? Platform::pv_GlobalLock(other.h_Block) : nullptr) {}

CT_HugeOutput& CT_HugeOutput::operator=(CT_HugeOutput const& other) {
    if (this == &other) return *this;
    void* data = other.h_Block ? Platform::pv_GlobalLock(other.h_Block) : nullptr;
    v_Release();
    n_Growth = other.n_Growth;
    n_Used = other.n_Used;
    n_Capacity = other.n_Capacity;
    h_Block = other.h_Block;
    pv_Data = data;
    return *this;
}

CT_HugeOutput::~CT_HugeOutput() { v_Release(); }

void CT_HugeOutput::v_Release() {
    if (h_Block && Platform::n_GlobalUnlock(h_Block) == 0) Platform::v_GlobalFree(h_Block);
    h_Block = nullptr;
    pv_Data = nullptr;
}

void* CT_HugeOutput::h_GiveBuffer() {
    void* block = h_Block;
    if (block) Platform::n_GlobalUnlock(block);
    h_Block = nullptr;
    pv_Data = nullptr;
    n_Used = n_Capacity = 0;
    return block;
}

int CT_HugeOutput::b_MakeRoom(unsigned n) {
    if (static_cast<unsigned long long>(n_Used) + n <= n_Capacity) return 1;
    unsigned growth = n_Growth ? n_Growth : 1;  // a growth of 0 would never make room
    unsigned long long capacity = (static_cast<unsigned long long>(n / growth) + 1) * growth + n_Capacity;
    void* block = capacity <= 0xFFFFFFFFull ? Platform::h_GlobalAlloc(static_cast<unsigned>(capacity)) : nullptr;
    if (block == nullptr) {
        CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
        if (!errors->b_IsSetError())
            errors->v_SetError(CT_ErrorManager::e_OutOfMemory, nullptr, CT_ErrorManager::e_OutOfMemory);
        errors->v_AddLocation(qcz_Location, __LINE__);
        return 0;
    }
    void* data = Platform::pv_GlobalLock(block);
    if (n_Used) std::memcpy(data, pv_Data, n_Used);
    v_Release();
    h_Block = block;
    pv_Data = data;
    n_Capacity = static_cast<unsigned>(capacity);
    return 1;
}

void CT_HugeOutput::vv_Append(void const* data, unsigned n) {
    if (!b_MakeRoom(n)) return;
    std::memcpy(static_cast<unsigned char*>(pv_Data) + n_Used, data, n);
    n_Used += n;
}

void CT_HugeOutput::vv_AppendC(char const* text, unsigned n, unsigned) { vv_Append(text, n_NarrowLength(text, n)); }

void CT_HugeOutput::vv_AppendU(unsigned short const* text, unsigned n) { vv_Append(text, n_WideLength(text, n) * 2); }

void CT_HugeOutput::vv_Append(unsigned char, unsigned) {}
void CT_HugeOutput::vv_Append(CT_FileOutput&) {}
void CT_HugeOutput::vv_Append(CT_MemoryOutput const&) {}

// Overwriting is not offered by this output: the call does nothing.
void CT_HugeOutput::vv_Replace(void const*, unsigned, unsigned) {}
