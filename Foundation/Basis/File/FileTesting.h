// Helpers for the file tests: a temporary file name removed at the end,
// and raw byte access to a file beside the classes under test.
#pragma once

#include <cstdio>
#include <string>

#include "Foundation/Basis/File/FileSystem.h"
#include "Foundation/Basis/String/CString.h"

namespace FileTesting {

class TemporaryFile {
public:
    explicit TemporaryFile(unsigned short const* extension = nullptr) {
        static unsigned short const au_Prefix[] = {'b', 'f', 't', 0};
        CT_FileSystem::sv_MakeTemporaryName(&co_Name, au_Prefix, extension, 0);
        // Names made within one second repeat until the file exists: the
        // generator is seeded with the time on every call.
        v_Write("");
    }
    ~TemporaryFile() { std::remove(s_Narrow().c_str()); }
    CT_UString const* pcco_Name() const { return &co_Name; }
    std::string s_Narrow() const { return CT_CString(&co_Name, 0).qccz_Get(); }

    void v_Write(std::string const& bytes) const {
        FILE* file = std::fopen(s_Narrow().c_str(), "wb");
        if (!file) return;
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    std::string s_Read() const {
        std::string bytes;
        FILE* file = std::fopen(s_Narrow().c_str(), "rb");
        if (!file) return bytes;
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
        std::fclose(file);
        return bytes;
    }
    void v_Delete() const { std::remove(s_Narrow().c_str()); }
    bool b_Exists() const { return CT_FileSystem::sb_IsExistent(&co_Name) != 0; }

private:
    CT_UString co_Name;
};

inline std::string s_Wide(std::u16string const& text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

}  // namespace FileTesting
