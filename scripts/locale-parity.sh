#!/bin/sh
# The locale parity check: the Linux build's locale values and formatting
# (the ICU stand-in of Foundation/Platform/Posix/Locale*.cpp) against the
# Windows build's (the system's locale functions; under Wine in the test
# suite, so Wine's locale data, which is not Windows's), for the 20 locales
# `basis locale dump` covers. Every difference must be listed with its
# reason in tools/locale-parity/known-differences.txt; any other fails.
# Both builds must be there: $1 the Linux one (default build/linux-release),
# $2 the Windows one (default build/windows-x64).
set -eu
cd "$(dirname "$0")/.."
linux="${1:-build/linux-release}"
windows="${2:-build/windows-x64}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux/bin/basis" locale dump >"$work/linux.txt"
scripts/wine-run.sh "$windows/bin/basis.exe" locale dump | tr -d '\r' >"$work/windows.txt"
awk -f tools/locale-parity/compare.awk tools/locale-parity/known-differences.txt "$work/linux.txt" \
    "$work/windows.txt"
