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
  echo "== $name ($budget s)"
  "$target" -max_total_time="$budget" -max_len=4096 "$corpus" 2>&1 | tail -n 2
done
