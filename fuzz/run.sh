#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (in build-fuzz) and runs each for
# SECONDS seconds (default 60), as many at a time as there are cores. Prints
# each target's executions; any crash or broken invariant fails the script and
# leaves the input under build-fuzz/crashes/.
#   fuzz/run.sh [SECONDS]        (VESK_FUZZ_BUILD names another build folder)
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
build=${VESK_FUZZ_BUILD:-build-fuzz}

# A build folder configured with another compiler cannot be switched over.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESK_FUZZ=ON -DVESK_TESTS=OFF -DVESK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

targets=(fuzz_hub_protocol)
# Messages longer than the 4 KiB limit only show in long inputs.
declare -A max_len=([fuzz_hub_protocol]=16384)
declare -A len_control=([fuzz_hub_protocol]=100)
logs="$build/logs"
mkdir -p "$logs" "$build/crashes"

run_one() {
  local t=$1
  local corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
  local rc=0
  "$build/bin/$t" -max_total_time="$seconds" -max_len="${max_len[$t]}" \
    -len_control="${len_control[$t]}" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" "$corpus" >"$logs/$t.log" 2>&1 || rc=$?
  echo "$rc" >"$logs/$t.rc"
}

slots=$(nproc)
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$slots" ]; do wait -n || true; done
  run_one "$t" &
done
wait

failed=0
for t in "${targets[@]}"; do
  rc=$(cat "$logs/$t.rc")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$logs/$t.log" | tail -1)
  if [ "$rc" -eq 0 ]; then
    echo "$t: ${runs:-?} executions in ${seconds} s, no crash"
  else
    failed=1
    echo "$t: CRASH (exit $rc) after ${runs:-?} executions; log $logs/$t.log"
    grep -E 'invariant broken|ERROR: |SUMMARY: |runtime error|Test unit written' "$logs/$t.log" | head -20 || true
  fi
done
exit "$failed"
