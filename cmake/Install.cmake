# What `cmake --install` puts where (GNUInstallDirs places): the library with
# its versioned file name and SONAME, the public headers under their
# Foundation/... paths, the tool (its rules are in tools/basis), the CMake
# package, basis.pc, and the README and licence. The one project version in
# the top CMakeLists.txt feeds every one of them.
include(CMakePackageConfigHelpers)

# libbasis.so.MAJOR.MINOR.PATCH with the SONAME libbasis.so.MAJOR; on Windows
# basis.dll with its import library libbasis.dll.a.
set_target_properties(basis PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
target_compile_features(basis PUBLIC cxx_std_20)

# The exported target's include folder comes from the library's
# INSTALL_INTERFACE include directory (Foundation/CMakeLists.txt).
install(TARGETS basis EXPORT BasisTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# The header list is taken when installing, not when configuring: a header
# that starts to be included after the last configure run is still shipped.
install(CODE "set(BASIS_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(BASIS_INCLUDE_DESTINATION \"${CMAKE_INSTALL_INCLUDEDIR}\")")
install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/InstallHeaders.cmake)

set(BASIS_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Basis)
install(EXPORT BasisTargets NAMESPACE Basis:: DESTINATION ${BASIS_CMAKE_DIR} FILE BasisTargets.cmake)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/BasisConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/BasisConfig.cmake INSTALL_DESTINATION ${BASIS_CMAKE_DIR})
# Before 1.0 a minor release may change the interface, so a 0.x request is
# met only by the same 0.x; from 1.0 on, any release of the same major
# version will do.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(BASIS_COMPATIBILITY SameMinorVersion)
else()
  set(BASIS_COMPATIBILITY SameMajorVersion)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/BasisConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY ${BASIS_COMPATIBILITY})
install(FILES ${PROJECT_BINARY_DIR}/BasisConfig.cmake ${PROJECT_BINARY_DIR}/BasisConfigVersion.cmake
        DESTINATION ${BASIS_CMAKE_DIR})

# basis.pc finds the prefix from its own place, so the installed tree, the
# Debian package and a copied tree all work without editing it.
file(RELATIVE_PATH BASIS_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" BASIS_PC_TO_PREFIX "${BASIS_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/basis.pc.in ${PROJECT_BINARY_DIR}/basis.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/basis.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/basis)

if(WIN32)
  # basis.dll and basis.exe carry the GCC runtimes and winpthreads inside
  # them (static linking, see cmake/Warnings.cmake) and need none of these.
  # A program built against the bundle with the same cross compiler links
  # them dynamically by default, so the bundle ships them beside basis.dll,
  # where such a program finds them at run time.
  foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${runtime_path}" AND EXISTS "${runtime_path}")
      install(FILES ${runtime_path} DESTINATION ${CMAKE_INSTALL_BINDIR})
      # They come with their debugging information (libstdc++-6.dll alone is
      # over 20 MB); a stripping install (`--strip`, the packages) drops it,
      # as it does for basis.dll and basis.exe.
      install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${runtime}\")
endif()")
    else()
      message(WARNING "The cross compiler does not know ${runtime}; the Windows bundle goes without it")
    endif()
  endforeach()
endif()

# The installed tree holds exactly the public headers (the check installs
# this build into a temporary prefix). The Windows tree is checked by
# scripts/consumer-check.sh, with the cross compiler.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME basis_installed_headers
           COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/check-installed-headers.sh --install ${PROJECT_BINARY_DIR}
                   ${CMAKE_CXX_COMPILER})
endif()
