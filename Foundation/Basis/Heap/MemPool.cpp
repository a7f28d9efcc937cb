#include "Foundation/Basis/Heap/MemPool.h"

#include <new>

#include "Foundation/Platform/Interlocked.h"

CT_MemPool::CT_MemPool(char const* className, std::size_t blockSize, unsigned blockCount)
    : qccz_ClassName(className), n_BlockSize(blockSize), n_BlockCount(blockCount), i4_InUse(0) {}

void* CT_MemPool::pv_Allocate(std::size_t size) {
    // A derived class without a pool of its own comes here with a larger
    // size; the ordinary allocator serves any size.
    void* block = ::operator new(size);
    Platform::i4_InterlockedIncrement(&i4_InUse);
    return block;
}

void CT_MemPool::v_Free(void* block) {
    if (block == nullptr) return;
    Platform::i4_InterlockedDecrement(&i4_InUse);
    ::operator delete(block);
}

std::int32_t CT_MemPool::i4_GetBlocksInUse() const { return __atomic_load_n(&i4_InUse, __ATOMIC_RELAXED); }
