// Records: a fixed part of align(H + 8) bytes (marker, body offset, the
// first H bytes of the data) and an optional body block for the rest; and
// the scans that find them without an index.
#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Database/RecordManager/RecordManagerLayout.h"

using namespace RecordLayout;

namespace {

unsigned char const* pcuc_Bytes(CT_Buffer const* pcoData) {
    return static_cast<unsigned char const*>(pcoData->qcv_Get());
}

}  // namespace

// Record numbers that point below the data area are refused too: the
// tables there may hold any word, 0xFFFFFFFF included.
void CT_RecordManager::v_CheckReference(unsigned nOffset) const {
    unsigned end = n_Field(e_EndOffsetField);
    if (nOffset < n_DataStart() || nOffset > end || end - nOffset < e_FixedPartOverhead ||
        n_Read(nOffset) != e_LiveRecord) {
        if (b_Failed(__LINE__)) return;
        v_SetError(CT_DatabaseError::e_InvalidReference);
    }
}

// The offset of a live record's fixed part, to be changed or freed; 0 with
// 31051 when the number addresses none (numbers whose offset would pass 32
// bits included), with 31050 when the file cannot be changed, and with
// 31005 when the fixed part reaches past the end offset.
unsigned CT_RecordManager::n_CheckRecord(unsigned nRecord) const {
    if (!b_CheckWritable()) return 0;
    unsigned long long offset = static_cast<unsigned long long>(nRecord) * n_Block();
    if (offset > 0xFFFFFFFFull) {
        v_SetError(CT_DatabaseError::e_InvalidReference);
        return 0;
    }
    v_CheckReference(static_cast<unsigned>(offset));
    if (b_Failed(__LINE__)) return 0;
    if (!b_CheckWritablePiece(static_cast<unsigned>(offset), n_Field(e_RecordHeaderSizeField) + e_FixedPartOverhead))
        return 0;
    return static_cast<unsigned>(offset);
}

void CT_RecordManager::v_GetBody(unsigned nOffset, unsigned* pnBody, unsigned* pnBodySize) const {
    *pnBody = 0;
    *pnBodySize = 0;
    unsigned body = n_Read(nOffset + 4);
    if (b_Failed(__LINE__)) return;
    v_CheckBody(body, pnBody, pnBodySize);
    b_Failed(__LINE__);
}

// The checks of a body offset read from a fixed part, and its length word.
void CT_RecordManager::v_CheckBody(unsigned body, unsigned* pnBody, unsigned* pnBodySize) const {
    *pnBody = 0;
    *pnBodySize = 0;
    if (body == 0) return;
    unsigned end = n_Field(e_EndOffsetField);
    if (body > end) {
        v_SetError(CT_DatabaseError::e_CorruptData);
        return;
    }
    unsigned size = n_Read(body);
    if (b_Failed(__LINE__)) return;
    if (size == 0xFFFFFFFFu || size > end || static_cast<unsigned long long>(body) + size > end) {
        v_SetError(CT_DatabaseError::e_CorruptData);
        return;
    }
    *pnBody = body;
    *pnBodySize = size;
}

unsigned CT_RecordManager::n_AddRecord(CT_Buffer const* pcoData) {
    if (!b_CheckWritable()) return 0;
    unsigned length = pcoData->n_GetUsedSize();
    unsigned headerSize = n_Field(e_RecordHeaderSizeField);
    unsigned fixed = n_GetFreeBlock(headerSize + e_FixedPartOverhead);
    if (b_Failed(__LINE__)) return 0;
    unsigned body = 0;
    unsigned bodyLength = 0;
    if (length > headerSize) {
        bodyLength = length - headerSize + e_LengthWordSize;
        body = n_GetFreeBlock(bodyLength);
        if (b_Failed(__LINE__)) return 0;
    }
    unsigned headerBytes = length < headerSize ? length : headerSize;
    // The fixed part goes out marked unfinished, in one write with its
    // body offset and header bytes; the body follows; the live marker
    // comes last, so a record interrupted on the way is never taken for a
    // finished one.
    unsigned char small[256];
    unsigned fixedBytes = e_FixedPartOverhead + headerBytes;
    unsigned char* bytes = puc_Staging(fixedBytes, small, sizeof small);
    v_StoreWord(bytes, e_UnfinishedRecord);
    v_StoreWord(bytes + 4, body);
    if (headerBytes) std::memcpy(bytes + e_FixedPartOverhead, pcuc_Bytes(pcoData), headerBytes);
    v_Write(fixed, bytes, fixedBytes);
    if (b_Failed(__LINE__)) return 0;
    if (body) {
        v_WriteBlock(body, bodyLength, pcuc_Bytes(pcoData) + headerSize, length - headerSize);
        if (b_Failed(__LINE__)) return 0;
    }
    v_Write(fixed, static_cast<unsigned>(e_LiveRecord));
    if (b_Failed(__LINE__)) return 0;
    v_RaiseField(e_ModificationCounterField);
    v_RaiseField(e_RecordCountField);
    return fixed / n_Block();
}

namespace {

// Asks the processor for the cache lines of bytes from p on, without
// waiting for them. A prefetch never faults, but it is only asked for
// inside the view all the same.
inline void v_Prefetch(unsigned char const* p, unsigned long long bytes) {
#if defined(__GNUC__) || defined(__clang__)
    for (unsigned long long k = 0; k < bytes; k += 64) __builtin_prefetch(p + k, 0, 3);
#else
    (void)p;
    (void)bytes;
#endif
}

// The most bytes asked for ahead of a read: beyond this the copy's own
// streaming keeps the memory busy.
unsigned const kPrefetchLimit = 4096;

}  // namespace

// A live record whose fixed part and body lie in the view and inside the
// end offset, with a body length word that passes the checks of
// v_CheckBody and holds data, is copied straight out of the view: the
// buffer is sized once and takes the header and the body in one copy
// each. Anything else (0 returned) goes the checked way, which reports.
// limit is the smaller of the view's size and the end offset.
//
// A record read at random costs a wait for memory for its fixed part, then
// one for its body, whose offset is only known from the fixed part. Records
// of a file are mostly alike in size and written with the body behind the
// fixed part, so the bytes the last read spanned are asked for from the
// fixed part on before its marker is looked at, and the body's lines, once
// its length is known, before the copy: the waits overlap instead of
// following one another. The span is only a hint; a wrong one costs the
// lines it asked for in vain, never a result.
int CT_RecordManager::b_CopyMappedRecord(unsigned nFixed, CT_Buffer* pcoData) const {
    unsigned char const* view = static_cast<unsigned char const*>(co_File.pv_GetMapping());
    if (view == nullptr) return 0;
    unsigned long long end = n_Field(e_EndOffsetField), mapped = co_File.n_GetMapSize();
    unsigned long long limit = end < mapped ? end : mapped;
    unsigned headerSize = n_Field(e_RecordHeaderSizeField);
    unsigned long long fixedEnd = nFixed + static_cast<unsigned long long>(e_FixedPartOverhead) + headerSize;
    if (fixedEnd > limit) return 0;
    unsigned char const* fixed = view + nFixed;
    unsigned long long ahead = n_ReadSpan < limit - nFixed ? n_ReadSpan : limit - nFixed;
    v_Prefetch(fixed, ahead);
    if (nFixed < n_DataStart()) return 0;
    if (n_LoadWord(fixed) != CT_RecordManager::e_LiveRecord) return 0;
    unsigned body = n_LoadWord(fixed + 4);
    unsigned size = 0;
    if (body != 0) {
        if (body + static_cast<unsigned long long>(e_LengthWordSize) > limit) return 0;
        size = n_LoadWord(view + body);
        if (size < e_LengthWordSize || size == 0xFFFFFFFFu || body + static_cast<unsigned long long>(size) > limit)
            return 0;
        unsigned long long bodyEnd = static_cast<unsigned long long>(body) + size;
        // Lines the hint did not already cover.
        if (body < nFixed || bodyEnd > nFixed + ahead) {
            unsigned long long from = body >= nFixed && body < nFixed + ahead ? nFixed + ahead : body;
            unsigned long long count = bodyEnd - from < kPrefetchLimit ? bodyEnd - from : kPrefetchLimit;
            v_Prefetch(view + from, count);
        }
        // The next read asks for this record's span, when its body follows
        // the fixed part.
        unsigned long long span = body > nFixed ? bodyEnd - nFixed : fixedEnd - nFixed;
        n_ReadSpan = static_cast<unsigned>(span < kPrefetchLimit ? span : kPrefetchLimit);
    } else {
        n_ReadSpan = static_cast<unsigned>(fixedEnd - nFixed);
    }
    unsigned bodyBytes = body ? size - e_LengthWordSize : 0;
    unsigned total = headerSize + bodyBytes;
    pcoData->v_SetMinSize(total, 0);
    pcoData->v_SetUsedSize(total);
    if (total == 0) return 1;
    unsigned char* out = static_cast<unsigned char*>(const_cast<void*>(pcoData->qcv_Get()));
    std::memcpy(out, fixed + e_FixedPartOverhead, headerSize);
    if (bodyBytes) std::memcpy(out + headerSize, view + body + e_LengthWordSize, bodyBytes);
    return 1;
}

// A record stored without a body (its data no longer than H) reads back as
// its H header bytes: its true length was never stored, and an empty
// result would lose what the caller wrote. A body whose length word is
// below 4 holds no data: the record reads back empty.
void CT_RecordManager::v_GetRecord(unsigned nRecord, CT_Buffer* pcoData) const {
    unsigned long long offset = static_cast<unsigned long long>(nRecord) * n_Block();
    if (offset <= 0xFFFFFFFFull && b_CopyMappedRecord(static_cast<unsigned>(offset), pcoData)) return;
    pcoData->v_SetUsedSize(0);
    if (offset > 0xFFFFFFFFull) {
        v_SetError(CT_DatabaseError::e_InvalidReference);
        return;
    }
    unsigned fixed = static_cast<unsigned>(offset);
    unsigned headerSize = n_Field(e_RecordHeaderSizeField);
    unsigned body, size;
    if (fixed >= n_DataStart() &&
        static_cast<unsigned long long>(fixed) + e_FixedPartOverhead + headerSize <= n_Field(e_EndOffsetField)) {
        // The whole fixed part lies inside the end offset: it is read at
        // once, marker, body offset and header, and checked as the
        // separate reads below would check it.
        v_Read(pcoData, fixed, e_FixedPartOverhead + headerSize);
        if (b_Failed(__LINE__)) {
            pcoData->v_SetUsedSize(0);
            return;
        }
        unsigned char const* bytes = static_cast<unsigned char const*>(pcoData->qcv_Get());
        if (n_LoadWord(bytes) != e_LiveRecord) {
            pcoData->v_SetUsedSize(0);
            v_SetError(CT_DatabaseError::e_InvalidReference);
            return;
        }
        v_CheckBody(n_LoadWord(bytes + 4), &body, &size);
        pcoData->v_Remove(e_FixedPartOverhead, 0);
        if (b_Failed(__LINE__)) {
            pcoData->v_SetUsedSize(0);
            return;
        }
    } else {
        v_CheckReference(fixed);
        if (b_Failed(__LINE__)) return;
        v_GetBody(fixed, &body, &size);
        if (b_Failed(__LINE__)) return;
        v_Read(pcoData, fixed + e_FixedPartOverhead, headerSize);
        if (b_Failed(__LINE__)) {
            pcoData->v_SetUsedSize(0);
            return;
        }
    }
    if (body == 0) return;
    if (size < e_LengthWordSize) {
        pcoData->v_SetUsedSize(0);
        return;
    }
    v_ReadAppend(pcoData, body + e_LengthWordSize, size - e_LengthWordSize);
    if (b_Failed(__LINE__)) pcoData->v_SetUsedSize(0);
}

void CT_RecordManager::v_UpdateRecord(unsigned nRecord, CT_Buffer const* pcoData) {
    unsigned fixed = n_CheckRecord(nRecord);
    if (b_Failed(__LINE__)) return;
    unsigned body, size;
    v_GetBody(fixed, &body, &size);
    if (b_Failed(__LINE__)) return;
    unsigned length = pcoData->n_GetUsedSize();
    unsigned headerSize = n_Field(e_RecordHeaderSizeField);
    unsigned newSize = length > headerSize ? length - headerSize + e_LengthWordSize : 0;
    unsigned headerBytes = length < headerSize ? length : headerSize;
    unsigned char const* data = pcuc_Bytes(pcoData);
    // The old body is rewritten in place or freed: either way it must lie
    // in the data area.
    if (body != 0 && !b_CheckWritablePiece(body, size)) return;
    if (newSize != 0 && body != 0 && n_AlignBlockSize(newSize) == n_AlignBlockSize(size)) {
        v_WriteBlock(body, newSize, data + headerSize, length - headerSize);
        if (b_Failed(__LINE__)) return;
        v_Write(fixed + e_FixedPartOverhead, data, headerBytes);
        if (b_Failed(__LINE__)) return;
        v_RaiseField(e_ModificationCounterField);
        return;
    }
    if (body != 0) {
        v_PutFreeBlock(0, body, size);
        if (b_Failed(__LINE__)) return;
        if (newSize == 0) {
            v_Write(fixed + 4, 0u);
            if (b_Failed(__LINE__)) return;
        }
    }
    if (newSize != 0) {
        unsigned fresh = n_GetFreeBlock(newSize);
        if (b_Failed(__LINE__)) return;
        v_WriteBlock(fresh, newSize, data + headerSize, length - headerSize);
        if (b_Failed(__LINE__)) return;
        v_Write(fixed + 4, fresh);
        if (b_Failed(__LINE__)) return;
    }
    if (headerBytes) {
        v_Write(fixed + e_FixedPartOverhead, data, headerBytes);
        if (b_Failed(__LINE__)) return;
    }
    v_RaiseField(e_ModificationCounterField);
}

void CT_RecordManager::v_UpdateRecordHeader(unsigned nRecord, CT_Buffer const* pcoData) {
    unsigned fixed = n_CheckRecord(nRecord);
    if (b_Failed(__LINE__)) return;
    unsigned length = pcoData->n_GetUsedSize();
    unsigned headerSize = n_Field(e_RecordHeaderSizeField);
    unsigned headerBytes = length < headerSize ? length : headerSize;
    if (headerBytes) {
        v_Write(fixed + e_FixedPartOverhead, pcuc_Bytes(pcoData), headerBytes);
        if (b_Failed(__LINE__)) return;
    }
    v_RaiseField(e_ModificationCounterField);
}

void CT_RecordManager::v_DeleteRecord(unsigned nRecord) {
    unsigned fixed = n_CheckRecord(nRecord);
    if (b_Failed(__LINE__)) return;
    unsigned body, size;
    v_GetBody(fixed, &body, &size);
    if (b_Failed(__LINE__)) return;
    // A body outside the data area is refused before anything is freed.
    if (body != 0 && !b_CheckWritablePiece(body, size)) return;
    v_PutFreeBlock(0, fixed, n_Field(e_RecordHeaderSizeField) + e_FixedPartOverhead);
    if (b_Failed(__LINE__)) return;
    if (body != 0) {
        v_PutFreeBlock(0, body, size);
        if (b_Failed(__LINE__)) return;
    }
    v_SetField(e_RecordCountField, n_Field(e_RecordCountField) - 1);
    v_RaiseField(e_ModificationCounterField);
}

// ---- scans ------------------------------------------------------------------------

// Steps over the data area from nFrom (0: its start; a start inside the
// tables is moved to the data area). A trusted step uses the size word of
// a body, resource or free block; once one cannot be right (0, or beyond
// 64 KiB), and always in a robust scan, the walk goes block by block.
// Records that cannot be read have their errors cleared, and the walk
// goes on at the next block. Returns the offset of the
// next record read (or found, without a buffer), or 0.
unsigned CT_RecordManager::n_Scan(unsigned nFrom, CT_Buffer* pcoData, int bRobust, unsigned* pnCount) const {
    unsigned long long block = n_Block();
    unsigned long long end = n_Field(e_EndOffsetField);
    unsigned long long start = n_DataStart();
    unsigned long long offset = nFrom == 0 ? start : nFrom * block;
    if (offset < start) offset = start;
    bool byBlock = bRobust != 0;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    while (offset < end) {
        unsigned word = n_Read(static_cast<unsigned>(offset));
        if (b_Failed(__LINE__)) return 0;
        if (word == e_LiveRecord) {
            if (pcoData == nullptr) return static_cast<unsigned>(offset);
            v_GetRecord(static_cast<unsigned>(offset / block), pcoData);
            if (!errors->b_IsSetError()) {
                if (pnCount == nullptr) return static_cast<unsigned>(offset);
                ++*pnCount;
            } else {
                errors->v_ClearError();
            }
            offset += block;
        } else if (!byBlock) {
            unsigned long long step = word == 0 ? 0 : ((word - 1ull) / block + 1) * block;
            if (step != 0 && step <= e_TrustedStepLimit) {
                offset += step;
            } else {
                byBlock = true;
                offset += block;
            }
        } else {
            offset += block;
        }
    }
    return 0;
}

unsigned CT_RecordManager::n_GetNextRecord(unsigned nFrom, CT_Buffer* pcoData) const {
    unsigned found = n_Scan(nFrom, pcoData, 0);
    return found ? found / n_Block() + 1 : 0;
}

unsigned CT_RecordManager::n_GetNextRecordRobust(unsigned nFrom, CT_Buffer* pcoData) const {
    unsigned found = n_Scan(nFrom, pcoData, 1);
    return found ? found / n_Block() + 1 : 0;
}

int CT_RecordManager::b_IsCorrupt() const {
    if (e_OpenMode < e_ModeRead) return 0;
    // One walk, as a scan goes, counting the records it can read; after a
    // record, counted or not, it goes on at the next block, and once a
    // size word cannot be right it goes on block by block to the end.
    unsigned readable = 0;
    n_Scan(0, &co_Scratch, 0, &readable);
    co_Scratch.v_SetUsedSize(0);
    return readable != n_Field(e_RecordCountField);
}
