// Two processes on one record file: the share modes of the open let one
// writer alone in, or any number of readers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Platform/Process.h"

using FileTesting::TemporaryFile;

namespace {

// A program that cannot copy itself starts a fresh instance running only
// this helper test.
char const pcc_ChildArguments[] = "--gtest_filter=RecordManagerProcessChild.RunsTheJobOfAnotherProcess";

// The job: what to do, whether to map, a space and the file's name.
//   'W' hold the file as a writer (after adding one record and flushing),
//   'R' hold it as a reader; both signal once open and close when told.
//   'w', 'r' try to open as a writer or reader and end with
//   e_Refused or e_Opened.
enum : int { e_Held = 0, e_OpenFailed = 1, e_Refused = 10, e_Opened = 11 };

std::string s_Job(char what, int map, TemporaryFile const& file) {
    return std::string(1, what) + (map ? "1 " : "0 ") + file.s_Narrow();
}

int i_ChildBody(char const* job, void* channel) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    CT_UString name(job + 3, ~0u, 0);
    CT_WinFile file(&name, 1024);
    CT_RecordManager records(&file);
    bool writer = job[0] == 'W' || job[0] == 'w';
    records.v_Open(writer ? CT_RecordManager::e_ModeReadWrite : CT_RecordManager::e_ModeRead, job[1] == '1');
    if (job[0] == 'w' || job[0] == 'r') {
        bool refused = errors->b_IsSetError() != 0;
        errors->v_ClearError();
        if (!refused) records.v_Close(1);
        return refused ? e_Refused : e_Opened;
    }
    if (!errors->b_IsSetError() && job[0] == 'W') {
        CT_Buffer data("from the child's writer, longer than its header", 47, 32);
        records.n_AddRecord(&data);
        records.v_Flush();
    }
    int code = errors->b_IsSetError() ? e_OpenFailed : e_Held;
    Platform::b_SignalPeer(channel);  // open (or failed)
    if (code == e_Held) {
        Platform::b_WaitForPeer(channel);  // until the parent has tried
        records.v_Close(1);
    }
    return code;
}

class RecordManagerProcess : public ::testing::Test {
protected:
    void SetUp() override {
        CT_RecordManager records(&co_File);
        records.v_Create(24, 64, 4);
        CT_Buffer data("the parent's first record", 25, 32);
        records.n_AddRecord(&data);
        records.v_Close(1);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    }
    void TearDown() override { errors->v_ClearError(); }

    std::string s_Message() const { return CT_CString(errors->qcuz_GetErrorMessage(), ~0u, 0).qccz_Get(); }
    // Opens a fresh object in the mode; whether the open was refused.
    bool b_Refused(CT_RecordManager::et_OpenMode mode, int map) {
        CT_RecordManager records(&co_File);
        records.v_Open(mode, map);
        bool refused = errors->b_IsSetError() != 0;
        errors->v_ClearError();
        if (!refused) records.v_Close(1);
        return refused;
    }

    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    TemporaryFile co_Temp;
    CT_WinFile co_File{co_Temp.pcco_Name(), 1024};
};

}  // namespace

TEST_F(RecordManagerProcess, WriterInAnotherProcessExcludesWritersAndReaders) {
    for (int map = 0; map < 2; ++map) {
        SCOPED_TRACE(map ? "the child maps" : "the child does not map");
        std::string job = s_Job('W', map, co_Temp);
        void* child = Platform::h_StartChild(&i_ChildBody, job.c_str(), pcc_ChildArguments);
        if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
        ASSERT_TRUE(Platform::b_WaitForPeer(child));
        EXPECT_TRUE(b_Refused(CT_RecordManager::e_ModeReadWrite, 0));
        EXPECT_TRUE(b_Refused(CT_RecordManager::e_ModeReadWrite, 1));
        EXPECT_TRUE(b_Refused(CT_RecordManager::e_ModeRead, 0));
        EXPECT_TRUE(b_Refused(CT_RecordManager::e_ModeRead, 1));
        Platform::b_SignalPeer(child);
        EXPECT_EQ(Platform::i_WaitForChild(child), e_Held);
    }
    // Once the writer has closed, its records are there for the next one.
    CT_RecordManager records(&co_File);
    records.v_Open(CT_RecordManager::e_ModeReadWrite, 0);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(records.n_GetRecordCount(), 3u);
    EXPECT_FALSE(records.b_IsCorrupt());
    records.v_Close(1);
}

TEST_F(RecordManagerProcess, ReadersShareTheFileAndExcludeWriters) {
    for (int map = 0; map < 2; ++map) {
        SCOPED_TRACE(map ? "mapped" : "not mapped");
        // The child reads while this process reads too, and no one writes.
        std::string job = s_Job('R', map, co_Temp);
        void* child = Platform::h_StartChild(&i_ChildBody, job.c_str(), pcc_ChildArguments);
        if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
        ASSERT_TRUE(Platform::b_WaitForPeer(child));
        {
            CT_RecordManager reader(&co_File);
            reader.v_Open(CT_RecordManager::e_ModeRead, map);
            ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
            CT_Buffer data;
            unsigned next = reader.n_GetNextRecord(0, &data);
            EXPECT_NE(next, 0u);
            EXPECT_TRUE(data.b_IsEqual("the parent's first record", 25, 0));
            reader.v_Close(1);
        }
        EXPECT_TRUE(b_Refused(CT_RecordManager::e_ModeReadWrite, map));
        Platform::b_SignalPeer(child);
        EXPECT_EQ(Platform::i_WaitForChild(child), e_Held);

        // And the other way round: this process reads, the child tries.
        CT_RecordManager reader(&co_File);
        reader.v_Open(CT_RecordManager::e_ModeRead, map);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        for (char what : {'r', 'w'}) {
            job = s_Job(what, map, co_Temp);
            child = Platform::h_StartChild(&i_ChildBody, job.c_str(), pcc_ChildArguments);
            ASSERT_NE(child, nullptr);
            EXPECT_EQ(Platform::i_WaitForChild(child), what == 'r' ? e_Opened : e_Refused) << what;
        }
        reader.v_Close(1);
    }
    // A writer here keeps a reader of the child out as well.
    CT_RecordManager writer(&co_File);
    writer.v_Open(CT_RecordManager::e_ModeReadWrite, 1);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    std::string job = s_Job('r', 0, co_Temp);
    void* child = Platform::h_StartChild(&i_ChildBody, job.c_str(), pcc_ChildArguments);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Platform::i_WaitForChild(child), e_Refused);
    writer.v_Close(1);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

// Runs only in a program started by h_StartChild where the system cannot
// copy a running process; never returns there.
TEST(RecordManagerProcessChild, RunsTheJobOfAnotherProcess) {
    char const* value = std::getenv(Platform::pcc_ChildVariable);
    if (value == nullptr) GTEST_SKIP() << "only the helper of another process";
    Platform::v_RunChild(&i_ChildBody, value);
}
