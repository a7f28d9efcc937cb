// A per-class pool of fixed-size blocks. Classes with many small objects
// take them from their own pool through operator new and operator delete.
// This pool hands the blocks to the ordinary allocator and keeps count of
// what it has out; the block count is the size a class expects to need at
// once, kept for reading.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Foundation/Platform/Export.h"

class BASIS_API CT_MemPool {
public:
    CT_MemPool(char const* className, std::size_t blockSize, unsigned blockCount);
    CT_MemPool(CT_MemPool const&) = delete;
    CT_MemPool& operator=(CT_MemPool const&) = delete;

    void* pv_Allocate(std::size_t size);
    void v_Free(void* block);

    char const* qccz_GetClassName() const { return qccz_ClassName; }
    std::size_t n_GetBlockSize() const { return n_BlockSize; }
    unsigned n_GetBlockCount() const { return n_BlockCount; }
    // Blocks handed out and not yet given back.
    std::int32_t i4_GetBlocksInUse() const;

private:
    char const* qccz_ClassName;
    std::size_t n_BlockSize;
    unsigned n_BlockCount;
    std::int32_t i4_InUse;
};

// Declares the pool-backed allocation of a class (see CT_MemPool).
#define BASIS_DECLARE_POOL()                                    \
public:                                                         \
    static void* operator new(std::size_t size);                \
    static void operator delete(void* block);                   \
    static CT_MemPool* spso_GetMemPool() { return spso_Pool; }  \
    static CT_MemPool* spso_Pool;

#define BASIS_DEFINE_POOL(ClassName)                                                       \
    void* ClassName::operator new(std::size_t size) { return spso_Pool->pv_Allocate(size); } \
    void ClassName::operator delete(void* block) { spso_Pool->v_Free(block); }
