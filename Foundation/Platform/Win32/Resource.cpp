#include "Foundation/Platform/Resource.h"

#include <windows.h>

#include <cstdlib>

namespace Platform {

void v_RegisterStringTable(HINSTANCE, st_StringResource const*, unsigned) {
    // The module's own STRINGTABLE resources are the table on Windows.
}

unsigned n_LoadStringW(HINSTANCE module, unsigned id, unsigned short* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    int length = ::LoadStringW(module, id, reinterpret_cast<wchar_t*>(buffer), static_cast<int>(capacity));
    if (length <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return static_cast<unsigned>(length);
}

unsigned n_LoadStringA(HINSTANCE module, unsigned id, char* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    int length = ::LoadStringA(module, id, buffer, static_cast<int>(capacity));
    if (length <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return static_cast<unsigned>(length);
}

int i_MessageBoxW(unsigned short const* text, unsigned short const* caption, unsigned style) {
    static unsigned short const empty = 0;
    if (pf_MessageBoxHook hook = pf_GetMessageBoxHook()) return hook(text ? text : &empty, caption ? caption : &empty, style);
    return ::MessageBoxW(nullptr, reinterpret_cast<wchar_t const*>(text), reinterpret_cast<wchar_t const*>(caption),
                         style);
}

int i_MessageBoxA(char const* text, char const* caption, unsigned style) {
    if (pf_MessageBoxHook hook = pf_GetMessageBoxHook()) {
        wchar_t wideText[4096];
        wchar_t wideCaption[1024];
        if (::MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, wideText, 4096) == 0) wideText[0] = 0;
        if (::MultiByteToWideChar(CP_ACP, 0, caption ? caption : "", -1, wideCaption, 1024) == 0) wideCaption[0] = 0;
        return hook(reinterpret_cast<unsigned short const*>(wideText), reinterpret_cast<unsigned short const*>(wideCaption),
                    style);
    }
    return ::MessageBoxA(nullptr, text, caption, style);
}

void v_AbortProcess() {
    ::TerminateProcess(::GetCurrentProcess(), 3);
    std::abort();
}

}  // namespace Platform
