// A writer that ended without closing leaves the free list of its last
// flush on disk. The next writer must not hand out blocks that records
// took since then.
#include "Foundation/Database/RecordManager/RecordManagerTesting.h"

using namespace RecordManagerTesting;

namespace {

class RecordManagerRecovery : public RecordFileTest {};

TEST_F(RecordManagerRecovery, StaleFreeListNeverOverwritesALiveRecord) {
    for (int map = 0; map < 2; ++map) {
        unsigned kept;
        {
            std::unique_ptr<CT_RecordManager> manager = po_Create(8, 64, 4);
            manager->v_Close(1);
            manager->v_Open(CT_RecordManager::e_ModeReadWrite, map);
            CT_Buffer first = co_Buffer(s_Data(100, 1));
            CT_Buffer second = co_Buffer(s_Data(100, 2));
            manager->n_AddRecord(&first);
            unsigned t = manager->n_AddRecord(&second);
            manager->v_DeleteRecord(t);
            manager->v_Flush();
            // Takes the blocks the flushed list names as free.
            CT_Buffer kept_data = co_Buffer(s_Data(100, 3));
            kept = manager->n_AddRecord(&kept_data);
            EXPECT_EQ(kept, t);
            ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
            // The object goes without writing back, as a killed process
            // would: the list on disk still names t's blocks, now kept's.
        }
        std::unique_ptr<CT_RecordManager> manager = po_Manager();
        manager->v_Open(CT_RecordManager::e_ModeReadWrite, map);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        for (unsigned seed = 10; seed < 14; ++seed) {
            CT_Buffer data = co_Buffer(s_Data(100, seed));
            EXPECT_NE(manager->n_AddRecord(&data), kept) << "map " << map;
        }
        CT_Buffer read(0, 32);
        manager->v_GetRecord(kept, &read);
        EXPECT_EQ(s_Bytes(read), s_Data(100, 3)) << "map " << map;
        manager->v_Close(1);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    }
}

}  // namespace
