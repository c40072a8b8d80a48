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
# Quiet when all is well; the whole output when configuring or building fails.
quietly() {
  local out
  if ! out=$("$@" 2>&1); then
    printf '%s\n' "$out" >&2
    echo "fuzz/run.sh: '$*' failed" >&2
    exit 1
  fi
}
quietly env CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVESK_FUZZ=ON -DVESK_TESTS=OFF -DVESK_BENCH=OFF
targets=(fuzz_dump_file fuzz_micro_program_file fuzz_ini_file fuzz_cp1251 fuzz_text_lines fuzz_hub_protocol
  fuzz_program_assembler fuzz_micro_assembler fuzz_state_file fuzz_expectations)
# Only the fuzz targets: the library is instrumented for them, the programs are not.
quietly cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
# The line limits (2048 and 255) only show in long inputs, so the file readers
# get long inputs from the start instead of libFuzzer's slowly growing limit.
# Hub messages longer than the 4 KiB limit only show in long inputs too.
# The assemblers' seeds are whole sources (the shipped micro-program's is 12 KiB),
# the state file's a lab with a short program (19 KiB).
declare -A max_len=([fuzz_dump_file]=12288 [fuzz_micro_program_file]=4096 [fuzz_ini_file]=8192 [fuzz_cp1251]=4096
  [fuzz_text_lines]=4096 [fuzz_hub_protocol]=16384 [fuzz_program_assembler]=8192 [fuzz_micro_assembler]=16384 [fuzz_state_file]=24576 [fuzz_expectations]=4096)
declare -A len_control=([fuzz_dump_file]=0 [fuzz_micro_program_file]=0 [fuzz_ini_file]=100 [fuzz_cp1251]=100
  [fuzz_text_lines]=100 [fuzz_hub_protocol]=100 [fuzz_program_assembler]=100 [fuzz_micro_assembler]=100 [fuzz_state_file]=100 [fuzz_expectations]=100)
logs="$build/logs"
mkdir -p "$logs" "$build/crashes"

run_one() {
  local t=$1
  local corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$t" ]; then cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>"$logs/$t.copy.log" || true; fi
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
