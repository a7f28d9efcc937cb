#!/bin/sh
# Checks that an installed tree holds exactly the public headers: those that
# Foundation/Basis.h includes, directly or through another header, as the
# compiler itself lists them (-MM), plus Basis.h. A header missing from the
# tree breaks users' builds; one too many (a platform half, a *Testing.h
# header) ships what is private.
#   scripts/check-installed-headers.sh PREFIX [COMPILER]
#   scripts/check-installed-headers.sh --install BUILD [COMPILER]
# The second form installs the build folder BUILD into a fresh temporary
# prefix and checks that. COMPILER (default c++)
# is the one the tree was built with: the Windows tree is checked with the
# cross compiler, which takes the Windows side of any #if.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "${1:-}" = --install ]; then
    cmake --install "$2" --prefix "$work/prefix" >/dev/null
    shift 2
    set -- "$work/prefix" "$@"
fi
prefix="$1"
compiler="${2:-c++}"

# The dependency list names each header once, with its path as included.
"$compiler" -std=c++20 -I. -MM -MT deps Foundation/Basis.h |
    tr ' \\' '\n\n' | grep '^Foundation/' | sort -u >"$work/expected"
(cd "$prefix/include" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"

if ! diff -u "$work/expected" "$work/installed" >"$work/diff"; then
    echo "installed headers in $prefix/include differ from what Foundation/Basis.h includes" >&2
    echo "('-' missing from the tree, '+' installed but not public):" >&2
    sed -n '/^[-+][^-+]/p' "$work/diff" >&2
    exit 1
fi
echo "installed headers: the $(wc -l <"$work/expected") public headers, nothing else"
