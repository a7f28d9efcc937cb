// The error a file's opening gives when another opener's share mode
// refuses it: for callers that refuse a second opening themselves, so
// that it reads as the file's own refusal would.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

// Leaves the sharing-violation code as the thread's last error.
BASIS_API void v_SetSharingViolation();

// Whether a system error code is that refusal (or, on Windows, a byte
// range another process has locked): the file is in use elsewhere.
BASIS_API int b_IsSharingViolation(unsigned code);

}  // namespace Platform
