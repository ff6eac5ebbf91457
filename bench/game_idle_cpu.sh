#!/usr/bin/env bash
# Measures the CPU time the game executable uses over 10 s with nothing happening (the title menu
# waiting for the player, after the title call's logos and voices, with the title music playing:
# GAME_IDLE_SETTLE seconds after the start, 25 by default), in a window on a virtual X server, in the 30FPS and
# FULL frame modes, with the sample game's data that the build puts beside the executable. Not a
# test: it prints the share of one core each mode took (goal: under 2% in 30FPS) and the resident
# memory at the end of the 10 s. Needs Xvfb (xvfb-run).
#
#   bench/game_idle_cpu.sh [GAME_EXECUTABLE]     (default: build-bench/game/tvqe, else build/game/tvqe)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/bench/game_executable.sh" "${1:-}"
if [ -z "${GAME_IDLE_CPU_UNDER_X:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed" >&2; exit 1; }
    export GAME_IDLE_CPU_UNDER_X=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$game"
fi

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
ticks=$(getconf CLK_TCK)
seconds=10
settle="${GAME_IDLE_SETTLE:-25}"

# User plus system time of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

for mode in 30fps Full; do
    folder="$(mktemp -d)"
    # The program folder is the executable's: each run gets a copy with the game's data (the packs
    # and data folders made by samplegen) beside its own settings file.
    cp "$game" "$folder/tvqe"
    for data in "$(dirname "$game")"/*.pak "$(dirname "$game")"/{BGM,Movie,Song,Voice}; do
        [ -e "$data" ] && cp -r "$data" "$folder/"
    done
    printf '[Game]\r\nFPSMode=%s\r\nWindowMode=ON\r\n' "$mode" > "$folder/Tvqe.ini"
    "$folder/tvqe" -window &
    pid=$!
    sleep "$settle"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$mode: the game ended during start-up" >&2
        rm -rf "$folder"
        exit 1
    fi
    before=$(cpu_ticks "$pid")
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    resident=$(awk '/^VmRSS:/ { print int($2 / 1024) }' "/proc/$pid/status")
    # SDL turns SIGTERM into a close request, which asks a question in a window: end it at once.
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$folder"
    awk -v m="$mode" -v t=$((after - before)) -v hz="$ticks" -v s="$seconds" -v r="$resident" \
        'BEGIN { printf "%-6s %6.2f%% of a core (%.2f s of CPU in %d s), %d MiB resident\n", m, 100 * t / hz / s, t / hz, s, r }'
done
