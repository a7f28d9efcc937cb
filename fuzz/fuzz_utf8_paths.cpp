// The UTF-8 coders' fast paths against the careful ones, on any bytes and
// units, with counts up to the text's end or far beyond its zero: the
// same units, the same bytes and the same decoder state afterwards. Source
// and target are heap blocks of just their size (the target just the
// result's room), so the address checker sees any touch past them. The
// encoder's line steps also read a little past the zero on purpose and go
// unchecked by it, so the encoder's target is followed by a band of known
// bytes, which must come back untouched.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Foundation/System/String/UTF8Coder.h"

namespace {

void v_Check(bool condition) {
    if (!condition) std::abort();
}

// The count: just the text, or (when it ends in a zero) well past it.
unsigned n_Count(unsigned length, bool terminated, std::uint8_t choice) {
    if (!terminated) return length;
    switch (choice % 4) {
    case 0: return length;
    case 1: return length + 1;
    case 2: return length + 1 + choice;
    default: return ~0u - choice;
    }
}

void v_Decode(std::uint8_t const* data, size_t size, std::uint8_t control, UTF8Coder::st_Paths paths) {
    bool const terminated = control & 1;
    std::vector<char> source(data, data + size);
    if (terminated) source.push_back(0);
    unsigned const count = n_Count(static_cast<unsigned>(size), terminated, static_cast<std::uint8_t>(control >> 1));
    // A sequence left over from an earlier call, now and then.
    UTF8Coder::st_Decoder careful;
    switch (control >> 6) {
    case 1: careful = {1, 1, 0xC3}; break;
    case 2: careful = {1, 2, (0xE2 << 6) + 0x82}; break;
    case 3: careful = {2, 3, 0x7 << 6 | 0x1F}; break;
    default: break;
    }
    UTF8Coder::st_Decoder fast = careful;
    std::vector<unsigned short> expected(size + 1);
    int const n = UTF8Coder::si_DecodeCarefully(expected.data(), source.data(), count, careful);
    v_Check(n >= 0 && static_cast<size_t>(n) <= size);
    std::vector<unsigned short> units(static_cast<size_t>(n));
    // An empty vector has no block at all; one unit's block stands in.
    unsigned short none;
    int const m = UTF8Coder::si_Decode(n ? units.data() : &none, source.data(), count, fast, paths);
    v_Check(m == n);
    v_Check(std::equal(units.begin(), units.end(), expected.begin()));
    v_Check(fast == careful);
}

void v_Encode(std::uint8_t const* data, size_t size, std::uint8_t control, UTF8Coder::st_Paths paths) {
    bool const terminated = control & 1;
    size_t const length = size / 2;
    std::vector<unsigned short> source(length);
    for (size_t i = 0; i < length; ++i)
        source[i] = static_cast<unsigned short>(data[2 * i] | data[2 * i + 1] << 8);
    if (terminated) source.push_back(0);
    unsigned const count = n_Count(static_cast<unsigned>(length), terminated, static_cast<std::uint8_t>(control >> 1));
    std::vector<char> expected(length * 3 + 1);
    int const n = UTF8Coder::si_EncodeCarefully(expected.data(), source.data(), count);
    v_Check(n >= 0 && static_cast<size_t>(n) <= length * 3);
    size_t const room = static_cast<size_t>(n) + 1, band = 64;
    std::vector<char> bytes(room + band, '#');
    int const m = UTF8Coder::si_Encode(bytes.data(), source.empty() ? nullptr : source.data(), count, paths);
    v_Check(m == n);
    v_Check(std::memcmp(bytes.data(), expected.data(), room) == 0);
    v_Check(std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(room), bytes.end(),
                        [](char c) { return c == '#'; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, size_t size) {
    if (size < 2 || size > 8192) return 0;
    // The first byte chooses the count and the decoder's state, the second
    // the count of the encoder; the rest is the text. Each input goes by
    // every set of block steps this processor runs, down to the plain ones.
    for (UTF8Coder::st_Paths paths : UTF8Coder::cao_EveryPaths) {
        v_Decode(data + 2, size - 2, data[0], paths);
        v_Encode(data + 2, size - 2, data[1], paths);
    }
    return 0;
}
