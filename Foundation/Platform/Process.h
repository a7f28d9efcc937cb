// A second process for tests of what is shared between processes (share
// modes, byte-range locks), with a one-byte handshake each way.
//
// Where the system can copy a running process (fork), the child is such a
// copy and runs body(job, channel) straight away. Elsewhere the child is a
// fresh instance of this program, started with the command-line argument
// `arguments` (for a test program: a filter selecting one helper test) and
// the environment variable pcc_ChildVariable set; that helper reads the
// variable and hands its value to v_RunChild, which runs the body and ends
// the process with its result. The library itself reads no variable.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

typedef int (*pf_ChildBody)(char const* job, void* channel);

// Set (in a started program only) to what v_RunChild needs: the channel and
// the job text.
inline constexpr char const pcc_ChildVariable[] = "BASIS_TEST_CHILD";

// Starts body(job, channel) in a child; its result is the child's exit
// code. Returns the child, or null where unsupported or on failure.
BASIS_API void* h_StartChild(pf_ChildBody body, char const* job, char const* arguments);
// In a started program: runs body with the job and channel described by
// the value of pcc_ChildVariable, then ends the process with its result.
BASIS_API void v_RunChild(pf_ChildBody body, char const* variableValue);
// One byte to the other side, and the wait for one from it: the child
// passes its channel, the parent the child. Non-zero on success.
BASIS_API int b_SignalPeer(void* channel);
BASIS_API int b_WaitForPeer(void* channel);
// Waits for the child's end and returns its exit code (-1 on failure).
BASIS_API int i_WaitForChild(void* child);
// Ends the child at once, as a crash or power loss of its own would, without
// letting it run any code of its own, then reaps it and releases it as
// i_WaitForChild does. Non-zero when the kill ended the child; 0 when it had
// already ended by itself or could not be killed.
BASIS_API int b_KillChild(void* child);
// Limits the size of files this process may write (as a full disk would);
// 0 where unsupported.
BASIS_API int b_LimitFileSize(unsigned bytes);

}  // namespace Platform
