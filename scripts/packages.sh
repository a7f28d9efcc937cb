# The Debian packages each job needs; sourced by the job scripts.
BASIS_PACKAGES_LINUX="cmake ninja-build g++ ccache pkg-config libgtest-dev googletest libbenchmark-dev libicu-dev unicode-data libmarisa-dev libsqlite3-dev liblmdb-dev libabsl-dev libinih-dev tzdata"
BASIS_PACKAGES_WINDOWS="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64"
BASIS_PACKAGES_SANITIZERS="clang libclang-rt-14-dev"
# The install and package checks (dpkg-shlibdeps, readelf, make, unzip) and the API reference.
BASIS_PACKAGES_PACKAGING="dpkg-dev binutils make unzip"
BASIS_PACKAGES_DOCS="doxygen"
