// The share conflict as a caller recognises it: an opening that another
// opening's share mode refuses leaves a code b_IsSharingViolation knows,
// and a file that is merely missing leaves one it does not.
#include <gtest/gtest.h>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Platform/File.h"
#include "Foundation/Platform/FileSharing.h"
#include "Foundation/Platform/SystemError.h"

using FileTesting::TemporaryFile;

TEST(FileSharing, AShareConflictIsToldFromOtherFailures) {
    TemporaryFile temporary;
    temporary.v_Write("held");
    unsigned short const* name = temporary.pcco_Name()->qcuz_Get();
    // Read and write, sharing nothing.
    void* holder = Platform::h_OpenFile(name, 3, 0, 1, 0);
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(Platform::h_OpenFile(name, 1, 3, 1, 0), nullptr);
    EXPECT_TRUE(Platform::b_IsSharingViolation(Platform::n_GetLastError()));
    Platform::b_CloseFile(holder);
    void* reader = Platform::h_OpenFile(name, 1, 3, 1, 0);
    EXPECT_NE(reader, nullptr);
    if (reader) Platform::b_CloseFile(reader);

    static unsigned short const au_Missing[] = {'n', 'o', '-', 's', 'u', 'c', 'h', '.', 'f', 'i', 'l', 'e', 0};
    EXPECT_EQ(Platform::h_OpenFile(au_Missing, 1, 3, 1, 0), nullptr);
    EXPECT_FALSE(Platform::b_IsSharingViolation(Platform::n_GetLastError()));
    Platform::v_SetSharingViolation();
    EXPECT_TRUE(Platform::b_IsSharingViolation(Platform::n_GetLastError()));
}
