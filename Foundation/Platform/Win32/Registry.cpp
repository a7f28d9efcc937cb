// The registry seam over the Reg* functions. The wide forms serve the NT
// family; on the others names go to the narrow forms in the ANSI code page
// (the caller already stores text values narrow there).
#include <windows.h>

#include "Foundation/Platform/Registry.h"

#include <string>

#include "Foundation/System/SysInfo/OS.h"

namespace Platform {

namespace {

wchar_t const* qcw_Wide(unsigned short const* text) { return reinterpret_cast<wchar_t const*>(text); }

bool b_Narrow() { return !CT_OS::sb_GetIsWindowsNT(); }

// The name in the ANSI code page; a null name stays null.
struct st_Ansi {
    explicit st_Ansi(unsigned short const* text) : b_Null(text == nullptr) {
        if (b_Null) return;
        int size = ::WideCharToMultiByte(CP_ACP, 0, qcw_Wide(text), -1, nullptr, 0, nullptr, nullptr);
        if (size <= 0) return;
        s_Text.resize(static_cast<std::size_t>(size));
        ::WideCharToMultiByte(CP_ACP, 0, qcw_Wide(text), -1, s_Text.data(), size, nullptr, nullptr);
    }
    char const* qcz_Get() const { return b_Null ? nullptr : s_Text.c_str(); }
    bool b_Null;
    std::string s_Text;
};

// A narrow name read back, widened into the caller's room.
unsigned n_WidenName(char const* narrow, unsigned short* name, unsigned* length) {
    int units = ::MultiByteToWideChar(CP_ACP, 0, narrow, -1, reinterpret_cast<wchar_t*>(name),
                                      static_cast<int>(*length));
    if (units <= 0) return ERROR_MORE_DATA;
    *length = static_cast<unsigned>(units - 1);
    return 0;
}

}  // namespace

unsigned n_RegOpenKey(HKEY key, unsigned short const* path, unsigned access, HKEY* result) {
    if (b_Narrow()) return ::RegOpenKeyExA(key, st_Ansi(path).qcz_Get(), 0, access, result);
    return ::RegOpenKeyExW(key, qcw_Wide(path), 0, access, result);
}

unsigned n_RegCreateKey(HKEY key, unsigned short const* path, unsigned access, HKEY* result) {
    if (b_Narrow())
        return ::RegCreateKeyExA(key, st_Ansi(path).qcz_Get(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 result, nullptr);
    return ::RegCreateKeyExW(key, qcw_Wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, result,
                             nullptr);
}

unsigned n_RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

unsigned n_RegQueryValue(HKEY key, unsigned short const* name, unsigned* type, void* data, unsigned* size) {
    DWORD valueType = 0;
    DWORD bytes = size ? *size : 0;
    LONG result;
    if (b_Narrow())
        result = ::RegQueryValueExA(key, st_Ansi(name).qcz_Get(), nullptr, &valueType, static_cast<BYTE*>(data),
                                    size ? &bytes : nullptr);
    else
        result = ::RegQueryValueExW(key, qcw_Wide(name), nullptr, &valueType, static_cast<BYTE*>(data),
                                    size ? &bytes : nullptr);
    if (type) *type = valueType;
    if (size) *size = bytes;
    return static_cast<unsigned>(result);
}

unsigned n_RegSetValue(HKEY key, unsigned short const* name, unsigned type, void const* data, unsigned size) {
    if (b_Narrow())
        return ::RegSetValueExA(key, st_Ansi(name).qcz_Get(), 0, type, static_cast<BYTE const*>(data), size);
    return ::RegSetValueExW(key, qcw_Wide(name), 0, type, static_cast<BYTE const*>(data), size);
}

unsigned n_RegDeleteValue(HKEY key, unsigned short const* name) {
    if (b_Narrow()) return ::RegDeleteValueA(key, st_Ansi(name).qcz_Get());
    return ::RegDeleteValueW(key, qcw_Wide(name));
}

unsigned n_RegDeleteKey(HKEY key, unsigned short const* name) {
    if (b_Narrow()) return ::RegDeleteKeyA(key, st_Ansi(name).qcz_Get());
    return ::RegDeleteKeyW(key, qcw_Wide(name));
}

unsigned n_RegEnumKey(HKEY key, unsigned index, unsigned short* name, unsigned* length) {
    if (name == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
    if (b_Narrow()) {
        char narrow[MAX_PATH];
        DWORD room = sizeof narrow;
        LONG result = ::RegEnumKeyExA(key, index, narrow, &room, nullptr, nullptr, nullptr, nullptr);
        return result ? static_cast<unsigned>(result) : n_WidenName(narrow, name, length);
    }
    DWORD room = *length;
    LONG result = ::RegEnumKeyExW(key, index, reinterpret_cast<wchar_t*>(name), &room, nullptr, nullptr, nullptr,
                                  nullptr);
    if (result == 0) *length = room;
    return static_cast<unsigned>(result);
}

unsigned n_RegEnumValue(HKEY key, unsigned index, unsigned short* name, unsigned* length, unsigned* type, void* data,
                        unsigned* size) {
    if (name == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
    DWORD valueType = 0;
    DWORD bytes = size ? *size : 0;
    LONG result;
    if (b_Narrow()) {
        char narrow[16384];
        DWORD room = sizeof narrow;
        result = ::RegEnumValueA(key, index, narrow, &room, nullptr, &valueType, static_cast<BYTE*>(data),
                                 size ? &bytes : nullptr);
        if (result == 0 || result == ERROR_MORE_DATA) {
            unsigned widened = n_WidenName(narrow, name, length);
            if (result == 0) result = static_cast<LONG>(widened);
        }
    } else {
        DWORD room = *length;
        result = ::RegEnumValueW(key, index, reinterpret_cast<wchar_t*>(name), &room, nullptr, &valueType,
                                 static_cast<BYTE*>(data), size ? &bytes : nullptr);
        if (result == 0 || result == ERROR_MORE_DATA) *length = room;
    }
    if (type) *type = valueType;
    if (size) *size = bytes;
    return static_cast<unsigned>(result);
}

unsigned n_RegQueryInfoKey(HKEY key, unsigned* subKeys, unsigned* longestSubKey, unsigned* values,
                           unsigned* longestValueName, unsigned* longestValue) {
    DWORD figures[5] = {};
    LONG result;
    if (b_Narrow())
        result = ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &figures[0], &figures[1], nullptr, &figures[2],
                                    &figures[3], &figures[4], nullptr, nullptr);
    else
        result = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &figures[0], &figures[1], nullptr, &figures[2],
                                    &figures[3], &figures[4], nullptr, nullptr);
    if (result) return static_cast<unsigned>(result);
    unsigned* outs[5] = {subKeys, longestSubKey, values, longestValueName, longestValue};
    for (int i = 0; i < 5; ++i)
        if (outs[i]) *outs[i] = figures[i];
    return 0;
}

void v_SetRegistryFolder(unsigned short const*) {
    // Windows has one registry; its stores are not ours to move.
}

}  // namespace Platform
