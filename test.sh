#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Any failure fails the script.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing_packages

build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
  -DVESK_SANITIZE=ON -DVESK_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# A short run of every fuzz target: a crash or a broken invariant fails here.
fuzz/run.sh 5
