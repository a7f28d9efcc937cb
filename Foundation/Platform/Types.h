// Opaque stand-ins for the system handle types, so that public headers
// never include an operating-system header. Each is a distinct pointer
// type; the Win32 half of the seam casts them to the real handles.
#pragma once

#include <cstdint>

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef void* HANDLE;
struct HWND__;
typedef HWND__* HWND;
struct HDC__;
typedef HDC__* HDC;

// The library's 32-bit quantities stay 32 bits on every 64-bit build
// (a Linux `long` is 64 bits, a Windows one 32).
typedef std::int32_t i4_t;
typedef std::uint32_t n4_t;
// A registry key: one of the predefined roots or a key opened below one.
struct HKEY__;
typedef HKEY__* HKEY;
