# Runs inside `cmake --install` (and CPack): copies the public headers, found
# by following the includes of Foundation/Basis.h, keeping their
# Foundation/... paths. BASIS_SOURCE_DIR and BASIS_INCLUDE_DESTINATION are set
# by the install code before this script.
include(${BASIS_SOURCE_DIR}/cmake/PublicHeaders.cmake)
basis_public_headers(${BASIS_SOURCE_DIR} basis_headers)
foreach(header IN LISTS basis_headers)
  get_filename_component(header_dir "${header}" DIRECTORY)
  # file(INSTALL) adds DESTDIR and records the file in the install manifest.
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${BASIS_INCLUDE_DESTINATION}/${header_dir}"
       TYPE FILE FILES "${BASIS_SOURCE_DIR}/${header}")
endforeach()
