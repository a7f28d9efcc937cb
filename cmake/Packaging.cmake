# CPack: a ZIP bundle from the Windows build, a Debian package from the Linux
# one. Both hold exactly what `cmake --install` installs.
set(CPACK_PACKAGE_NAME basis)
set(CPACK_PACKAGE_VENDOR "The Basis developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Portable foundation class library: strings with code pages, containers, word lists, record files, files, locales and calendars, synchronisation objects, registry and INI files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_VERBATIM_VARIABLES ON)
# Packages carry the programs without their debugging information.
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
  # One top folder named after the package, as users unpack it anywhere.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  # One package, `basis`, with the library, the tool and the headers: the
  # headers, the CMake package and basis.pc are small, and a split into a
  # runtime and a development package would buy nothing while the tool is
  # the library's only other user.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Basis developers <basis@localhost>")
  set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
  # The package's dependencies come from what the library and the tool are
  # linked against (ICU, the C++ runtime), as dpkg-shlibdeps reads them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
