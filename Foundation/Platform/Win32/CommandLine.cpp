#include "Foundation/Platform/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
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

// Whether argv holds the process's arguments (the runtime's startup code
// hands main a copy, so the texts are compared, not the pointers).
bool b_IsProcessArguments(int argc, char const* const* argv) {
    if (argc != __argc || __argv == nullptr) return false;
    for (int k = 0; k < argc; ++k)
        if (argv[k] == nullptr || __argv[k] == nullptr || std::strcmp(argv[k], __argv[k]) != 0) return false;
    return true;
}

}  // namespace

unsigned n_GetWideArgument(int argc, char const* const* argv, int index, unsigned short* buffer, unsigned size) {
    if (index < 0 || index >= argc || argv[index] == nullptr) return n_Copy(L"", 0, buffer, size);
    // The runtime split the process's command line into the argv that main
    // received; when these are those arguments and the shell's split agrees
    // on their count, they are the same ones, and the wide form keeps the
    // characters the ANSI code page lacks.
    int count = 0;
    wchar_t** wide = b_IsProcessArguments(argc, argv) ? ::CommandLineToArgvW(::GetCommandLineW(), &count) : nullptr;
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
