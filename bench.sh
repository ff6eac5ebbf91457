#!/usr/bin/env bash
# Builds the benchmarks in Release (no sanitizers) and runs them: ./bench.sh [AREA...] runs
# bench/bench_AREA only (e.g. ./bench.sh codecs packs); the arguments after -- go to each program
# (e.g. ./bench.sh rows -- --benchmark_filter=Copy).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
areas=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do areas+=("$1"); shift; done
[ $# -gt 0 ] && shift
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DXE_TESTS=OFF -DXE_BENCH=ON
if [ ${#areas[@]} -eq 0 ]; then
    cmake --build "$build" -j"$(nproc)"
    for program in "$build"/bench/bench_*; do areas+=("${program##*/bench_}"); done
else
    cmake --build "$build" -j"$(nproc)" --target "${areas[@]/#/bench_}"
fi
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
for area in "${areas[@]}"; do
    echo "== bench_$area"
    "$build/bench/bench_$area" "$@"
done
