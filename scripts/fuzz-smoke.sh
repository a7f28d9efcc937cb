#!/bin/sh
# Builds the libFuzzer targets (preset linux-fuzz, clang) and runs each one
# for a short while on a copy of its seed corpus in fuzz/corpus/<name>/.
# FUZZ_SECONDS sets the time per target (default 20). Crashing inputs are
# kept in build/linux-fuzz/artifacts/. Exits non-zero when a target fails.
set -eu
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-20}"
cmake --preset linux-fuzz >/dev/null
targets=""
for src in fuzz/fuzz_*.cpp; do
    [ -e "$src" ] || continue
    targets="$targets $(basename "$src" .cpp)"
done
[ -n "$targets" ] || { echo "no fuzz targets"; exit 0; }
# shellcheck disable=SC2086
cmake --build --preset linux-fuzz --target $targets
artifacts="$PWD/build/linux-fuzz/artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in $targets; do
    name=${target#fuzz_}
    mkdir -p "$work/$name"
    [ -d "fuzz/corpus/$name" ] && cp -R "fuzz/corpus/$name/." "$work/$name/"
    echo "--- $target (${seconds} s)"
    "build/linux-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "$work/$name" 2>"$work/$name.log" ||
        { tail -n 60 "$work/$name.log"; exit 1; }
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$work/$name.log" || true
done
