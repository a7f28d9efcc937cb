// Text conversion side by side: the library's UTF-8 coder and code-page
// conversion against ICU, glibc iconv and a plain widening (or narrowing)
// copy, the floor no converter can beat. Each text is about 64 KiB of
// UTF-8, made up from the letters of its script; figures are per byte of
// the input.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/Basis.h"

namespace {

typedef std::vector<unsigned short> Units;

// A repeatable stream of numbers.
struct st_Random {
    std::uint32_t n4_State;
    unsigned n_Below(unsigned n) {
        n4_State = n4_State * 1664525u + 1013904223u;
        return (n4_State >> 8) % n;
    }
};

void v_AppendUTF8(std::string& out, unsigned c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Words of 2 to 9 letters drawn from the given letters (weighted by how
// often they are listed), with spaces, punctuation and line ends.
std::string o_MakeText(std::vector<unsigned> const& letters, unsigned wordSeparator, std::uint32_t seed) {
    st_Random random{seed};
    std::string text;
    unsigned lineLength = 0;
    while (text.size() < 64 * 1024) {
        unsigned length = 2 + random.n_Below(8);
        for (unsigned i = 0; i < length; ++i) v_AppendUTF8(text, letters[random.n_Below(static_cast<unsigned>(letters.size()))]);
        unsigned mark = random.n_Below(12);
        if (mark == 0) text += ',';
        if (mark == 1) v_AppendUTF8(text, wordSeparator == ' ' ? '.' : 0x3002);
        lineLength += length + 1;
        if (lineLength > 70) {
            text += '\n';
            lineLength = 0;
        } else if (wordSeparator) {
            v_AppendUTF8(text, wordSeparator);
        }
    }
    return text;
}

std::vector<unsigned> ao_Range(unsigned first, unsigned last, unsigned times = 1) {
    std::vector<unsigned> letters;
    for (unsigned t = 0; t < times; ++t)
        for (unsigned c = first; c <= last; ++c) letters.push_back(c);
    return letters;
}

std::string const& o_Ascii() {
    static std::string const text = o_MakeText(ao_Range('a', 'z'), ' ', 1);
    return text;
}

// French-like: one letter in eight or so with an accent.
std::string const& o_Latin() {
    static std::string const text = [] {
        std::vector<unsigned> letters = ao_Range('a', 'z', 4);
        for (unsigned c : {0xE9u, 0xE8u, 0xEAu, 0xE0u, 0xE7u, 0xF4u, 0xFCu, 0xEFu, 0xE2u, 0xF9u, 0xE9u, 0xE8u, 0xE0u})
            letters.push_back(c);
        return o_MakeText(letters, ' ', 2);
    }();
    return text;
}

std::string const& o_Cyrillic() {
    static std::string const text = o_MakeText(ao_Range(0x430, 0x44F), ' ', 3);
    return text;
}

// Japanese-like: kanji and hiragana, no spaces, ideographic full stops.
std::string const& o_Cjk() {
    static std::string const text = [] {
        std::vector<unsigned> letters = ao_Range(0x3042, 0x3093);
        for (unsigned c = 0x4E00; c < 0x4E00 + 3000; c += 37) letters.push_back(c);
        return o_MakeText(letters, 0, 4);
    }();
    return text;
}

Units ao_ToUnits(std::string const& utf8) {
    Units units(utf8.size() + 1);
    int n = CT_StringConvert::si_UTF8ToWide(units.data(), utf8.data(), static_cast<unsigned>(utf8.size()));
    units.resize(static_cast<size_t>(n));
    return units;
}

std::string o_ToCodePage(std::string const& utf8, unsigned codePage) {
    Units units = ao_ToUnits(utf8);
    std::string bytes(units.size() * 2 + 1, '\0');
    int n = CT_StringConvert::si_WideToMulti(bytes.data(), units.data(), static_cast<unsigned>(units.size()), codePage);
    bytes.resize(static_cast<size_t>(n));
    return bytes;
}

struct st_Text {
    char const* qccz_Name;
    std::string const& (*pf_Text)();
};
st_Text const aso_Texts[] = {{"ASCII", &o_Ascii}, {"Latin", &o_Latin}, {"Cyrillic", &o_Cyrillic}, {"CJK", &o_Cjk}};

void v_Fail(benchmark::State& state, char const* what) { state.SkipWithError(what); }

// UTF-8 to UTF-16.

void BM_UTF8ToWide_Basis(benchmark::State& state, std::string const* text) {
    Units out(text->size() + 1);
    unsigned count = static_cast<unsigned>(text->size());
    for (auto _ : state) {
        int n = CT_StringConvert::si_UTF8ToWide(out.data(), text->data(), count);
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void BM_UTF8ToWide_ICU(benchmark::State& state, std::string const* text) {
    std::vector<UChar> out(text->size() + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t n = 0;
        u_strFromUTF8(out.data(), static_cast<int32_t>(out.size()), &n, text->data(), static_cast<int32_t>(text->size()),
                      &error);
        if (U_FAILURE(error)) return v_Fail(state, "u_strFromUTF8 failed");
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void v_Iconv(benchmark::State& state, char const* to, char const* from, char const* data, size_t size, size_t room) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return v_Fail(state, "iconv_open failed");
    std::vector<char> out(room);
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(data);
        size_t inLeft = size;
        char* target = out.data();
        size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &target, &outLeft) == static_cast<size_t>(-1)) {
            iconv_close(cd);
            return v_Fail(state, "iconv failed");
        }
        benchmark::DoNotOptimize(target);
        benchmark::ClobberMemory();
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_UTF8ToWide_Iconv(benchmark::State& state, std::string const* text) {
    v_Iconv(state, "UTF-16LE", "UTF-8", text->data(), text->size(), text->size() * 2 + 2);
}

// The floor: every byte widened to a unit, nothing looked at.
void BM_UTF8ToWide_WideningCopy(benchmark::State& state, std::string const* text) {
    Units out(text->size() + 1);
    for (auto _ : state) {
        unsigned char const* in = reinterpret_cast<unsigned char const*>(text->data());
        for (size_t i = 0, n = text->size(); i < n; ++i) out[i] = in[i];
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

// UTF-16 to UTF-8 (bytes counted are those of the UTF-8 side).

void BM_WideToUTF8_Basis(benchmark::State& state, std::string const* text) {
    Units units = ao_ToUnits(*text);
    std::vector<char> out(units.size() * 3 + 1);
    for (auto _ : state) {
        int n = CT_StringConvert::si_WideToUTF8(out.data(), units.data(), static_cast<unsigned>(units.size()));
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void BM_WideToUTF8_ICU(benchmark::State& state, std::string const* text) {
    Units units = ao_ToUnits(*text);
    std::vector<UChar> source(units.begin(), units.end());
    std::vector<char> out(units.size() * 3 + 1);
    for (auto _ : state) {
        UErrorCode error = U_ZERO_ERROR;
        int32_t n = 0;
        u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &n, source.data(), static_cast<int32_t>(source.size()),
                    &error);
        if (U_FAILURE(error)) return v_Fail(state, "u_strToUTF8 failed");
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

void BM_WideToUTF8_Iconv(benchmark::State& state, std::string const* text) {
    Units units = ao_ToUnits(*text);
    std::string bytes(reinterpret_cast<char const*>(units.data()), units.size() * 2);
    v_Iconv(state, "UTF-8", "UTF-16LE", bytes.data(), bytes.size(), units.size() * 3 + 1);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

// The floor: every unit narrowed to a byte.
void BM_WideToUTF8_NarrowingCopy(benchmark::State& state, std::string const* text) {
    Units units = ao_ToUnits(*text);
    std::vector<char> out(units.size() + 1);
    for (auto _ : state) {
        for (size_t i = 0, n = units.size(); i < n; ++i) out[i] = static_cast<char>(units[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text->size()));
}

// Code pages to UTF-16 (bytes counted are those of the code page).

struct st_CodePageText {
    char const* qccz_Name;
    unsigned n_CodePage;
    char const* qccz_Icu;
    char const* qccz_Iconv;
    std::string const& (*pf_Source)();
};
st_CodePageText const aso_CodePageTexts[] = {
    {"1252/Latin", 1252, "windows-1252", "CP1252", &o_Latin},
    {"932/CJK", 932, "windows-932", "CP932", &o_Cjk},
};

std::string const& o_CodePageBytes(st_CodePageText const& text) {
    static std::string cache[2];
    std::string& bytes = cache[&text - aso_CodePageTexts];
    if (bytes.empty()) bytes = o_ToCodePage(text.pf_Source(), text.n_CodePage);
    return bytes;
}

void BM_CodePageToWide_Basis(benchmark::State& state, st_CodePageText const* text) {
    std::string const& bytes = o_CodePageBytes(*text);
    Units out(bytes.size() + 1);
    for (auto _ : state) {
        int n = CT_StringConvert::si_MultiToWide(out.data(), bytes.data(), static_cast<unsigned>(bytes.size()),
                                                 text->n_CodePage);
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_CodePageToWide_ICU(benchmark::State& state, st_CodePageText const* text) {
    std::string const& bytes = o_CodePageBytes(*text);
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(text->qccz_Icu, &error);
    if (U_FAILURE(error)) return v_Fail(state, "ucnv_open failed");
    std::vector<UChar> out(bytes.size() + 1);
    for (auto _ : state) {
        error = U_ZERO_ERROR;
        int32_t n = ucnv_toUChars(converter, out.data(), static_cast<int32_t>(out.size()), bytes.data(),
                                  static_cast<int32_t>(bytes.size()), &error);
        if (U_FAILURE(error)) break;
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
    }
    ucnv_close(converter);
    if (U_FAILURE(error)) return v_Fail(state, "ucnv_toUChars failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_CodePageToWide_Iconv(benchmark::State& state, st_CodePageText const* text) {
    std::string const& bytes = o_CodePageBytes(*text);
    v_Iconv(state, "UTF-16LE", text->qccz_Iconv, bytes.data(), bytes.size(), bytes.size() * 2 + 2);
}

void BM_CodePageToWide_WideningCopy(benchmark::State& state, st_CodePageText const* text) {
    std::string const& bytes = o_CodePageBytes(*text);
    BM_UTF8ToWide_WideningCopy(state, &bytes);
}

// Other programs share the machine: the fastest of the repetitions
// (--benchmark_repetitions) is the figure least disturbed by them.
void v_Register(std::string const& name, void (*function)(benchmark::State&, std::string const*),
                std::string const* text) {
    benchmark::RegisterBenchmark(name.c_str(), function, text)->ComputeStatistics("min", [](std::vector<double> const& v) {
        return *std::min_element(v.begin(), v.end());
    });
}

void v_Register(std::string const& name, void (*function)(benchmark::State&, st_CodePageText const*),
                st_CodePageText const* text) {
    benchmark::RegisterBenchmark(name.c_str(), function, text)->ComputeStatistics("min", [](std::vector<double> const& v) {
        return *std::min_element(v.begin(), v.end());
    });
}

int i_Register() {
    for (st_Text const& text : aso_Texts) {
        std::string const* source = &text.pf_Text();
        std::string name = std::string("UTF8ToWide/") + text.qccz_Name;
        v_Register(name + "/basis", BM_UTF8ToWide_Basis, source);
        v_Register(name + "/icu", BM_UTF8ToWide_ICU, source);
        v_Register(name + "/iconv", BM_UTF8ToWide_Iconv, source);
        v_Register(name + "/widening_copy", BM_UTF8ToWide_WideningCopy, source);
    }
    for (st_Text const& text : aso_Texts) {
        std::string const* source = &text.pf_Text();
        std::string name = std::string("WideToUTF8/") + text.qccz_Name;
        v_Register(name + "/basis", BM_WideToUTF8_Basis, source);
        v_Register(name + "/icu", BM_WideToUTF8_ICU, source);
        v_Register(name + "/iconv", BM_WideToUTF8_Iconv, source);
        v_Register(name + "/narrowing_copy", BM_WideToUTF8_NarrowingCopy, source);
    }
    for (st_CodePageText const& text : aso_CodePageTexts) {
        std::string name = std::string("CodePageToWide/") + text.qccz_Name;
        v_Register(name + "/basis", BM_CodePageToWide_Basis, &text);
        v_Register(name + "/icu", BM_CodePageToWide_ICU, &text);
        v_Register(name + "/iconv", BM_CodePageToWide_Iconv, &text);
        v_Register(name + "/widening_copy", BM_CodePageToWide_WideningCopy, &text);
    }
    return 0;
}

[[maybe_unused]] int const i_Registered = i_Register();

}  // namespace
