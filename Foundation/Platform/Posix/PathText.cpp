#include "Foundation/Platform/Posix/PathText.h"

#include <cstring>
#include <vector>

#include "Foundation/Platform/Posix/Utf8Text.h"

namespace Platform {
namespace Posix {

namespace {

// The length of the valid, shortest UTF-8 sequence at text (no surrogate,
// nothing past U+10FFFF), or 0.
unsigned n_ValidSequence(unsigned char const* text, std::size_t left, unsigned* value) {
    unsigned c = text[0];
    if (c < 0x80) {
        *value = c;
        return 1;
    }
    unsigned length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (length == 0 || left < length) return 0;
    unsigned v = c & (0x7Fu >> length);
    for (unsigned k = 1; k < length; ++k) {
        if ((text[k] & 0xC0) != 0x80) return 0;
        v = v << 6 | (text[k] & 0x3Fu);
    }
    unsigned const least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (v < least[length] || v > 0x10FFFF || (v >= 0xD800 && v < 0xE000)) return 0;
    *value = v;
    return length;
}

}  // namespace

unsigned n_NameToUtf16(char const* text, std::size_t length, unsigned short* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    auto const* p = reinterpret_cast<unsigned char const*>(text);
    std::size_t at = 0;
    unsigned out = 0;
    while (at < length && out + 1 < capacity) {
        unsigned value = 0;
        unsigned n = n_ValidSequence(p + at, length - at, &value);
        if (n == 0) {
            value = 0xDC00 + p[at];  // an escaped byte
            n = 1;
        }
        if (value >= 0x10000) {
            if (out + 2 >= capacity) break;
            value -= 0x10000;
            buffer[out++] = static_cast<unsigned short>(0xD800 + (value >> 10));
            value = 0xDC00 + (value & 0x3FF);
        }
        buffer[out++] = static_cast<unsigned short>(value);
        at += n;
    }
    buffer[out] = 0;
    return out;
}

std::string s_NativePath(unsigned short const* path) {
    if (path == nullptr) return std::string();
    std::string text;
    // Runs between escaped bytes go through the UTF-8 coder; an escape is
    // its byte. A lone high surrogate, or a low one outside the escapes,
    // stays the coder's business.
    std::size_t start = 0, k = 0;
    auto flush = [&](std::size_t end) {
        if (end == start) return;
        std::vector<unsigned short> run(path + start, path + end);
        run.push_back(0);
        std::string bytes(run.size() * 3 + 1, '\0');
        bytes.resize(n_Utf16ToUtf8(run.data(), bytes.data(), static_cast<unsigned>(bytes.size())));
        text += bytes;
    };
    for (; path[k]; ++k) {
        unsigned c = path[k];
        bool pairedLow = k > start && path[k - 1] >= 0xD800 && path[k - 1] < 0xDC00;
        if (c >= 0xDC80 && c <= 0xDCFF && !pairedLow) {
            flush(k);
            text.push_back(static_cast<char>(c - 0xDC00));
            start = k + 1;
        }
    }
    flush(k);
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

unsigned n_WidePath(char const* path, unsigned short* buffer, unsigned size) {
    return n_NameToUtf16(path, std::strlen(path), buffer, size);
}

}  // namespace Posix
}  // namespace Platform
