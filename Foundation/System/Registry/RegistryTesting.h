// A registry of the tests' own: on Linux the stores in a fresh folder, on
// Windows a fresh key below HKEY_CURRENT_USER\Software, removed afterwards.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Registry.h"

namespace RegistryTesting {

inline std::u16string s_U(char const* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

class ScratchRegistry {
public:
    ScratchRegistry() {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        std::string leaf = "basis-registry-" + std::to_string(stamp);
        o_Folder = std::filesystem::temp_directory_path() / leaf;
        std::filesystem::create_directories(o_Folder);
        std::u16string folder = o_Folder.u16string();
        Platform::v_SetRegistryFolder(reinterpret_cast<unsigned short const*>(folder.c_str()));
        s_Base = u"Software\\BasisTest-" + std::u16string(leaf.begin(), leaf.end());
        HKEY key = nullptr;
        Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu_Base(), Platform::e_KeyAllAccess, &key);
        Platform::n_RegCloseKey(key);
    }
    ~ScratchRegistry() {
        CT_Registry software(HKEY_CURRENT_USER);
        CT_UString leaf(pu_Base(), ~0u);
        software.v_DeleteKey(&leaf);
        CT_ErrorManager::spco_Get()->v_ClearError();
        Platform::v_SetRegistryFolder(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(o_Folder, ignored);
    }
    // The base key, below HKEY_CURRENT_USER.
    unsigned short const* pu_Base() const { return reinterpret_cast<unsigned short const*>(s_Base.c_str()); }
    std::filesystem::path const& co_Folder() const { return o_Folder; }

private:
    std::filesystem::path o_Folder;
    std::u16string s_Base;
};

}  // namespace RegistryTesting
