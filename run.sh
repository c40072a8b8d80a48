#!/usr/bin/env bash
# Installs what is missing, builds Vesk and runs it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing_packages

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESK_TESTS=OFF
cmake --build "$build" -j "$(nproc)"
exec "$build/bin/bench_micro_commands"
