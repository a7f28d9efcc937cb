// Feeds arbitrary bytes to the profile functions as an INI file and runs
// every read over it: the section listing at several buffer sizes, the
// keys of each section listed, every listed key read, reads of names the
// file may not have, and tiny buffers. Nothing may crash, hang or read or
// write outside the buffers, and every answer must stay within its buffer
// and end in a zero.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "Foundation/Platform/Profile.h"

namespace {

// Every answer ends in a zero inside the buffer; the count stays below
// the size. The guard bytes behind the buffer stay as they were.
unsigned n_Read(char const* section, char const* key, std::vector<char>* buffer, unsigned size, char const* file) {
    buffer->assign(static_cast<std::size_t>(size) + 8, '\x5A');
    unsigned n = Platform::n_GetProfileString(section, key, "default", buffer->data(), size, file);
    if (size == 0) {
        if (n != 0 || (*buffer)[0] != '\x5A') std::abort();
        return 0;
    }
    if (n >= size || (*buffer)[n] != 0) std::abort();
    for (unsigned i = size; i < size + 8; ++i)
        if ((*buffer)[i] != '\x5A') std::abort();
    return n;
}

// The names of a listing, at most limit of them.
std::vector<std::string> ao_Names(std::vector<char> const& list, unsigned count, unsigned limit) {
    std::vector<std::string> names;
    for (unsigned at = 0; at < count && names.size() < limit;) {
        std::string name(list.data() + at);
        names.push_back(name);
        at += static_cast<unsigned>(name.size()) + 1;
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    // One file per process, written anew for every input; the flush
    // request makes the first read look at it, and the read after its
    // removal lets the parse go, so every run frees what it allocated.
    static std::string const name = "/tmp/fuzz_ini_" + std::to_string(::getpid()) + ".ini";
    char const* file = name.c_str();
    FILE* out = std::fopen(file, "wb");
    if (!out) return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    Platform::b_WriteProfileString(nullptr, nullptr, nullptr, file);

    std::vector<char> buffer;
    for (unsigned small : {0u, 1u, 2u, 3u, 5u}) {
        n_Read(nullptr, nullptr, &buffer, small, file);
        n_Read("a", nullptr, &buffer, small, file);
        n_Read("a", "b", &buffer, small, file);
    }
    n_Read("", nullptr, &buffer, 4096, file);
    n_Read("", "", &buffer, 4096, file);
    unsigned count = n_Read(nullptr, nullptr, &buffer, 65536, file);
    for (std::string const& section : ao_Names(buffer, count, 32)) {
        std::vector<char> keys;
        unsigned keyCount = n_Read(section.c_str(), nullptr, &keys, 65536, file);
        n_Read(section.c_str(), nullptr, &buffer, 7, file);
        for (std::string const& key : ao_Names(keys, keyCount, 32)) {
            n_Read(section.c_str(), key.c_str(), &buffer, 1024, file);
            n_Read(section.c_str(), key.c_str(), &buffer, 2, file);
        }
    }
    std::remove(file);
    Platform::b_WriteProfileString(nullptr, nullptr, nullptr, file);
    n_Read("a", "b", &buffer, 8, file);
    return 0;
}
