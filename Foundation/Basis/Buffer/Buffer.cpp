#include "Foundation/Basis/Buffer/Buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "Foundation/Platform/Interlocked.h"

namespace {

constexpr unsigned n_All = ~0u;

// The largest maximum size a header can describe: rule 2 never allocates
// more than 0xFFFFFFC0 bytes. A write whose end lies beyond it (or beyond
// 4 GiB, where an offset plus a count wraps) cannot be served and does
// nothing.
constexpr unsigned long long n_Largest = 0xFFFFFFC0ull - CT_Buffer::e_HeaderSize;

// A range [from, from + count) of a buffer's used bytes, cut to the used
// end: a start past the end reads as the end, and ~0 or a count that runs
// past the end reads as the rest. The buffer leaves these limits to its
// callers; cutting them here keeps every read inside the used bytes.
void v_ClampRange(unsigned used, unsigned* from, unsigned* count) {
    if (*from > used) *from = used;
    if (*count > used - *from) *count = used - *from;
}

// Resolves a write's count of ~0, "up to the used end", to the bytes from at
// to that end; false when there are none (at at or past the end), and then
// the write does nothing.
bool b_UpToUsedEnd(unsigned used, unsigned at, unsigned* count) {
    if (*count != n_All) return true;
    if (at >= used) return false;
    *count = used - at;
    return true;
}

// Where a source range lies inside a buffer's own storage, its offset; the
// storage may move while the buffer grows, so such sources are re-read by
// offset afterwards.
bool b_PointsInto(unsigned char const* storage, unsigned maximum, void const* data, std::size_t* offset) {
    if (storage == nullptr || data == nullptr) return false;
    unsigned char const* p = static_cast<unsigned char const*>(data);
    if (p < storage || p >= storage + maximum) return false;
    *offset = static_cast<std::size_t>(p - storage);
    return true;
}

}  // namespace

BASIS_DEFINE_POOL(CT_Buffer)

// Rule 1: the request plus the header, rounded up to a multiple of growth.
unsigned CT_Buffer::sn_RoundedAllocation(unsigned size, unsigned growth) {
    if (growth == 0) growth = 1;
    unsigned long long total = static_cast<unsigned long long>(size) + e_HeaderSize + growth - 1;
    total = total / growth * growth;
    // Past 4 GiB the rounded size no longer fits the header: clamp to the
    // largest whole number of granules that does (the callers copy no more
    // than the storage holds).
    if (total > 0xFFFFFFFFull) total = 0xFFFFFFFFull / growth * growth;
    return static_cast<unsigned>(total);
}

// Rule 2: small requests by rule 1; larger ones enlarged by a factor that
// falls as the size rises, then rounded up to a multiple of 64.
unsigned CT_Buffer::sn_GrownAllocation(unsigned size, unsigned growth) {
    if (size < 1024) return sn_RoundedAllocation(size, growth);
    unsigned long long n = size;
    if (n < 2048) n = n * 5 / 4;
    else if (n < 4096) n = n * 7 / 5;
    else n = n * 3 / 2;
    n = (n + 63) / 64 * 64;
    // Past 4 GiB the arithmetic no longer fits the 32-bit fields; the
    // largest storage the header can describe is the most we can give.
    if (n > 0xFFFFFFC0ull) n = 0xFFFFFFC0ull;
    return static_cast<unsigned>(n);
}

unsigned char* CT_Buffer::puc_NewStorage(unsigned allocation) {
    void* block = std::malloc(allocation);
    if (block == nullptr) throw std::bad_alloc();
    st_BufferData* header = static_cast<st_BufferData*>(block);
    header->i4_UseCount = 1;
    header->n_MaximumSize = allocation - e_HeaderSize;
    header->n_UsedSize = 0;
    return static_cast<unsigned char*>(block) + e_HeaderSize;
}

void CT_Buffer::v_Release() {
    if (puc_Data == nullptr) return;
    st_BufferData* header = pso_Header();
    if (Platform::i4_InterlockedDecrement(&header->i4_UseCount) == 0) std::free(header);
    puc_Data = nullptr;
}

CT_Buffer::CT_Buffer(unsigned size, unsigned growth) : n_Growth(growth), puc_Data(nullptr) {
    if (size != 0) puc_Data = puc_NewStorage(sn_RoundedAllocation(size, n_Growth));
}

CT_Buffer::CT_Buffer(void const* data, unsigned size, unsigned growth) : CT_Buffer(size, growth) {
    if (size != 0) {
        // A size beyond the largest storage is cut to what the storage holds.
        if (size > n_GetMaximumSize()) size = n_GetMaximumSize();
        std::memcpy(puc_Data, data, size);
        pso_Header()->n_UsedSize = size;
    }
}

CT_Buffer::CT_Buffer(CT_Buffer const* other) : n_Growth(other->n_Growth), puc_Data(other->puc_Data) {
    if (puc_Data) Platform::i4_InterlockedIncrement(&pso_Header()->i4_UseCount);
}

unsigned CT_Buffer::n_GetUseCount() const {
    return puc_Data ? static_cast<unsigned>(i4_LoadUseCount(pso_Header())) : 1;
}

int CT_Buffer::b_IsEqual(void const* data, unsigned count, unsigned at) const {
    unsigned used = n_GetUsedSize();
    if (at >= used) return 1;
    if (count > used - at) count = used - at;
    return count == 0 || std::memcmp(puc_Data + at, data, count) == 0;
}

int CT_Buffer::b_IsEqual(CT_Buffer const* other, unsigned from, unsigned count, unsigned at) const {
    // ~0, or any count past the other's used end, compares up to that end.
    v_ClampRange(other->n_GetUsedSize(), &from, &count);
    if (count == 0) return 1;
    return b_IsEqual(other->puc_Data + from, count, at);
}

unsigned CT_Buffer::n_Find(unsigned char c, unsigned from) const {
    unsigned used = n_GetUsedSize();
    if (from >= used) return n_All;
    void const* hit = std::memchr(puc_Data + from, c, used - from);
    return hit ? static_cast<unsigned>(static_cast<unsigned char const*>(hit) - puc_Data) : n_All;
}

unsigned CT_Buffer::n_Find(void const* pattern, unsigned count, unsigned from) const {
    unsigned char const* bytes = static_cast<unsigned char const*>(pattern);
    if (count == 0) return n_Find(bytes[0], from);
    unsigned used = n_GetUsedSize();
    if (from >= used || count > used - from) return n_All;
    unsigned last = used - count;  // the last offset a whole pattern can begin at
    for (unsigned at = from; at <= last;) {
        void const* hit = std::memchr(puc_Data + at, bytes[0], last - at + 1);
        if (hit == nullptr) return n_All;
        at = static_cast<unsigned>(static_cast<unsigned char const*>(hit) - puc_Data);
        if (std::memcmp(puc_Data + at + 1, bytes + 1, count - 1) == 0) return at;
        ++at;
    }
    return n_All;
}

void CT_Buffer::v_Set(unsigned size, unsigned growth, int reuse) {
    if (growth != n_All) n_Growth = growth;
    // The rounded request never exceeds size + growth - 1 bytes of room, so
    // a roomy buffer (a string emptied line after line) skips the division.
    if (reuse && puc_Data && !b_IsShared() &&
        (pso_Header()->n_MaximumSize >= static_cast<unsigned long long>(size) + n_Growth ||
         pso_Header()->n_MaximumSize >= sn_RoundedAllocation(size, n_Growth) - e_HeaderSize)) {
        pso_Header()->n_UsedSize = 0;
        return;
    }
    v_Release();
    puc_Data = puc_NewStorage(sn_RoundedAllocation(size, n_Growth));
}

void CT_Buffer::v_Set(void const* data, unsigned size, unsigned growth) {
    if (growth != n_All) n_Growth = growth;
    // The source may be this buffer's own bytes: build the new storage
    // before the old one is let go.
    unsigned char* fresh = nullptr;
    if (size != 0) {
        unsigned allocation = sn_RoundedAllocation(size, n_Growth);
        // A size beyond the largest storage is cut to what the storage holds.
        if (size > allocation - e_HeaderSize) size = allocation - e_HeaderSize;
        fresh = puc_NewStorage(allocation);
        std::memcpy(fresh, data, size);
        reinterpret_cast<st_BufferData*>(fresh - e_HeaderSize)->n_UsedSize = size;
    }
    v_Release();
    puc_Data = fresh;
}

void CT_Buffer::v_Set(CT_Buffer const* other) {
    n_Growth = other->n_Growth;
    if (other == this || other->puc_Data == puc_Data) return;
    if (other->puc_Data) Platform::i4_InterlockedIncrement(&other->pso_Header()->i4_UseCount);
    v_Release();
    puc_Data = other->puc_Data;
}

void CT_Buffer::v_SetSize(unsigned size, int keep) {
    if (size == 0) {
        v_Release();
        return;
    }
    unsigned allocation = sn_GrownAllocation(size, n_Growth);
    unsigned maximum = allocation - e_HeaderSize;
    bool shared = b_IsShared();
    if (puc_Data && maximum == pso_Header()->n_MaximumSize && !shared) {
        if (!keep) pso_Header()->n_UsedSize = 0;
        return;
    }
    if (!keep || puc_Data == nullptr) {
        unsigned char* fresh = puc_NewStorage(allocation);
        v_Release();
        puc_Data = fresh;
        return;
    }
    unsigned used = pso_Header()->n_UsedSize;
    unsigned kept = used < maximum ? used : maximum;
    if (shared) {
        unsigned char* fresh = puc_NewStorage(allocation);
        std::memcpy(fresh, puc_Data, kept);
        reinterpret_cast<st_BufferData*>(fresh - e_HeaderSize)->n_UsedSize = kept;
        v_Release();
        puc_Data = fresh;
        return;
    }
    void* block = std::realloc(pso_Header(), allocation);
    if (block == nullptr) throw std::bad_alloc();
    st_BufferData* header = static_cast<st_BufferData*>(block);
    header->n_MaximumSize = maximum;
    header->n_UsedSize = kept;
    puc_Data = static_cast<unsigned char*>(block) + e_HeaderSize;
}

void CT_Buffer::v_SetMinSize(unsigned size, int keep) {
    if (puc_Data && pso_Header()->n_MaximumSize >= size) return;
    v_SetSize(size, keep);
}

void CT_Buffer::v_SetUsedSize(unsigned size) {
    if (puc_Data == nullptr) return;
    v_MakeWritable();
    // A used size beyond the storage is clamped to the maximum size, so the
    // buffer never claims bytes it does not hold.
    if (size > pso_Header()->n_MaximumSize) size = pso_Header()->n_MaximumSize;
    pso_Header()->n_UsedSize = size;
}

void CT_Buffer::v_CopyWeWrite() { v_MakeWritable(); }

void CT_Buffer::v_CopyBeforeWrite() {
    st_BufferData* old = pso_Header();
    unsigned char* fresh = puc_NewStorage(old->n_MaximumSize + e_HeaderSize);
    std::memcpy(fresh, puc_Data, old->n_UsedSize);
    reinterpret_cast<st_BufferData*>(fresh - e_HeaderSize)->n_UsedSize = old->n_UsedSize;
    v_Release();
    puc_Data = fresh;
}

bool CT_Buffer::b_Reserve(unsigned long long size) {
    if (size > n_Largest) return false;
    if (puc_Data == nullptr || size > pso_Header()->n_MaximumSize) v_SetSize(static_cast<unsigned>(size), 1);
    else v_MakeWritable();
    return true;
}

void CT_Buffer::v_Replace(unsigned char c, unsigned count, unsigned at) {
    if (!b_UpToUsedEnd(n_GetUsedSize(), at, &count)) return;
    if (count == 0 && puc_Data == nullptr) return;
    if (!b_Reserve(static_cast<unsigned long long>(at) + count)) return;
    std::memset(puc_Data + at, c, count);
    st_BufferData* header = pso_Header();
    if (at + count > header->n_UsedSize) header->n_UsedSize = at + count;
}

void CT_Buffer::v_Replace(void const* data, unsigned count, unsigned at) {
    if (!b_UpToUsedEnd(n_GetUsedSize(), at, &count)) return;
    if (count == 0 && puc_Data == nullptr) return;
    std::size_t source = 0;
    bool own = b_PointsInto(puc_Data, n_GetMaximumSize(), data, &source);
    if (!b_Reserve(static_cast<unsigned long long>(at) + count)) return;
    if (own) data = puc_Data + source;
    if (count) std::memmove(puc_Data + at, data, count);
    st_BufferData* header = pso_Header();
    if (at + count > header->n_UsedSize) header->n_UsedSize = at + count;
}

void CT_Buffer::v_Replace(CT_Buffer const* other, unsigned from, unsigned count, unsigned at) {
    // ~0, or any count past the other's used end, reads up to that end.
    v_ClampRange(other->n_GetUsedSize(), &from, &count);
    if (count == 0 && puc_Data == nullptr) return;
    if (other == this) {
        // Reading from our own bytes: make sure they stay put, then move.
        if (!b_Reserve(static_cast<unsigned long long>(at) + count)) return;
        v_Replace(puc_Data + from, count, at);
        return;
    }
    v_Replace(other->puc_Data + from, count, at);
}

void CT_Buffer::v_Insert(unsigned char c, unsigned count, unsigned at) {
    if (count == 0) return;
    unsigned used = n_GetUsedSize();
    if (at > used) at = used;  // past the used end: clamped to the end
    if (!b_Reserve(static_cast<unsigned long long>(used) + count)) return;
    std::memmove(puc_Data + at + count, puc_Data + at, used - at);
    std::memset(puc_Data + at, c, count);
    pso_Header()->n_UsedSize = used + count;
}

void CT_Buffer::v_Insert(void const* data, unsigned count, unsigned at) {
    if (count == 0) return;
    std::size_t source = 0;
    if (b_PointsInto(puc_Data, n_GetMaximumSize(), data, &source)) {
        // Not allowed by the contract, but cheap to make safe.
        v_AtInsertCopy(static_cast<unsigned>(source), count, at);
        return;
    }
    unsigned used = n_GetUsedSize();
    if (at > used) at = used;  // past the used end: clamped to the end
    if (!b_Reserve(static_cast<unsigned long long>(used) + count)) return;
    std::memmove(puc_Data + at + count, puc_Data + at, used - at);
    if (count == 1) puc_Data[at] = *static_cast<unsigned char const*>(data);
    else std::memmove(puc_Data + at, data, count);
    pso_Header()->n_UsedSize = used + count;
}

void CT_Buffer::v_Insert(CT_Buffer const* other, unsigned from, unsigned count, unsigned at) {
    // ~0, or any count past the other's used end, reads up to that end.
    v_ClampRange(other->n_GetUsedSize(), &from, &count);
    if (count == 0) return;
    if (other == this || (puc_Data != nullptr && other->puc_Data == puc_Data)) {
        v_AtInsertCopy(from, count, at);
        return;
    }
    v_Insert(other->puc_Data + from, count, at);
}

void CT_Buffer::v_AppendSlow(unsigned char c) {
    unsigned used = n_GetUsedSize();
    if (!b_Reserve(static_cast<unsigned long long>(used) + 1)) return;
    puc_Data[used] = c;
    pso_Header()->n_UsedSize = used + 1;
}

void CT_Buffer::v_Remove(unsigned count, unsigned at) {
    if (puc_Data == nullptr) return;
    v_MakeWritable();
    st_BufferData* header = pso_Header();
    unsigned used = header->n_UsedSize;
    if (at >= used) return;
    if (count == n_All || count >= used - at) {
        header->n_UsedSize = at;
        return;
    }
    std::memmove(puc_Data + at, puc_Data + at + count, used - at - count);
    header->n_UsedSize = used - count;
}

void CT_Buffer::v_AtInsertCopy(unsigned from, unsigned count, unsigned at) {
    unsigned used = n_GetUsedSize();
    // The source is cut to the used bytes and the insertion point clamped
    // to the used end; a result beyond the largest storage is not made.
    v_ClampRange(used, &from, &count);
    if (at > used) at = used;
    if (count == 0 || used + static_cast<unsigned long long>(count) > n_Largest) return;
    v_MakeWritable();
    if (puc_Data && used + count <= pso_Header()->n_MaximumSize) {
        std::memmove(puc_Data + at + count, puc_Data + at, used - at);
        if (from >= at) from += count;
        // A source that straddled at is now split around the gap; read its
        // two halves from where they went.
        if (from < at && from + count > at) {
            unsigned before = at - from;
            std::memmove(puc_Data + at, puc_Data + from, before);
            std::memmove(puc_Data + at + before, puc_Data + at + count, count - before);
        } else {
            std::memmove(puc_Data + at, puc_Data + from, count);
        }
        pso_Header()->n_UsedSize = used + count;
        return;
    }
    // No room: build the result in new storage (growth 32, rule 1).
    CT_Buffer result(used + count, e_DefaultGrowth);
    std::memcpy(result.puc_Data, puc_Data, at);
    std::memcpy(result.puc_Data + at, puc_Data + from, count);
    std::memcpy(result.puc_Data + at + count, puc_Data + at, used - at);
    result.pso_Header()->n_UsedSize = used + count;
    v_Set(&result);
}

void CT_Buffer::v_AtInsertMove(unsigned from, unsigned count, unsigned at) {
    // The block is cut to the used bytes and the insertion point clamped
    // to the used end.
    unsigned used = n_GetUsedSize();
    v_ClampRange(used, &from, &count);
    if (at > used) at = used;
    if (from == at || count == 0) return;
    // An insertion point inside the block itself leaves everything in place.
    if (at > from && at < from + count) return;
    v_MakeWritable();
    st_BufferData* header = pso_Header();
    unsigned char local[32];
    unsigned char* holding;
    void* temporary = nullptr;
    if (count <= header->n_MaximumSize - used) holding = puc_Data + used;
    else if (count <= sizeof local) holding = local;
    else holding = static_cast<unsigned char*>(temporary = std::malloc(count));
    if (holding == nullptr) throw std::bad_alloc();
    std::memcpy(holding, puc_Data + from, count);
    if (at >= from) {
        std::memmove(puc_Data + from, puc_Data + from + count, at - from - count);
        std::memcpy(puc_Data + at - count, holding, count);
    } else {
        std::memmove(puc_Data + at + count, puc_Data + at, from - at);
        std::memcpy(puc_Data + at, holding, count);
    }
    std::free(temporary);
}

void CT_Buffer::v_AtInsertMove(CT_Buffer* other, unsigned from, unsigned count, unsigned at) {
    v_Insert(other, from, count, at);
    other->v_Remove(count, from);
}
