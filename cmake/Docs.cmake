# `docs`: the API reference, made by Doxygen from the comments of the public
# headers (those Foundation/Basis.h reaches). The target fails on any
# Doxygen warning. Absent Doxygen, there is no such target.
find_program(BASIS_DOXYGEN doxygen)
if(BASIS_DOXYGEN)
  add_custom_target(docs
    COMMAND ${CMAKE_COMMAND} -DBASIS_SOURCE_DIR=${PROJECT_SOURCE_DIR} -DBASIS_DOCS_DIR=${PROJECT_BINARY_DIR}/docs
            -DBASIS_DOXYGEN=${BASIS_DOXYGEN} -DBASIS_VERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/BuildDocs.cmake
    COMMENT "API reference in ${PROJECT_BINARY_DIR}/docs/html"
    VERBATIM)
endif()
