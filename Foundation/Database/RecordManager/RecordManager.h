// CT_RecordManager: variable-length records and keyed resources in one
// block-structured file.
//
// The file starts with a 256-byte header (geometry, counts, three change
// counters), then the free-list table (128 slots of {offset, size}), the
// resource table (R slots of {key, offset}) and the data area of blocks of
// B bytes. A record is a fixed part of align(H + 8) bytes (marker, body
// offset, the caller's first H bytes) and an optional body block for the
// rest; its number is the fixed part's offset divided by B. Freed blocks go
// to the free list (reused first-fit) and, once that is full, to a chain of
// blocks behind its last slot. All numbers in the file are 32-bit
// little-endian.
//
// The header image, the free list and the resource index live in memory
// while the file is open; v_Flush and v_Close write back what their change
// counters show has changed. Every access goes through the CT_WinFile,
// mapped or not; every failure goes to the error manager, with a database
// error code from CT_DatabaseError where the record manager detects it.
//
// One object is used by one thread at a time. Between processes the share
// modes of the open decide: one writer alone, or any number of readers.
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/Container/VoidSortedArray.h"
#include "Foundation/Basis/File/WinFile.h"
#include "Foundation/Platform/Export.h"

class CT_TestOut;

class BASIS_API CT_RecordManager {
public:
    enum et_OpenMode { e_ModeNone = 0, e_ModeRead = 1, e_ModeReadWrite = 2 };

    struct st_Resource {
        unsigned n_Key;
        unsigned n_Offset;
    };

    enum : unsigned {
        e_HeaderSize = 256,
        e_Magic = 0xA1B2C3D4,
        e_Version = 1,
        e_FreeListCapacity = 128,
        e_LiveRecord = 0xFFFFFFFF,
        e_UnfinishedRecord = 0xFFFFFFFE,
    };

    explicit CT_RecordManager(CT_WinFile const* pcoFile);
    CT_RecordManager(CT_RecordManager const& other);
    ~CT_RecordManager();
    CT_RecordManager& operator=(CT_RecordManager const& other);

    void v_Create(unsigned nRecordHeaderSize, unsigned nBlockSize, unsigned nResourceMaxCount);
    void v_Open(et_OpenMode eMode, int bMap);
    void v_Close(int bClear);
    void v_Flush();

    unsigned n_AddRecord(CT_Buffer const* pcoData);
    void v_GetRecord(unsigned nRecord, CT_Buffer* pcoData) const;
    void v_UpdateRecord(unsigned nRecord, CT_Buffer const* pcoData);
    void v_UpdateRecordHeader(unsigned nRecord, CT_Buffer const* pcoData);
    void v_DeleteRecord(unsigned nRecord);
    // Scans for the next live record from block nFrom (0: the data area's
    // start) and returns its number plus 1, or 0 at the end. A null buffer
    // only finds; otherwise the record is read into it.
    unsigned n_GetNextRecord(unsigned nFrom, CT_Buffer* pcoData) const;
    // The same scan block by block, trusting no size word.
    unsigned n_GetNextRecordRobust(unsigned nFrom, CT_Buffer* pcoData) const;
    // Whether the readable records differ in number from the stored count.
    int b_IsCorrupt() const;

    void v_AddResource(unsigned nKey, CT_Buffer const* pcoData);
    void v_UpdateResource(unsigned nKey, CT_Buffer const* pcoData);
    void v_GetResource(unsigned nKey, CT_Buffer* pcoData);
    void v_DeleteResource(unsigned nKey);
    int b_ResourceExists(unsigned nKey) const;
    // The key of the nIndex-th resource in ascending order (from 1), or
    // 0xFFFFFFFF outside 1..count.
    unsigned n_GetResourceKeyAt(unsigned nIndex) const;

    unsigned n_GetBlockSize() const;
    unsigned n_GetRecordHeaderSize() const;
    unsigned n_GetResourceMaxCount() const;
    unsigned n_GetResourceCount() const;
    unsigned n_GetRecordCount() const;
    // The end offset: the first byte after the last allocated block.
    unsigned n_GetSize() const;
    CT_WinFile const* pcco_GetFile() const { return &co_File; }
    et_OpenMode e_GetOpenMode() const { return e_OpenMode; }

    // Diagnostic hooks; they write nothing.
    void v_Print(char const* pcTitle, CT_TestOut* pcoOut) const;
    void v_PrintHeader(char const* pcTitle, CT_TestOut* pcoOut) const;
    void v_PrintLists(char const* pcTitle, CT_TestOut* pcoOut) const;
    void v_ConsistencyReport(char const* pcTitle, CT_TestOut* pcoOut) const;

    // Orders resource entries by key as unsigned 32-bit numbers.
    static int si_Compare(void const* pvFirst, void const* pvSecond);

protected:
    unsigned n_AlignBlockSize(unsigned n) const;
    unsigned n_Read(unsigned nOffset) const;
    void v_Read(void* pvData, unsigned nOffset, unsigned nLength) const;
    void v_Read(CT_Buffer* pcoData, unsigned nOffset, unsigned nLength) const;
    void v_ReadAppend(CT_Buffer* pcoData, unsigned nOffset, unsigned nLength) const;
    void v_Write(unsigned nOffset, unsigned nValue);
    void v_Write(unsigned nOffset, void const* pvData, unsigned nLength);
    void v_WriteHeader();
    unsigned n_GetFreeBlock(unsigned nSize);
    void v_PutFreeBlock(int bUnused, unsigned nOffset, unsigned nSize);
    void v_CheckReference(unsigned nOffset) const;
    void v_GetBody(unsigned nOffset, unsigned* pnBody, unsigned* pnBodySize) const;
    unsigned n_FindResource(st_Resource* psoResource) const;
    // The size word of a resource's block, refused (0, with the error set)
    // when it reaches past the file's end.
    unsigned n_ReadResourceSize(unsigned nOffset) const;
    void v_SetError(unsigned nCode) const;
    void v_Init();
    void v_Exit();

private:
    unsigned n_Field(unsigned field) const;
    void v_SetField(unsigned field, unsigned value);
    void v_RaiseField(unsigned field) { v_SetField(field, n_Field(field) + 1); }
    // B, never 0 (a manager that was never opened divides by 1).
    unsigned n_Block() const;
    // The offset of the first block of the data area.
    unsigned n_DataStart() const;
    // Whether a geometry leaves every piece and table inside 32-bit
    // offsets, with room for a free block's two words in a block.
    static int b_IsWorkableGeometry(unsigned block, unsigned headerSize, unsigned capacity, unsigned resourceMax);
    // Before a change: 1 when the open file's geometry is workable, else
    // 0 with 31050 set.
    int b_CheckWritable() const;
    // 1 with the file's sharing error set when the file is open already.
    int b_RefuseSecondOpen() const;
    // 1 when the piece of size bytes at offset may be freed or written:
    // inside the data area; else 0 with 31005 set.
    int b_CheckWritablePiece(unsigned nOffset, unsigned nSize) const;
    int b_CheckRange(unsigned nOffset, unsigned nLength) const;
    unsigned n_CheckRecord(unsigned nRecord) const;
    void v_CheckBody(unsigned nBody, unsigned* pnBody, unsigned* pnBodySize) const;
    // Whether size bytes from offset lie in the data area, from a block
    // border, before the end offset.
    int b_IsInDataArea(unsigned nOffset, unsigned nSize) const;
    void v_LoadResources();
    void v_Unmap(unsigned finalLength);
    // The scan shared by n_GetNextRecord, n_GetNextRecordRobust and
    // b_IsCorrupt: returns the next live record's offset, or 0. With a
    // count, it does not stop at records but counts those it reads and
    // walks on to the end.
    unsigned n_Scan(unsigned nFrom, CT_Buffer* pcoData, int bRobust, unsigned* pnCount = nullptr) const;
    // The read straight out of the view; 0 when the record is not wholly
    // and plainly there, and the checked way must read and report.
    int b_CopyMappedRecord(unsigned nFixed, CT_Buffer* pcoData) const;
    unsigned char* puc_Staging(unsigned nTotal, unsigned char* pucSmall, unsigned nSmallSize);
    void v_WriteBlock(unsigned nOffset, unsigned nLengthWord, void const* pvData, unsigned nLength);

    // The file object is used for reading in const operations too: reads
    // move its offset, which is not part of the record manager's state.
    mutable CT_WinFile co_File;
    unsigned char auc_Header[e_HeaderSize];
    et_OpenMode e_OpenMode;
    CT_VoidArray co_FreeList;
    CT_VoidSortedArray co_Resources;
    mutable CT_Buffer co_Scratch;
    unsigned n_CachedModification;
    unsigned n_CachedResourceTable;
    unsigned n_CachedFreeList;
    // The bytes the last mapped read spanned from its fixed part: how far
    // the next one asks for memory ahead (a hint, never trusted for a
    // result).
    mutable unsigned n_ReadSpan;
};
