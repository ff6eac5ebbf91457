#!/bin/sh
# Runs the display end-to-end test on a virtual X server (Xvfb) with SDL's X11 driver, so a real
# window is presented and captured. Exits 77 (skipped) when the X tools are not installed.
set -eu
program="$1"
for tool in xvfb-run xwd xauth; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
# The X and D-Bus libraries that SDL loads keep a few allocations past their unloading, where no
# suppression can name them; leak checking of our own code is the unit tests' job.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
# The virtual server has no sound card: programs that open one get SDL's silent driver.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" env SDL_VIDEODRIVER=x11 "$program"
