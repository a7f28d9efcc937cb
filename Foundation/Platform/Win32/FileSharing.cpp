#include "Foundation/Platform/FileSharing.h"

#include <windows.h>

namespace Platform {

void v_SetSharingViolation() { ::SetLastError(ERROR_SHARING_VIOLATION); }

}  // namespace Platform
