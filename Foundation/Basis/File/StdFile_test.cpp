#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"

using FileTesting::TemporaryFile;

namespace {

class StdFile : public ::testing::Test {
protected:
    void TearDown() override { errors->v_ClearError(); }
    std::string s_Message() const { return CT_CString(errors->qcuz_GetErrorMessage(), ~0u, 0).qccz_Get(); }
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
};

}  // namespace

TEST_F(StdFile, ModesAndFailuresNameTheRuntimeCall) {
    TemporaryFile temp, to;
    temp.v_Write("old content");
    CT_StdFile file(temp.pcco_Name(), 1);
    // Write + open existing is "w": it truncates (and would create).
    file.vv_Open(CT_File::e_Write, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    ASSERT_TRUE(file.b_IsOpen()) << s_Message();
    EXPECT_NE(file.pcco_GetFILE(), nullptr);
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), "");
    EXPECT_EQ(file.pcco_GetFILE(), nullptr);

    // Read + append has no mode letters: the open fails as "fopen".
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenAppend, CT_File::e_ShareNone, 1, 0);
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_FALSE(file.b_IsOpen());
    EXPECT_EQ(errors->n_GetFormatID(), 60003u);
    std::string number = std::to_string(errors->n_GetErrorCode());
    EXPECT_EQ(s_Message(), "(" + number + "): File \"" + temp.s_Narrow() + "\": fopen returned error " + number);
    EXPECT_STREQ(errors->qccz_GetLocationFileAt(1), "Foundation/Basis/File/StdFile");
    errors->v_ClearError();

    // A missing file: reading fails with the runtime's "no such file".
    temp.v_Delete();
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    EXPECT_EQ(errors->n_GetErrorCode(), static_cast<unsigned>(ENOENT));
    errors->v_ClearError();
    // Removing a missing file is no error here; renaming one reports
    // "rename" with the old name.
    file.vv_Remove();
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    file.vv_Rename(to.pcco_Name());
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_NE(s_Message().find("rename"), std::string::npos) << s_Message();
    EXPECT_NE(s_Message().find(temp.s_Narrow()), std::string::npos) << s_Message();
}

TEST_F(StdFile, SizeOffsetAndEnd) {
    TemporaryFile temp;
    temp.v_Write("0123456789");
    CT_StdFile file(temp.pcco_Name(), 4096);
    EXPECT_EQ(file.vn_GetSize(), 10u);
    EXPECT_FALSE(file.b_IsOpen());
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    char bytes[16];
    EXPECT_EQ(file.vn_Read(bytes, 3), 3u);
    EXPECT_EQ(file.vn_GetSize(), 10u);
    EXPECT_EQ(file.vn_GetOffset(), 3u);
    EXPECT_EQ(file.vn_Read(bytes, 16), 7u);
    EXPECT_EQ(file.vn_Read(bytes, 16), 0u);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_NE(file.vb_IsEof(), 0);
    // A failed seek leaves the position where it was.
    file.vv_SetOffset(CT_File::e_Begin, 4);
    file.vv_SetOffset(CT_File::e_Current, -100);
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_NE(s_Message().find("fseek"), std::string::npos) << s_Message();
    errors->v_ClearError();
    EXPECT_EQ(file.vn_GetOffset(), 4u);
    // Appending mode writes at the end.
    file.vv_Close();
    file.vv_Open(CT_File::e_Write, CT_File::e_OpenAppend, CT_File::e_ShareNone, 1, 0);
    file.vn_Write("ab", 2);
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), "0123456789ab");

    CT_StdFile::st_Stat status;
    file.v_GetFileInformation(&status);
    EXPECT_EQ(status.n8_Size, 12u);
    EXPECT_NE(status.n4_Mode & 0x8000u, 0u);
    file.v_Chmod(CT_StdFile::e_OwnerRead);
    file.v_GetFileInformation(&status);
    EXPECT_EQ(status.n4_Mode & 0x0080u, 0u);
    file.v_Chmod(CT_StdFile::e_OwnerReadWrite);
    file.v_GetFileInformation(&status);
    EXPECT_NE(status.n4_Mode & 0x0080u, 0u);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}
