// Callers include Foundation/Basis.h alone, so it must bring every exported
// class of the library with it.
#include "Foundation/Basis.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The source tree, looked for from the working directory upwards (the tests
// run in the tree or in a build folder inside it); empty when not found.
fs::path so_SourceRoot() {
    std::error_code error;
    for (fs::path dir = fs::current_path(error); !dir.empty(); dir = dir.parent_path()) {
        if (fs::exists(dir / "Foundation" / "Basis.h", error)) return dir;
        if (dir == dir.parent_path()) break;
    }
    return {};
}

std::string s_ReadFile(fs::path const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BasisHeader, IncludesEveryHeaderThatExportsAClass) {
    // This file includes Basis.h alone: the record manager and the database
    // error table come with it.
    static_assert(sizeof(CT_RecordManager) > 0);
    EXPECT_NE(CT_DatabaseError::sqcuz_GetErrorMessage(CT_DatabaseError::e_InvalidReference), nullptr);

    fs::path root = so_SourceRoot();
    if (root.empty()) GTEST_SKIP() << "source tree not found above " << fs::current_path().string();
    std::set<std::string> included;
    std::istringstream lines(s_ReadFile(root / "Foundation" / "Basis.h"));
    for (std::string line; std::getline(lines, line);) {
        std::string::size_type open = line.find("#include \"");
        if (open == std::string::npos) continue;
        std::string::size_type start = open + 10, end = line.find('"', start);
        if (end != std::string::npos) included.insert(line.substr(start, end - start));
    }
    // Every header outside the platform seam and the test helpers that
    // exports a CT_ class.
    unsigned checked = 0;
    for (fs::directory_entry const& entry : fs::recursive_directory_iterator(root / "Foundation")) {
        if (!entry.is_regular_file() || entry.path().extension() != ".h") continue;
        std::string name = fs::relative(entry.path(), root).generic_string();
        if (name.rfind("Foundation/Platform/", 0) == 0 || name.find("/testing/") != std::string::npos) continue;
        if (name.size() >= 9 && name.compare(name.size() - 9, 9, "Testing.h") == 0) continue;
        std::string text = s_ReadFile(entry.path());
        if (text.find("class BASIS_API CT_") == std::string::npos && text.find("struct BASIS_API CT_") == std::string::npos)
            continue;
        ++checked;
        EXPECT_EQ(included.count(name), 1u) << name << " is missing from Foundation/Basis.h";
    }
    EXPECT_GT(checked, 40u);
}

}  // namespace
