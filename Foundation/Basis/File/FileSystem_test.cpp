#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Platform/FileSystem.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

// Drive, directory, name and extension, each followed by a bar.
std::u16string s_Split(char16_t const* path) {
    CT_UString whole(W(path), ~0u), drive, directory, name, extension;
    CT_FileSystem::sv_SplitPath(&whole, &drive, &directory, &name, &extension);
    return Text(drive) + u"|" + Text(directory) + u"|" + Text(name) + u"|" + Text(extension) + u"|";
}

std::u16string s_Join(char16_t const* d, char16_t const* dir, char16_t const* n, char16_t const* e) {
    CT_UString drive(W(d), ~0u), directory(W(dir), ~0u), name(W(n), ~0u), extension(W(e), ~0u), path;
    CT_FileSystem::sv_MakePath(&path, &drive, &directory, &name, &extension);
    return Text(path);
}

std::u16string s_Display(char16_t const* path, unsigned maximum) {
    CT_UString text(W(path), ~0u);
    CT_FileSystem::sv_MakeDisplayString(&text, maximum);
    return Text(text);
}

// A fresh directory below the temporary one, removed with its files.
class ScratchDirectory {
public:
    ScratchDirectory() {
        CT_FileSystem::sv_MakeTemporaryName(&co_Path, W(u"fs"), W(u"dir"), 0);
        EXPECT_TRUE(CT_FileSystem::sb_MakePath(&co_Path));
        co_Path.v_Append(static_cast<unsigned short>('/'));
    }
    ~ScratchDirectory() {
        CT_UString pattern(co_Path);
        pattern.v_Append(W(u"*"), ~0u);
        CT_FindFile search(&pattern, 0, CT_FindFile::e_Directory, 1);
        CT_UString name;
        unsigned bits;
        for (int more = search.b_FindFirst(&name, &bits); more; more = search.b_FindNext(&name, &bits))
            std::remove(std::string(CT_CString(&name, 0).qccz_Get()).c_str());
        CT_UString inner(co_Path);
        inner.v_Append(W(u"sub"), ~0u);
        CT_FileSystem::sb_RemovePath(&inner);
        CT_FileSystem::sb_RemovePath(&co_Path);
    }
    CT_UString co_Path;
};

void v_Touch(CT_UString const& directory, char16_t const* name) {
    CT_UString path(directory);
    path.v_Append(W(name), ~0u);
    FILE* file = std::fopen(CT_CString(&path, 0).qccz_Get(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

}  // namespace

TEST(FileSystem, SplitAndJoinFollowTheComponentRules) {
    EXPECT_EQ(s_Split(u"C:\\a.b\\c.tar.gz"), u"C:|\\a.b\\|c.tar|.gz|");
    EXPECT_EQ(s_Split(u"readme"), u"||readme||");
    EXPECT_EQ(s_Split(u".profile"), u"|||.profile|");
    EXPECT_EQ(s_Split(u"D:"), u"D:||||");
    // Forward slashes count as separators; a Linux path has no drive.
    EXPECT_EQ(s_Split(u"/tmp/x.d/file"), u"|/tmp/x.d/|file||");

    EXPECT_EQ(s_Join(u"D", u"x", u"y", u"txt"), u"D:x\\y.txt");
    EXPECT_EQ(s_Join(u"", u"/tmp/", u"y", u".txt"), u"/tmp/y.txt");
    EXPECT_EQ(s_Join(u"C:", u"\\a.b\\", u"c.tar", u".gz"), u"C:\\a.b\\c.tar.gz");
    EXPECT_EQ(s_Join(u"", u"", u"", u""), u"");

    // Null outputs are allowed.
    CT_UString path(W(u"C:\\x\\y.z"), ~0u), name;
    CT_FileSystem::sv_SplitPath(&path, nullptr, nullptr, &name, nullptr);
    EXPECT_EQ(Text(name), u"y");
}

TEST(FileSystem, DisplayStringReplacesLeadingDirectories) {
    EXPECT_EQ(s_Display(u"C:\\dir1\\dir2\\dir3\\file.txt", 20), u"C:\\...\\dir3\\file.txt");
    EXPECT_EQ(s_Display(u"C:\\dir1\\dir2\\dir3\\file.txt", 26), u"C:\\dir1\\dir2\\dir3\\file.txt");
    EXPECT_EQ(s_Display(u"C:\\dir1\\dir2\\dir3\\file.txt", 25), u"C:\\...\\dir2\\dir3\\file.txt");
    // A first component that is already too long: the longest cut is taken.
    EXPECT_EQ(s_Display(u"\\averyverylongname\\f", 5), u"\\...\\f");
    EXPECT_EQ(s_Display(u"/usr/share/dict/words", 15), u"/.../dict/words");
    EXPECT_EQ(s_Display(u"nofolders.txt", 4), u"nofolders.txt");
}

TEST(FileSystem, FullPathAndCurrentDirectory) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    CT_UString current;
    CT_FileSystem::sv_GetCurrentPath(&current, 0);
    ASSERT_FALSE(errors->b_IsSetError());
    ASSERT_GT(current.n_GetLength(), 0u);

    CT_UString relative(W(u"a/./b/../c.txt"), ~0u);
    CT_FileSystem::sv_FullPath(&relative);
    ASSERT_FALSE(errors->b_IsSetError());
    CT_UString expected(current);
    expected.v_Append(W(u"/a/c.txt"), ~0u);
    CT_UString expectedBack(current);
    expectedBack.v_Append(W(u"\\a\\c.txt"), ~0u);
    EXPECT_TRUE(Text(relative) == Text(expected) || Text(relative) == Text(expectedBack)) << CT_CString(&relative, 0).qccz_Get();
}

TEST(FileSystem, TemporaryNamesAreFreshAndFullPaths) {
    CT_UString first, second;
    CT_FileSystem::sv_MakeTemporaryName(&first, W(u"bas"), nullptr, 0);
    CT_FileSystem::sv_MakeTemporaryName(&second, W(u"bas"), W(u"dat"), 1);
    ASSERT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
    EXPECT_FALSE(CT_FileSystem::sb_IsExistent(&first));
    std::u16string a = Text(first), b = Text(second);
    EXPECT_EQ(a.substr(a.size() - 4), u".tmp");
    EXPECT_EQ(b.substr(b.size() - 4), u".dat");
    // A short name keeps its name part to eight characters.
    CT_UString name;
    CT_FileSystem::sv_SplitPath(&second, nullptr, nullptr, &name, nullptr);
    EXPECT_LE(name.n_GetLength(), 8u);
    EXPECT_EQ(Text(name).substr(0, 3), u"bas");

    CT_CString prefix("pre", ~0u, 0), extension("x", ~0u, 0);
    CT_FileSystem::sv_MakeTemporaryName(&first, &prefix, &extension, nullptr);
    CT_FileSystem::sv_SplitPath(&first, nullptr, nullptr, &name, nullptr);
    EXPECT_EQ(Text(name).substr(0, 3), u"pre");

    // Both forms build the name in the directory that the wide call gives.
    unsigned short directory[CT_FileSystem::e_MaxPath];
    ASSERT_GT(Platform::n_GetTemporaryPathW(directory, CT_FileSystem::e_MaxPath), 0u);
    std::u16string temporary = Text(CT_UString(directory, ~0u));
    EXPECT_EQ(a.substr(0, temporary.size()), temporary);
    EXPECT_EQ(Text(first).substr(0, temporary.size()), temporary);
}

TEST(FileSystem, TemporaryNameTooLongForAFullPathIsLeftAsMade) {
    // A name longer than a full path may be: sv_FullPath fails, and the
    // name is the candidate as made, with error 60012 and a location.
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    std::u16string longPrefix(250, u'p');
    unsigned short directory[CT_FileSystem::e_MaxPath];
    ASSERT_GT(Platform::n_GetTemporaryPathW(directory, CT_FileSystem::e_MaxPath), 0u);
    std::u16string temporary = Text(CT_UString(directory, ~0u));
    for (int form = 0; form < 2; ++form) {
        CT_UString name(W(u"the caller's"), ~0u);
        if (form == 0) {
            CT_FileSystem::sv_MakeTemporaryName(&name, W(longPrefix.c_str()), nullptr, 0);
        } else {
            CT_UString prefix(W(longPrefix.c_str()), ~0u), extension(W(u"tmp"), ~0u);
            CT_FileSystem::sv_MakeTemporaryName(&name, &prefix, &extension, nullptr);
        }
        ASSERT_TRUE(errors->b_IsSetError()) << form;
        EXPECT_EQ(errors->n_GetErrorCode(), 60012u);
        errors->v_ClearError();
        std::u16string made = Text(name);
        EXPECT_EQ(made.substr(0, temporary.size() + longPrefix.size()), temporary + longPrefix) << form;
        EXPECT_EQ(made.substr(made.size() - 4), u".tmp") << form;
    }
}

TEST(FileSystem, DirectoriesAndSearchFilters) {
    ScratchDirectory scratch;
    ASSERT_TRUE(CT_FileSystem::sb_IsExistent(&scratch.co_Path));
    v_Touch(scratch.co_Path, u"one.txt");
    v_Touch(scratch.co_Path, u"two.txt");
    v_Touch(scratch.co_Path, u"three.dat");
    CT_UString sub(scratch.co_Path);
    sub.v_Append(W(u"sub"), ~0u);
    ASSERT_TRUE(CT_FileSystem::sb_MakePath(&sub));
    EXPECT_FALSE(CT_FileSystem::sb_MakePath(&sub));  // already there

    auto names = [&](char16_t const* pattern, unsigned required, unsigned excluded, int withPath) {
        CT_UString full(scratch.co_Path);
        full.v_Append(W(pattern), ~0u);
        CT_FindFile search(&full, required, excluded, withPath);
        std::u16string all;
        CT_UString name(W(u"untouched"), ~0u);
        unsigned bits = 0;
        for (int more = search.b_FindFirst(&name, &bits); more; more = search.b_FindNext(&name, &bits)) {
            std::u16string text = Text(name);
            if (text == u"." || text == u"..") continue;
            all += text + u";";
        }
        if (all.empty()) all = Text(name);
        return all;
    };
    std::u16string txt = names(u"*.txt", 0, 0, 0);
    EXPECT_TRUE(txt == u"one.txt;two.txt;" || txt == u"two.txt;one.txt;") << std::string(txt.begin(), txt.end());
    EXPECT_EQ(names(u"*", CT_FindFile::e_Directory, 0, 0), u"sub;");
    EXPECT_EQ(names(u"t*", 0, CT_FindFile::e_Directory, 0).size(), std::u16string(u"two.txt;three.dat;").size());
    EXPECT_EQ(names(u"s?b", CT_FindFile::e_Directory, CT_FindFile::e_Hidden, 1), Text(sub) + u";");
    // No match leaves the name untouched.
    EXPECT_EQ(names(u"*.none", 0, 0, 0), u"untouched");

    CT_UString current;
    CT_FileSystem::sv_GetCurrentPath(&current, 0);
    EXPECT_TRUE(CT_FileSystem::sb_ChangePath(&sub));
    EXPECT_TRUE(CT_FileSystem::sb_ChangePath(&current));
    EXPECT_TRUE(CT_FileSystem::sb_RemovePath(&sub));
    EXPECT_FALSE(CT_FileSystem::sb_RemovePath(&sub));
    EXPECT_FALSE(CT_FileSystem::sb_IsExistent(&sub));
}
