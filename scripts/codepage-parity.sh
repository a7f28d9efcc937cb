#!/bin/sh
# The code-page parity check: the library's code-page conversions in the
# Linux build against those of the Windows build (run under Wine), compared
# with the known differences in tools/codepage-parity/known-differences.txt.
# It covers every code page either build converts; a page only one of them
# converts must be listed too. Prints the result per code page; fails on
# any difference not listed there.
# Both builds must be there: $1 the Linux one (default build/linux-release),
# $2 the Windows one (default build/windows-x64).
set -eu
cd "$(dirname "$0")/.."
linux="${1:-build/linux-release}"
windows="${2:-build/windows-x64}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux/bin/codepage_parity" pages >"$work/linux-pages.txt"
scripts/wine-run.sh "$windows/bin/codepage_parity.exe" pages | tr -d '\r' >"$work/windows-pages.txt"
pages=$(sort -n -u "$work/linux-pages.txt" "$work/windows-pages.txt" | tr '\n' ' ')
# The two dumps run at once: the Windows one under Wine is the slower.
"$linux/bin/codepage_parity" dump "$work/linux.txt" $pages &
linuxDump=$!
# Wine reads the absolute Unix path on its drive for the root folder.
scripts/wine-run.sh "$windows/bin/codepage_parity.exe" dump "$work/windows.txt" $pages
wait $linuxDump
"$linux/bin/codepage_parity" compare "$work/linux.txt" "$work/windows.txt" \
    tools/codepage-parity/known-differences.txt
