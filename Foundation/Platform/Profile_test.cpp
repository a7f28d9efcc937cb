// The profile functions on both systems: the same answers from the Windows
// functions and from the library's own implementation.
#include "Foundation/Platform/Profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis/File/FileTesting.h"

namespace {

unsigned short const au_Ini[] = {'i', 'n', 'i', 0};

struct st_Profile {
    FileTesting::TemporaryFile o_File{au_Ini};
    std::string s_Name = o_File.s_Narrow();

    std::string s_Get(char const* section, char const* key, char const* defaultText = "<none>",
                      unsigned size = 512) const {
        std::string buffer(size, '#');
        unsigned n = Platform::n_GetProfileString(section, key, defaultText, buffer.data(), size, s_Name.c_str());
        // The answer and its terminating zero.
        return buffer.substr(0, n + 1);
    }
    // The file written (or deleted) from outside the profile functions; the
    // flush request makes the next read look at it at once.
    void v_Write(std::string const& bytes) const {
        o_File.v_Write(bytes);
        Platform::b_WriteProfileString(nullptr, nullptr, nullptr, s_Name.c_str());
    }
    void v_Delete() const {
        o_File.v_Delete();
        Platform::b_WriteProfileString(nullptr, nullptr, nullptr, s_Name.c_str());
    }
    int b_Set(char const* section, char const* key, char const* value) const {
        return Platform::b_WriteProfileString(section, key, value, s_Name.c_str());
    }
};

std::string s_Z(char const* text, std::size_t n) { return std::string(text, n); }

}  // namespace

TEST(Profile, ReadsFollowTheProfileRules) {
    st_Profile ini;
    ini.v_Write(
        "; comment\r\npre=0\r\n\r\n[Colors]\r\n  Back Ground =  blue  \r\nBACK GROUND=second\r\n"
        "quoted = \" a b \"\r\nbare\r\n;note=1\r\n[ Sizes ]\r\nw=1\r\n[colors]\r\nlater=1\r\n[Last]\r\nk=end");
    EXPECT_EQ(ini.s_Get("COLORS", " back ground "), s_Z("blue", 5));
    EXPECT_EQ(ini.s_Get("colors", "quoted"), s_Z(" a b ", 6));
    EXPECT_EQ(ini.s_Get("colors", "bare"), s_Z("<none>", 7));
    EXPECT_EQ(ini.s_Get("colors", "later"), s_Z("<none>", 7));  // the first [colors] wins
    EXPECT_EQ(ini.s_Get("sizes", "w"), s_Z("1", 2));
    EXPECT_EQ(ini.s_Get("", "pre"), s_Z("0", 2));
    EXPECT_EQ(ini.s_Get("Last", "k"), s_Z("end", 4));
    // Defaults lose their trailing blanks; a null default reads as "".
    EXPECT_EQ(ini.s_Get("none", "k", "  def  "), s_Z("  def", 6));
    EXPECT_EQ(ini.s_Get("none", "k", nullptr), s_Z("", 1));
    // Values are cut to size - 1.
    EXPECT_EQ(ini.s_Get("Last", "k", "", 3), s_Z("en", 3));
    EXPECT_EQ(ini.s_Get("Last", "k", "", 1), s_Z("", 1));
    // Listings: duplicates are listed, comments and bare lines are not.
    EXPECT_EQ(ini.s_Get(nullptr, nullptr), s_Z("Colors\0Sizes\0colors\0Last\0", 26));
    EXPECT_EQ(ini.s_Get("COLORS", nullptr), s_Z("Back Ground\0BACK GROUND\0quoted\0", 32));
    // A missing file reads as empty.
    ini.v_Delete();
    EXPECT_EQ(ini.s_Get("Colors", "quoted"), s_Z("<none>", 7));
    EXPECT_EQ(ini.s_Get(nullptr, nullptr), s_Z("", 1));
}

TEST(Profile, ListingsThatDoNotFitEndInSizeMinusTwo) {
    st_Profile ini;
    ini.v_Write("[s1]\r\n[s2]\r\n");
    char buffer[9];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(Platform::n_GetProfileString(nullptr, nullptr, "", buffer, 0, ini.s_Name.c_str()), 0u);
    EXPECT_EQ(buffer[0], '#');
    // size, count, the bytes up to the count's terminator
    struct {
        unsigned size, count;
        char const* bytes;
    } const cases[] = {{1, 0, ""}, {2, 0, ""}, {3, 1, "s"}, {4, 2, "s1"}, {5, 3, "s1\0"}, {6, 4, "s1\0s"}, {7, 5, "s1\0s2"}, {8, 6, "s1\0s2\0"}};
    for (auto const& c : cases) {
        SCOPED_TRACE(c.size);
        std::string got = ini.s_Get(nullptr, nullptr, "", c.size);
        EXPECT_EQ(got, std::string(c.bytes, c.count + 1));
    }
}

TEST(Profile, WritesReachTheFile) {
    st_Profile ini;
    ini.v_Delete();
    // Deleting from a missing file succeeds and makes no file.
    EXPECT_TRUE(ini.b_Set("s", "k", nullptr));
    EXPECT_TRUE(ini.b_Set("s", nullptr, nullptr));
    EXPECT_FALSE(ini.o_File.b_Exists());
    // A new file ends its lines with CR LF.
    EXPECT_TRUE(ini.b_Set("Main", "Width", "10"));
    EXPECT_TRUE(ini.b_Set("Main", "Height", "20"));
    EXPECT_TRUE(ini.b_Set("Other", "a", "b"));
    EXPECT_EQ(ini.o_File.s_Read(), "[Main]\r\nWidth=10\r\nHeight=20\r\n[Other]\r\na=b\r\n");
    EXPECT_TRUE(ini.b_Set("MAIN", "WIDTH", "11"));
    EXPECT_EQ(ini.s_Get("main", "width"), s_Z("11", 3));
    EXPECT_TRUE(ini.b_Set("main", "height", nullptr));
    EXPECT_EQ(ini.s_Get("main", "height"), s_Z("<none>", 7));
    EXPECT_TRUE(ini.b_Set("main", nullptr, nullptr));
    EXPECT_EQ(ini.o_File.s_Read(), "[Other]\r\na=b\r\n");
    // Everything null asks to flush, and answers 0 whatever happened.
    EXPECT_FALSE(ini.b_Set(nullptr, nullptr, nullptr));
}

TEST(Profile, ConcurrentWritersAndReadersInOneProcess) {
    st_Profile ini;
    ini.v_Write("[shared]\r\n");
    constexpr int kThreads = 4;
    constexpr int kKeys = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&ini, t] {
            for (int i = 0; i < kKeys; ++i) {
                char key[32];
                std::snprintf(key, sizeof key, "t%dk%d", t, i);
                ini.b_Set("shared", key, "1");
                // Each thread sees its own writes at once.
                char value[8];
                Platform::n_GetProfileString("shared", key, "", value, sizeof value, ini.s_Name.c_str());
                EXPECT_STREQ(value, "1") << key;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    std::string keys = ini.s_Get("shared", nullptr, "", 4096);
    int count = 0;
    for (char c : keys) count += c == 0;
    EXPECT_EQ(count, kThreads * kKeys + 1);  // every name and the listing's end
}
