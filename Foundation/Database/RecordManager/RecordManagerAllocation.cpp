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
        // An entry outside the data area, or off block borders, is damage
        // in the table as it was read: handing it out would write a
        // record over the tables or past the end.
        if (entry.n_Size % n_Block() != 0 || !b_IsInDataArea(entry.n_Offset, entry.n_Size)) continue;
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
            // links to, if any, is the new head. A head that is no free
            // block (a record took it since the list was written, or the
            // slot is damaged) ends the chain: both entries leave the list.
            unsigned size = 0, next = 0;
            if (b_IsInDataArea(last.n_Offset, n_Block())) {
                size = n_Read(last.n_Offset);
                if (b_Failed(__LINE__)) return 0;
                next = n_Read(last.n_Offset + 4);
                if (b_Failed(__LINE__)) return 0;
            }
            if (size == 0 || size >= e_UnfinishedRecord || !b_IsInDataArea(last.n_Offset, n_AlignBlockSize(size))) {
                co_FreeList.v_RemoveAt(count);
                --count;
                if (i != count) v_SetEntry(co_FreeList, i, so_GetEntry(co_FreeList, count));
                co_FreeList.v_RemoveAt(count);
                v_SetField(e_FreeListCountField, count - 1);
                return entry.n_Offset;
            }
            v_SetEntry(co_FreeList, i, {last.n_Offset, n_AlignBlockSize(size)});
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
        // The head's own block must still be free, or its link word is
        // some record's (a body offset) and the walk would hand out live
        // data.
        unsigned headWord = 0;
        if (head.n_Size == 0 && b_IsInDataArea(head.n_Offset, n_Block())) {
            headWord = n_Read(head.n_Offset);
            if (b_Failed(__LINE__)) return 0;
        }
        if (head.n_Size == 0 && headWord != 0 && headWord < e_UnfinishedRecord) {
            unsigned previous = head.n_Offset;
            unsigned current = n_Read(previous + 4);
            if (b_Failed(__LINE__)) return 0;
            // A chain longer than the data area has blocks runs round a loop
            // that a damaged link made: nothing new comes after that many.
            unsigned start = n_DataStart();
            unsigned blocks = end > start ? (end - start) / n_Block() + 1 : 1;
            unsigned limit = blocks < e_ChainWalkLimit ? blocks : static_cast<unsigned>(e_ChainWalkLimit);
            for (unsigned steps = 0; current != 0 && steps < limit; ++steps) {
                // A link that leaves the data area is damage: the chain
                // is taken to end there.
                if (!b_IsInDataArea(current, n_Block())) break;
                unsigned word = n_Read(current);
                if (b_Failed(__LINE__)) return 0;
                // A record's marker: the chain as stored is stale from here.
                if (word >= e_UnfinishedRecord) break;
                unsigned size = n_AlignBlockSize(word);
                unsigned next = n_Read(current + 4);
                if (b_Failed(__LINE__)) return 0;
                // A size that leaves the data area is damage, not free
                // space: taking it would write past the end.
                if (!b_IsInDataArea(current, size)) break;
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
    // 32-bit offsets cannot address more; and an end offset inside the
    // tables or off a block border is damage, where a new block would
    // overwrite a table or get a number that names another offset.
    if (static_cast<unsigned long long>(end) + need > 0xFFFFFFFFull || end < n_DataStart() || end % n_Block() != 0) {
        v_SetError(CT_DatabaseError::e_CorruptData);
        return 0;
    }
    v_SetField(e_EndOffsetField, end + need);
    return end;
}

void CT_RecordManager::v_PutFreeBlock(int, unsigned nOffset, unsigned nSize) {
    if (!b_CheckWritablePiece(nOffset, nSize)) return;
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
    // A damaged last entry (outside the data area) is dropped rather than
    // written to: the new block then ends the chain.
    st_FreeEntry last = so_GetEntry(co_FreeList, capacity);
    unsigned link = last.n_Offset;
    if (last.n_Size != 0) {
        if (last.n_Size % n_Block() == 0 && b_IsInDataArea(last.n_Offset, last.n_Size)) {
            v_Write(last.n_Offset + 4, 0u);
            if (b_Failed(__LINE__)) return;
        } else {
            link = 0;
        }
    }
    v_Write(nOffset + 4, link);
    if (b_Failed(__LINE__)) return;
    v_SetEntry(co_FreeList, capacity, {nOffset, 0});
}
