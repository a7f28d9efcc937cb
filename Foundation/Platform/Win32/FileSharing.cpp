#include "Foundation/Platform/FileSharing.h"

#include <windows.h>

namespace Platform {

void v_SetSharingViolation() { ::SetLastError(ERROR_SHARING_VIOLATION); }
int b_IsSharingViolation(unsigned code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ? 1 : 0;
}

}  // namespace Platform
