// Reading files: CT_File's line readers against fgets and std::getline on
// a 100 MB text file, wide lines of a UTF-16 file against a decoding loop
// over std::ifstream, and 4 KiB reads through CT_WinFile (mapped and not)
// against pread. The files are made in the temporary directory when the
// program starts and removed when it ends.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Debug.h"

namespace {

constexpr unsigned kFileBytes = 100u << 20;
constexpr unsigned kBlock = 4096;
constexpr unsigned kRandomReads = 20000;

struct st_Files {
    std::string s_Narrow, s_Wide;
    CT_UString co_Narrow, co_Wide;
    std::vector<unsigned> an_Offsets;

    st_Files() {
        char directory[260];
        Platform::n_GetTempPath(directory, sizeof directory);
        s_Narrow = std::string(directory) + "bench_file_narrow.txt";
        s_Wide = std::string(directory) + "bench_file_wide.txt";
        co_Narrow.v_Set(s_Narrow.c_str(), ~0u, 0);
        co_Wide.v_Set(s_Wide.c_str(), ~0u, 0);
        std::mt19937 random(1);
        std::string text;
        text.reserve(kFileBytes + 200);
        while (text.size() < kFileBytes) {
            unsigned length = random() % 120;
            for (unsigned i = 0; i < length; ++i) text.push_back(static_cast<char>('a' + random() % 26));
            text += (random() % 2) ? "\r\n" : "\n";
        }
        std::FILE* file = std::fopen(s_Narrow.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        // The same lines as UTF-16 with a byte-order mark, half the size.
        std::string wide = "\xFF\xFE";
        wide.reserve(kFileBytes + 2);
        for (std::size_t i = 0; i < text.size() / 2; ++i) {
            wide.push_back(text[i]);
            wide.push_back(0);
        }
        file = std::fopen(s_Wide.c_str(), "wb");
        std::fwrite(wide.data(), 1, wide.size(), file);
        std::fclose(file);
        for (unsigned i = 0; i < kRandomReads; ++i) an_Offsets.push_back((random() % (kFileBytes / kBlock)) * kBlock);
    }
    ~st_Files() {
        std::remove(s_Narrow.c_str());
        std::remove(s_Wide.c_str());
    }
};

st_Files& so_Files() {
    static st_Files files;
    return files;
}

// Made before the first benchmark, so that no timing includes them.
st_Files& so_Ready = so_Files();

void v_Lines(benchmark::State& state, std::size_t lines) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFileBytes);
    state.counters["lines"] = static_cast<double>(lines);
}

void NarrowLines_CT_File_ReadAhead(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        CT_WinFile file(&so_Files().co_Narrow, 16384);
        file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0x10);
        CT_CString line(static_cast<unsigned>(0));
        lines = 0;
        while (file.n_ReadLineCSequential(&line, nullptr)) ++lines;
        file.vv_Close();
    }
    v_Lines(state, lines);
}

void NarrowLines_CT_File_NoReadAhead(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        CT_WinFile file(&so_Files().co_Narrow, 16384);
        file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0x10);
        CT_CString line(static_cast<unsigned>(0));
        lines = 0;
        while (file.n_ReadLineC(&line, nullptr)) ++lines;
        file.vv_Close();
    }
    v_Lines(state, lines);
}

void NarrowLines_fgets(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(so_Files().s_Narrow.c_str(), "rb");
        char line[4096];
        lines = 0;
        while (std::fgets(line, sizeof line, file)) ++lines;
        std::fclose(file);
    }
    v_Lines(state, lines);
}

void NarrowLines_std_getline(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ifstream file(so_Files().s_Narrow, std::ios::binary);
        std::string line;
        lines = 0;
        while (std::getline(file, line)) ++lines;
    }
    v_Lines(state, lines);
}

void WideLines_CT_File_ReadAhead(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        CT_WinFile file(&so_Files().co_Wide, 16384);
        file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0x10);
        CT_UString line;
        lines = 0;
        while (file.n_ReadLineUSequential(&line, nullptr)) ++lines;
        file.vv_Close();
    }
    v_Lines(state, lines);
}

// What a user without the library writes: std::ifstream read in blocks,
// the units decoded and gathered into a std::u16string per line.
void WideLines_u16string_loop(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ifstream file(so_Files().s_Wide, std::ios::binary);
        std::vector<char> block(1 << 16);
        std::u16string line;
        lines = 0;
        bool first = true;
        while (file.read(block.data(), static_cast<std::streamsize>(block.size())) || file.gcount() > 0) {
            std::size_t count = static_cast<std::size_t>(file.gcount()) / 2;
            std::size_t at = 0;
            if (first && count && block[0] == '\xFF' && block[1] == '\xFE') at = 1;
            first = false;
            for (; at < count; ++at) {
                char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(block[2 * at]) |
                                                      static_cast<unsigned char>(block[2 * at + 1]) << 8);
                if (unit == u'\n') {
                    if (!line.empty() && line.back() == u'\r') line.pop_back();
                    ++lines;
                    line.clear();
                } else {
                    line.push_back(unit);
                }
            }
        }
    }
    v_Lines(state, lines);
}

void v_Blocks(benchmark::State& state, std::size_t blocks) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * blocks * kBlock));
}

template <bool Mapped, bool Random>
void Read4K_CT_WinFile(benchmark::State& state) {
    CT_WinFile file(&so_Files().co_Narrow, 16384);
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    if (Mapped) file.v_CreateMap(0xFFFFFFFFu);
    std::vector<char> block(kBlock);
    std::vector<unsigned> const& offsets = so_Files().an_Offsets;
    std::size_t blocks = Random ? offsets.size() : kFileBytes / kBlock;
    for (auto _ : state) {
        if (!Random) file.vv_SetOffset(CT_File::e_Begin, 0);
        for (std::size_t i = 0; i < blocks; ++i) {
            if (Random) file.vv_SetOffset(CT_File::e_Begin, static_cast<int>(offsets[i]));
            benchmark::DoNotOptimize(file.vn_Read(block.data(), kBlock));
        }
    }
    file.vv_Close();
    v_Blocks(state, blocks);
}

template <bool Random>
void Read4K_pread(benchmark::State& state) {
    int descriptor = ::open(so_Files().s_Narrow.c_str(), O_RDONLY);
    std::vector<char> block(kBlock);
    std::vector<unsigned> const& offsets = so_Files().an_Offsets;
    std::size_t blocks = Random ? offsets.size() : kFileBytes / kBlock;
    for (auto _ : state) {
        for (std::size_t i = 0; i < blocks; ++i)
            benchmark::DoNotOptimize(
                ::pread(descriptor, block.data(), kBlock, Random ? offsets[i] : static_cast<off_t>(i) * kBlock));
    }
    ::close(descriptor);
    v_Blocks(state, blocks);
}

}  // namespace

BENCHMARK(NarrowLines_CT_File_ReadAhead)->Unit(benchmark::kMillisecond);
BENCHMARK(NarrowLines_fgets)->Unit(benchmark::kMillisecond);
BENCHMARK(NarrowLines_std_getline)->Unit(benchmark::kMillisecond);
BENCHMARK(NarrowLines_CT_File_NoReadAhead)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(WideLines_CT_File_ReadAhead)->Unit(benchmark::kMillisecond);
BENCHMARK(WideLines_u16string_loop)->Unit(benchmark::kMillisecond);
BENCHMARK(Read4K_CT_WinFile<false, false>)->Name("Read4K_Sequential_CT_WinFile")->Unit(benchmark::kMillisecond);
BENCHMARK(Read4K_CT_WinFile<true, false>)->Name("Read4K_Sequential_CT_WinFile_Mapped")->Unit(benchmark::kMillisecond);
BENCHMARK(Read4K_pread<false>)->Name("Read4K_Sequential_pread")->Unit(benchmark::kMillisecond);
BENCHMARK(Read4K_CT_WinFile<false, true>)->Name("Read4K_Random_CT_WinFile")->Unit(benchmark::kMillisecond);
BENCHMARK(Read4K_CT_WinFile<true, true>)->Name("Read4K_Random_CT_WinFile_Mapped")->Unit(benchmark::kMillisecond);
BENCHMARK(Read4K_pread<true>)->Name("Read4K_Random_pread")->Unit(benchmark::kMillisecond);
