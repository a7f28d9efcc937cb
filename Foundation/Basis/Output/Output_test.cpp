#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Platform/GlobalMemory.h"

using FileTesting::TemporaryFile;
using StringTesting::Text;
using StringTesting::W;

namespace {

class Output : public ::testing::Test {
protected:
    void TearDown() override { CT_ErrorManager::spco_Get()->v_ClearError(); }
};

std::string s_Bytes(CT_Buffer const* buffer) {
    return buffer->n_GetUsedSize() ? std::string(static_cast<char const*>(buffer->qcv_Get()), buffer->n_GetUsedSize())
                                   : std::string();
}

}  // namespace

TEST_F(Output, MemoryOutput) {
    CT_MemoryOutput out;
    out.vv_AppendU(W(u"ab"), 0xFFFFFFFFu);
    EXPECT_EQ(s_Bytes(out.pcco_GetMemory()), std::string("a\0b\0", 4));
    out.vv_AppendC("xyz", 0xFFFFFFFFu, 1252);
    out.vv_Append('-', 3);
    out.vv_Replace("AB", 2, 0);
    EXPECT_EQ(s_Bytes(out.pcco_GetMemory()), std::string("AB" "b\0xyz---", 10));
    out.vv_Append(out);  // itself
    EXPECT_EQ(out.vn_GetSize(), 20u);

    CT_Buffer initial("init", 4, 16);
    CT_MemoryOutput shared(&initial);
    shared.vv_Append("!", 1);
    EXPECT_EQ(s_Bytes(&initial), "init");  // copied on the first write
    EXPECT_EQ(s_Bytes(shared.pcco_GetMemory()), "init!");
    CT_Buffer* given = shared.pco_GiveMemory();
    EXPECT_EQ(shared.vn_GetSize(), 0u);
    EXPECT_EQ(s_Bytes(given), "init!");
    delete given;
    shared.v_Set();
    EXPECT_EQ(shared.vn_GetSize(), 0u);
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}

TEST_F(Output, FileOutput) {
    TemporaryFile temp;
    temp.v_Write("old content that goes");
    {
        CT_FileOutput out(temp.pcco_Name());  // truncates
        out.vv_AppendC("0123456789", 0xFFFFFFFFu, 0);
        out.vv_Replace("abc", 3, 2);
        EXPECT_EQ(out.vn_GetSize(), 10u);
        out.vv_Append('!', 2);
        EXPECT_EQ(out.vn_GetSize(), 12u);
    }
    EXPECT_EQ(temp.s_Read(), "01abc56789!!");

    // On a file the caller opened: writing goes on at its end, and the
    // file stays open afterwards.
    CT_WinFile file(temp.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    {
        CT_FileOutput out(&file);
        out.vv_AppendU(W(u"z"), 1);
    }
    EXPECT_TRUE(file.b_IsOpen());
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), std::string("01abc56789!!z\0", 14));

    // Outputs appended to each other and to memory.
    TemporaryFile second, empty;
    CT_FileOutput first(temp.pcco_Name());
    first.vv_AppendC("first;", 0xFFFFFFFFu, 0);
    CT_FileOutput other(second.pcco_Name());
    other.vv_AppendC("second;", 0xFFFFFFFFu, 0);
    first.vv_Append(other);
    first.vv_AppendC("more", 0xFFFFFFFFu, 0);
    other.vv_AppendC("again", 0xFFFFFFFFu, 0);
    CT_MemoryOutput memory;
    memory.vv_Append(first);
    EXPECT_EQ(s_Bytes(memory.pcco_GetMemory()), "first;second;more");
    EXPECT_FALSE(first.pco_GetFile()->b_IsOpen());
    memory.vv_Append(other);
    EXPECT_EQ(s_Bytes(memory.pcco_GetMemory()), "first;second;moresecond;again");
    CT_FileOutput nothing(empty.pcco_Name());
    CT_MemoryOutput none;
    none.vv_Append(nothing);
    EXPECT_EQ(none.vn_GetSize(), 0u);
    EXPECT_FALSE(nothing.pco_GetFile()->b_IsOpen());
    CT_File* given = first.pco_GiveFile();
    EXPECT_FALSE(given->b_IsOpen());
    delete given;
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}

TEST_F(Output, StringOutput) {
    CT_UString wide;
    CT_StringOutput out(wide);
    out.vv_AppendC("ab", 0xFFFFFFFFu, 1252);
    out.vv_AppendU(W(u"\x3b1"), 1);
    out.vv_Append('x', 2);
    out.vv_Replace("zz", 2, 0);  // does nothing
    EXPECT_EQ(out.vn_GetSize(), 5u);
    EXPECT_EQ(Text(wide), u"ab\x3b1xx");

    CT_CString narrow(static_cast<unsigned>(1252));
    out.v_Set(narrow);
    out.vv_Append("hi", 2);
    out.vv_AppendU(W(u"!"), 0xFFFFFFFFu);
    EXPECT_STREQ(narrow.qccz_Get(), "hi!");
    EXPECT_EQ(out.vn_GetSize(), 3u);
}

TEST_F(Output, HugeOutputGrowsInSteps) {
    CT_HugeOutput out(nullptr, 0, 1024);
    out.vv_Append("a", 1);
    EXPECT_EQ(out.n_GetCapacity(), 1024u);
    std::string more(2000, 'm');
    out.vv_Append(more.data(), 2000);
    EXPECT_EQ(out.n_GetCapacity(), 3072u);
    EXPECT_EQ(out.vn_GetSize(), 2001u);
    out.vv_AppendU(W(u"b"), 0xFFFFFFFFu);
    EXPECT_EQ(std::string(static_cast<char const*>(out.pcv_GetData()), 3), "amm");

    void* block = out.h_GiveBuffer();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(out.vn_GetSize(), 0u);
    // Taken over again with what it holds.
    CT_HugeOutput again(block, 2003, 1024);
    again.vv_Append("z", 1);
    EXPECT_EQ(again.vn_GetSize(), 2004u);
    EXPECT_EQ(static_cast<char const*>(again.pcv_GetData())[2003], 'z');
    {
        CT_HugeOutput copy(again);  // shares the block under a lock of its own
        EXPECT_EQ(copy.pcv_GetData(), again.pcv_GetData());
    }
    EXPECT_EQ(static_cast<char const*>(again.pcv_GetData())[0], 'a');
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}
