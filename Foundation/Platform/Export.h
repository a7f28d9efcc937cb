// The one export macro of the library. Everything is hidden unless marked
// BASIS_API; on Windows the same mark exports from basis.dll and imports
// into its users.
#pragma once

#if defined(_WIN32)
#  if defined(BASIS_BUILDING_LIBRARY)
#    define BASIS_API __declspec(dllexport)
#  else
#    define BASIS_API __declspec(dllimport)
#  endif
#else
#  define BASIS_API __attribute__((visibility("default")))
#endif
