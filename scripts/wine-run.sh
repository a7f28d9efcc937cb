#!/bin/sh
# Runs a Windows program of the build under Wine, with a Wine prefix kept in
# the build folder (next to the program's bin/ folder) and Wine's own chatter
# silenced. Used by CTest as the cross-compiling emulator.
set -eu
prog="$1"
bindir=$(cd "$(dirname "$prog")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$(dirname "$bindir")/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if command -v wine64 >/dev/null 2>&1; then WINE=wine64
elif [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64
else WINE=wine; fi
exec "$WINE" "$@"
