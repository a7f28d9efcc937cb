#include "Foundation/System/SysInfo/SysInfo.h"

#include <gtest/gtest.h>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/System/SysInfo/LoadString.h"
#include "Foundation/System/SysInfo/OS.h"

namespace {

using StringTesting::Text;
using StringTesting::W;

TEST(SysInfo, OperatingSystemIsReadOnceAtStartUp) {
    // Windows x64 and Linux both answer as the NT family.
    EXPECT_EQ(CT_OS::seo_GetVersion(), CT_OS::e_WindowsNT);
    EXPECT_TRUE(CT_OS::sb_GetIsWindowsNT());
    EXPECT_FALSE(CT_OS::sb_GetIsWindows95() || CT_OS::sb_GetIsWindows32s() || CT_OS::sb_GetIsWindows95OSR2());
    EXPECT_GT(CT_OS::sn_GetOsVersionMajor(), 0u);
    EXPECT_NE(CT_OS::sqccz_GetOsVersionString(), nullptr);
}

TEST(SysInfo, ProcessorNameAndMetrics) {
    EXPECT_GE(CT_SysInfo::sn_GetNumCPU(), 1u);
    CT_UString name;
    CT_SysInfo::sv_GetComputerName(&name);
    EXPECT_GT(name.n_GetLength(), 0u);
    EXPECT_LE(name.n_GetLength(), 15u);
    CT_CString narrow(0u);
    CT_SysInfo::sv_GetComputerName(&narrow);
    EXPECT_EQ(narrow.n_GetLength(), name.n_GetLength());
    // An x86-64 processor is not the 32-bit Intel architecture.
    EXPECT_EQ(CT_SysInfo::seo_GetProcessor(), CT_SysInfo::e_NotIntel);
    EXPECT_FALSE(CT_SysInfo::sb_GetSlowMachine());
    EXPECT_FALSE(CT_SysInfo::sb_GetMidEastEnabled());
}

TEST(SysInfo, LoadStringFromTheLibrarysTable) {
    HINSTANCE library = CT_ErrorManager::sh_GetInstance();
    CT_UString text(W(u"old"), ~0u);
    CT_LoadString::sv_LoadString(&text, library, 60006);
    EXPECT_EQ(Text(text), u"Out of memory");
    // Missing: empty, and nothing reported.
    CT_LoadString::sv_LoadString(&text, library, 12345);
    EXPECT_EQ(text.n_GetLength(), 0u);
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
    // Cut to the array's capacity.
    unsigned short small[6];
    CT_LoadString::sv_LoadString(small, 6, library, 60006);
    EXPECT_EQ(Text(CT_UString(small, ~0u)), u"Out o");
    // As a format, narrow and wide.
    CT_CString narrow(0u);
    CT_LoadString::sv_LoadStringVA(&narrow, library, 60008, 5u, "ReadFile");
    EXPECT_STREQ(narrow.qccz_Get(), "System error 5 in \"ReadFile\"");
    CT_UString wide;
    static unsigned short const name[] = {'R', 'e', 'a', 'd', 0};
    CT_LoadString::sv_LoadStringVA(&wide, library, 60008, 7u, name);
    EXPECT_EQ(Text(wide), u"System error 7 in \"Read\"");
    unsigned short out[64];
    CT_LoadString::sv_LoadStringVA(out, 64, library, 60017, name);
    EXPECT_EQ(Text(CT_UString(out, ~0u)), u"Read not supported");
    CT_LoadString::sv_LoadStringVA(out, 64, library, 4242);
    EXPECT_EQ(out[0], 0);
}

}  // namespace
