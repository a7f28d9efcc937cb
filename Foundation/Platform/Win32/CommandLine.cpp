#include "Foundation/Platform/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

namespace Platform {

namespace {

unsigned n_Copy(wchar_t const* text, unsigned length, unsigned short* buffer, unsigned size) {
    if (size) {
        unsigned copied = length < size ? length : size - 1;
        std::memcpy(buffer, text, copied * sizeof(unsigned short));
        buffer[copied] = 0;
    }
    return length;
}

}  // namespace

unsigned n_GetWideArgument(int argc, char const* const* argv, int index, unsigned short* buffer, unsigned size) {
    if (index < 0 || index >= argc || argv[index] == nullptr) return n_Copy(L"", 0, buffer, size);
    // The runtime split the same command line into argv; when the shell's
    // split agrees on the count, the arguments are the same ones, and the
    // wide form keeps the characters the ANSI code page lacks.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide != nullptr && count == argc) {
        unsigned length = static_cast<unsigned>(::wcslen(wide[index]));
        n_Copy(wide[index], length, buffer, size);
        ::LocalFree(wide);
        return length;
    }
    if (wide != nullptr) ::LocalFree(wide);
    int units = ::MultiByteToWideChar(CP_ACP, 0, argv[index], -1, nullptr, 0);
    if (units <= 1) return n_Copy(L"", 0, buffer, size);
    std::vector<wchar_t> converted(static_cast<std::size_t>(units));
    ::MultiByteToWideChar(CP_ACP, 0, argv[index], -1, converted.data(), units);
    return n_Copy(converted.data(), static_cast<unsigned>(units - 1), buffer, size);
}

}  // namespace Platform
