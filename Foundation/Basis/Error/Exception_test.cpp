#include "Foundation/Basis/Error/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis/TestOut/TestOut.h"
#include "Foundation/Platform/Debug.h"
#include "Foundation/Platform/Thread.h"

namespace {

std::string s_Read(std::string const& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string s_TempPath(char const* name) {
    char directory[261];
    Platform::n_GetTempPath(directory, sizeof directory);
    return std::string(directory) + name;
}

TEST(Exception, CodeCopiesAndSelfAssignment) {
    CT_Exception a(7);
    CT_Exception b(a);
    EXPECT_EQ(b.n_GetCode(), 7u);
    CT_Exception c(1);
    c = a;
    CT_Exception& alias = c;
    c = alias;
    EXPECT_EQ(c.n_GetCode(), 7u);
    try {
        throw CT_Exception(42);
    } catch (CT_Exception const& e) {
        EXPECT_EQ(e.n_GetCode(), 42u);
    }
}

TEST(Exception, TrailAndDump) {
    CT_ExceptionManager* manager = CT_ExceptionManager::spco_Get();
    ASSERT_NE(manager, nullptr);
    manager->v_AddLocation("nowhere", 1);  // no record: nothing
    EXPECT_FALSE(manager->b_InException());
    manager->v_Clear();

    manager->v_AddLocation("a", 1, 7);
    manager->v_AddLocation("b", 2);
    EXPECT_TRUE(manager->b_InException());
    std::string path = s_TempPath("basis_exception_dump.txt");
    {
        CT_TestOut out("basis_exception_dump.txt", nullptr, CT_TestOut::e_File);
        manager->v_Dump(&out, ~0u);
        manager->v_Dump(&out, 12345);
    }
    unsigned self = Platform::n_GetCurrentThreadId();
    EXPECT_EQ(s_Read(path), "Active exception for thread " + std::to_string(self) +
                                " has code 7.\n\t(b, 2): code 7\n\t(a, 1): code 7\nNo exception for thread 12345.\n");
    std::remove(path.c_str());
    manager->v_Clear();
    EXPECT_FALSE(manager->b_InException());
    EXPECT_EQ(manager->n_GetFreeRecords(), 10u);
    EXPECT_EQ(manager->n_GetFreeLocations(), 100u);
}

TEST(Exception, ElevenThreadsAndTheEleventhRecordsNothing) {
    CT_ExceptionManager* manager = CT_ExceptionManager::spco_Get();
    std::atomic<int> ready{0};
    std::atomic<bool> release{false};
    std::atomic<int> recorded{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 10; ++i) {
        threads.emplace_back([&, i] {
            manager->v_AddLocation("worker", i, i);
            ++ready;
            while (!release) std::this_thread::yield();
            manager->v_Clear();
        });
    }
    while (ready < 10) std::this_thread::yield();
    std::thread eleventh([&] {
        manager->v_AddLocation("late", 1, 99);
        if (manager->b_InException()) ++recorded;
    });
    eleventh.join();
    EXPECT_EQ(recorded, 0);
    release = true;
    for (auto& t : threads) t.join();
    EXPECT_EQ(manager->n_GetFreeRecords(), 10u);
    EXPECT_EQ(manager->n_GetFreeLocations(), 100u);
}

TEST(TestOut, FilesLabelsAndStandardStreams) {
    CT_TestOut out;
    EXPECT_EQ(out.pso_GetOutput(), stdout);
    out.v_Open("stdout");
    EXPECT_EQ(out.pso_GetOutput(), stdout);
    out.v_Close();
    EXPECT_EQ(out.pso_GetOutput(), stdout);  // not owned: not closed
    out.v_Open(nullptr);
    EXPECT_EQ(out.pso_GetOutput(), stdout);
    out.v_Open("stderr");
    EXPECT_EQ(out.pso_GetOutput(), stderr);

    std::string path = s_TempPath("basis_testout.txt");
    out.v_Set("basis_testout.txt", "[label] ", CT_TestOut::e_File | CT_TestOut::e_Debugger);
    out.v_Out("%d items\n", 3);
    static unsigned short const wideFormat[] = {'w', 'i', 'd', 'e', ' ', '%', 'd', '\n', 0};
    out.v_Out(wideFormat, 4);
    out.v_OutputFile("plain\n");
    out.v_Close();
    EXPECT_EQ(s_Read(path), "[label] 3 items\n[label] wide 4\n[label] plain\n");
    std::remove(path.c_str());
    EXPECT_STREQ(CT_TestOut::spco_GetDefault()->qcz_GetLabel(), nullptr);
    EXPECT_EQ(CT_TestOut::spco_GetDefault()->pso_GetOutput(), stdout);
}

}  // namespace
