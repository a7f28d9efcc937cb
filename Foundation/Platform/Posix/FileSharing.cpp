#include "Foundation/Platform/FileSharing.h"

#include <errno.h>

namespace Platform {

// The code the file opening leaves when a share lock refuses it.
void v_SetSharingViolation() { errno = EBUSY; }
int b_IsSharingViolation(unsigned code) { return code == EBUSY ? 1 : 0; }

}  // namespace Platform
