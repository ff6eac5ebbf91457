#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a time budget (seconds, default 60).
set -euo pipefail
budget=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DXE_FUZZ=ON -DXE_TESTS=OFF -DXE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
for target in "$build"/fuzz/fuzz_*; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  # Committed seeds (fuzz/seeds/<reader>, made by the tests) are read too, and never cut short.
  seeds="$root/fuzz/seeds/${name#fuzz_}"
  extra=()
  max_len=4096
  if [ -d "$seeds" ]; then
    extra=("$seeds")
    biggest=$(find "$seeds" -type f -printf '%s\n' | sort -n | tail -n 1)
    max_len=$(( ${biggest:-0} > max_len ? biggest : max_len ))
  fi
  echo "== $name ($budget s)"
  "$target" -max_total_time="$budget" -max_len="$max_len" "$corpus" "${extra[@]}" 2>&1 | tail -n 2
done
