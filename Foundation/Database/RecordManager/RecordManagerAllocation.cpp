// Allocation and freeing of blocks: first fit over the in-memory free
// list, then over the overflow chain behind its last slot, then the end
// of the file.
#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Database/RecordManager/RecordManagerLayout.h"

using namespace RecordLayout;

namespace {

struct st_FreeEntry {
    unsigned n_Offset;
    unsigned n_Size;
};

st_FreeEntry so_GetEntry(CT_VoidArray const& list, unsigned position) {
    unsigned char bytes[e_EntrySize];
    list.v_GetAt(bytes, static_cast<int>(position));
    return {n_LoadWord(bytes), n_LoadWord(bytes + 4)};
}

void v_SetEntry(CT_VoidArray& list, unsigned position, st_FreeEntry entry) {
    unsigned char bytes[e_EntrySize];
    v_StoreWord(bytes, entry.n_Offset);
    v_StoreWord(bytes + 4, entry.n_Size);
    list.v_SetAt(bytes, static_cast<int>(position));
}

void v_AppendEntry(CT_VoidArray& list, st_FreeEntry entry) {
    unsigned char bytes[e_EntrySize];
    v_StoreWord(bytes, entry.n_Offset);
    v_StoreWord(bytes + 4, entry.n_Size);
    list.v_Insert(bytes);
}

}  // namespace

unsigned CT_RecordManager::n_GetFreeBlock(unsigned nSize) {
    unsigned need = n_AlignBlockSize(nSize);
    unsigned capacity = n_Field(e_FreeListCapacityField);
    unsigned end = n_Field(e_EndOffsetField);
    v_RaiseField(e_FreeListCounterField);
    unsigned count = co_FreeList.n_GetCount();
    for (unsigned i = 1; i <= count; ++i) {
        st_FreeEntry entry = so_GetEntry(co_FreeList, i);
        if (entry.n_Size < need) continue;
        // A free block starts with its size. One that does not is no
        // longer free: a list written back before a process ended without
        // closing may name blocks that records took since. Skipping it
        // keeps an allocation from overwriting them.
        unsigned word = n_Read(entry.n_Offset);
        if (b_Failed(__LINE__)) return 0;
        if (word != entry.n_Size) continue;
        if (entry.n_Size > need) {
            // The front is taken; the rest keeps the entry's place.
            st_FreeEntry rest{entry.n_Offset + need, entry.n_Size - need};
            v_SetEntry(co_FreeList, i, rest);
            v_Write(rest.n_Offset, rest.n_Size);
            if (b_Failed(__LINE__)) return 0;
            return entry.n_Offset;
        }
        // An exact fit is taken whole; the last entry fills the gap.
        if (i == count) {
            co_FreeList.v_RemoveAt(count);
            v_SetField(e_FreeListCountField, count - 1);
            return entry.n_Offset;
        }
        st_FreeEntry last = so_GetEntry(co_FreeList, count);
        if (count == capacity && last.n_Size == 0) {
            // The chain's head block becomes a regular entry; the block it
            // links to, if any, is the new head.
            unsigned size = n_Read(last.n_Offset);
            if (b_Failed(__LINE__)) return 0;
            unsigned next = n_Read(last.n_Offset + 4);
            if (b_Failed(__LINE__)) return 0;
            size = n_AlignBlockSize(size);
            if (!b_IsInDataArea(last.n_Offset, size)) {
                v_SetError(CT_DatabaseError::e_CorruptData);
                return 0;
            }
            v_SetEntry(co_FreeList, i, {last.n_Offset, size});
            if (next != 0) {
                v_SetEntry(co_FreeList, count, {next, 0});
                return entry.n_Offset;
            }
        } else {
            v_SetEntry(co_FreeList, i, last);
        }
        co_FreeList.v_RemoveAt(count);
        v_SetField(e_FreeListCountField, count - 1);
        return entry.n_Offset;
    }
    if (count != 0 && count == capacity) {
        st_FreeEntry head = so_GetEntry(co_FreeList, count);
        if (head.n_Size == 0) {
            unsigned previous = head.n_Offset;
            unsigned current = n_Read(previous + 4);
            if (b_Failed(__LINE__)) return 0;
            for (unsigned steps = 0; current != 0 && steps < e_ChainWalkLimit; ++steps) {
                unsigned word = n_Read(current);
                if (b_Failed(__LINE__)) return 0;
                // A record's marker: the chain as stored is stale from here.
                if (word >= e_UnfinishedRecord) break;
                unsigned size = n_AlignBlockSize(word);
                unsigned next = n_Read(current + 4);
                if (b_Failed(__LINE__)) return 0;
                // A link or size that leaves the data area is damage, not
                // free space: taking it would write over other data.
                if (!b_IsInDataArea(current, size)) {
                    v_SetError(CT_DatabaseError::e_CorruptData);
                    return 0;
                }
                if (size == need) {
                    v_Write(previous + 4, next);
                    if (b_Failed(__LINE__)) return 0;
                    return current;
                }
                if (size > need) {
                    unsigned rest = current + need;
                    v_Write(rest, size - need);
                    if (b_Failed(__LINE__)) return 0;
                    v_Write(rest + 4, next);
                    if (b_Failed(__LINE__)) return 0;
                    v_Write(previous + 4, rest);
                    if (b_Failed(__LINE__)) return 0;
                    return current;
                }
                previous = current;
                current = next;
            }
        }
    }
    // Nothing free fits: the file grows. The free list did not change.
    v_SetField(e_FreeListCounterField, n_Field(e_FreeListCounterField) - 1);
    if (static_cast<unsigned long long>(end) + need > 0xFFFFFFFFull) {
        // 32-bit offsets cannot address more.
        v_SetError(CT_DatabaseError::e_CorruptData);
        return 0;
    }
    v_SetField(e_EndOffsetField, end + need);
    return end;
}

void CT_RecordManager::v_PutFreeBlock(int, unsigned nOffset, unsigned nSize) {
    unsigned size = n_AlignBlockSize(nSize);
    unsigned capacity = n_Field(e_FreeListCapacityField);
    v_RaiseField(e_FreeListCounterField);
    v_Write(nOffset, size);
    if (b_Failed(__LINE__)) return;
    unsigned count = co_FreeList.n_GetCount();
    if (count < capacity) {
        v_AppendEntry(co_FreeList, {nOffset, size});
        v_SetField(e_FreeListCountField, count + 1);
        return;
    }
    // The list is full: the block goes to the front of the chain behind
    // the last slot. A regular entry there becomes the chain's end.
    st_FreeEntry last = so_GetEntry(co_FreeList, capacity);
    if (last.n_Size != 0) {
        v_Write(last.n_Offset + 4, 0u);
        if (b_Failed(__LINE__)) return;
    }
    v_Write(nOffset + 4, last.n_Offset);
    if (b_Failed(__LINE__)) return;
    v_SetEntry(co_FreeList, capacity, {nOffset, 0});
}
