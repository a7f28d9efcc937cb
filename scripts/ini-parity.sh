#!/bin/sh
# The INI parity check: one script of profile operations
# (tools/ini-parity/operations.txt) over copies of hand-written files, run
# by the Linux build (the library's own profile rules) and by the Windows
# build under Wine (the system's profile functions); the results and the
# files' bytes compared, with the known differences in
# tools/ini-parity/known-differences.txt. Fails on any difference not
# listed there, and on a listed one that is gone.
# Both builds must be there: $1 the Linux one (default build/linux-release),
# $2 the Windows one (default build/windows-x64).
set -eu
cd "$(dirname "$0")/.."
linux="${1:-build/linux-release}"
windows="${2:-build/windows-x64}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"
script=tools/ini-parity/operations.txt
"$linux/bin/ini_parity" run "$script" "$work/linux" "$work/linux.txt"
# Wine reads the absolute Unix paths on its drive for the root folder.
scripts/wine-run.sh "$windows/bin/ini_parity.exe" run "$PWD/$script" "$work/windows" "$work/windows.txt"
"$linux/bin/ini_parity" compare "$work/linux.txt" "$work/windows.txt" tools/ini-parity/known-differences.txt
