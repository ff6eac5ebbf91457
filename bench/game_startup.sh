#!/usr/bin/env bash
# Measures the game's start-up: the time from starting the executable to its first presented frame
# (the first picture of the game on the screen), in a window on a virtual X server, with the sample
# game's data that the build puts beside the executable. Not a test: it prints each run and the
# median. The virtual screen is a little larger than the window (a desktop of the window's size
# would ask to go full screen) with a black root, so the first frame the game shows is the first
# change of the screen; a screen dump every few milliseconds watches for it, which makes the
# figures a few milliseconds late at most. Needs Xvfb (xvfb-run) and xwd.
#
#   bench/game_startup.sh [GAME_EXECUTABLE] [RUNS]   (default: build-bench/game/tvqe, else build/game/tvqe; 7 runs)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${2:-7}"
source "$here/bench/game_executable.sh" "${1:-}"
if [ -z "${GAME_STARTUP_UNDER_X:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed" >&2; exit 1; }
    command -v xwd >/dev/null || { echo "xwd is not installed" >&2; exit 1; }
    export GAME_STARTUP_UNDER_X=1
    exec xvfb-run -a -s "-screen 0 800x600x24 -br -nolisten tcp" "$0" "$game" "$runs"
fi

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
screen_sum() { xwd -root -silent | md5sum; }
blank="$(screen_sum)"
limit_ms=20000

# The program folder is the executable's: each run gets a fresh copy with the game's data (the packs
# and data folders made by samplegen), so every run starts as the first one would.
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
cp "$game" "$folder/tvqe"
for data in "$(dirname "$game")"/*.pak "$(dirname "$game")"/{BGM,Movie,Song,Voice}; do
    [ -e "$data" ] && cp -r "$data" "$folder/"
done

times=()
for run in $(seq "$runs"); do
    rm -f "$folder/Tvqe.ini" "$folder"/*.sav "$folder"/*.dat
    # The last run's window is gone once the screen is blank again.
    for _ in $(seq 500); do [ "$(screen_sum)" = "$blank" ] && break; done
    start=$(date +%s%N)
    "$folder/tvqe" -window &
    pid=$!
    shown=
    while kill -0 "$pid" 2>/dev/null; do
        now=$(date +%s%N)
        if [ "$(screen_sum)" != "$blank" ]; then
            shown=$(( (now - start) / 1000000 ))
            break
        fi
        [ $(( (now - start) / 1000000 )) -gt "$limit_ms" ] && break
    done
    ended=
    kill -0 "$pid" 2>/dev/null || ended=1
    # SDL turns SIGTERM into a close request, which asks a question in a window: end it at once.
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ -z "$shown" ] && [ -n "$ended" ] && { echo "run $run: the game ended before its first frame" >&2; exit 1; }
    [ -n "$shown" ] || { echo "run $run: no frame within $limit_ms ms" >&2; exit 1; }
    echo "run $run: first frame after $shown ms"
    times+=("$shown")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "median %d ms over %d runs (min %d, max %d)\n", t[int((NR + 1) / 2)], NR, t[1], t[NR] }'
