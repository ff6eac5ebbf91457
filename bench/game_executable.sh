# Sourced by the game's benchmark scripts: sets `game` to the absolute path of the game executable,
# the one named ($1 of the caller, passed here) or else build-bench/game/tvqe, else build/game/tvqe.
game="${1:-}"
if [ -z "$game" ]; then
    for candidate in "$here/build-bench/game/tvqe" "$here/build/game/tvqe"; do
        [ -x "$candidate" ] && { game="$candidate"; break; }
    done
fi
[ -n "$game" ] && [ -x "$game" ] || { echo "no game executable: build the target tvqe or name it" >&2; exit 1; }
game="$(cd "$(dirname "$game")" && pwd)/$(basename "$game")"
