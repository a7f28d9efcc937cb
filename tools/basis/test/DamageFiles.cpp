// Makes the damaged copies of a record file that the damage session runs
// the tool on: each of the 256 header bytes inverted in turn
// (flip-NNN.bfr, NNN its offset) and the file cut short at given sizes
// (cut-SIZE.bfr). A test helper, not part of the tool. It also writes a
// file of given bytes, which the session scripts cannot (a zero byte).
//
//   basis_damage_files <record file> <folder> <size>...
//   basis_damage_files --hex <file> <hexadecimal digits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool b_Write(std::string const& path, std::vector<unsigned char> const& bytes, std::size_t size) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = size == 0 || std::fwrite(bytes.data(), 1, size, out) == size;
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--hex") {
        std::string digits = argv[3];
        std::vector<unsigned char> bytes;
        for (std::size_t k = 0; k + 1 < digits.size(); k += 2)
            bytes.push_back(static_cast<unsigned char>(std::strtoul(digits.substr(k, 2).c_str(), nullptr, 16)));
        return b_Write(argv[2], bytes, bytes.size()) ? 0 : 1;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: basis_damage_files <record file> <folder> <size>...\n");
        return 2;
    }
    FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(in);
    if (bytes.size() < 256) {
        std::fprintf(stderr, "%s is shorter than a header\n", argv[1]);
        return 1;
    }
    std::string folder = argv[2];
    for (std::size_t at = 0; at < 256; ++at) {
        std::vector<unsigned char> damaged = bytes;
        damaged[at] ^= 0xFF;
        char name[32];
        std::snprintf(name, sizeof name, "/flip-%03zu.bfr", at);
        if (!b_Write(folder + name, damaged, damaged.size())) return 1;
    }
    for (int k = 3; k < argc; ++k) {
        std::size_t size = std::strtoul(argv[k], nullptr, 10);
        if (size > bytes.size()) size = bytes.size();
        if (!b_Write(folder + "/cut-" + argv[k] + ".bfr", bytes, size)) return 1;
    }
    return 0;
}
