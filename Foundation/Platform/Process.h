// A second process for tests of what is shared between processes (share
// modes, byte-range locks): a copy of this process running one function,
// with a one-byte handshake each way. Only where the system can copy a
// running process (fork); elsewhere h_StartChild returns null.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

typedef int (*pf_ChildBody)(void* argument, void* channel);

// Starts body(argument, channel) in a child; its result is the child's
// exit code. Returns the child, or null where unsupported or on failure.
BASIS_API void* h_StartChild(pf_ChildBody body, void* argument);
// One byte to the other side, and the wait for one from it: the child
// passes its channel, the parent the child. Non-zero on success.
BASIS_API int b_SignalPeer(void* channel);
BASIS_API int b_WaitForPeer(void* channel);
// Waits for the child's end and returns its exit code (-1 on failure).
BASIS_API int i_WaitForChild(void* child);
// Limits the size of files this process may write (as a full disk would);
// 0 where unsupported.
BASIS_API int b_LimitFileSize(unsigned bytes);

}  // namespace Platform
