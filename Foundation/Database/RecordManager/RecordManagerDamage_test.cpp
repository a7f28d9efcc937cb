// Damaged files: offsets read from a file are checked against the data
// area before anything is freed, reused or written there, and a header
// whose geometry no creation could make opens for reading but takes no
// change. Valid files are not affected; the header and the tables are
// checked on disk after each close.
#include "Foundation/Database/RecordManager/RecordManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/Database/RecordManager/RecordManagerTesting.h"

using namespace RecordManagerTesting;

namespace {

class RecordManagerDamage : public RecordFileTest {
protected:
    static constexpr unsigned B = 64;
    static constexpr unsigned R = 2;
    unsigned const d = n_DataStart(B, R);  // 1344

    // Two records with bodies and one resource, closed.
    void v_MakeFile() {
        auto manager = po_Create(8, B, R);
        CT_Buffer first = co_Buffer(s_Data(40, 1)), second = co_Buffer(s_Data(40, 2)), resource = co_Buffer("res");
        n_First = manager->n_AddRecord(&first);
        n_Second = manager->n_AddRecord(&second);
        manager->v_AddResource(7, &resource);
        v_Close(*manager, 1);
    }
    // The header's counters aside, the file below the data area.
    static std::string s_Tables(std::string const& disk, unsigned dataStart) {
        return disk.substr(256, dataStart - 256);
    }

    unsigned n_First = 0, n_Second = 0;
};

}  // namespace

TEST_F(RecordManagerDamage, OffsetsOutsideTheDataAreaAreNeitherFreedNorWritten) {
    v_MakeFile();
    std::string const good = s_Disk();
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        // A body offset and a resource offset that point into the free-list
        // table, where the word reads 0 (an empty body, an empty resource).
        std::string damaged = good;
        v_PutWord(damaged, n_Second * B + 4, 256);
        v_PutWord(damaged, e_AtResourceTable + 4, 256 + 8);
        v_SetDisk(damaged);
        auto manager = po_Manager();
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        CT_Buffer longer = co_Buffer(s_Data(300, 3)), shorter = co_Buffer(s_Data(20, 3));
        manager->v_DeleteRecord(n_Second);
        EXPECT_EQ(n_TakeCode(), 31005u);
        manager->v_UpdateRecord(n_Second, &longer);
        EXPECT_EQ(n_TakeCode(), 31005u);
        manager->v_UpdateRecord(n_Second, &shorter);  // same blocks: in place
        EXPECT_EQ(n_TakeCode(), 31005u);
        manager->v_DeleteResource(7);
        EXPECT_EQ(n_TakeCode(), 31005u);
        manager->v_UpdateResource(7, &longer);
        EXPECT_EQ(n_TakeCode(), 31005u);
        EXPECT_EQ(manager->n_GetRecordCount(), 2u);
        // New blocks still come from the data area; the tables stay as
        // they were.
        CT_Buffer more = co_Buffer(s_Data(40, 4));
        unsigned added = manager->n_AddRecord(&more);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_GE(added * B, d);
        v_Close(*manager, 1);
        std::string disk = s_Disk();
        EXPECT_EQ(s_Tables(disk, d), s_Tables(damaged, d));
        EXPECT_EQ(disk.substr(d, good.size() - d), damaged.substr(d));
        EXPECT_EQ(n_Word(disk, e_AtRecordCount), 3u);

        // A free-list entry inside the tables whose word there matches its
        // size (as a faulty freeing would have left it) is passed over;
        // one past the end offset too.
        damaged = good;
        v_PutWord(damaged, e_AtFreeCount, 2);
        v_PutWord(damaged, e_AtFreeTable, 512);
        v_PutWord(damaged, e_AtFreeTable + 4, B);
        v_PutWord(damaged, 512, B);
        v_PutWord(damaged, e_AtFreeTable + 8, static_cast<unsigned>(good.size()));
        v_PutWord(damaged, e_AtFreeTable + 12, B);
        v_SetDisk(damaged);
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        added = manager->n_AddRecord(&more);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(added * B, good.size());  // from the end
        CT_Buffer back;
        manager->v_GetRecord(added, &back);
        EXPECT_EQ(s_Bytes(back), s_Data(40, 4));
        v_Close(*manager, 1);
        EXPECT_EQ(s_Tables(s_Disk(), d), s_Tables(damaged, d));
    }
}

TEST_F(RecordManagerDamage, ChainHeadTakenByARecordStaysThatRecords) {
    // 140 one-block records freed: 127 list entries and the chain head in
    // slot 128, the last block freed.
    auto manager = po_Create(8, B, 1);
    unsigned const start = n_DataStart(B, 1);
    std::vector<unsigned> numbers;
    for (unsigned i = 0; i < 140; ++i) {
        CT_Buffer data = co_Buffer(s_Data(8, i));
        numbers.push_back(manager->n_AddRecord(&data));
    }
    for (unsigned number : numbers) manager->v_DeleteRecord(number);
    v_Close(*manager, 1);
    unsigned const head = start + 139 * B;
    ASSERT_EQ(n_Word(s_Disk(), e_AtFreeTable + 127 * 8), head);

    // A writer that ended without closing took the head's block for a
    // record after the list was written: its marker is there now, and its
    // body offset where the chain link was.
    std::string damaged = s_Disk();
    unsigned const body = start + 140 * B;
    v_PutWord(damaged, head, 0xFFFFFFFF);
    v_PutWord(damaged, head + 4, body);
    damaged.replace(head + 8, 8, s_Data(8, 77));
    v_PutWord(damaged, body, 4 + 20);
    damaged.replace(body + 4, 20, s_Data(20, 78));
    v_PutWord(damaged, e_AtEnd, body + B);
    v_PutWord(damaged, e_AtRecordCount, 1);
    damaged.resize(body + B, '\0');
    std::string const record = s_Data(8, 77) + s_Data(20, 78);
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        v_SetDisk(damaged);
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        // Two blocks fit no list entry: the chain would be walked from the
        // head's link, which is now the record's body.
        CT_Buffer twoBlocks = co_Buffer(s_Data(124, 5));
        manager->v_AddResource(1, &twoBlocks);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        // One block fits the first entry exactly: the head would move into
        // its place as a free block.
        std::vector<unsigned> added;
        for (unsigned i = 0; i < 130; ++i) {
            CT_Buffer one = co_Buffer(s_Data(8, 200 + i));
            added.push_back(manager->n_AddRecord(&one));
            ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        }
        for (unsigned number : added) EXPECT_NE(number * B, head);
        CT_Buffer back;
        manager->v_GetRecord(head / B, &back);
        EXPECT_EQ(s_Bytes(back), record);
        manager->v_GetResource(1, &back);
        EXPECT_EQ(s_Bytes(back), s_Data(124, 5));
        EXPECT_FALSE(manager->b_IsCorrupt());
        v_Close(*manager, 1);
        std::string disk = s_Disk();
        for (unsigned i = 0; i < n_Word(disk, e_AtFreeCount) && i < 128; ++i)
            EXPECT_NE(n_Word(disk, e_AtFreeTable + 8 * i), head) << i;
    }
}

TEST_F(RecordManagerDamage, GeometryNoCreationMakesOpensButTakesNoChange) {
    v_MakeFile();
    std::string const good = s_Disk();
    struct st_Damage {
        char const* pc_What;
        unsigned n_At, n_Value;
        unsigned n_ChangeCode;  // what a change raises; 0: changes work
    };
    st_Damage const damages[] = {
        {"header size past 32 bits", e_AtHeaderSize, 0xFFFFFFF0u, 31050},
        {"block size 0", e_AtBlockSize, 0, 31050},
        {"block size 4", e_AtBlockSize, 4, 31050},
        {"no free-list slot", e_AtFreeCapacity, 0, 31050},
        {"tables past 32 bits", e_AtFreeCapacity, 0x20000000u, 31050},
        {"resource table past 32 bits", e_AtResourceMax, 0x1FFFFFF0u, 31050},
        {"free count beyond the table", e_AtFreeCount, 200, 0},
        {"resource count beyond the table", e_AtResourceCount, 9, 0},
        {"end offset before the data area", e_AtEnd, e_AtResourceTable + 8 * R, 31005},
        {"end offset off a block border", e_AtEnd, static_cast<unsigned>(good.size()) + 1, 31005},
    };
    for (st_Damage const& damage : damages) {
        for (auto mode : {CT_RecordManager::e_ModeRead, CT_RecordManager::e_ModeReadWrite}) {
            for (int map : {0, 1}) {
                SCOPED_TRACE(::testing::Message() << damage.pc_What << ", mode " << mode << " map " << map);
                std::string damaged = good;
                v_PutWord(damaged, damage.n_At, damage.n_Value);
                v_SetDisk(damaged);
                auto manager = po_Manager();
                v_Reopen(*manager, mode, map);
                // Reads, scans and the check run to an end, with or without
                // an error.
                CT_Buffer back;
                manager->v_GetRecord(n_First, &back);
                errors->v_ClearError();
                for (unsigned from = 0, calls = 0; calls < 100; ++calls) {
                    from = manager->n_GetNextRecord(from, &back);
                    errors->v_ClearError();
                    if (from == 0) break;
                }
                manager->b_IsCorrupt();
                errors->v_ClearError();
                if (mode != CT_RecordManager::e_ModeReadWrite) {
                    manager->v_Close(1);
                    EXPECT_EQ(s_Disk(), damaged);
                    continue;
                }
                CT_Buffer data = co_Buffer(s_Data(40, 9));
                unsigned added = manager->n_AddRecord(&data);
                if (damage.n_ChangeCode == 0) {
                    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
                    EXPECT_GE(added * B, d);
                    manager->v_DeleteRecord(n_First);
                    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
                    v_Close(*manager, 1);
                    // The counts were clamped to their tables.
                    std::string disk = s_Disk();
                    EXPECT_LE(n_Word(disk, e_AtFreeCount), 128u);
                    EXPECT_LE(n_Word(disk, e_AtResourceCount), R);
                    EXPECT_EQ(disk.substr(e_AtResourceTable + 8 * R, d - e_AtResourceTable - 8 * R),
                              damaged.substr(e_AtResourceTable + 8 * R, d - e_AtResourceTable - 8 * R));
                    continue;
                }
                EXPECT_EQ(added, 0u);
                EXPECT_EQ(n_TakeCode(), damage.n_ChangeCode);
                if (damage.n_ChangeCode != 31050) {
                    // Only growing the file is refused.
                    manager->v_Close(1);
                    errors->v_ClearError();
                    continue;
                }
                v_ExpectRecordChangesFail(*manager, n_First, 0);
                manager->v_AddResource(8, &data);
                EXPECT_NE(n_TakeCode(), 0u);
                manager->v_Close(1);
                errors->v_ClearError();
                // Nothing was changed, so nothing was written back.
                EXPECT_EQ(s_Disk(), damaged);
            }
        }
    }
}

TEST_F(RecordManagerDamage, ResourceTableOutOfOrderIsPutInOrder) {
    unsigned const count = 200;
    auto manager = po_Create(8, B, count);
    for (unsigned i = 0; i < count; ++i) {
        CT_Buffer data = co_Buffer(s_Data(12, i));
        manager->v_AddResource(i * 2654435761u, &data);
    }
    v_Close(*manager, 1);
    // The table reversed: the worst order for a sort that takes the first
    // or the last key as its pivot.
    std::string disk = s_Disk();
    std::string reversed = disk;
    for (unsigned i = 0; i < count; ++i)
        reversed.replace(e_AtResourceTable + 8 * i, 8, disk.substr(e_AtResourceTable + 8 * (count - 1 - i), 8));
    v_SetDisk(reversed);
    for (int map : {0, 1}) {
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, map);
        ASSERT_EQ(manager->n_GetResourceCount(), count);
        for (unsigned i = 2; i <= count; ++i)
            EXPECT_LT(manager->n_GetResourceKeyAt(i - 1), manager->n_GetResourceKeyAt(i)) << i;
        for (unsigned i = 0; i < count; i += 17) {
            CT_Buffer back;
            manager->v_GetResource(i * 2654435761u, &back);
            EXPECT_EQ(s_Bytes(back), s_Data(12, i)) << i;
        }
        manager->v_Close(1);
    }
}
