// CT_Buffer: the library's growable byte store, shared between copies.
//
// A buffer is two words: a growth granularity and a pointer to storage.
// The storage is one allocation that begins with a 12-byte header (use
// count, maximum size, used size) followed by the bytes; the data pointer
// points at the bytes. Copying a buffer takes another reference to the same
// storage; the first change through any sharer copies the storage first
// (copy on write). The use count is interlocked, so sharers may live on
// different threads; one buffer object is never changed by two threads.
//
// Sizes and offsets are in bytes. A count or offset of ~0u means "to the
// used end" wherever an operation says so. Offsets are meant to be at most
// the used size and growth at least 1; where a caller breaks those limits
// the buffer clamps (a source range to the used bytes, an insertion point
// to the used end, a used size to the maximum size) or does nothing (a
// write whose end lies beyond the largest storage a header describes), and
// never reads or writes outside its storage.
//
// Sizing: storage for a request below 1024 bytes is the request plus the
// header rounded up to the growth; from 1024 on, writes grow the storage by
// 25 %, 40 % or 50 % (by size) rounded to 64 bytes, so appends are
// amortised.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_Buffer {
public:
    // The header that lies immediately before the bytes.
    struct st_BufferData {
        std::int32_t i4_UseCount;
        std::uint32_t n_MaximumSize;
        std::uint32_t n_UsedSize;
    };
    enum : unsigned { e_HeaderSize = 12, e_DefaultGrowth = 32 };

    CT_Buffer() : n_Growth(e_DefaultGrowth), puc_Data(nullptr) {}
    CT_Buffer(unsigned size, unsigned growth);
    CT_Buffer(void const* data, unsigned size, unsigned growth);
    explicit CT_Buffer(CT_Buffer const* other);
    CT_Buffer(CT_Buffer const& other) : CT_Buffer(&other) {}
    CT_Buffer& operator=(CT_Buffer const& other) {
        v_Set(&other);
        return *this;
    }
    ~CT_Buffer() { v_Release(); }

    // Reading.
    void const* qcv_Get() const { return puc_Data; }
    unsigned n_GetMaximumSize() const { return puc_Data ? pso_Header()->n_MaximumSize : 0; }
    unsigned n_GetUsedSize() const { return puc_Data ? pso_Header()->n_UsedSize : 0; }
    unsigned n_GetUseCount() const;
    unsigned n_GetGrowth() const { return n_Growth; }
    void v_SetGrowth(unsigned growth) { n_Growth = growth; }
    int b_IsEqual(void const* data, unsigned count, unsigned at) const;
    int b_IsEqual(CT_Buffer const* other, unsigned from, unsigned count, unsigned at) const;
    unsigned n_Find(unsigned char c, unsigned from) const;
    unsigned n_Find(void const* pattern, unsigned count, unsigned from) const;

    // Setting the whole content.
    void v_Set(unsigned size, unsigned growth, int reuse);
    void v_Set(void const* data, unsigned size, unsigned growth);
    void v_Set(CT_Buffer const* other);
    void v_Replace(CT_Buffer const* other) { v_Set(other); }

    // Sizing.
    void v_SetSize(unsigned size, int keep);
    void v_SetMinSize(unsigned size, int keep);
    void v_SetUsedSize(unsigned size);
    void v_CopyWeWrite();

    // Changing bytes; each unshares the storage first.
    void v_Replace(unsigned char c, unsigned count, unsigned at);
    void v_Replace(void const* data, unsigned count, unsigned at);
    void v_Replace(CT_Buffer const* other, unsigned from, unsigned count, unsigned at);
    void v_Insert(unsigned char c, unsigned count, unsigned at);
    void v_Insert(void const* data, unsigned count, unsigned at);
    void v_Insert(CT_Buffer const* other, unsigned from, unsigned count, unsigned at);
    void v_Append(unsigned char c) {
        // The common case stays inline: room left and the storage our own.
        if (puc_Data) {
            st_BufferData* header = pso_Header();
            if (header->n_UsedSize < header->n_MaximumSize && i4_LoadUseCount(header) == 1) {
                puc_Data[header->n_UsedSize++] = c;
                return;
            }
        }
        v_AppendSlow(c);
    }
    void v_Append(void const* data, unsigned count) {
        if (puc_Data) {
            st_BufferData* header = pso_Header();
            if (count <= header->n_MaximumSize - header->n_UsedSize && i4_LoadUseCount(header) == 1) {
                // A move, not a copy: the source may be our own bytes.
                __builtin_memmove(puc_Data + header->n_UsedSize, data, count);
                header->n_UsedSize += count;
                return;
            }
        }
        v_Insert(data, count, n_GetUsedSize());
    }
    void v_Append(CT_Buffer const* other, unsigned from, unsigned count) { v_Insert(other, from, count, n_GetUsedSize()); }
    // Replaces the content by count bytes and then the byte last, where
    // the storage is unshared and holds them all; says whether it could
    // (if not, nothing changed). Emptying and appending would give the
    // same storage and content.
    bool b_SetInPlace(void const* data, unsigned count, unsigned char last) {
        if (puc_Data == nullptr) return false;
        st_BufferData* header = pso_Header();
        if (count >= header->n_MaximumSize || i4_LoadUseCount(header) != 1) return false;
        __builtin_memmove(puc_Data, data, count);
        puc_Data[count] = last;
        header->n_UsedSize = count + 1;
        return true;
    }
    void v_Remove(unsigned count, unsigned at);
    void v_AtInsertCopy(unsigned from, unsigned count, unsigned at);
    void v_AtInsertMove(unsigned from, unsigned count, unsigned at);
    void v_AtInsertCopy(CT_Buffer const* other, unsigned from, unsigned count, unsigned at) {
        v_Insert(other, from, count, at);
    }
    void v_AtInsertMove(CT_Buffer* other, unsigned from, unsigned count, unsigned at);

    // The storage sizes the rules give for a request (allocation bytes,
    // header included); exposed for the classes built on buffers.
    static unsigned sn_RoundedAllocation(unsigned size, unsigned growth);
    static unsigned sn_GrownAllocation(unsigned size, unsigned growth);

    BASIS_DECLARE_POOL()

private:
    st_BufferData* pso_Header() const { return reinterpret_cast<st_BufferData*>(puc_Data - e_HeaderSize); }
    static std::int32_t i4_LoadUseCount(st_BufferData const* header) {
        return __atomic_load_n(&header->i4_UseCount, __ATOMIC_RELAXED);
    }
    int b_IsShared() const { return puc_Data && i4_LoadUseCount(pso_Header()) > 1; }
    static unsigned char* puc_NewStorage(unsigned allocation);
    void v_Release();
    void v_MakeWritable() {
        if (b_IsShared()) v_CopyBeforeWrite();
    }
    void v_CopyBeforeWrite();
    void v_AppendSlow(unsigned char c);
    // Makes the storage writable and able to hold size bytes (rule 2);
    // false, with nothing changed, when no storage can hold that many.
    bool b_Reserve(unsigned long long size);

    std::uint32_t n_Growth;
    unsigned char* puc_Data;
};
