// Reads straight out of a mapped file: records of very different sizes read
// in turn (each read asks for memory ahead by the last one's size), a
// buffer that shares its storage with another, and damaged words met right
// after good reads. The unmapped reads must give the same.
#include "Foundation/Database/RecordManager/RecordManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/Database/RecordManager/RecordManagerTesting.h"

using namespace RecordManagerTesting;

namespace {

class RecordManagerMappedRead : public RecordFileTest {};

}  // namespace

TEST_F(RecordManagerMappedRead, RecordsOfAnySizeReadBackWhateverWasReadBefore) {
    unsigned const H = 16, B = 32;
    // From header-only to far past what a read asks for ahead; the last
    // record ends the file.
    std::vector<unsigned> const lengths = {16, 40000, 17, 2000, 100, 70000, 33, 5000, 16};
    std::vector<unsigned> numbers;
    {
        auto manager = po_Create(H, B, 4);
        for (unsigned k = 0; k < lengths.size(); ++k) {
            CT_Buffer data = co_Buffer(s_Data(lengths[k], k));
            numbers.push_back(manager->n_AddRecord(&data));
        }
        manager->v_Close(1);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    }
    // Large after small, small after large, the file's last record after
    // its largest, and each twice.
    std::vector<unsigned> const order = {5, 8, 0, 1, 2, 1, 3, 4, 8, 7, 6, 5, 0};
    for (int map : {1, 0}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        auto manager = po_Manager();
        manager->v_Open(CT_RecordManager::e_ModeRead, map);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        CT_Buffer read;
        for (unsigned k : order) {
            manager->v_GetRecord(numbers[k], &read);
            EXPECT_EQ(n_TakeCode(), 0u) << "record " << k;
            EXPECT_EQ(s_Bytes(read), s_Data(lengths[k], k)) << "record " << k;
        }
        // A buffer sharing its storage with another gets its own copy: the
        // other keeps its bytes.
        CT_Buffer original = co_Buffer(s_Data(3000, 9));
        CT_Buffer shared = original;
        manager->v_GetRecord(numbers[3], &shared);
        EXPECT_EQ(s_Bytes(shared), s_Data(2000, 3));
        EXPECT_EQ(s_Bytes(original), s_Data(3000, 9));
        manager->v_Close(0);
    }

    // A body whose length word reaches past the end offset, and a record
    // number past the end, each read right after a large record: refused
    // with their codes, the buffer left empty, the next good read whole.
    std::string disk = s_Disk();
    unsigned body = n_Word(disk, numbers[2] * B + 4);
    v_PutWord(disk, body, n_Word(disk, e_AtEnd));
    v_SetDisk(disk);
    for (int map : {1, 0}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        auto manager = po_Manager();
        manager->v_Open(CT_RecordManager::e_ModeRead, map);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        CT_Buffer read;
        manager->v_GetRecord(numbers[5], &read);
        EXPECT_EQ(n_TakeCode(), 0u);
        manager->v_GetRecord(numbers[2], &read);
        EXPECT_EQ(n_TakeCode(), static_cast<unsigned>(CT_DatabaseError::e_CorruptData));
        EXPECT_EQ(read.n_GetUsedSize(), 0u);
        manager->v_GetRecord(numbers[5], &read);
        EXPECT_EQ(n_TakeCode(), 0u);
        manager->v_GetRecord(n_Word(disk, e_AtEnd) / B, &read);
        EXPECT_EQ(n_TakeCode(), static_cast<unsigned>(CT_DatabaseError::e_InvalidReference));
        EXPECT_EQ(read.n_GetUsedSize(), 0u);
        manager->v_GetRecord(numbers[8], &read);
        EXPECT_EQ(n_TakeCode(), 0u);
        EXPECT_EQ(s_Bytes(read), s_Data(16, 8));
        manager->v_Close(0);
    }
}
