#!/bin/sh
# Basis as other projects get it. From the suite's build folders (nothing is
# rebuilt here; build the linux-release and windows-x64 presets first):
#  - installs the Linux release build into a temporary prefix, checks the
#    library's SONAME and that no run path names a build folder, checks the
#    installed headers, and builds and runs examples/consumer through
#    find_package(Basis) and through pkg-config;
#  - builds the Debian package, shows `dpkg-deb --info`, unpacks it into a
#    temporary root and runs the tool from there;
#  - installs the Windows build, builds the consumer with the mingw toolchain
#    through find_package and runs it under Wine with the bundle's DLLs; the
#    ZIP bundle must hold the same files, and its basis.exe must run.
# Ends with the install layout and the package sizes.
#   scripts/consumer-check.sh [LINUX_BUILD [WINDOWS_BUILD]]
set -eu
cd "$(dirname "$0")/.."
source_dir=$PWD
linux_build=$(cd "${1:-build/linux-release}" && pwd)
windows_build=$(cd "${2:-build/windows-x64}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "consumer-check: $*" >&2
    exit 1
}

[ -f "$linux_build/CMakeCache.txt" ] && [ -e "$linux_build/bin/libbasis.so" ] ||
    fail "$linux_build holds no built library: build the linux-release preset first"
[ -f "$windows_build/CMakeCache.txt" ] && [ -e "$windows_build/bin/basis.dll" ] ||
    fail "$windows_build holds no built library: build the windows-x64 preset first"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_build/CMakeCache.txt")
major=${version%%.*}
[ -n "$version" ] || fail "no project version in $linux_build/CMakeCache.txt"

# The dynamic section entry of one kind ("SONAME", "RUNPATH", "RPATH"), or
# nothing.
dynamic() {
    readelf -d "$2" | sed -n "s/.*($1) *[^[]*\[\(.*\)\]$/\1/p"
}

echo "--- Linux: install, readelf"
linux="$work/linux"
cmake --install "$linux_build" --prefix "$linux" >/dev/null
library="$linux/lib/libbasis.so.$version"
[ -f "$library" ] || fail "no $library"
[ "$(readlink "$linux/lib/libbasis.so.$major")" = "libbasis.so.$version" ] || fail "libbasis.so.$major is not a link to libbasis.so.$version"
[ "$(readlink "$linux/lib/libbasis.so")" = "libbasis.so.$major" ] || fail "libbasis.so is not a link to libbasis.so.$major"
soname=$(dynamic SONAME "$library")
[ "$soname" = "libbasis.so.$major" ] || fail "SONAME is '$soname', not libbasis.so.$major"
echo "SONAME $soname"
# Every run path entry is relative to the program ($ORIGIN...): an absolute
# one would point into the build folder or somewhere else of this machine.
for binary in "$library" "$linux/bin/basis"; do
    for kind in RPATH RUNPATH; do
        for entry in $(dynamic $kind "$binary" | tr : ' '); do
            case "$entry" in
                '$ORIGIN' | '$ORIGIN/'*) ;;
                *) fail "$binary: $kind has the entry $entry, not relative to \$ORIGIN" ;;
            esac
        done
    done
done
tool_runpath=$(dynamic RUNPATH "$linux/bin/basis")$(dynamic RPATH "$linux/bin/basis")
[ "$tool_runpath" = '$ORIGIN/../lib' ] || fail "bin/basis has the run path '$tool_runpath', not \$ORIGIN/../lib"
echo "bin/basis run path $tool_runpath; the library has none"
[ "$(env -u LD_LIBRARY_PATH "$linux/bin/basis" --version)" = "basis $version" ] || fail "installed basis --version"
scripts/check-installed-headers.sh "$linux" "$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$linux_build/CMakeCache.txt")"

echo "--- Linux: the package's version check"
# Before 1.0 a package answers only requests for its own 0.x; from 1.0 on,
# any request of the same major version up to its own (cmake/Install.cmake).
minor=${version#*.}
minor=${minor%%.*}
same_major=TRUE
[ "$major" -eq 0 ] && same_major=FALSE
requests="$major.$minor $version $major.$((minor + 1)) $((major + 1)).0"
expected="$major.$minor=TRUE $version=TRUE $major.$((minor + 1))=FALSE $((major + 1)).0=FALSE"
if [ "$minor" -gt 0 ]; then
    requests="$requests $major.$((minor - 1))"
    expected="$expected $major.$((minor - 1))=$same_major"
fi
cat >"$work/version.cmake" <<CMAKE
foreach(request IN ITEMS $requests)
  string(REPLACE "." ";" parts "\${request}")
  list(LENGTH parts PACKAGE_FIND_VERSION_COUNT)
  list(APPEND parts 0 0)
  list(GET parts 0 PACKAGE_FIND_VERSION_MAJOR)
  list(GET parts 1 PACKAGE_FIND_VERSION_MINOR)
  list(GET parts 2 PACKAGE_FIND_VERSION_PATCH)
  set(PACKAGE_FIND_VERSION "\${request}")
  set(PACKAGE_VERSION_COMPATIBLE FALSE)
  include("$linux/lib/cmake/Basis/BasisConfigVersion.cmake")
  message("\${request}=\${PACKAGE_VERSION_COMPATIBLE}")
endforeach()
CMAKE
answers=$(cmake -P "$work/version.cmake" 2>&1 | tr '\n' ' ')
[ "$answers" = "$expected " ] || fail "BasisConfigVersion.cmake answers '$answers', not '$expected'"
echo "find_package(Basis VERSION): $answers"

echo "--- Linux: consumer through find_package(Basis)"
cmake -S examples/consumer -B "$work/consumer-cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_PREFIX_PATH="$linux" >/dev/null
cmake --build "$work/consumer-cmake" >/dev/null
env -u LD_LIBRARY_PATH "$work/consumer-cmake/consumer"

echo "--- Linux: consumer through pkg-config"
mkdir "$work/consumer-pc"
[ "$(PKG_CONFIG_PATH="$linux/lib/pkgconfig" pkg-config --modversion basis)" = "$version" ] || fail "basis.pc version"
PKG_CONFIG_PATH="$linux/lib/pkgconfig" make -s -C "$work/consumer-pc" -f "$source_dir/examples/consumer/Makefile" >/dev/null
env -u LD_LIBRARY_PATH "$work/consumer-pc/consumer-pc"

echo "--- Debian package"
(cd "$linux_build" && cpack --config CPackConfig.cmake >/dev/null)
deb="$linux_build/packages/basis_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"
dpkg-deb --info "$deb" >"$work/deb-info"
cat "$work/deb-info"
grep -q '^ Depends: .*libicu' "$work/deb-info" || fail "the package's dependencies were not computed (no ICU)"
dpkg -x "$deb" "$work/debroot"
[ "$(env -u LD_LIBRARY_PATH "$work/debroot/usr/bin/basis" --version)" = "basis $version" ] || fail "basis from the package"
env -u LD_LIBRARY_PATH "$work/debroot/usr/bin/basis" tour strings >/dev/null || fail "basis tour from the package"
echo "basis from the unpacked package runs"

echo "--- Windows: install, consumer through find_package under Wine"
windows="$work/windows"
cmake --install "$windows_build" --prefix "$windows" >/dev/null
for file in bin/basis.dll bin/basis.exe lib/libbasis.dll.a bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll; do
    [ -f "$windows/$file" ] || fail "Windows tree without $file"
done
cross=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$windows_build/CMakeCache.txt")
scripts/check-installed-headers.sh "$windows" "$cross"
cmake -S examples/consumer -B "$work/consumer-windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$windows" >/dev/null
cmake --build "$work/consumer-windows" >/dev/null
# The build's own Wine prefix, so no new one is set up; the DLLs are found
# through WINEPATH, as a user would put the bundle's bin on PATH.
export WINEPREFIX="$windows_build/wineprefix"
WINEPATH="Z:$(echo "$windows/bin" | tr / '\\')" scripts/wine-run.sh "$work/consumer-windows/consumer.exe"

echo "--- Windows: ZIP bundle"
(cd "$windows_build" && cpack --config CPackConfig.cmake >/dev/null)
zip="$windows_build/packages/basis-$version-windows-x64.zip"
[ -f "$zip" ] || fail "no $zip"
unzip -q "$zip" -d "$work/bundle"
bundle="$work/bundle/basis-$version-windows-x64"
(cd "$windows" && find . -type f | sort) >"$work/installed-files"
(cd "$bundle" && find . -type f | sort) >"$work/bundle-files"
diff -u "$work/installed-files" "$work/bundle-files" || fail "the ZIP bundle and the Windows install differ"
[ "$(scripts/wine-run.sh "$bundle/bin/basis.exe" --version | tr -d '\r')" = "basis $version" ] ||
    fail "basis.exe from the bundle"
echo "basis.exe from the unpacked bundle runs"

echo "--- Install layout (Linux; the Windows bundle has bin/basis.dll and the MinGW runtime DLLs, lib/libbasis.dll.a)"
(cd "$linux" && find . -path ./include/Foundation -prune -o -print | sort | sed 's|^\./||; /^\.$/d')
echo "include/Foundation/...: $(find "$linux/include" -type f | wc -l) headers"
echo "--- Packages"
for package in "$deb" "$zip"; do
    echo "$(basename "$package"): $(wc -c <"$package") bytes"
done
