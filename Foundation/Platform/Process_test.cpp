#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Platform/File.h"
#include "Foundation/Platform/Process.h"

namespace {

// A program that cannot copy itself starts a fresh instance running only
// this helper test.
char const pcc_ChildArguments[] = "--gtest_filter=ProcessChild.RunsTheJobOfAnotherProcess";

std::u16string s_Wide(char const* name) {
    std::u16string wide;
    for (; *name; ++name) wide.push_back(static_cast<unsigned char>(*name));  // temporary names are ASCII
    return wide;
}

void* h_OpenAlone(char const* name) {
    std::u16string wide = s_Wide(name);
    return Platform::h_OpenFile(reinterpret_cast<unsigned short const*>(wide.c_str()), 3, 0, 1, 0x80);
}

// The job is "end" (end at once with 7) or the name of a file to hold open
// without sharing until killed.
int i_ChildBody(char const* job, void* channel) {
    if (std::string(job) == "end") return 7;
    if (h_OpenAlone(job) == nullptr) return 1;
    Platform::b_SignalPeer(channel);
    Platform::b_WaitForPeer(channel);  // a byte that never comes
    return 0;
}

}  // namespace

TEST(Process, KillEndsTheChildAndReleasesWhatItHeld) {
    FileTesting::TemporaryFile temp;
    std::string name = temp.s_Narrow();
    void* child = Platform::h_StartChild(&i_ChildBody, name.c_str(), pcc_ChildArguments);
    if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
    ASSERT_TRUE(Platform::b_WaitForPeer(child));
    EXPECT_EQ(h_OpenAlone(name.c_str()), nullptr) << "the child holds the file";
    // The child blocks for good: only the kill ends it. Once the call has
    // returned, the child's handles are gone with it.
    EXPECT_NE(Platform::b_KillChild(child), 0);
    void* file = h_OpenAlone(name.c_str());
    EXPECT_NE(file, nullptr);
    if (file != nullptr) Platform::b_CloseFile(file);

    // A child that ends by itself still hands over its exit code.
    child = Platform::h_StartChild(&i_ChildBody, "end", pcc_ChildArguments);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Platform::i_WaitForChild(child), 7);
}

// Runs only in a program started by h_StartChild where the system cannot
// copy a running process; never returns there.
TEST(ProcessChild, RunsTheJobOfAnotherProcess) {
    char const* value = std::getenv(Platform::pcc_ChildVariable);
    if (value == nullptr) GTEST_SKIP() << "only the helper of another process";
    Platform::v_RunChild(&i_ChildBody, value);
}
