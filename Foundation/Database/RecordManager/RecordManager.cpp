#include "Foundation/Database/RecordManager/RecordManager.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Database/RecordManager/RecordManagerLayout.h"
#include "Foundation/Platform/File.h"
#include "Foundation/Platform/FileSharing.h"

using namespace RecordLayout;

namespace {

unsigned const n_CreateAttributes = 1;  // normal
unsigned const n_CreateFlags = 8;       // random access
unsigned const n_MapMinimum = 0xFFFFF;

// What the file is lengthened with ahead of a growing view.
unsigned char const auc_Zeros[256 * 1024] = {};

// Before a write carries a writable view past its end, the file is
// lengthened with zeros, by positioned writes, to the size the view will
// grow to. The view then grows over pages the file already has, where
// growing over new ones would fault each of them in and reserve its
// blocks one page at a time, which costs several times more. The bytes
// are those the growth would give (zeros up to the view's end, cut back
// to the end offset at closing). A failure leaves the growth to the file
// object, which reports its own.
void v_LengthenAhead(CT_WinFile const& file, unsigned long long until) {
    unsigned long long grown = (until + CT_WinFile::e_MapGrowth - 1) / CT_WinFile::e_MapGrowth * CT_WinFile::e_MapGrowth;
    if (grown > 0xFFFFFFFFull) return;
    void* handle = file.h_GetHandle();
    unsigned size = Platform::n_GetFileSize(handle);
    if (size == 0xFFFFFFFFu) return;
    for (unsigned long long at = size; at < grown;) {
        unsigned long long chunk = grown - at < sizeof auc_Zeros ? grown - at : sizeof auc_Zeros;
        unsigned count = 0;
        if (!Platform::b_WriteFileAt(handle, static_cast<unsigned>(at), auc_Zeros, static_cast<unsigned>(chunk), &count) ||
            count == 0)
            return;
        at += count;
    }
}

}  // namespace

// ---- construction -----------------------------------------------------------

CT_RecordManager::CT_RecordManager(CT_WinFile const* pcoFile)
    : co_File(pcoFile),
      co_FreeList(e_EntrySize, 8, 0),
      co_Resources(e_EntrySize, &CT_RecordManager::si_Compare, 8, 0),
      co_Scratch(0, 32) {
    v_Init();
}

// A copy names the same file but owns no handle: it starts closed, with
// its own copies of the header image, the tables and the cached counters,
// so that opening it on an unchanged file need not read the tables again.
CT_RecordManager::CT_RecordManager(CT_RecordManager const& other)
    : co_File(&other.co_File),
      co_FreeList(e_EntrySize, 8, 0),
      co_Resources(e_EntrySize, &CT_RecordManager::si_Compare, 8, 0),
      co_Scratch(0, 32) {
    v_Init();
    *this = other;
}

CT_RecordManager::~CT_RecordManager() { v_Exit(); }

// The target is closed first, writing back what it had changed, so that
// nothing it held is lost; then it takes the other's file settings, header
// image, tables and cached counters, and stays closed.
CT_RecordManager& CT_RecordManager::operator=(CT_RecordManager const& other) {
    if (this == &other) return *this;
    v_Close(0);
    co_File = other.co_File;
    std::memcpy(auc_Header, other.auc_Header, sizeof auc_Header);
    // The arrays share storage on assignment and copy it before a change.
    co_FreeList = other.co_FreeList;
    co_Resources = other.co_Resources;
    co_Scratch.v_SetSize(0, 0);
    n_CachedModification = other.n_CachedModification;
    n_CachedResourceTable = other.n_CachedResourceTable;
    n_CachedFreeList = other.n_CachedFreeList;
    n_ReadSpan = 0;
    e_OpenMode = e_ModeNone;
    return *this;
}

void CT_RecordManager::v_Init() {
    std::memset(auc_Header, 0, sizeof auc_Header);
    e_OpenMode = e_ModeNone;
    n_CachedModification = 0;
    n_CachedResourceTable = 0;
    n_CachedFreeList = 0;
    n_ReadSpan = 0;
}

void CT_RecordManager::v_Exit() {
    // The destructor writes nothing back; an open handle is released by
    // the file object's own destructor.
    co_FreeList.v_Set(8, 0, 0);
    co_Resources.v_Set(8, 0, 0);
    co_Scratch.v_SetSize(0, 0);
}

// ---- header image -------------------------------------------------------------

unsigned CT_RecordManager::n_Field(unsigned field) const { return n_LoadWord(auc_Header + field); }

void CT_RecordManager::v_SetField(unsigned field, unsigned value) { v_StoreWord(auc_Header + field, value); }

unsigned CT_RecordManager::n_Block() const {
    unsigned block = n_Field(e_BlockSizeField);
    return block ? block : 1;
}

unsigned CT_RecordManager::n_AlignBlockSize(unsigned n) const {
    unsigned block = n_Block();
    // Freeing a piece whose size word reads 0 frees one block: a size of
    // 0 would be taken for the overflow chain's head.
    if (n == 0) return block;
    return ((n - 1) / block + 1) * block;
}

unsigned CT_RecordManager::n_DataStart() const {
    unsigned long long tables = 256ull + 8ull * (static_cast<unsigned long long>(n_Field(e_FreeListCapacityField)) +
                                                 n_Field(e_ResourceMaxCountField));
    unsigned long long block = n_Block();
    unsigned long long start = ((tables - 1) / block + 1) * block;
    return start > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(start);
}

unsigned CT_RecordManager::n_GetBlockSize() const { return n_Field(e_BlockSizeField); }
unsigned CT_RecordManager::n_GetRecordHeaderSize() const { return n_Field(e_RecordHeaderSizeField); }
unsigned CT_RecordManager::n_GetResourceMaxCount() const { return n_Field(e_ResourceMaxCountField); }
unsigned CT_RecordManager::n_GetResourceCount() const { return n_Field(e_ResourceCountField); }
unsigned CT_RecordManager::n_GetRecordCount() const { return n_Field(e_RecordCountField); }
unsigned CT_RecordManager::n_GetSize() const { return n_Field(e_EndOffsetField); }

int CT_RecordManager::si_Compare(void const* pvFirst, void const* pvSecond) {
    unsigned first = *static_cast<unsigned const*>(pvFirst);
    unsigned second = *static_cast<unsigned const*>(pvSecond);
    return first > second ? 1 : first < second ? -1 : 0;
}

// ---- errors ---------------------------------------------------------------------

void CT_RecordManager::v_SetError(unsigned nCode) const {
    static unsigned short const au_Empty[] = {0};
    static unsigned short const au_Text[] = {'%', 's', 0};
    unsigned short au_Message[256];
    // The full name, as the file was named: the message must say which file.
    unsigned short const* name = co_File.pcco_GetFullName()->qcuz_Get();
    CT_DatabaseError::sv_FormatError(au_Message, 255, nCode, name ? name : au_Empty);
    au_Message[255] = 0;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    errors->v_SetError(nCode, au_Text, au_Message);
    errors->v_AddLocation(qcz_Location, __LINE__);
}

// ---- reads and writes -------------------------------------------------------------

// Reads other than the header's must lie inside the end offset; a length
// from a damaged file is refused here, before any buffer grows to it.
int CT_RecordManager::b_CheckRange(unsigned nOffset, unsigned nLength) const {
    if (nOffset == 0) return 1;
    unsigned end = n_Field(e_EndOffsetField);
    if (static_cast<unsigned long long>(nOffset) + nLength > end) {
        v_SetError(CT_DatabaseError::e_CorruptData);
        return 0;
    }
    return 1;
}

void CT_RecordManager::v_Read(void* pvData, unsigned nOffset, unsigned nLength) const {
    if (nLength == 0) return;
    if (!b_CheckRange(nOffset, nLength)) return;
    // Inside the file's view the bytes are copied straight out of it, as
    // the file's own mapped read would, without moving its offset.
    if (co_File.b_GetMapping() && static_cast<unsigned long long>(nOffset) + nLength <= co_File.n_GetMapSize()) {
        std::memcpy(pvData, static_cast<unsigned char const*>(co_File.pv_GetMapping()) + nOffset, nLength);
        return;
    }
    co_File.vv_SetOffset(CT_File::e_Begin, static_cast<int>(nOffset));
    if (b_Failed(__LINE__)) return;
    unsigned got = co_File.vn_Read(pvData, nLength);
    if (b_Failed(__LINE__)) return;
    // Blocks inside the end offset that never reached the file (a process
    // that ended before its header was written back, a mapped file that
    // was not truncated yet) read as zeros, never as stale memory.
    if (got < nLength) std::memset(static_cast<unsigned char*>(pvData) + got, 0, nLength - got);
}

unsigned CT_RecordManager::n_Read(unsigned nOffset) const {
    unsigned char word[4];
    v_Read(word, nOffset, 4);
    if (CT_ErrorManager::spco_Get()->b_IsSetError()) return 0;
    return n_LoadWord(word);
}

void CT_RecordManager::v_Read(CT_Buffer* pcoData, unsigned nOffset, unsigned nLength) const {
    if (nLength == 0) {
        pcoData->v_SetUsedSize(0);
        return;
    }
    if (!b_CheckRange(nOffset, nLength)) return;
    pcoData->v_SetMinSize(nLength, 0);
    pcoData->v_SetUsedSize(nLength);
    v_Read(const_cast<void*>(pcoData->qcv_Get()), nOffset, nLength);
    b_Failed(__LINE__);
}

void CT_RecordManager::v_ReadAppend(CT_Buffer* pcoData, unsigned nOffset, unsigned nLength) const {
    if (nLength == 0 || !b_CheckRange(nOffset, nLength)) return;
    unsigned used = pcoData->n_GetUsedSize();
    pcoData->v_SetMinSize(used + nLength, 1);
    pcoData->v_SetUsedSize(used + nLength);
    v_Read(static_cast<unsigned char*>(const_cast<void*>(pcoData->qcv_Get())) + used, nOffset, nLength);
    b_Failed(__LINE__);
}

void CT_RecordManager::v_Write(unsigned nOffset, unsigned nValue) {
    unsigned char word[4];
    v_StoreWord(word, nValue);
    v_Write(nOffset, word, 4);
}

void CT_RecordManager::v_Write(unsigned nOffset, void const* pvData, unsigned nLength) {
    // A writable file's view takes the bytes directly; a write past the
    // view (the file object grows it) or to a file opened for reading goes
    // through the file, which grows or refuses.
    if (e_OpenMode == e_ModeReadWrite && co_File.b_GetMapping() &&
        static_cast<unsigned long long>(nOffset) + nLength <= co_File.n_GetMapSize()) {
        std::memcpy(static_cast<unsigned char*>(co_File.pv_GetMapping()) + nOffset, pvData, nLength);
        return;
    }
    if (e_OpenMode == e_ModeReadWrite && co_File.b_GetMapping())
        v_LengthenAhead(co_File, static_cast<unsigned long long>(nOffset) + nLength);
    co_File.vv_SetOffset(CT_File::e_Begin, static_cast<int>(nOffset));
    if (b_Failed(__LINE__)) return;
    co_File.vn_Write(pvData, nLength);
    b_Failed(__LINE__);
}

// Where a write of total bytes is put together: the caller's small buffer
// when it fits, else the scratch buffer, sized (and so unshared from a
// table loaded through it) for the purpose.
unsigned char* CT_RecordManager::puc_Staging(unsigned total, unsigned char* small, unsigned smallSize) {
    if (total <= smallSize) return small;
    co_Scratch.v_SetMinSize(total, 0);
    co_Scratch.v_SetUsedSize(total);
    return static_cast<unsigned char*>(const_cast<void*>(co_Scratch.qcv_Get()));
}

// A length word and the data behind it in one write: the two always
// travel together (body blocks, resource blocks).
void CT_RecordManager::v_WriteBlock(unsigned nOffset, unsigned nLengthWord, void const* pvData, unsigned nLength) {
    unsigned char small[512];
    unsigned total = e_LengthWordSize + nLength;
    unsigned char* bytes = puc_Staging(total, small, sizeof small);
    v_StoreWord(bytes, nLengthWord);
    if (nLength) std::memcpy(bytes + e_LengthWordSize, pvData, nLength);
    v_Write(nOffset, bytes, total);
}

// ---- create, open, close -------------------------------------------------------------

void CT_RecordManager::v_Unmap(unsigned finalLength) {
    if (co_File.b_GetMapping()) co_File.v_CloseMap(finalLength);
}

// A manager that holds its file open refuses to open it again, as the
// file itself refuses a second opener while the first one's share mode
// excludes it; the open file stays as it was.
int CT_RecordManager::b_RefuseSecondOpen() const {
    if (!co_File.b_IsOpen()) return 0;
    Platform::v_SetSharingViolation();
    static unsigned short const au_Name[] = {'%', 's', 0};
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    errors->v_SetSystemError(au_Name, co_File.pcco_GetFullName()->qcuz_Get());
    errors->v_AddLocation(qcz_Location, __LINE__);
    return 1;
}

void CT_RecordManager::v_Create(unsigned nRecordHeaderSize, unsigned nBlockSize, unsigned nResourceMaxCount) {
    if (b_RefuseSecondOpen()) return;
    if (co_FreeList.n_GetCount() || co_Resources.n_GetCount()) {
        co_FreeList.v_Set(8, 0, 0);
        co_Resources.v_Set(8, 0, 0);
        co_Scratch.v_SetSize(0, 0);
    }
    // Refused before the file is touched: a block must hold a free block's
    // two words, and the tables and a record's fixed part must leave the
    // data area inside 32-bit offsets. A fixed part may span several
    // blocks (H + 8 > B).
    if (!b_IsWorkableGeometry(nBlockSize, nRecordHeaderSize, e_FreeListCapacity, nResourceMaxCount)) {
        v_SetError(CT_DatabaseError::e_InvalidFormat);
        return;
    }
    co_File.vv_Open(CT_File::e_ReadWrite, CT_File::e_CreateAlways, CT_File::e_ShareNone, n_CreateAttributes,
                    n_CreateFlags);
    if (b_Failed(__LINE__)) return;
    co_File.v_CreateMap(n_MapMinimum);
    if (b_Failed(__LINE__)) {
        co_File.vv_Close();
        return;
    }
    std::memset(auc_Header, 0, sizeof auc_Header);
    std::memcpy(auc_Header + e_Signature, acc_Signature, sizeof acc_Signature);
    v_SetField(e_MagicField, e_Magic);
    v_SetField(e_VersionField, e_Version);
    v_SetField(e_BlockSizeField, nBlockSize);
    v_SetField(e_RecordHeaderSizeField, nRecordHeaderSize);
    v_SetField(e_FreeListCapacityField, e_FreeListCapacity);
    v_SetField(e_ResourceMaxCountField, nResourceMaxCount);
    v_SetField(e_ModificationCounterField, 1);
    v_SetField(e_ResourceTableCounterField, 1);
    v_SetField(e_FreeListCounterField, 1);
    v_SetField(e_EndOffsetField, n_DataStart());
    v_Write(0, auc_Header, e_HeaderSize);
    if (b_Failed(__LINE__)) return;
    n_CachedModification = n_Field(e_ModificationCounterField);
    n_CachedResourceTable = n_Field(e_ResourceTableCounterField);
    n_CachedFreeList = n_Field(e_FreeListCounterField);
    e_OpenMode = e_ModeReadWrite;
}

// Whether block size, header size and table sizes leave every piece and
// table inside 32-bit offsets, with room in a block for a free block's
// two words and at least one free-list slot. Creation refuses other
// geometries; an opened file that has one is read, never changed.
int CT_RecordManager::b_IsWorkableGeometry(unsigned block, unsigned headerSize, unsigned capacity,
                                           unsigned resourceMax) {
    unsigned long long tables = 256ull + 8ull * (static_cast<unsigned long long>(capacity) + resourceMax);
    unsigned long long fixed = static_cast<unsigned long long>(headerSize) + e_FixedPartOverhead;
    return block >= 8 && capacity >= 1 && tables + block <= 0xFFFFFFFFull && fixed + block <= 0xFFFFFFFFull;
}

// Changes need a geometry the algorithms can work with; anything else
// comes from a damaged file, which is then only read.
int CT_RecordManager::b_CheckWritable() const {
    if (b_IsWorkableGeometry(n_Field(e_BlockSizeField), n_Field(e_RecordHeaderSizeField),
                             n_Field(e_FreeListCapacityField), n_Field(e_ResourceMaxCountField)))
        return 1;
    v_SetError(CT_DatabaseError::e_InvalidFormat);
    return 0;
}

int CT_RecordManager::b_IsInDataArea(unsigned nOffset, unsigned nSize) const {
    return nOffset >= n_DataStart() && nOffset % n_Block() == 0 &&
           static_cast<unsigned long long>(nOffset) + nSize <= n_Field(e_EndOffsetField);
}

int CT_RecordManager::b_CheckWritablePiece(unsigned nOffset, unsigned nSize) const {
    if (b_IsInDataArea(nOffset, n_AlignBlockSize(nSize))) return 1;
    v_SetError(CT_DatabaseError::e_CorruptData);
    return 0;
}

void CT_RecordManager::v_LoadResources() {
    // The table is stored in key order; a damaged one is put in order
    // rather than refused, so that its resources stay reachable. Its own
    // sort keeps the load at n log n whatever order the damage left (keys
    // of a valid table are unique, so any sort gives the same order).
    unsigned count = co_Scratch.n_GetUsedSize() / e_EntrySize;
    unsigned char const* bytes = static_cast<unsigned char const*>(co_Scratch.qcv_Get());
    std::vector<st_Resource> entries(count);
    for (unsigned i = 0; i < count; ++i) entries[i] = {n_LoadWord(bytes + i * e_EntrySize), n_LoadWord(bytes + i * e_EntrySize + 4)};
    auto byKey = [](st_Resource const& a, st_Resource const& b) { return a.n_Key < b.n_Key; };
    if (!std::is_sorted(entries.begin(), entries.end(), byKey)) std::stable_sort(entries.begin(), entries.end(), byKey);
    CT_Buffer sorted(entries.data(), count * e_EntrySize, 8 * e_EntrySize);
    co_Resources.CT_VoidArray::v_Set(&sorted);
    co_Resources.v_SetGrowth(8);
}

void CT_RecordManager::v_Open(et_OpenMode eMode, int bMap) {
    if (b_RefuseSecondOpen()) return;
    e_OpenMode = eMode;
    if (eMode == e_ModeReadWrite) {
        co_File.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, n_CreateAttributes,
                        n_CreateFlags);
    } else {
        co_File.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, n_CreateAttributes,
                        n_CreateFlags);
    }
    // A refused open leaves the object as closed as it found the file.
    if (b_Failed(__LINE__)) {
        e_OpenMode = e_ModeNone;
        return;
    }
    if (bMap) {
        co_File.v_CreateMap(n_MapMinimum);
        if (b_Failed(__LINE__)) {
            co_File.vv_Close();
            e_OpenMode = e_ModeNone;
            return;
        }
    }
    auto fail = [this](unsigned line) {
        CT_ErrorManager::spco_Get()->v_AddLocation(qcz_Location, line);
        v_Unmap(0);
        co_File.vv_Close();
        e_OpenMode = e_ModeNone;
    };
    v_Read(auc_Header, 0, e_HeaderSize);
    if (CT_ErrorManager::spco_Get()->b_IsSetError()) return fail(__LINE__);
    n_CachedModification = n_Field(e_ModificationCounterField);
    if (n_Field(e_MagicField) != e_Magic) {
        v_SetError(CT_DatabaseError::e_InvalidFormat);
        return fail(__LINE__);
    }
    // Counts beyond their tables are damage: they are clamped to the
    // tables' capacities, so that no table is read or written back over
    // its neighbour. A file whose tables do not fit in 32-bit offsets
    // loads none, and its counts are taken as 0 to match; it cannot be
    // changed either (b_CheckWritable), so nothing of this is written back.
    unsigned capacity = n_Field(e_FreeListCapacityField);
    unsigned resourceMax = n_Field(e_ResourceMaxCountField);
    unsigned long long tablesEnd = 256ull + 8ull * (static_cast<unsigned long long>(capacity) + resourceMax);
    if (tablesEnd > 0xFFFFFFFFull) capacity = resourceMax = 0;
    if (n_Field(e_FreeListCountField) > capacity) v_SetField(e_FreeListCountField, capacity);
    if (n_Field(e_ResourceCountField) > resourceMax) v_SetField(e_ResourceCountField, resourceMax);
    if (tablesEnd > 0xFFFFFFFFull) {
        co_FreeList.v_Set(8, 0, 0);
        co_Resources.v_Set(8, 0, 0);
        n_CachedFreeList = n_CachedResourceTable = 0;
        return;
    }
    if (eMode == e_ModeReadWrite) {
        unsigned counter = n_Field(e_FreeListCounterField);
        if (counter == 0 || counter != n_CachedFreeList) {
            v_Read(&co_Scratch, 256, n_Field(e_FreeListCountField) * e_EntrySize);
            if (CT_ErrorManager::spco_Get()->b_IsSetError()) return fail(__LINE__);
            co_FreeList.v_Set(&co_Scratch);
            co_FreeList.v_SetGrowth(8);
            n_CachedFreeList = counter;
        }
    }
    unsigned counter = n_Field(e_ResourceTableCounterField);
    if (counter == 0 || counter != n_CachedResourceTable) {
        v_Read(&co_Scratch, 256 + capacity * e_EntrySize, n_Field(e_ResourceCountField) * e_EntrySize);
        if (CT_ErrorManager::spco_Get()->b_IsSetError()) return fail(__LINE__);
        v_LoadResources();
        n_CachedResourceTable = counter;
    }
}

void CT_RecordManager::v_WriteHeader() {
    if (n_Field(e_ModificationCounterField) != n_CachedModification) {
        v_Write(0, auc_Header, e_HeaderSize);
        n_CachedModification = n_Field(e_ModificationCounterField);
    }
    if (e_OpenMode == e_ModeReadWrite && n_Field(e_FreeListCounterField) != n_CachedFreeList) {
        unsigned count = co_FreeList.n_GetCount();
        if (count) v_Write(256, co_FreeList.pcco_GetBuffer()->qcv_Get(), count * e_EntrySize);
        n_CachedFreeList = n_Field(e_FreeListCounterField);
    }
    if (n_Field(e_ResourceTableCounterField) != n_CachedResourceTable) {
        unsigned count = co_Resources.n_GetCount();
        if (count) {
            v_Write(256 + n_Field(e_FreeListCapacityField) * e_EntrySize, co_Resources.pcco_GetBuffer()->qcv_Get(),
                    count * e_EntrySize);
        }
        n_CachedResourceTable = n_Field(e_ResourceTableCounterField);
    }
}

// Closing a manager that is not open does nothing: there is no handle to
// write through. An open in mode 0 holds a handle too, and is closed.
void CT_RecordManager::v_Close(int bClear) {
    if (co_File.b_IsOpen()) {
        v_WriteHeader();
        v_Unmap(n_Field(e_EndOffsetField));
        co_File.vv_Close();
        e_OpenMode = e_ModeNone;
    }
    if (bClear) {
        co_FreeList.v_Set(8, 0, 0);
        co_Scratch.v_SetSize(0, 0);
        co_Resources.v_Set(8, 0, 0);
        n_CachedModification = 0;
        n_CachedResourceTable = 0;
        n_CachedFreeList = 0;
    }
}

void CT_RecordManager::v_Flush() {
    if (!co_File.b_IsOpen()) return;
    v_WriteHeader();
    if (co_File.b_GetMapping()) {
        co_File.v_FlushMap();
    } else {
        co_File.vv_Flush();
    }
}

// ---- diagnostic hooks: they write nothing ---------------------------------------------

void CT_RecordManager::v_Print(char const*, CT_TestOut*) const {}
void CT_RecordManager::v_PrintHeader(char const*, CT_TestOut*) const {}
void CT_RecordManager::v_PrintLists(char const*, CT_TestOut*) const {}
void CT_RecordManager::v_ConsistencyReport(char const*, CT_TestOut*) const {}
