// The Linux profile writer's promise beyond the system's: a write changes
// only its own line and keeps every other byte of the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Platform/Profile.h"

namespace {

unsigned short const au_Ini[] = {'i', 'n', 'i', 0};

// The file's bytes after one write of the profile functions.
std::string s_After(std::string const& text, char const* section, char const* key, char const* value) {
    FileTesting::TemporaryFile file(au_Ini);
    file.v_Write(text);
    if (!Platform::b_WriteProfileString(section, key, value, file.s_Narrow().c_str())) return "<failed>";
    return file.s_Read();
}

std::string s_Read(std::string const& text, char const* section, char const* key) {
    FileTesting::TemporaryFile file(au_Ini);
    file.v_Write(text);
    // Written from outside the profile functions: the flush request makes
    // the read look at the disk at once.
    Platform::b_WriteProfileString(nullptr, nullptr, nullptr, file.s_Narrow().c_str());
    char buffer[256];
    unsigned n = Platform::n_GetProfileString(section, key, "<none>", buffer, sizeof buffer, file.s_Narrow().c_str());
    return std::string(buffer, n);
}

}  // namespace

TEST(ProfileText, WritesKeepEveryOtherByte) {
    std::string const file =
        "; settings\r\n"
        "top = 1\r\n"
        "\r\n"
        "[One]   ; odd\r\n"
        "  Alpha =  old value  \r\n"
        "bare line\r\n"
        "\r\n"
        "\r\n"
        "[Two]\n"
        "x=1";
    // A changed value rewrites only its line, with the key as the file
    // spells it and the line's own ending.
    // Leading blanks of what is written go, trailing ones stay.
    EXPECT_EQ(s_After(file, "one", "ALPHA", " new "),
              "; settings\r\ntop = 1\r\n\r\n[One]   ; odd\r\nAlpha=new \r\nbare line\r\n\r\n\r\n[Two]\nx=1");
    // The same value once more: nothing changes, not even the spacing.
    EXPECT_EQ(s_After(file, "One", "Alpha", "old value"), file);
    // Nor is the file replaced.
    {
        FileTesting::TemporaryFile same(au_Ini);
        same.v_Write("[s]\r\nk = v\r\n");
        struct stat before, after;
        ASSERT_EQ(::stat(same.s_Narrow().c_str(), &before), 0);
        EXPECT_TRUE(Platform::b_WriteProfileString(" S ", "K", "v", same.s_Narrow().c_str()));
        ASSERT_EQ(::stat(same.s_Narrow().c_str(), &after), 0);
        EXPECT_EQ(before.st_ino, after.st_ino);
    }
    // A new key goes behind the section's last line that is not blank, so
    // the blank lines before the next section stay where they were.
    EXPECT_EQ(s_After(file, "One", "beta", "2"),
              "; settings\r\ntop = 1\r\n\r\n[One]   ; odd\r\n  Alpha =  old value  \r\nbare line\r\nbeta=2\r\n\r\n\r\n[Two]\nx=1");
    // The last line had no line end: it gets one (the file's first kind).
    EXPECT_EQ(s_After(file, "Two", "y", "2"),
              "; settings\r\ntop = 1\r\n\r\n[One]   ; odd\r\n  Alpha =  old value  \r\nbare line\r\n\r\n\r\n[Two]\nx=1\r\ny=2\r\n");
    // A new section goes at the end.
    EXPECT_EQ(s_After(file, " Three", " k", "v"), file + "\r\n[Three]\r\nk=v\r\n");
    EXPECT_EQ(s_After(file, "Four ", "k ", " v "), file + "\r\n[Four ]\r\nk =v \r\n");
    // A bare line is found by a write and by a delete of its name.
    EXPECT_EQ(s_After(file, "One", "BARE LINE", nullptr),
              "; settings\r\ntop = 1\r\n\r\n[One]   ; odd\r\n  Alpha =  old value  \r\n\r\n\r\n[Two]\nx=1");
    // Deleting a section takes its lines up to the next header, blank ones
    // included; deleting what is not there changes nothing.
    EXPECT_EQ(s_After(file, "one", nullptr, nullptr), "; settings\r\ntop = 1\r\n\r\n[Two]\nx=1");
    EXPECT_EQ(s_After(file, "two", nullptr, nullptr), "; settings\r\ntop = 1\r\n\r\n[One]   ; odd\r\n  Alpha =  old value  \r\nbare line\r\n\r\n\r\n");
    EXPECT_EQ(s_After(file, "none", nullptr, nullptr), file);
    EXPECT_EQ(s_After(file, "One", "none", nullptr), file);
    // The nameless section before the first header.
    EXPECT_EQ(s_After(file, "", "top", "2"), "; settings\r\ntop=2\r\n\r\n[One]   ; odd\r\n  Alpha =  old value  \r\nbare line\r\n\r\n\r\n[Two]\nx=1");
    EXPECT_EQ(s_After("[a]\r\n", "", "k", "v"), "k=v\r\n[a]\r\n");
}

TEST(ProfileText, NewLinesFollowTheFilesOwnLineEnds) {
    EXPECT_EQ(s_After("", "s", "k", "v"), "[s]\r\nk=v\r\n");
    EXPECT_EQ(s_After("[a]\nx=1\n", "a", "k", "v"), "[a]\nx=1\nk=v\n");
    EXPECT_EQ(s_After("[a]\nx=1\n", "b", "k", "v"), "[a]\nx=1\n[b]\nk=v\n");
    // Lone CR ends a line too.
    EXPECT_EQ(s_Read("[a]\rx=1\ry=2", "a", "y"), "2");
    EXPECT_EQ(s_After("[a]\rx=1", "a", "y", "2"), "[a]\rx=1\ry=2\r");
}

TEST(ProfileText, ReadsOfOddLines) {
    std::string const file =
        "[a]b]\r\nk=1\r\n[c\r\nj=2\r\n[]\r\nhidden=3\r\n[q]\r\n"
        "d=\"x y\"\r\ns='z'\r\nm=\"w'\r\none=\"\r\n=empty\r\n;c=comment\r\n";
    EXPECT_EQ(s_Read(file, "a]b", "k"), "1");
    EXPECT_EQ(s_Read(file, "a]b", "j"), "2");  // "[c" opens no section
    EXPECT_EQ(s_Read(file, "c", "j"), "<none>");
    EXPECT_EQ(s_Read(file, "", "hidden"), "<none>");
    EXPECT_EQ(s_Read(file, "q", "d"), "x y");
    EXPECT_EQ(s_Read(file, "q", "s"), "z");
    EXPECT_EQ(s_Read(file, "q", "m"), "\"w'");
    EXPECT_EQ(s_Read(file, "q", "one"), "\"");
    EXPECT_EQ(s_Read(file, "q", ""), "empty");
    EXPECT_EQ(s_Read(file, "q", ";c"), "comment");
    EXPECT_EQ(s_Read(file, nullptr, nullptr), std::string("a]b\0q\0", 6));
    // The empty name is listed, the comment is not.
    EXPECT_EQ(s_Read(file, "q", nullptr), std::string("d\0s\0m\0one\0\0", 11));
}
