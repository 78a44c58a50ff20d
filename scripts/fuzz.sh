#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset, which is the asan build) and runs each for a fixed
# time from its seeds. Any finding (a crash, a failed check, a leak, undefined behaviour) fails the
# run and leaves the input that caused it in build-asan/findings/.
#   scripts/fuzz.sh [SECONDS]   seconds a target (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
mkdir -p build-asan/findings
failed=0
for target in ini registry engine pdf; do
  corpus=build-asan/corpus/$target
  mkdir -p "$corpus"
  # The fontconfig library leaks a few bytes once per process by design (its cache).
  if ! ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=tests/support/lsan.supp \
    QT_QPA_PLATFORM=offscreen build-asan/tests/fuzz/fuzz_$target -max_total_time="$seconds" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build-asan/findings/$target- \
    "$corpus" "tests/fuzz/seeds/$target" >"build-asan/fuzz_$target.log" 2>&1; then
    echo "fuzz_$target: FINDING (build-asan/fuzz_$target.log)" >&2
    tail -n 30 "build-asan/fuzz_$target.log" >&2
    failed=1
  else
    echo "fuzz_$target: $(grep -o 'Done [0-9]* runs' "build-asan/fuzz_$target.log" | tail -n 1) in ${seconds}s"
  fi
done
exit $failed
