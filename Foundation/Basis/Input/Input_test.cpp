#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"

using FileTesting::TemporaryFile;

namespace {

class Input : public ::testing::Test {
protected:
    void TearDown() override { CT_ErrorManager::spco_Get()->v_ClearError(); }

    // Every chunk the stream hands out, as lengths, and the bytes.
    static std::vector<unsigned> an_Chunks(CT_Input& input, std::string* bytes) {
        std::vector<unsigned> lengths;
        unsigned char const* data;
        unsigned length;
        while (input.vb_GetNextBuffer(&data, &length)) {
            lengths.push_back(length);
            bytes->append(reinterpret_cast<char const*>(data), length);
            if (lengths.size() > 1000) break;
        }
        return lengths;
    }
};

unsigned char const auc_Ten[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

}  // namespace

TEST_F(Input, MemoryStreamChunksCopiesAndSkips) {
    CT_MemoryInput input(4, auc_Ten, 10);
    std::string bytes;
    EXPECT_EQ(an_Chunks(input, &bytes), (std::vector<unsigned>{4, 4, 2}));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(input.vn_GetOffset(), 10u);
    EXPECT_NE(input.vb_IsEmpty(), 0);

    input.v_Set(4, auc_Ten, 10);
    unsigned char const* data = nullptr;
    unsigned length = 99;
    EXPECT_EQ(input.vb_GetNextBuffer(0, &data, &length), 1);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(input.vn_GetOffset(), 0u);
    unsigned char target[16];
    EXPECT_EQ(input.vb_CopyNextBuffer(target, 3), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(target), 3), "012");
    EXPECT_EQ(input.vb_Skip(2), 1);
    EXPECT_EQ(input.vn_GetOffset(), 5u);
    EXPECT_EQ(input.vb_CopyNextBuffer(target, 8), 0);  // only 5 left: bounded, and answers 0
    EXPECT_NE(input.vb_IsEmpty(), 0);
    EXPECT_EQ(input.vb_CopyNextBuffer(target, 1), 0);
    input.v_Set(4, auc_Ten, 10);
    EXPECT_EQ(input.vb_Skip(10), 0);

    // A copy reads the same block independently.
    input.v_Set(4, auc_Ten, 10);
    input.vb_Skip(3);
    CT_MemoryInput copy(input);
    EXPECT_EQ(copy.vn_GetOffset(), 3u);
    copy.vb_Skip(3);
    EXPECT_EQ(input.vn_GetOffset(), 3u);

    unsigned char const wide[] = {0xFF, 0xFE, 'a', 0, 'b', 0};
    CT_MemoryInput text(2, wide, sizeof wide);
    text.vb_Skip(4);
    EXPECT_NE(text.vb_IsUnicode(), 0);  // asked of the block's start
    CT_MemoryInput odd(2, auc_Ten, 9);
    EXPECT_EQ(odd.vb_IsUnicode(), 0);
}

TEST_F(Input, FileStreamReadsChunkByChunk) {
    TemporaryFile temp;
    temp.v_Write("0123456789");
    CT_FileInput input(4, temp.pcco_Name());
    input.vv_Open();
    ASSERT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
    EXPECT_EQ(input.vn_GetSize(), 10u);
    EXPECT_EQ(input.vb_IsUnicode(), 0);
    std::string bytes;
    EXPECT_EQ(an_Chunks(input, &bytes), (std::vector<unsigned>{4, 4, 2}));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_NE(input.vb_IsEmpty(), 0);
    input.vv_Close();

    input.vv_Open();
    EXPECT_EQ(input.vb_Skip(3), 1);
    unsigned char target[16];
    EXPECT_EQ(input.vb_CopyNextBuffer(target, 4), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(target), 4), "3456");
    EXPECT_EQ(input.vb_CopyNextBuffer(target, 8), 0);  // 3 left
    EXPECT_EQ(input.vn_GetOffset(), 10u);
    input.vv_Close();
    input.vv_Open();
    EXPECT_EQ(input.vb_Skip(50), 1);  // stops at the end
    EXPECT_EQ(input.vn_GetOffset(), 10u);
    EXPECT_EQ(input.vb_Skip(1), 0);
    input.vv_Close();

    // Asking for nothing reads nothing, closes the file and answers 0.
    input.vv_Open();
    unsigned char const* data;
    unsigned length;
    EXPECT_EQ(input.vb_GetNextBuffer(0, &data, &length), 0);
    EXPECT_FALSE(input.pcco_GetFile()->b_IsOpen());
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());

    temp.v_Write("");
    input.v_Set(8, temp.pcco_Name());
    input.vv_Open();
    EXPECT_EQ(input.vb_GetNextBuffer(&data, &length), 0);
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());

    // A missing file: the open reports, with this stream's location.
    input.vv_Close();
    temp.v_Delete();
    input.v_Set(8, temp.pcco_Name());
    input.vv_Open();
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_STREQ(errors->qccz_GetLocationFileAt(errors->n_GetLocationCount()), "Foundation/Basis/Input/Input");
}

TEST_F(Input, MappedStreamOverTheView) {
    TemporaryFile temp;
    temp.v_Write("abcde");
    CT_MappedFileInput input(2, temp.pcco_Name());
    input.vv_Open();
    ASSERT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
    EXPECT_EQ(input.vn_GetSize(), 5u);
    unsigned char target[8];
    EXPECT_EQ(input.vb_CopyNextBuffer(target, 8), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(target), 5), "abcde");
    EXPECT_NE(input.vb_IsEmpty(), 0);
    input.vv_Close();

    input.vv_Open();
    std::string bytes;
    EXPECT_EQ(an_Chunks(input, &bytes), (std::vector<unsigned>{2, 2, 1}));
    EXPECT_EQ(bytes, "abcde");
    input.vv_Close();
    input.vv_Open();
    EXPECT_EQ(input.vb_Skip(100), 1);
    EXPECT_EQ(input.vb_Skip(1), 0);
    input.vv_Close();
    EXPECT_FALSE(input.pcco_GetFile()->b_IsOpen());

    temp.v_Write("");
    input.vv_Open();
    EXPECT_NE(input.vb_IsEmpty(), 0);
    input.vv_Close();
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}
