// INI reads: 1,000 single-key reads from a 1,000-key file through
// CT_IniFile (and through the profile seam below it), against one full
// parse of the same file by inih with every pair kept in a map and one
// lookup in it. The file (10 sections of 100 keys, with comments and
// blank lines) is made in the temporary folder when the program starts.
#include <benchmark/benchmark.h>
#include <ini.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Debug.h"
#include "Foundation/Platform/Profile.h"

namespace {

constexpr int kSections = 10;
constexpr int kKeysPerSection = 100;

struct st_File {
    std::string s_Name;
    std::vector<std::pair<std::string, std::string>> ao_Keys;  // section, key

    st_File() {
        char directory[260];
        Platform::n_GetTempPath(directory, sizeof directory);
        s_Name = std::string(directory) + "bench_ini.ini";
        std::string text = "; a settings file of 1,000 keys\r\n";
        for (int s = 0; s < kSections; ++s) {
            std::string section = "Section" + std::to_string(s);
            text += "\r\n[" + section + "]\r\n; keys of " + section + "\r\n";
            for (int k = 0; k < kKeysPerSection; ++k) {
                std::string key = "Key" + std::to_string(k);
                text += key + " = value " + std::to_string(s * kKeysPerSection + k) + "\r\n";
                ao_Keys.emplace_back(section, key);
            }
        }
        FILE* file = std::fopen(s_Name.c_str(), "wb");
        if (file) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
    ~st_File() { std::remove(s_Name.c_str()); }
};

st_File const& ro_File() {
    static st_File file;
    return file;
}

void BM_IniFile_1000Reads(benchmark::State& state) {
    st_File const& file = ro_File();
    CT_CString name(file.s_Name.c_str(), ~0u, 0);
    CT_IniFile ini(&name);
    CT_CString value;
    for (auto _ : state) {
        for (auto const& key : file.ao_Keys) ini.v_ReadString(key.first.c_str(), key.second.c_str(), &value, "");
        benchmark::DoNotOptimize(value.qccz_Get());
    }
}
BENCHMARK(BM_IniFile_1000Reads)->Unit(benchmark::kMicrosecond);

void BM_ProfileSeam_1000Reads(benchmark::State& state) {
    st_File const& file = ro_File();
    char value[1024];
    for (auto _ : state) {
        for (auto const& key : file.ao_Keys)
            Platform::n_GetProfileString(key.first.c_str(), key.second.c_str(), "", value, sizeof value,
                                         file.s_Name.c_str());
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ProfileSeam_1000Reads)->Unit(benchmark::kMicrosecond);

int i_Keep(void* user, char const* section, char const* name, char const* value) {
    auto* pairs = static_cast<std::map<std::string, std::string>*>(user);
    pairs->emplace(std::string(section) + '\0' + name, value);
    return 1;
}

void BM_Inih_ParseAndOneLookup(benchmark::State& state) {
    st_File const& file = ro_File();
    std::string const wanted = std::string("Section5") + '\0' + "Key50";
    for (auto _ : state) {
        std::map<std::string, std::string> pairs;
        ini_parse(file.s_Name.c_str(), &i_Keep, &pairs);
        auto found = pairs.find(wanted);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_Inih_ParseAndOneLookup)->Unit(benchmark::kMicrosecond);

}  // namespace
