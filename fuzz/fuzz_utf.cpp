// The UTF-7 and UTF-8 coders on any bytes. Besides the sanitizers' checks
// (every target array is exactly the documented room), the decoders must
// give the same units whether the input comes in one call or in two, and
// what they give must come back unchanged through the encoders.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Foundation/Basis.h"

namespace {

typedef std::vector<unsigned short> Units;

void v_Check(bool condition) {
    if (!condition) std::abort();
}

// The units up to the first zero unit.
Units ao_UpToZero(Units units) {
    for (size_t i = 0; i < units.size(); ++i)
        if (units[i] == 0) return Units(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(i));
    return units;
}

Units ao_UTF8(char const* bytes, unsigned count) {
    Units units(count + 1);
    int n = CT_StringConvert::si_UTF8ToWide(units.data(), bytes, count);
    v_Check(n >= 0 && static_cast<unsigned>(n) <= count && units[static_cast<size_t>(n)] == 0);
    units.resize(static_cast<size_t>(n));
    return units;
}

Units ao_UTF7(char const* bytes, unsigned count) {
    Units units(count + 1);
    int n = CT_StringConvert::si_UTF7ToWide(units.data(), bytes, count);
    v_Check(n >= 0 && static_cast<unsigned>(n) <= count && units[static_cast<size_t>(n)] == 0);
    units.resize(static_cast<size_t>(n));
    return units;
}

void v_FuzzUTF8(char const* bytes, unsigned count, unsigned split) {
    CT_UTF::sv_UTF8ToWideInit();
    Units whole = ao_UTF8(bytes, count);
    // The same bytes in two calls; the first call ends inside a sequence
    // as often as not. A zero byte stops a call, so split only before one.
    unsigned zero = static_cast<unsigned>(std::strlen(bytes));
    if (zero >= count) {
        CT_UTF::sv_UTF8ToWideInit();
        Units parts = ao_UTF8(bytes, split);
        Units rest = ao_UTF8(bytes + split, count - split);
        parts.insert(parts.end(), rest.begin(), rest.end());
        v_Check(parts == whole);
    }
    CT_UTF::sv_UTF8ToWideInit();
    // Back through the encoder, into exactly its room.
    Units text = ao_UpToZero(whole);
    std::vector<char> coded(text.size() * 3 + 1);
    int n = CT_StringConvert::si_WideToUTF8(coded.data(), text.data(), static_cast<unsigned>(text.size()));
    v_Check(n >= 0 && coded[static_cast<size_t>(n)] == 0);
    v_Check(ao_UTF8(coded.data(), static_cast<unsigned>(n)) == text);
    CT_UTF::sv_UTF8ToWideInit();
}

void v_FuzzUTF7(char const* bytes, unsigned count) {
    Units text = ao_UpToZero(ao_UTF7(bytes, count));
    std::vector<char> coded(text.size() * 3 + 3);
    int n = CT_StringConvert::si_WideToUTF7(coded.data(), text.data(), static_cast<unsigned>(text.size()));
    v_Check(n >= 0 && coded[static_cast<size_t>(n)] == 0);
    v_Check(ao_UTF7(coded.data(), static_cast<unsigned>(n)) == text);
    // The string forms make their own room.
    CT_UString wide;
    CT_StringConvert::si_UTF7ToWide(&wide, bytes, count);
    CT_CString narrow(65000);
    CT_StringConvert::si_WideToUTF7(&narrow, &wide);
    CT_StringConvert::si_WideToMulti(&narrow, wide.qcuz_Get(), ~0u, 65000);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    if (size < 1 || size > 4096) return 0;
    // The first byte chooses where the UTF-8 input is split; the rest,
    // with a terminator, is the input of both decoders.
    std::vector<char> bytes(data + 1, data + size);
    unsigned count = static_cast<unsigned>(bytes.size());
    bytes.push_back(0);
    v_FuzzUTF8(bytes.data(), count, count ? data[0] % (count + 1) : 0);
    v_FuzzUTF7(bytes.data(), count);
    return 0;
}
