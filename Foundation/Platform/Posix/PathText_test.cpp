// Linux names that are not UTF-8: every name the system gives (an
// argument, a directory entry) must lead back to the same file, and valid
// UTF-8 must not be taken for an escaped byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Foundation/Platform/CommandLine.h"
#include "Foundation/Platform/File.h"
#include "Foundation/Platform/FileSystem.h"

namespace {

std::vector<unsigned short> ao_Argument(std::string const& bytes) {
    char const* argv[] = {"program", bytes.c_str(), nullptr};
    std::vector<unsigned short> units(bytes.size() + 1);
    unsigned n = Platform::n_GetWideArgument(2, argv, 1, units.data(), static_cast<unsigned>(units.size()));
    units.resize(n + 1);
    return units;
}

}  // namespace

TEST(PosixPathText, NamesThatAreNotUtf8OpenTheirFiles) {
    // Latin-1 bytes, a cut-off sequence, an overlong slash, an encoded
    // surrogate, a byte past U+10FFFF, valid text of every length, and
    // valid UTF-8 that spells an escape's unit.
    std::string const names[] = {"caf\xE9.txt", "end-\xE6\x97", "over\xC0\xAF" "long", "sur\xED\xA0\x80rogate",
                                 "\xF5\x80\x80\x80", "ok-\xCE\xA9\xE6\x97\xA5\xF0\x9F\x98\x80",
                                 "\xED\xB2\x80-escape-look-alike"};
    std::string const folder = ::testing::TempDir() + "path-text/";
    std::vector<unsigned short> wideFolder = ao_Argument(folder);
    Platform::b_MakeDirectory(wideFolder.data());
    for (std::string const& name : names) {
        std::string path = folder + name;
        FILE* made = std::fopen(path.c_str(), "wb");
        ASSERT_NE(made, nullptr) << name;
        std::fclose(made);
        std::vector<unsigned short> wide = ao_Argument(path);
        void* file = Platform::h_OpenFile(wide.data(), 1, 1, 1, 0);
        EXPECT_NE(file, nullptr) << name;
        if (file) Platform::b_CloseFile(file);
    }
    // Each directory entry opens again by the name the search gives.
    std::vector<unsigned short> pattern = ao_Argument(folder + "*");
    Platform::st_FindData data{};
    std::intptr_t search = Platform::i_FindFirst(pattern.data(), &data);
    unsigned opened = 0;
    for (bool more = search != -1; more; more = Platform::b_FindNext(search, &data) != 0) {
        std::vector<unsigned short> path(wideFolder.begin(), wideFolder.end() - 1);
        for (unsigned short const* unit = data.au_Name; *unit; ++unit) path.push_back(*unit);
        path.push_back(0);
        void* file = Platform::h_OpenFile(path.data(), 1, 1, 1, 0);
        opened += file != nullptr;
        if (file) Platform::b_CloseFile(file);
    }
    if (search != -1) Platform::v_FindClose(search);
    EXPECT_EQ(opened, sizeof names / sizeof names[0]);
    for (std::string const& name : names) std::remove((folder + name).c_str());
    Platform::b_RemoveDirectory(wideFolder.data());

    // Valid UTF-8 decodes as itself: the smiling face is one surrogate
    // pair; the overlong slash is two escaped bytes, not a separator.
    std::vector<unsigned short> face = ao_Argument("\xF0\x9F\x98\x80");
    ASSERT_EQ(face.size(), 3u);
    EXPECT_EQ(face[0], 0xD83D);
    EXPECT_EQ(face[1], 0xDE00);
    std::vector<unsigned short> overlong = ao_Argument("a\xC0\xAF");
    ASSERT_EQ(overlong.size(), 4u);
    EXPECT_EQ(overlong[1], 0xDCC0);
    EXPECT_EQ(overlong[2], 0xDCAF);
}
