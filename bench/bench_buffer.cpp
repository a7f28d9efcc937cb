// CT_Buffer against std::string and std::vector<char>: appending byte by
// byte and in blocks, and copying followed by a first write.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "Foundation/Basis.h"

namespace {

constexpr int kBytes = 1 << 20;
char const kBlock[64] = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcde";

void AppendByte_CT_Buffer(benchmark::State& state) {
    for (auto _ : state) {
        CT_Buffer buffer;
        for (int i = 0; i < kBytes; ++i) buffer.v_Append(static_cast<unsigned char>(i));
        benchmark::DoNotOptimize(buffer.qcv_Get());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void AppendByte_std_string(benchmark::State& state) {
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kBytes; ++i) s.push_back(static_cast<char>(i));
        benchmark::DoNotOptimize(s.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void AppendByte_std_vector(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<char> v;
        for (int i = 0; i < kBytes; ++i) v.push_back(static_cast<char>(i));
        benchmark::DoNotOptimize(v.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void AppendBlock_CT_Buffer(benchmark::State& state) {
    unsigned const size = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        CT_Buffer buffer;
        for (int i = 0; i < kBytes; i += size) buffer.v_Append(kBlock, size);
        benchmark::DoNotOptimize(buffer.qcv_Get());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void AppendBlock_std_string(benchmark::State& state) {
    std::size_t const size = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kBytes; i += size) s.append(kBlock, size);
        benchmark::DoNotOptimize(s.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

void AppendBlock_std_vector(benchmark::State& state) {
    std::size_t const size = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        std::vector<char> v;
        for (int i = 0; i < kBytes; i += size) v.insert(v.end(), kBlock, kBlock + size);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}

// Copying 1 MiB: the buffer shares, the others copy the bytes.
void Copy1MiB_CT_Buffer(benchmark::State& state) {
    CT_Buffer source(kBytes, 32);
    source.v_Replace(static_cast<unsigned char>('x'), kBytes, 0);
    for (auto _ : state) {
        CT_Buffer copy(&source);
        benchmark::DoNotOptimize(copy.qcv_Get());
    }
}

void Copy1MiB_std_string(benchmark::State& state) {
    std::string source(kBytes, 'x');
    for (auto _ : state) {
        std::string copy(source);
        benchmark::DoNotOptimize(copy.data());
    }
}

void Copy1MiB_std_vector(benchmark::State& state) {
    std::vector<char> source(kBytes, 'x');
    for (auto _ : state) {
        std::vector<char> copy(source);
        benchmark::DoNotOptimize(copy.data());
    }
}

// Copy then the first write: the buffer pays for its copy here.
void CopyThenWrite1MiB_CT_Buffer(benchmark::State& state) {
    CT_Buffer source(kBytes, 32);
    source.v_Replace(static_cast<unsigned char>('x'), kBytes, 0);
    for (auto _ : state) {
        CT_Buffer copy(&source);
        copy.v_Replace(static_cast<unsigned char>('y'), 1, 0);
        benchmark::DoNotOptimize(copy.qcv_Get());
    }
}

void CopyThenWrite1MiB_std_string(benchmark::State& state) {
    std::string source(kBytes, 'x');
    for (auto _ : state) {
        std::string copy(source);
        copy[0] = 'y';
        benchmark::DoNotOptimize(copy.data());
    }
}

void CopyThenWrite1MiB_std_vector(benchmark::State& state) {
    std::vector<char> source(kBytes, 'x');
    for (auto _ : state) {
        std::vector<char> copy(source);
        copy[0] = 'y';
        benchmark::DoNotOptimize(copy.data());
    }
}

}  // namespace

BENCHMARK(AppendByte_CT_Buffer);
BENCHMARK(AppendByte_std_string);
BENCHMARK(AppendByte_std_vector);
BENCHMARK(AppendBlock_CT_Buffer)->Arg(8)->Arg(64);
BENCHMARK(AppendBlock_std_string)->Arg(8)->Arg(64);
BENCHMARK(AppendBlock_std_vector)->Arg(8)->Arg(64);
BENCHMARK(Copy1MiB_CT_Buffer);
BENCHMARK(Copy1MiB_std_string);
BENCHMARK(Copy1MiB_std_vector);
BENCHMARK(CopyThenWrite1MiB_CT_Buffer);
BENCHMARK(CopyThenWrite1MiB_std_string);
BENCHMARK(CopyThenWrite1MiB_std_vector);
