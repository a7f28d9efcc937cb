#!/bin/sh
# The main job: builds the library and the basis tool (Linux, release) and
# runs `basis tour`, a guided run over built-in sample data. Installs the
# Debian packages it needs when they are missing.
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
scripts/ensure-packages.sh $BASIS_PACKAGES_LINUX
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target basis_tool >/dev/null
exec build/linux-release/bin/basis tour "$@"
