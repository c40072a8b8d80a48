#!/usr/bin/env bash
# Installs what is missing, builds Vesk and starts the window program with the
# shipped micro-program loaded. Where there is no display, it says so and runs
# the first example program through vesk-run instead, printing its result.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing_packages

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESK_TESTS=OFF -DVESK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  example=examples/sum.vdmp
  echo
  echo "There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window program cannot start."
  echo "Running the first example program through vesk-run instead: $example"
  # The first words' comments say what the program computes and where the result lands.
  head -n 2 "$example" | cut -c5- | iconv -f WINDOWS-1251 -t UTF-8 | sed 's/^/  /'
  echo "Final state:"
  "$build/bin/vesk-run" --dump "$example" --json
  exit 0
fi
exec "$build/bin/vesk"
