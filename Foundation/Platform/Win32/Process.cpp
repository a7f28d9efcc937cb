#include "Foundation/Platform/Process.h"

// Windows cannot copy a running process; the tests that need a second
// process are skipped there.
namespace Platform {

void* h_StartChild(pf_ChildBody, void*) { return nullptr; }
int b_SignalPeer(void*) { return 0; }
int b_WaitForPeer(void*) { return 0; }
int i_WaitForChild(void*) { return -1; }
int b_LimitFileSize(unsigned) { return 0; }

}  // namespace Platform
