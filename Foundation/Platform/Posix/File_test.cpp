// The Linux half of the file seam where only Linux can stage the case: a
// descriptor taken away behind the handle's back, and a hard link.
#include <gtest/gtest.h>

#include <errno.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"

using FileTesting::TemporaryFile;

namespace {

// The descriptor of this process that names path, -1 if none.
int i_DescriptorOf(std::string const& path) {
    for (int descriptor = 0; descriptor < 1024; ++descriptor) {
        char link[64], target[PATH_MAX];
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
        ssize_t length = ::readlink(link, target, sizeof target - 1);
        if (length <= 0) continue;
        target[length] = 0;
        char* real = ::realpath(path.c_str(), nullptr);
        bool same = real && std::string(target) == real;
        std::free(real);
        if (same) return descriptor;
    }
    return -1;
}

}  // namespace

// A close that fails leaves the file object open with its handle, and
// closing again neither frees the handle twice nor closes the descriptor
// number, which by then belongs to another file.
TEST(PosixFile, FailedCloseLeavesNoDanglingHandle) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    TemporaryFile first, second;
    second.v_Write("second");
    CT_WinFile file(first.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    ASSERT_FALSE(errors->b_IsSetError());
    int descriptor = i_DescriptorOf(first.s_Narrow());
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::close(descriptor), 0);  // behind the object's back: its close fails

    file.vv_Close();
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_EQ(errors->n_GetErrorCode(), static_cast<unsigned>(EBADF));
    errors->v_ClearError();
    EXPECT_TRUE(file.b_IsOpen()) << "a failed close keeps the state";

    CT_WinFile other(second.pcco_Name(), 1024);
    other.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    ASSERT_FALSE(errors->b_IsSetError());
    ASSERT_EQ(i_DescriptorOf(second.s_Narrow()), descriptor) << "the number is taken again";
    char byte;
    EXPECT_EQ(file.vn_Read(&byte, 1), 0u) << "the handle is dead, not the other file's";
    EXPECT_TRUE(errors->b_IsSetError());
    errors->v_ClearError();
    file.vv_Close();
    EXPECT_FALSE(errors->b_IsSetError());
    EXPECT_FALSE(file.b_IsOpen());

    char text[6];
    EXPECT_EQ(other.vn_Read(text, 6), 6u);
    EXPECT_EQ(std::string(text, 6), "second");
    other.vv_Close();
    EXPECT_FALSE(errors->b_IsSetError());
}

// A hard link is the same file under another name: copying onto it is a
// sharing violation, as on Windows, and leaves the content.
TEST(PosixFile, CopyOntoAHardLinkOfTheSourceIsRefused) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    TemporaryFile source, link;
    source.v_Write("linked");
    link.v_Delete();
    ASSERT_EQ(::link(source.s_Narrow().c_str(), link.s_Narrow().c_str()), 0);
    CT_WinFile file(source.pcco_Name(), 1024);
    file.v_CopyFile(link.pcco_Name());
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_EQ(errors->n_GetErrorCode(), static_cast<unsigned>(EBUSY));
    errors->v_ClearError();
    EXPECT_EQ(source.s_Read(), "linked");
}
