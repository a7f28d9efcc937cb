// The replaceable message box (see Resource.h): the same on every system.
#include <atomic>

#include "Foundation/Platform/Resource.h"

namespace Platform {

namespace {
std::atomic<pf_MessageBoxHook> pf_Hook{nullptr};
}

pf_MessageBoxHook pf_SetMessageBoxHook(pf_MessageBoxHook hook) { return pf_Hook.exchange(hook); }

pf_MessageBoxHook pf_GetMessageBoxHook() { return pf_Hook.load(); }

}  // namespace Platform
