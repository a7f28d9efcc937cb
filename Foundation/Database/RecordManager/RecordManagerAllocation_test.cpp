// Allocation and freeing: the free list in list order, first fit, exact
// fits and split blocks, and the overflow chain behind a full list. The
// file's free-list table and the blocks' size and link words are checked
// on disk after each close.
#include "Foundation/Database/RecordManager/RecordManager.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Foundation/Database/RecordManager/RecordManagerTesting.h"

using namespace RecordManagerTesting;

namespace {

class RecordAllocation : public RecordFileTest {
protected:
    unsigned n_Add(CT_RecordManager& manager, unsigned length, unsigned seed) {
        CT_Buffer buffer = co_Buffer(s_Data(length, seed));
        unsigned number = manager.n_AddRecord(&buffer);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        return number;
    }
    void v_Delete(CT_RecordManager& manager, unsigned number) {
        manager.v_DeleteRecord(number);
        EXPECT_FALSE(errors->b_IsSetError()) << number << ": " << s_Message();
    }
    // A resource block of exactly the given size (a multiple of the block).
    void v_AddBlock(CT_RecordManager& manager, unsigned key, unsigned size) {
        CT_Buffer buffer = co_Buffer(s_Data(size - 4, key));
        manager.v_AddResource(key, &buffer);
        EXPECT_FALSE(errors->b_IsSetError()) << key << ": " << s_Message();
    }
    unsigned n_ResourceAt(std::string const& disk, unsigned key) {
        for (unsigned i = 0; i < n_Word(disk, e_AtResourceCount); ++i)
            if (n_Word(disk, e_AtResourceTable + 8 * i) == key) return n_Word(disk, e_AtResourceTable + 8 * i + 4);
        return 0;
    }
    // The free-list table on disk as {offset, size} pairs.
    static std::vector<std::pair<unsigned, unsigned>> ao_FreeList(std::string const& disk) {
        std::vector<std::pair<unsigned, unsigned>> list;
        for (unsigned i = 0; i < n_Word(disk, e_AtFreeCount) && i < 128; ++i)
            list.emplace_back(n_Word(disk, e_AtFreeTable + 8 * i), n_Word(disk, e_AtFreeTable + 8 * i + 4));
        return list;
    }
    void v_CloseAndRead(CT_RecordManager& manager, std::string* disk) {
        v_Close(manager, 0);
        *disk = s_Disk();
    }
    using RecordFileTest::v_Reopen;
    void v_Reopen(CT_RecordManager& manager, int map) {
        v_Reopen(manager, CT_RecordManager::e_ModeReadWrite, map);
    }

    static unsigned const B = 64;
    static unsigned const d = 1280;  // the data area of files without resources
};

using Blocks = std::vector<std::pair<unsigned, unsigned>>;

}  // namespace

TEST_F(RecordAllocation, SameLengthReusesTheSameBlocks) {
    auto manager = po_Create(8, B, 0);
    manager->v_Close(1);
    v_Reopen(*manager, 0);
    unsigned first = n_Add(*manager, 8 + 100, 1);  // fixed d, body of 104 at d + 64
    n_Add(*manager, 8, 2);                         // d + 192
    v_Delete(*manager, first);
    std::string disk;
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(ao_FreeList(disk), (Blocks{{d, 64}, {d + 64, 128}}));
    EXPECT_EQ(n_Word(disk, e_AtFreeCounter), 3u);

    v_Reopen(*manager, 0);
    EXPECT_EQ(n_Add(*manager, 8 + 100, 3), first);
    CT_Buffer back;
    manager->v_GetRecord(first, &back);
    EXPECT_EQ(s_Bytes(back), s_Data(8 + 100, 3));
    EXPECT_EQ(manager->n_GetSize(), d + 256);
    v_CloseAndRead(*manager, &disk);
    v_ExpectWords(disk, {{e_AtFreeCount, 0u}, {e_AtFreeCounter, 5u},  // one raise per block taken from the list
                         {e_AtEnd, d + 256}, {d, 0xFFFFFFFFu}, {d + 4, d + 64},
                         {d + 64, 104u}});
}

TEST_F(RecordAllocation, LargerBlocksAreSplitAtTheFront) {
    auto manager = po_Create(8, B, 4);
    unsigned const start = n_DataStart(B, 4);  // 1344
    unsigned record = n_Add(*manager, 8 + 188, 1);  // fixed at start, body of 3 blocks behind it
    n_Add(*manager, 8, 2);
    v_Delete(*manager, record);
    EXPECT_EQ(manager->n_GetSize(), start + 320);

    v_AddBlock(*manager, 1, 64);  // exact fit: the fixed part's block
    v_AddBlock(*manager, 2, 64);  // the front of the three blocks
    std::string disk;
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(n_ResourceAt(disk, 1), start);
    EXPECT_EQ(n_ResourceAt(disk, 2), start + 64);
    EXPECT_EQ(ao_FreeList(disk), (Blocks{{start + 128, 128}}));
    EXPECT_EQ(n_Word(disk, start + 128), 128u);  // the rest's size word
    EXPECT_EQ(n_Word(disk, e_AtEnd), start + 320);

    v_Reopen(*manager, 1);
    v_AddBlock(*manager, 3, 128);  // the rest, exactly
    v_AddBlock(*manager, 4, 64);   // from the end
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(n_ResourceAt(disk, 3), start + 128);
    EXPECT_EQ(n_ResourceAt(disk, 4), start + 320);
    EXPECT_EQ(n_Word(disk, e_AtFreeCount), 0u);
    EXPECT_EQ(n_Word(disk, e_AtEnd), start + 384);
    v_Reopen(*manager, 0);
    for (unsigned key = 1; key <= 4; ++key) {
        CT_Buffer back;
        manager->v_GetResource(key, &back);
        EXPECT_EQ(s_Bytes(back), s_Data(key == 3 ? 124 : 60, key)) << key;
    }
    manager->v_Close(1);
}

TEST_F(RecordAllocation, FirstFitInListOrder) {
    auto manager = po_Create(8, B, 8);
    unsigned const start = n_DataStart(B, 8);  // 1344
    unsigned const sizes[] = {64, 192, 128, 64, 64};
    for (unsigned key = 1; key <= 5; ++key) v_AddBlock(*manager, key, sizes[key - 1]);
    unsigned const r1 = start, r2 = start + 64, r3 = start + 256, r4 = start + 384;
    for (unsigned key = 1; key <= 4; ++key) {
        manager->v_DeleteResource(key);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    }
    std::string disk;
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(ao_FreeList(disk), (Blocks{{r1, 64}, {r2, 192}, {r3, 128}, {r4, 64}}));

    v_Reopen(*manager, 0);
    v_AddBlock(*manager, 6, 128);  // the first that fits: r2, split, the rest in its place
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(n_ResourceAt(disk, 6), r2);
    EXPECT_EQ(ao_FreeList(disk), (Blocks{{r1, 64}, {r2 + 128, 64}, {r3, 128}, {r4, 64}}));
    EXPECT_EQ(n_Word(disk, r2 + 128), 64u);

    v_Reopen(*manager, 1);
    v_AddBlock(*manager, 7, 128);  // exact fit in the middle: the last entry moves there
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(n_ResourceAt(disk, 7), r3);
    EXPECT_EQ(ao_FreeList(disk), (Blocks{{r1, 64}, {r2 + 128, 64}, {r4, 64}}));

    v_Reopen(*manager, 1);
    v_AddBlock(*manager, 8, 64);
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(n_ResourceAt(disk, 8), r1);
    EXPECT_EQ(ao_FreeList(disk), (Blocks{{r4, 64}, {r2 + 128, 64}}));
    EXPECT_EQ(n_Word(disk, e_AtEnd), start + 512);
}

TEST_F(RecordAllocation, FullListChainsFurtherBlocks) {
    auto manager = po_Create(8, B, 0);
    std::vector<unsigned> numbers;
    for (unsigned i = 0; i < 140; ++i) numbers.push_back(n_Add(*manager, 8, i));
    unsigned keeper = n_Add(*manager, 20, 999);
    for (unsigned i = 0; i < 140; ++i) ASSERT_EQ(numbers[i], d / B + i);
    for (unsigned number : numbers) v_Delete(*manager, number);
    EXPECT_EQ(manager->n_GetRecordCount(), 1u);
    std::string disk;
    v_CloseAndRead(*manager, &disk);

    // 127 regular entries, then the chain head in slot 128: the last block
    // freed, linked back block by block to the one that held slot 128,
    // which ends the chain.
    auto block = [](unsigned i) { return d + B * i; };
    ASSERT_EQ(n_Word(disk, e_AtFreeCount), 128u);
    Blocks list = ao_FreeList(disk);
    for (unsigned i = 0; i < 127; ++i) EXPECT_EQ(list[i], std::make_pair(block(i), 64u)) << i;
    EXPECT_EQ(list[127], std::make_pair(block(139), 0u));
    for (unsigned i = 127; i < 140; ++i) {
        EXPECT_EQ(n_Word(disk, block(i)), 64u) << i;
        EXPECT_EQ(n_Word(disk, block(i) + 4), i == 127 ? 0u : block(i - 1)) << i;
    }
    EXPECT_EQ(n_Word(disk, e_AtFreeCounter), 1u + 140);

    // The full list is read back with its head; the scans pass the chain.
    v_Reopen(*manager, 0);
    EXPECT_EQ(manager->n_GetNextRecord(0, nullptr), keeper + 1);
    EXPECT_EQ(manager->n_GetNextRecordRobust(0, nullptr), keeper + 1);
    EXPECT_FALSE(manager->b_IsCorrupt());

    // Each exact fit at the front pulls the chain head into that place and
    // the next chain block becomes the head, until the chain's end.
    std::vector<unsigned> taken, expected = {0};
    for (unsigned i = 139; i >= 127; --i) expected.push_back(i);
    for (unsigned k = 0; k < expected.size(); ++k) taken.push_back(n_Add(*manager, 8, 500 + k) - d / B);
    EXPECT_EQ(taken, expected);
    v_CloseAndRead(*manager, &disk);
    list = ao_FreeList(disk);
    EXPECT_EQ(n_Word(disk, e_AtFreeCount), 126u);
    ASSERT_EQ(list.size(), 126u);
    EXPECT_EQ(list[0], std::make_pair(block(126), 64u));  // the last regular entry moved to the front
    for (unsigned i = 1; i < 126; ++i) EXPECT_EQ(list[i], std::make_pair(block(i), 64u)) << i;
    EXPECT_EQ(n_Word(disk, e_AtEnd), block(142));  // the keeper and its body
    EXPECT_EQ(n_Word(disk, e_AtRecordCount), 1u + 14);

    v_Reopen(*manager, 1);
    unsigned found = 0;
    for (unsigned from = 0; (from = manager->n_GetNextRecord(from, nullptr)) != 0;) ++found;
    EXPECT_EQ(found, 15u);
    manager->v_Close(1);
}

TEST_F(RecordAllocation, AllocationWalksTheChainWhenNoEntryFits) {
    auto manager = po_Create(8, B, 4);
    unsigned const start = n_DataStart(B, 4);
    std::vector<unsigned> small;
    for (unsigned i = 0; i < 126; ++i) small.push_back(n_Add(*manager, 8, i));
    unsigned w0 = n_Add(*manager, 8 + 60, 1000);  // body of one block whose data is not zero
    unsigned w[3];
    for (unsigned i = 0; i < 3; ++i) w[i] = n_Add(*manager, 8 + 188, 1001 + i);  // bodies of 192
    unsigned end = manager->n_GetSize();
    for (unsigned number : small) v_Delete(*manager, number);
    v_Delete(*manager, w0);  // fills slots 127 (fixed part) and 128 (body)
    for (unsigned i = 0; i < 3; ++i) v_Delete(*manager, w[i]);
    EXPECT_EQ(manager->n_GetRecordCount(), 0u);
    std::string disk;
    v_CloseAndRead(*manager, &disk);

    unsigned const w0Body = (w0 + 1) * B;
    auto fixed = [&](unsigned i) { return w[i] * B; };
    auto body = [&](unsigned i) { return (w[i] + 1) * B; };
    // The entry in slot 128 was a regular block: its link word now ends the chain.
    EXPECT_EQ(n_Word(disk, w0Body + 4), 0u);
    Blocks list = ao_FreeList(disk);
    ASSERT_EQ(list.size(), 128u);
    EXPECT_EQ(list[126], std::make_pair(w0 * B, 64u));
    EXPECT_EQ(list[127], std::make_pair(body(2), 0u));
    // Chain: body 2, fixed 2, body 1, fixed 1, body 0, fixed 0, w0's body.
    std::vector<std::pair<unsigned, unsigned>> links = {{body(2), fixed(2)}, {fixed(2), body(1)}, {body(1), fixed(1)},
                                                        {fixed(1), body(0)}, {body(0), fixed(0)}, {fixed(0), w0Body}};
    for (auto const& [from, to] : links) EXPECT_EQ(n_Word(disk, from + 4), to) << from;
    EXPECT_EQ(n_Word(disk, body(1)), 192u);

    v_Reopen(*manager, 0);
    // 192 bytes: no list entry fits; the walk starts behind the head's own
    // block and takes body 1 whole, linking fixed 2 to fixed 1.
    v_AddBlock(*manager, 1, 192);
    // 128 bytes: body 0 is split; its rest keeps its place in the chain.
    v_AddBlock(*manager, 2, 128);
    // 128 bytes again: nothing left that fits, so the end grows.
    v_AddBlock(*manager, 3, 128);
    // One block: the first list entry, exactly; the chain head moves into
    // its place as a regular entry and the next chain block becomes the head.
    v_AddBlock(*manager, 4, 64);
    EXPECT_EQ(manager->n_GetSize(), end + 128);
    v_CloseAndRead(*manager, &disk);
    EXPECT_EQ(n_ResourceAt(disk, 1), body(1));
    EXPECT_EQ(n_ResourceAt(disk, 2), body(0));
    EXPECT_EQ(n_ResourceAt(disk, 3), end);
    EXPECT_EQ(n_ResourceAt(disk, 4), start);
    v_ExpectWords(disk, {{fixed(2) + 4, fixed(1)}, {fixed(1) + 4, body(0) + 128}, {body(0) + 128, 64u},
                         {body(0) + 128 + 4, fixed(0)}, {fixed(0) + 4, w0Body}, {e_AtFreeCount, 128u}});
    list = ao_FreeList(disk);
    ASSERT_EQ(list.size(), 128u);
    EXPECT_EQ(list[0], std::make_pair(body(2), 192u));
    EXPECT_EQ(list[127], std::make_pair(fixed(2), 0u));

    v_Reopen(*manager, 1);
    for (unsigned key = 1; key <= 4; ++key) {
        CT_Buffer back;
        manager->v_GetResource(key, &back);
        unsigned const sizes[] = {192, 128, 128, 64};
        EXPECT_EQ(s_Bytes(back), s_Data(sizes[key - 1] - 4, key)) << key;
    }
    EXPECT_EQ(manager->n_GetNextRecord(0, nullptr), 0u);
    EXPECT_FALSE(manager->b_IsCorrupt());
    manager->v_Close(1);
}
