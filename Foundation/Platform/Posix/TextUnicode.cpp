#include "Foundation/Platform/TextUnicode.h"

namespace Platform {

// Linux has no system test for UTF-16 text: the library's own test answers.
int i_IsTextUnicode(void const*, unsigned) { return -1; }

}  // namespace Platform
