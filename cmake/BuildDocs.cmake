# Run by the `docs` target: Doxygen over the public headers, then a check
# that its warning log is empty. The log is checked here rather than with
# WARN_AS_ERROR so that one run lists every warning, not just the first.
cmake_minimum_required(VERSION 3.25)
include(${BASIS_SOURCE_DIR}/cmake/PublicHeaders.cmake)
basis_public_headers(${BASIS_SOURCE_DIR} headers)
set(BASIS_DOCS_INPUT "")
foreach(header IN LISTS headers)
  string(APPEND BASIS_DOCS_INPUT " \"${BASIS_SOURCE_DIR}/${header}\"")
endforeach()
file(MAKE_DIRECTORY ${BASIS_DOCS_DIR})
configure_file(${BASIS_SOURCE_DIR}/docs/Doxyfile.in ${BASIS_DOCS_DIR}/Doxyfile @ONLY)
file(REMOVE ${BASIS_DOCS_DIR}/warnings.log)
execute_process(COMMAND ${BASIS_DOXYGEN} ${BASIS_DOCS_DIR}/Doxyfile
                WORKING_DIRECTORY ${BASIS_SOURCE_DIR} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "doxygen failed (${status})")
endif()
file(READ ${BASIS_DOCS_DIR}/warnings.log warnings)
if(NOT warnings STREQUAL "")
  message(FATAL_ERROR "Doxygen warnings on the public headers:\n${warnings}")
endif()
list(LENGTH headers count)
message(STATUS "API reference of ${count} public headers: ${BASIS_DOCS_DIR}/html/index.html")
