#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test:
#   1. the default build: unit tests on the fakes, the platform's own tests, and the integration
#      tests against a private cupsd, real PDFs, the binary as a process and Xvfb;
#   2. the same suite built with clang's address and undefined-behaviour checks (the asan
#      preset), and the libFuzzer targets for a fixed time each;
#   3. the Windows build (MinGW-w64) with its tests under Wine, the 32-bit build compiled;
#   4. the Debian package, installed and used on a fresh Debian 12 root.
#   scripts/test.sh           all of it
#   scripts/test.sh --quick   the default build's tests only
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
[ "${1:-}" = --quick ] && quick=1
stage() { echo "== $* ($(date -u +%H:%M:%S), $SECONDS s in)"; }

stage "dependencies"
bash scripts/install-deps.sh
stage "default build and tests"
bash scripts/build.sh
(cd build && ctest --output-on-failure -j2 --timeout 300)
[ $quick = 1 ] && exit 0

stage "asan build and tests"
cmake --preset asan >/dev/null
cmake --build build-asan -j"$(nproc)"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/../tests/support/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2 --timeout 600)
stage "fuzz targets"
bash scripts/fuzz.sh 15

stage "Windows build and tests"
cmake --preset windows >/dev/null
cmake --build build-windows -j"$(nproc)"
ctest --preset windows
cmake --preset windows-i686 >/dev/null
cmake --build build-windows-i686 -j"$(nproc)"

stage "the Debian package on a fresh root"
if [ -x scripts/package-test.sh ]; then bash scripts/package-test.sh; fi
stage "done"
