#include "Foundation/Basis/Frame/StartUp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Basis/Frame/BasisDLLMain.h"
#include "Foundation/Basis/Frame/Init.h"
#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/String/CString.h"

namespace {

std::vector<std::string>& so_Log() {
    static std::vector<std::string> log;
    return log;
}
void v_First() { so_Log().push_back("first"); }
void v_Second() { so_Log().push_back("second"); }
void v_FirstExit() { so_Log().push_back("first exit"); }
void v_SecondExit() { so_Log().push_back("second exit"); }

TEST(StartUp, InitRunsAtOnceAndExitsRunInReverseOrder) {
    so_Log().clear();
    {
        CT_Init init1("First", "sv_Init", &v_First);
        CT_Exit exit1("First", "sv_Exit", &v_FirstExit);
        CT_Init init2(&v_Second);
        CT_Exit exit2("Second", "sv_Exit", &v_SecondExit);
        CT_Init nothing(nullptr);
        CT_Exit nothingLater("None", "sv_Exit", nullptr);
        EXPECT_STREQ(exit2.qccz_GetClassName(), "Second");
        EXPECT_STREQ(exit2.qccz_GetFunctionName(), "sv_Exit");
        ASSERT_EQ(so_Log().size(), 2u);
    }
    std::vector<std::string> expected = {"first", "second", "second exit", "first exit"};
    EXPECT_EQ(so_Log(), expected);
    // Assignment copies all three values.
    so_Log().clear();
    {
        CT_Exit target("A", "sv_Exit", nullptr);
        target = CT_Exit("B", "sv_Exit", nullptr);
        CT_Exit source("C", "sv_Exit", &v_FirstExit);
        target = source;
        EXPECT_STREQ(target.qccz_GetClassName(), "C");
        so_Log().clear();
    }
    EXPECT_EQ(so_Log().size(), 2u);  // both the source and the copy ran it
}

TEST(StartUp, LibraryStepsRanInTheirFixedOrder) {
    std::vector<std::string> steps;
    for (unsigned i = 0; i < StartUp::sn_GetStepCount(); ++i) steps.push_back(StartUp::sqccz_GetStep(i));
    auto position = [&steps](char const* name) {
        for (std::size_t i = 0; i < steps.size(); ++i)
            if (steps[i] == name) return static_cast<int>(i);
        return -1;
    };
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front(), "CT_BasisDLLMain::sco_ModuleName");
    EXPECT_EQ(steps.back(), "entry function");
    EXPECT_LT(position("CT_Buffer pool"), position("CT_CString type"));
    EXPECT_LT(position("CT_CString type"), position("CT_CString pool"));
    EXPECT_LT(position("CT_CString pool"), position("CT_String type"));
    EXPECT_EQ(StartUp::sqccz_GetStep(StartUp::sn_GetStepCount()), nullptr);
}

TEST(StartUp, EntryFunctionSetTheModuleData) {
    EXPECT_EQ(CT_BasisDLLMain::sn_GetBuild(), 64u);
    EXPECT_EQ(CT_BasisDLLMain::sn_GetVersion(), 0u);
    EXPECT_EQ(CT_BasisDLLMain::spcco_GetVersion(), nullptr);
    EXPECT_EQ(CT_BasisDLLMain::spcco_GetProductVersion(), nullptr);
    EXPECT_NE(CT_BasisDLLMain::sh_GetInstance(), nullptr);
    std::string path = CT_BasisDLLMain::spcco_GetModuleName()->qccz_Get();
    // The full path of the library's own file.
    std::string lower;
    for (char c : path) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    // basis.dll, or libbasis.so with its version after it (the file that
    // libbasis.so and the SONAME link lead to).
    std::string base = lower.substr(lower.find_last_of("/\\") + 1);
    bool named = base == "basis.dll" || base.rfind("libbasis.so", 0) == 0;
    EXPECT_TRUE(named) << path;
    EXPECT_TRUE(path[0] == '/' || (path.size() > 2 && path[1] == ':')) << path;
    // Setting the name again resets the numbers it carries.
    CT_BasisDLLMain::sv_SetModuleName(path.c_str());
    EXPECT_EQ(CT_BasisDLLMain::sn_GetBuild(), 64u);
}

TEST(StartUp, PoolsAnswerForTheirClasses) {
    CT_MemPool* pool = CT_Buffer::spso_GetMemPool();
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->n_GetBlockSize(), sizeof(CT_Buffer));
    std::int32_t before = pool->i4_GetBlocksInUse();
    CT_Buffer* buffer = new CT_Buffer("x", 1, 32);
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before + 1);
    delete buffer;
    EXPECT_EQ(pool->i4_GetBlocksInUse(), before);
    EXPECT_STREQ(CT_CString::spso_GetMemPool()->qccz_GetClassName(), "CT_CString");
}

}  // namespace
