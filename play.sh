#!/usr/bin/env bash
# Installs what is missing, builds the game and its sample game in Release (in build-play/) and
# starts it in a window with sound. Arguments go to the game ("-window", "-fps").
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
build=build-play
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DXE_TESTS=OFF -DXE_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target tvqe samplegame
exec "$build/game/tvqe" "$@"
