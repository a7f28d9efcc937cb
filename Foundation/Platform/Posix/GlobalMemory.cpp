#include "Foundation/Platform/GlobalMemory.h"

#include <cstdlib>
#include <new>

namespace Platform {

namespace {

struct st_Block {
    unsigned n_Size;
    unsigned n_Locks;
    unsigned char* puc_Data;
};

}  // namespace

void* h_GlobalAlloc(unsigned size) {
    st_Block* block = new (std::nothrow) st_Block;
    if (block == nullptr) return nullptr;
    block->puc_Data = static_cast<unsigned char*>(std::calloc(size ? size : 1, 1));
    if (block->puc_Data == nullptr) {
        delete block;
        return nullptr;
    }
    block->n_Size = size;
    block->n_Locks = 0;
    return block;
}

void* pv_GlobalLock(void* handle) {
    st_Block* block = static_cast<st_Block*>(handle);
    ++block->n_Locks;
    return block->puc_Data;
}

unsigned n_GlobalUnlock(void* handle) {
    st_Block* block = static_cast<st_Block*>(handle);
    if (block->n_Locks) --block->n_Locks;
    return block->n_Locks;
}

unsigned n_GlobalSize(void* handle) { return static_cast<st_Block*>(handle)->n_Size; }

void v_GlobalFree(void* handle) {
    st_Block* block = static_cast<st_Block*>(handle);
    if (block == nullptr) return;
    std::free(block->puc_Data);
    delete block;
}

}  // namespace Platform
