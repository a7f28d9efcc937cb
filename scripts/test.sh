#!/bin/sh
# The whole test suite: the Linux build (release, which also builds the
# benchmarks and checks they run), the Windows build under Wine, the
# ASan+UBSan build, and the TSan build on the threaded tests. Installs the
# Debian packages it needs when they are missing. Exits non-zero on the
# first failing stage.
set -eu
cd "$(dirname "$0")/.."
. scripts/packages.sh
# shellcheck disable=SC2086
scripts/ensure-packages.sh $BASIS_PACKAGES_LINUX $BASIS_PACKAGES_WINDOWS $BASIS_PACKAGES_SANITIZERS

# ccache keeps its cache outside the clone, so fresh clones rebuild fast.
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/basis-ccache}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-5G}"
export CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=1
# Each stage's wall time, printed at the end.
timings=""

stage() {
    name="$1"
    shift
    start=$(date +%s)
    echo "==> $name"
    "$@"
    end=$(date +%s)
    timings="$timings
  $name: $((end - start)) s"
}

run_preset() {
    preset="$1"
    shift
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" "$@"
}

bench_smoke() {
    # The benchmarks must build and start; their figures are taken by hand
    # (some build 100 MB files or 300,000-word lists, too long for CI).
    for b in build/linux-release/bin/bench_*; do
        [ -x "$b" ] || continue
        "$b" --benchmark_list_tests >/dev/null
    done
    build/linux-release/bin/bench_buffer --benchmark_min_time=0.001 >/dev/null
}

stage "Linux (release)" run_preset linux-release
stage "Benchmarks (smoke run)" bench_smoke
stage "Windows x64 under Wine" run_preset windows-x64
stage "Code-page parity (Linux and Windows builds)" scripts/codepage-parity.sh build/linux-release build/windows-x64
stage "Locale parity (Linux and Windows builds)" scripts/locale-parity.sh build/linux-release build/windows-x64
stage "Linux ASan+UBSan" run_preset linux-asan
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}"
stage "Linux TSan (threaded tests)" env GTEST_FILTER='*Thread*:*Concurren*:*Stress*' sh -c '
    cmake --preset linux-tsan >/dev/null &&
    cmake --build --preset linux-tsan --target basis_tests &&
    build/linux-tsan/bin/basis_tests --gtest_brief=1'
if [ -x scripts/fuzz-smoke.sh ]; then stage "Fuzz targets (short runs)" scripts/fuzz-smoke.sh; fi
echo "==> all stages passed$timings"
