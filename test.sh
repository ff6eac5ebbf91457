#!/usr/bin/env bash
# Installs what is missing, builds the libraries, tools and tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Runs headless: no display and no sound card are
# needed. Extra arguments go to CMake (CI passes -DXE_WERROR=ON); the benchmarks are ./bench.sh.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
build=build-test
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXE_SANITIZE=ON -DXE_BENCH=OFF "$@"
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
