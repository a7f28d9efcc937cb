// The DLL entry point. The C runtime constructs the library's static
// objects first and then calls DllMain; the last static object has handed
// us the library's entry function by then.
#include <windows.h>

#include "Foundation/Platform/Module.h"

namespace {
Platform::pf_EntryFunction pf_Entry = nullptr;
}  // namespace

namespace Platform {

void v_RunEntryAfterStaticObjects(pf_EntryFunction entry) { pf_Entry = entry; }

}  // namespace Platform

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (pf_Entry) return pf_Entry(reinterpret_cast<::HINSTANCE>(instance), reason, reserved);
    return TRUE;
}
