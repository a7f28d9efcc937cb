// The thread's last system error code and the system's text for a code.
// Windows: GetLastError codes and FormatMessage texts; Linux: errno codes
// and strerror_r texts. A failing seam function leaves its code here.
#pragma once

#include "Foundation/Platform/Export.h"

namespace Platform {

BASIS_API unsigned n_GetLastError();
BASIS_API void v_SetLastError(unsigned code);

// Writes the system's message text for code into buffer as narrow text,
// zero-terminated and cut to size - 1 characters, exactly as the system
// gives it (line ends included). Returns the characters written without
// the zero; 0 when the system has no text for the code.
BASIS_API unsigned n_GetSystemMessage(unsigned code, char* buffer, unsigned size);

// The same text as UTF-16 units.
BASIS_API unsigned n_GetSystemMessageW(unsigned code, unsigned short* buffer, unsigned size);

}  // namespace Platform
