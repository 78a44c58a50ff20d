#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test:
#   1. the default build: unit tests on the fakes, the platform's own tests, and the integration
#      tests against a private cupsd, real PDFs, the binary as a process and Xvfb;
#   2. the same suite built with clang's address and undefined-behaviour checks (the asan
#      preset), and the libFuzzer targets for a fixed time each;
#   3. the Windows build (MinGW-w64) with its tests under Wine, and the 32-bit build compiled;
#   4. the Debian package, built, then installed and used on a fresh Debian 12 root.
#   scripts/test.sh           all of it
#   scripts/test.sh --quick   the default build's tests only
# The suites spend most of their time waiting (on cupsd, Wine, Xvfb, child processes), so each
# runs while the next build compiles: two cores do the whole in about half the time.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}
stage() { echo "== $* ($(date -u +%H:%M:%S), $SECONDS s in)"; }

# A suite in the background, its output in a log shown when it is waited for.
declare -A suites=()
start_suite() {
  local name=$1
  shift
  stage "$name: started"
  ("$@") >"/tmp/papyra-suite-$name.$$.log" 2>&1 &
  suites[$name]=$!
}
finish_suite() {
  local name=$1 log="/tmp/papyra-suite-$1.$$.log" status=0
  wait "${suites[$name]}" || status=$?
  tail -n 5 "$log" | sed "s/^/[$name] /"
  if [ $status -ne 0 ]; then
    echo "== $name FAILED (status $status); its output:" >&2
    cat "$log" >&2
  fi
  rm -f "$log"
  stage "$name: done"
  return $status
}
# No suite outlives the script, whatever ends it.
trap 'for p in "${suites[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT

stage "dependencies"
bash scripts/install-deps.sh
stage "default build"
bash scripts/build.sh
if [ "$mode" = --quick ]; then
  (cd build && ctest --output-on-failure -j2 --timeout 300)
  exit 0
fi
start_suite default-tests bash -c 'cd build && ctest --output-on-failure -j2 --timeout 300'

stage "asan build"
cmake --preset asan >/dev/null
cmake --build build-asan -j"$(nproc)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
finish_suite default-tests
start_suite asan-tests bash -c 'cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/../tests/support/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2 --timeout 600'

stage "Windows builds"
cmake --preset windows >/dev/null
cmake --build build-windows -j"$(nproc)"
cmake --preset windows-i686 >/dev/null
cmake --build build-windows-i686 -j"$(nproc)"
finish_suite asan-tests
start_suite windows-tests ctest --preset windows

stage "fuzz targets"
bash scripts/fuzz.sh 15
stage "the Debian package"
bash scripts/package.sh
# 77: not root, so no fresh root to install it on.
start_suite package-test bash -c 'bash scripts/package-test.sh || [ $? -eq 77 ]'
finish_suite windows-tests
finish_suite package-test
stage "done"
