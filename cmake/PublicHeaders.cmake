# basis_public_headers(<source root> <out var>): the public headers, as paths
# relative to the source root: Foundation/Basis.h and every project header it
# includes, directly or through another one. Read from the headers themselves
# each time, so a header another header starts to include is public from then
# on without a list to keep; anything Basis.h does not reach stays private.
#
# Every `#include "Foundation/..."` line counts, whatever #if it stands in:
# a header reached only on one system is still shipped on both, and the
# installed-tree check (built from the compiler's own dependency list) then
# reports it as one header too many, which is the place to look at it.
function(basis_public_headers root out)
  set(found "")
  set(pending "Foundation/Basis.h")
  while(pending)
    list(POP_FRONT pending header)
    # list(FIND) rather than IN_LIST: this also runs inside install scripts,
    # which start without the project's policy settings.
    list(FIND found "${header}" seen)
    if(NOT seen EQUAL -1 OR NOT EXISTS "${root}/${header}")
      continue()
    endif()
    list(APPEND found "${header}")
    file(STRINGS "${root}/${header}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"Foundation/[^\"]+\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"(Foundation/[^\"]+)\".*$" "\\1" included "${line}")
      list(APPEND pending "${included}")
    endforeach()
  endwhile()
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()
