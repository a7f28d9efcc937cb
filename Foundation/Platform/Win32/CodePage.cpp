#include "Foundation/Platform/CodePage.h"

#include <windows.h>

#include <climits>
#include <cwchar>
#include <vector>

namespace Platform {

static_assert(sizeof(wchar_t) == sizeof(unsigned short), "UTF-16 units are wchar_t here");

namespace {

int i_Count(unsigned count) { return count > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(count); }

// The pages the system converts by a shift state or an algorithm rather
// than by a table: ISO-2022 (50220-50229), HZ (52936), GB 18030 (54936),
// ISCII (57002-57011) and the symbol page (42). MultiByteToWideChar fails
// with ERROR_INVALID_FLAGS when given MB_PRECOMPOSED for them (they take
// 0, GB 18030 also MB_ERR_INVALID_CHARS), and WideCharToMultiByte takes
// flags 0 and neither a default character nor the flag for its use (it
// fails with ERROR_INVALID_PARAMETER). Code page 0, the ANSI page, is never
// one of them.
int b_IsAlgorithmicPage(unsigned codePage) {
    return (codePage >= 50220 && codePage <= 50229) || (codePage >= 57002 && codePage <= 57011) ||
           codePage == 52936 || codePage == 54936 || codePage == 42;
}

}  // namespace

int b_IsValidCodePage(unsigned codePage) { return ::IsValidCodePage(codePage) != 0; }

unsigned n_GetAnsiCodePage() { return ::GetACP(); }

unsigned n_GetAnsiCodePageOfLocale(char const* localeName) {
    // "ru_RU.UTF-8@modifier" becomes the Windows name "ru-RU"; a Latin or
    // Cyrillic modifier becomes the script ("sr-Latn-RS").
    wchar_t language[16] = {0}, territory[16] = {0}, script[8] = {0};
    unsigned l = 0, t = 0;
    char const* p = localeName ? localeName : "";
    while (*p && *p != '_' && *p != '.' && *p != '@' && l + 1 < 16) language[l++] = static_cast<wchar_t>(*p++);
    if (*p == '_') {
        ++p;
        while (*p && *p != '.' && *p != '@' && t + 1 < 16) territory[t++] = static_cast<wchar_t>(*p++);
    }
    while (*p && *p != '@') ++p;
    if (*p == '@') {
        if (::lstrcmpiA(p + 1, "latin") == 0) ::lstrcpyW(script, L"Latn");
        else if (::lstrcmpiA(p + 1, "cyrillic") == 0) ::lstrcpyW(script, L"Cyrl");
    }
    // Languages written in two scripts need one in the Windows name; without
    // a modifier, the one their POSIX locales use.
    if (!script[0] && ::lstrcmpW(language, L"sr") == 0) ::lstrcpyW(script, L"Cyrl");
    if (!script[0] && (::lstrcmpW(language, L"bs") == 0 || ::lstrcmpW(language, L"az") == 0 ||
                       ::lstrcmpW(language, L"uz") == 0))
        ::lstrcpyW(script, L"Latn");
    if (l == 0 || ::lstrcmpW(language, L"C") == 0 || ::lstrcmpW(language, L"POSIX") == 0) return 1252;
    wchar_t name[48];
    ::lstrcpyW(name, language);
    if (script[0]) {
        ::lstrcatW(name, L"-");
        ::lstrcatW(name, script);
    }
    if (territory[0]) {
        ::lstrcatW(name, L"-");
        ::lstrcatW(name, territory);
    }
    DWORD codePage = 0;
    if (::GetLocaleInfoEx(name, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                          reinterpret_cast<wchar_t*>(&codePage), sizeof codePage / sizeof(wchar_t)) == 0)
        return 1252;
    // Locales written only in Unicode have no ANSI code page of their own;
    // such a system keeps the Western one.
    return codePage ? codePage : 1252;
}

int i_MultiToWide(unsigned codePage, char const* source, unsigned count, unsigned short* target, unsigned room) {
    // Precomposed characters preferred, where the page allows a flag.
    DWORD flags = b_IsAlgorithmicPage(codePage) ? 0 : MB_PRECOMPOSED;
    return ::MultiByteToWideChar(codePage, flags, source, i_Count(count), reinterpret_cast<wchar_t*>(target),
                                 i_Count(room));
}

int i_WideToMulti(unsigned codePage, unsigned short const* source, unsigned count, char* target, unsigned room,
                  char const* defaultChar, int* usedDefault) {
    wchar_t const* units = reinterpret_cast<wchar_t const*>(source);
    if (b_IsAlgorithmicPage(codePage)) {
        // The system's own default character only; whether it was used is
        // seen by reading the result back: a text that does not come back
        // unchanged had a unit without a mapping.
        int written = ::WideCharToMultiByte(codePage, 0, units, i_Count(count), target, i_Count(room), nullptr, nullptr);
        if (usedDefault) {
            *usedDefault = 0;
            if (written > 0) {
                std::vector<wchar_t> back(static_cast<size_t>(written) + 1);
                int read = ::MultiByteToWideChar(codePage, 0, target, written, back.data(), written + 1);
                *usedDefault = read != i_Count(count) || std::wmemcmp(back.data(), units, static_cast<size_t>(read)) != 0;
            }
        }
        return written;
    }
    BOOL used = FALSE;
    int written = ::WideCharToMultiByte(codePage, 0, units, i_Count(count), target, i_Count(room), defaultChar,
                                        usedDefault ? &used : nullptr);
    if (usedDefault) *usedDefault = used ? 1 : 0;
    return written;
}

}  // namespace Platform
